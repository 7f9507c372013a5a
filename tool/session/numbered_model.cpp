#include "numbered_model.h"

#include <stdexcept>

namespace {

std::string upper_cased(std::string text) {
    for (char& byte : text) {
        if (byte >= 'a' && byte <= 'z') {
            byte = static_cast<char>(byte - ('a' - 'A'));
        }
    }
    return text;
}

std::size_t index_of(int number, std::size_t count, const char* what) {
    if (number < 1 || static_cast<std::size_t>(number) > count) {
        throw std::out_of_range(std::string("no ") + what + " " + std::to_string(number));
    }
    return static_cast<std::size_t>(number - 1);
}

[[noreturn]] void disagree(const std::string& what) {
    throw std::runtime_error("the model file changed while it was read: " + what);
}

}  // namespace

NumberedModel::NumberedModel(const std::string& model_path, const ModelSession& session) {
    model_.load_model(model_path);
    number_records();
    verify_against(session);
}

// The same numbers registration gives, so that the evaluator reads a variable
// reference at the host number the block would read it at.
void NumberedModel::number_records() {
    int number = 0;
    for (auto& variable : model_.variables()) {
        variable.variable_number = ++number;
        const std::string symbol(variable.variable_symbol);
        numbers_by_symbol_[symbol].push_back(number);
        model_.symbol_to_number[symbol] = number;
    }
    int equation_number = 0;
    for (auto& equation : model_.equations()) {
        equation.set_equation_number(++equation_number);
        for (auto& entry : equation.variables()) {
            const auto found = model_.symbol_to_number.find(entry.variable_symbol);
            entry.variable_number = found == model_.symbol_to_number.end() ? 0 : found->second;
            entries_.push_back(&entry);
            entry_equations_.push_back(equation_number);
            entry.nonzero_number = static_cast<std::int32_t>(entries_.size());
        }
    }
}

void NumberedModel::verify_against(const ModelSession& session) const {
    if (static_cast<std::size_t>(session.variable_count()) != model_.variables().size() ||
        static_cast<std::size_t>(session.equation_count()) != model_.equations().size() ||
        static_cast<std::size_t>(session.nonzero_count()) != entries_.size()) {
        disagree("the counts differ");
    }
    for (int number = 1; number <= session.variable_count(); ++number) {
        const rtvar_t& registered = session.variable(number);
        if (registered.registered && registered.name != upper_cased(symbol(number))) {
            disagree("variable " + std::to_string(number) + " has another name");
        }
    }
}

std::string NumberedModel::symbol(int variable_number) const {
    const auto index = index_of(variable_number, model_.variables().size(), "variable");
    return std::string(model_.variables()[index].variable_symbol);
}

std::string NumberedModel::equation_name(int equation_number) const {
    const auto index = index_of(equation_number, model_.equations().size(), "equation");
    return std::string(model_.equations()[index].equation_name());
}

const VariableDef& NumberedModel::entry(int nonzero_number) const {
    return *entries_[index_of(nonzero_number, entries_.size(), "nonzero")];
}

int NumberedModel::entry_equation(int nonzero_number) const {
    return entry_equations_[index_of(nonzero_number, entries_.size(), "nonzero")];
}

const std::vector<int>& NumberedModel::variables_with_symbol(std::string_view symbol) const {
    static const std::vector<int> none;
    const auto found = numbers_by_symbol_.find(symbol);
    return found == numbers_by_symbol_.end() ? none : found->second;
}
