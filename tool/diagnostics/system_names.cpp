#include "system_names.h"

#include <algorithm>

SystemNames names_of(const NumberedModel& model) {
    return {[&model](int row) { return model.equation_name(row + 1); },
            [&model](int column) { return model.symbol(column + 1); }};
}

std::vector<std::string> equation_names(const SystemNames& names, const std::vector<int>& rows) {
    std::vector<std::string> named;
    for (const int row : rows) {
        named.push_back(names.equation(row));
    }
    return named;
}

std::vector<std::string> symbols(const SystemNames& names, const std::vector<int>& columns) {
    std::vector<std::string> named;
    for (const int column : columns) {
        named.push_back(names.variable(column));
    }
    return named;
}

std::vector<int> joined(std::vector<int> first, const std::vector<int>& second) {
    first.insert(first.end(), second.begin(), second.end());
    std::sort(first.begin(), first.end());
    first.erase(std::unique(first.begin(), first.end()), first.end());
    return first;
}
