#include "variable_symbols.h"

#include <strings.h>

#include <stdexcept>

#include "usage_error.h"

namespace {

std::vector<std::string> block_symbols(const ModelSession& session) {
    std::vector<std::string> symbols;
    symbols.reserve(static_cast<std::size_t>(session.variable_count()));
    for (int number = 1; number <= session.variable_count(); ++number) {
        symbols.push_back(session.variable_symbol(number));
    }
    return symbols;
}

}  // namespace

VariableSymbols::VariableSymbols(const ModelSession& session)
    : symbols_(block_symbols(session)), resolver_(symbols_, "variable") {}

const std::string& VariableSymbols::symbol(int number) const {
    if (number < 1 || static_cast<std::size_t>(number) > symbols_.size()) {
        throw std::out_of_range("no variable " + std::to_string(number));
    }
    return symbols_[static_cast<std::size_t>(number - 1)];
}

std::vector<int> VariableSymbols::numbers_named(const std::string& typed,
                                                const std::string& option) const {
    std::vector<std::size_t> found;
    try {
        found = resolver_.resolve(typed, option);
    } catch (const UsageError&) {
        for (const auto& [symbol, what] : notes_) {
            if (::strcasecmp(symbol.c_str(), typed.c_str()) == 0) {
                throw UsageError(option + ": " + symbol + " is " + what);
            }
        }
        throw;
    }
    std::vector<int> numbers;
    for (const std::size_t index : found) {
        numbers.push_back(static_cast<int>(index) + 1);
    }
    return numbers;
}

void VariableSymbols::note_other_name(std::string symbol, std::string what) {
    notes_.emplace(std::move(symbol), std::move(what));
}
