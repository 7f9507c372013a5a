#include "description_column.h"

#include <algorithm>

namespace {

bool any_description(const LoadedModel& loaded) {
    const std::vector<std::string>& descriptions = loaded.file().variable_descriptions;
    const ModelExtras& extras = loaded.extras();
    const auto given = [](const std::string& description) { return !description.empty(); };
    bool any_output = false;
    for (std::size_t index = 0; index < extras.output_count() && !any_output; ++index) {
        any_output = given(extras.output_description(index));
    }
    return any_output || std::any_of(descriptions.begin(), descriptions.end(), given);
}

}  // namespace

DescriptionColumn::DescriptionColumn(TextTable& table, const LoadedModel& loaded)
    : loaded_(loaded), shown_(any_description(loaded)) {
    if (shown_) {
        table.add_column({"description", TextTable::Align::left});
    }
}

std::vector<std::string> DescriptionColumn::row(int number, std::vector<std::string> cells) const {
    if (shown_) {
        cells.push_back(loaded_.description(number));
    }
    return cells;
}

std::vector<std::string> DescriptionColumn::output_row(std::size_t index,
                                                       std::vector<std::string> cells) const {
    if (shown_) {
        cells.push_back(loaded_.extras().output_description(index));
    }
    return cells;
}
