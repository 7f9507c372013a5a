#include "variable_symbols.h"

#include <stdexcept>

VariableSymbols::VariableSymbols(const ModelSession& session) {
    symbols_.reserve(static_cast<std::size_t>(session.variable_count()));
    for (int number = 1; number <= session.variable_count(); ++number) {
        symbols_.push_back(session.variable_symbol(number));
    }
}

const std::string& VariableSymbols::symbol(int number) const {
    if (number < 1 || static_cast<std::size_t>(number) > symbols_.size()) {
        throw std::out_of_range("no variable " + std::to_string(number));
    }
    return symbols_[static_cast<std::size_t>(number - 1)];
}

// A scan rather than an index: only --at and --fix ask, a few times a run.
std::vector<int> VariableSymbols::numbers_of(const std::string& symbol) const {
    std::vector<int> numbers;
    for (std::size_t index = 0; index < symbols_.size(); ++index) {
        if (symbols_[index] == symbol) {
            numbers.push_back(static_cast<int>(index) + 1);
        }
    }
    return numbers;
}
