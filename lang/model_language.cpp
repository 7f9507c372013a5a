#include "model_language.h"

#include "lexer.h"
#include "model_builder.h"
#include "parser.h"
#include "show_model.h"

namespace lang {

std::string build_model_json(std::string_view equations_text, const std::string& source_name,
                             const BuildLimits& limits) {
    try {
        const std::vector<Token> tokens = tokenize(equations_text);
        ModelBuilder builder(tokens, limits);
        parse_statements(tokens, [&](const Statement& statement) { builder.add(statement); });
        return builder.model_json();
    } catch (const LangError& located) {
        throw LangError(source_name, located);
    }
}

std::string show_model(const ModelDefinition& model, Showing showing) {
    std::string out;
    for (const auto& variable : model.variables()) {
        show_variable(variable, out);
    }
    if (!model.variables().empty() && !model.equations().empty()) {
        out += '\n';
    }
    for (const auto& equation : model.equations()) {
        show_equation_lines(equation, out, showing);
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
