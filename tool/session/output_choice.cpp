#include "output_choice.h"

#include <algorithm>
#include <unordered_set>

namespace {

void add_variable(OutputChoice& outputs, const VariableSymbols& symbols, int number) {
    outputs.symbols.push_back(symbols.symbol(number));
    outputs.numbers.push_back(number);
    outputs.model_outputs.push_back(0);
}

void add_model_output(OutputChoice& outputs, const ModelExtras& extras, std::size_t index) {
    outputs.symbols.push_back(extras.output_symbol(index));
    outputs.numbers.push_back(0);
    outputs.model_outputs.push_back(index);
}

}  // namespace

bool OutputChoice::any_model_output() const {
    return std::find(numbers.begin(), numbers.end(), 0) != numbers.end();
}

OutputChoice chosen_outputs(const VariableSymbols& symbols, const ModelExtras* extras,
                            const std::vector<std::string>& asked,
                            const std::vector<int>& otherwise, const std::string& option) {
    OutputChoice outputs;
    if (asked.empty()) {
        for (const int number : otherwise) {
            add_variable(outputs, symbols, number);
        }
        for (std::size_t index = 0; extras && index < extras->output_count(); ++index) {
            add_model_output(outputs, *extras, index);
        }
        return outputs;
    }
    // A symbol shared by several variables shows its first, and a symbol
    // asked for twice (by name and by a pattern) shows once.
    std::unordered_set<std::string> shown;
    for (const std::string& typed : asked) {
        const std::vector<std::size_t> named =
            extras ? extras->outputs_named(typed) : std::vector<std::size_t>();
        for (const std::size_t index : named) {
            if (shown.insert(extras->output_symbol(index)).second) {
                add_model_output(outputs, *extras, index);
            }
        }
        if (!named.empty()) {
            continue;
        }
        for (const int number : symbols.numbers_named(typed, option + " " + typed)) {
            if (shown.insert(symbols.symbol(number)).second) {
                add_variable(outputs, symbols, number);
            }
        }
    }
    return outputs;
}
