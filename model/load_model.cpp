#include <nlohmann/json.hpp>

#include "json_reading.h"
#include "model_definition.h"
#include "model_parsing.h"
#include "model_text.h"

namespace {

nlohmann::json parse_model_text(const std::string& path) {
    // The text is released as soon as the document is built.
    return nlohmann::json::parse(read_model_text(path));
}

}  // namespace

void ModelDefinition::load_model(const std::string& path) {
    using model_json::equals_zero;
    using model_json::member;

    const nlohmann::json document = parse_model_text(path);
    if (equals_zero(document)) {
        return;
    }
    for (const nlohmann::json& element : member(document, "EquationList")) {
        if (!equals_zero(element)) {
            append_equation(parse_expression(element));
        }
    }
    for (const nlohmann::json& element : member(document, "Variables")) {
        if (!equals_zero(element)) {
            append_variable(parse_variable(element));
        }
    }
}
