#include "model_extras.h"

#include <stdexcept>
#include <unordered_map>
#include <utility>

#include "evaluate_expression.h"
#include "name_resolver.h"
#include "usage_error.h"

namespace {

// The first host number of each name in `names` (by host number - 1).
std::unordered_map<std::string, int> first_numbers(const std::vector<std::string>& names) {
    std::unordered_map<std::string, int> numbers;
    for (std::size_t index = names.size(); index-- > 0;) {
        numbers[names[index]] = static_cast<int>(index) + 1;
    }
    return numbers;
}

}  // namespace

ModelExtras::ModelExtras() : outputs_(std::make_unique<ModelDefinition>()) {}

ModelExtras::ModelExtras(LanguageMembers members, const VariableSymbols& symbols,
                         const ModelFileScan& scan)
    : specifications_(scan.variable_symbols.size(), 0),
      outputs_(std::move(members.outputs)),
      output_descriptions_(std::move(members.output_descriptions)) {
    const auto variables = first_numbers(scan.variable_symbols);
    const auto equations = first_numbers(scan.equation_names);
    for (const ParameterRecord& parameter : members.parameters) {
        const auto variable = variables.find(parameter.symbol);
        const auto equation = equations.find(parameter.equation_name);
        if (variable != variables.end() && equation != equations.end()) {
            specifications_[static_cast<std::size_t>(variable->second - 1)] = equation->second;
        }
    }
    for (const ExprNode& output : outputs_->equations()) {
        output_symbols_.emplace_back(output.equation_name());
    }
    // The model's variables, at their host numbers, for the outputs' references.
    for (std::size_t index = 0; index < scan.variable_symbols.size(); ++index) {
        VariableDef variable;
        variable.variable_symbol =
            outputs_->storage().keep_text(symbols.symbol(static_cast<int>(index) + 1));
        variable.variable_number = static_cast<std::int32_t>(index) + 1;
        outputs_->append_variable(variable);
    }
}

int ModelExtras::specification_of(int variable_number) const {
    const auto index = static_cast<std::size_t>(variable_number - 1);
    return variable_number >= 1 && index < specifications_.size() ? specifications_[index] : 0;
}

std::vector<std::size_t> ModelExtras::outputs_named(const std::string& typed) const {
    if (output_symbols_.empty()) {
        return {};
    }
    try {
        return NameResolver(output_symbols_, "output").resolve(typed, typed);
    } catch (const UsageError&) {
        return {};
    }
}

std::optional<std::size_t> ModelExtras::output_named(const std::string& typed) const {
    const std::vector<std::size_t> named = outputs_named(typed);
    return named.empty() ? std::nullopt : std::optional<std::size_t>(named.front());
}

std::vector<double> ModelExtras::output_values(const ModelSession& session) const {
    if (output_symbols_.empty()) {
        return {};
    }
    std::vector<double> host_values(static_cast<std::size_t>(session.variable_count()));
    for (std::size_t index = 0; index < host_values.size(); ++index) {
        host_values[index] = session.value(static_cast<int>(index) + 1);
    }
    const OneBasedValues values(host_values.data(), host_values.size());
    ExpressionEvaluator evaluator(*outputs_);
    std::vector<double> results;
    results.reserve(output_symbols_.size());
    for (std::size_t index = 0; index < output_symbols_.size(); ++index) {
        try {
            results.push_back(evaluator.evaluate(values, outputs_->equations()[index]));
        } catch (const std::exception& fault) {
            throw std::runtime_error("the output " + output_symbols_[index] + ": " + fault.what());
        }
    }
    return results;
}
