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

// The outputs a result shows, with their values.
struct ShownOutputs {
    std::vector<std::size_t> indices;  // which of the model's outputs, in order shown
    std::vector<double> values;        // by shown output

    bool empty() const { return indices.empty(); }
};

// The outputs numbered `indices` (each below the model's output count), at
// the host's current values.
ShownOutputs shown_outputs(const LoadedModel& loaded, std::vector<std::size_t> indices);
// Every output of the model, at the host's current values.
ShownOutputs every_output(const LoadedModel& loaded);

// One value per output, at the host's current values.
std::vector<double> output_values(const LoadedModel& loaded);

// One row per shown output in a table of variables: the symbol, the value,
// `blank_cells` empty cells, "output", and the description when the table
// shows descriptions.
void add_output_rows(TextTable& table, const DescriptionColumn& descriptions,
                     const LoadedModel& loaded, const ShownOutputs& outputs,
                     std::size_t blank_cells);

// {"symbol", "value", "description"} for each shown output, made as written;
// `outputs` must outlive the writing.
JsonArrayStream output_elements(const LoadedModel& loaded, const ShownOutputs& outputs);
