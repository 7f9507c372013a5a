#pragma once

#include <cstddef>
#include <vector>

#include "description_column.h"
#include "json_output.h"
#include "loaded_model.h"
#include "text_table.h"

// The model's outputs (the equation language's out statements) as the
// commands show them beside the variables: after them, at the values the
// host holds.

// One value per output, at the host's current values.
std::vector<double> output_values(const LoadedModel& loaded);

// One row per output in a table of variables: the symbol, the value,
// `blank_cells` empty cells, "output", and the description when the table
// shows descriptions.
void add_output_rows(TextTable& table, const DescriptionColumn& descriptions,
                     const LoadedModel& loaded, const std::vector<double>& values,
                     std::size_t blank_cells);

// {"symbol", "value", "description"} for each output, made as written; the
// values must outlive the writing.
JsonArrayStream output_elements(const LoadedModel& loaded, const std::vector<double>& values);
