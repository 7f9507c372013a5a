#include "description_column.h"

#include <algorithm>

namespace {

bool any_description(const LoadedModel& loaded) {
    const std::vector<std::string>& descriptions = loaded.file().variable_descriptions;
    return std::any_of(descriptions.begin(), descriptions.end(),
                       [](const std::string& description) { return !description.empty(); });
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
