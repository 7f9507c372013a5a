#pragma once

#include <string>
#include <vector>

#include "loaded_model.h"
#include "text_table.h"

// The last column of a table of variables: each one's description as the
// file gives it (its "VariableName", units and all), shown only when the file
// describes some variable or output.
class DescriptionColumn {
  public:
    // Adds the column to `table`, which has no rows yet, when it is shown.
    DescriptionColumn(TextTable& table, const LoadedModel& loaded);

    // `cells`, with variable `number`'s description after them when shown.
    std::vector<std::string> row(int number, std::vector<std::string> cells) const;
    // The same for output `index` (from 0).
    std::vector<std::string> output_row(std::size_t index, std::vector<std::string> cells) const;

  private:
    const LoadedModel& loaded_;
    bool shown_;
};
