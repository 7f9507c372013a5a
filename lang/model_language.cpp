#include "model_language.h"

#include <optional>
#include <unordered_map>
#include <unordered_set>

#include "lexer.h"
#include "model_builder.h"
#include "parser.h"
#include "show_model.h"

namespace lang {

BuiltModel build_model(std::string_view equations_text, const std::string& source_name,
                       const BuildLimits& limits) {
    try {
        const std::vector<Token> tokens = tokenize(equations_text);
        ModelBuilder builder(tokens, limits);
        parse_statements(
            tokens, [&](const Statement& statement) { builder.add(statement); },
            [&](std::string_view name) { return builder.defines_function(name); });
        return {builder.model_json(), builder.constants()};
    } catch (const LangError& located) {
        throw LangError(source_name, located);
    }
}

std::string build_model_json(std::string_view equations_text, const std::string& source_name,
                             const BuildLimits& limits) {
    return build_model(equations_text, source_name, limits).json;
}

namespace {

// The parameters that show as param statements, by the variable's place in
// the model: those whose equation is still SYMBOL - VALUE = 0 and whose
// initial value is VALUE, as the language writes them; and the places of
// their equations, which then show as nothing more.
struct ShownParameters {
    std::unordered_map<std::size_t, double> values;
    std::unordered_set<std::size_t> equations;
};

ShownParameters shown_parameters(const ModelDefinition& model, const LanguageMembers& members) {
    std::unordered_map<std::string_view, std::size_t> equation_places;
    for (std::size_t place = model.equations().size(); place-- > 0;) {
        equation_places[model.equations()[place].equation_name()] = place;
    }
    std::unordered_map<std::string_view, std::size_t> variable_places;
    for (std::size_t place = model.variables().size(); place-- > 0;) {
        variable_places[model.variables()[place].variable_symbol] = place;
    }
    ShownParameters shown;
    for (const ParameterRecord& parameter : members.parameters) {
        const auto variable = variable_places.find(parameter.symbol);
        const auto equation = equation_places.find(parameter.equation_name);
        if (variable == variable_places.end() || equation == equation_places.end() ||
            shown.equations.count(equation->second) > 0) {
            continue;
        }
        const std::optional<double> value =
            specified_value(model.equations()[equation->second], parameter.symbol);
        if (value && *value == model.variables()[variable->second].initial) {
            shown.values.emplace(variable->second, *value);
            shown.equations.insert(equation->second);
        }
    }
    return shown;
}

}  // namespace

std::string show_model(const ModelDefinition& model, const LanguageMembers& members,
                       Showing showing) {
    const ShownParameters parameters = shown_parameters(model, members);
    std::string out;
    for (std::size_t place = 0; place < model.variables().size(); ++place) {
        const auto parameter = parameters.values.find(place);
        if (parameter != parameters.values.end()) {
            show_parameter(model.variables()[place], parameter->second, out);
        } else {
            show_variable(model.variables()[place], out);
        }
    }
    const std::size_t equations = model.equations().size() - parameters.equations.size();
    if (!model.variables().empty() && equations > 0) {
        out += '\n';
    }
    for (std::size_t place = 0; place < model.equations().size(); ++place) {
        if (parameters.equations.count(place) == 0) {
            show_equation_lines(model.equations()[place], out, showing);
        }
    }
    const Span<const ExprNode> outputs = members.outputs->equations();
    if (!outputs.empty() && !out.empty()) {
        out += '\n';
    }
    for (std::size_t place = 0; place < outputs.size(); ++place) {
        show_output(outputs[place], members.output_descriptions[place], out, showing);
    }
    return out;
}

std::optional<std::string> show_equation(const ModelDefinition& model,
                                         std::string_view equation_name, Showing showing) {
    std::string out;
    for (const auto& equation : model.equations()) {
        if (equation.equation_name() == equation_name) {
            show_equation_lines(equation, out, showing);
        }
    }
    if (out.empty()) {
        return std::nullopt;
    }
    return out;
}

}  // namespace lang
