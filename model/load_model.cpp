#include "json_document.h"
#include "json_reading.h"
#include "model_definition.h"
#include "model_parsing.h"
#include "model_text.h"

namespace {

JsonDocument parse_model_text(const std::string& path) {
    // The text is released as soon as the document is built.
    return JsonDocument::parse(read_model_text(path));
}

}  // namespace

void ModelDefinition::load_model(const std::string& path) {
    using model_json::equals_zero;
    using model_json::ListElements;
    using model_json::member;

    const JsonDocument document = parse_model_text(path);
    const JsonDocument::Value root = document.root();
    if (equals_zero(root)) {
        return;
    }
    const ListElements equations(member(root, "EquationList"));
    for (std::size_t i = 0; i < equations.size(); ++i) {
        if (!equals_zero(equations[i])) {
            append_equation(parse_expression(equations[i]));
        }
    }
    const ListElements variables(member(root, "Variables"));
    for (std::size_t i = 0; i < variables.size(); ++i) {
        if (!equals_zero(variables[i])) {
            append_variable(parse_variable(variables[i]));
        }
    }
}
