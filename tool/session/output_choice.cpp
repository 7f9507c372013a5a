#include "output_choice.h"

#include <unordered_set>

OutputChoice chosen_outputs(const VariableSymbols& symbols, const std::vector<std::string>& asked,
                            const std::vector<int>& otherwise, const std::string& option) {
    OutputChoice outputs;
    if (asked.empty()) {
        for (const int number : otherwise) {
            outputs.symbols.push_back(symbols.symbol(number));
            outputs.numbers.push_back(number);
        }
        return outputs;
    }
    // A symbol shared by several variables shows its first, and a symbol
    // asked for twice (by name and by a pattern) shows once.
    std::unordered_set<std::string> shown;
    for (const std::string& typed : asked) {
        for (const int number : symbols.numbers_named(typed, option + " " + typed)) {
            if (shown.insert(symbols.symbol(number)).second) {
                outputs.symbols.push_back(symbols.symbol(number));
                outputs.numbers.push_back(number);
            }
        }
    }
    return outputs;
}
