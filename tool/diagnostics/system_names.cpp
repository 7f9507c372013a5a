#include "system_names.h"

#include <algorithm>

std::vector<std::string> equation_names(const NumberedModel& model, const std::vector<int>& rows) {
    std::vector<std::string> names;
    for (const int row : rows) {
        names.push_back(model.equation_name(row + 1));
    }
    return names;
}

std::vector<std::string> symbols(const NumberedModel& model, const std::vector<int>& columns) {
    std::vector<std::string> names;
    for (const int column : columns) {
        names.push_back(model.symbol(column + 1));
    }
    return names;
}

std::vector<int> joined(std::vector<int> first, const std::vector<int>& second) {
    first.insert(first.end(), second.begin(), second.end());
    std::sort(first.begin(), first.end());
    first.erase(std::unique(first.begin(), first.end()), first.end());
    return first;
}
