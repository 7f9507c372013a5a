#include "model_outputs.h"

#include <string>

std::vector<double> output_values(const LoadedModel& loaded) {
    return loaded.extras().output_values(loaded.session);
}

void add_output_rows(TextTable& table, const DescriptionColumn& descriptions,
                     const LoadedModel& loaded, const std::vector<double>& values,
                     std::size_t blank_cells) {
    const ModelExtras& extras = loaded.extras();
    for (std::size_t index = 0; index < values.size(); ++index) {
        std::vector<std::string> cells{extras.output_symbol(index), readable_number(values[index])};
        cells.resize(cells.size() + blank_cells);
        cells.emplace_back("output");
        table.add_row(descriptions.output_row(index, std::move(cells)));
    }
}

JsonArrayStream output_elements(const LoadedModel& loaded, const std::vector<double>& values) {
    const ModelExtras& extras = loaded.extras();
    return {values.size(), [&extras, &values](std::size_t index) {
                return json_record({{"symbol", extras.output_symbol(index)},
                                    {"value", json_number(values[index])},
                                    {"description", extras.output_description(index)}});
            }};
}
