#include "model_outputs.h"

#include <numeric>
#include <string>

ShownOutputs shown_outputs(const LoadedModel& loaded, std::vector<std::size_t> indices) {
    ShownOutputs shown{std::move(indices), {}};
    if (shown.indices.empty()) {
        return shown;
    }
    const std::vector<double> values = output_values(loaded);
    for (const std::size_t index : shown.indices) {
        shown.values.push_back(values.at(index));
    }
    return shown;
}

ShownOutputs every_output(const LoadedModel& loaded) {
    std::vector<std::size_t> indices(loaded.extras().output_count());
    std::iota(indices.begin(), indices.end(), std::size_t{0});
    return shown_outputs(loaded, std::move(indices));
}

std::vector<double> output_values(const LoadedModel& loaded) {
    return loaded.extras().output_values(loaded.session);
}

void add_output_rows(TextTable& table, const DescriptionColumn& descriptions,
                     const LoadedModel& loaded, const ShownOutputs& outputs,
                     std::size_t blank_cells) {
    const ModelExtras& extras = loaded.extras();
    for (std::size_t shown = 0; shown < outputs.indices.size(); ++shown) {
        const std::size_t index = outputs.indices[shown];
        std::vector<std::string> cells{extras.output_symbol(index),
                                       readable_number(outputs.values[shown])};
        cells.resize(cells.size() + blank_cells);
        cells.emplace_back("output");
        table.add_row(descriptions.output_row(index, std::move(cells)));
    }
}

JsonArrayStream output_elements(const LoadedModel& loaded, const ShownOutputs& outputs) {
    const ModelExtras& extras = loaded.extras();
    return {outputs.indices.size(), [&extras, &outputs](std::size_t shown) {
                const std::size_t index = outputs.indices[shown];
                return json_record({{"symbol", extras.output_symbol(index)},
                                    {"value", json_number(outputs.values[shown])},
                                    {"description", extras.output_description(index)}});
            }};
}
