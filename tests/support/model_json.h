#pragma once

// Builders of model files, so that a test states its model as trees rather
// than as JSON text.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <nlohmann/json.hpp>

namespace model_json {

using nlohmann::json;

inline json number(double value) {
    return {{"Type", 2}, {"DoubleValue", value}};
}

inline json numeric_text(const std::string& text) {
    return {{"Type", 3}, {"StringValue", text}};
}

inline json reference(const std::string& symbol) {
    return {{"Type", 4}, {"StringValue", symbol}};
}

inline json sum(std::vector<json> terms) {
    return {{"Type", 0}, {"SubExpressions", std::move(terms)}};
}

inline json product(std::vector<json> factors) {
    return {{"Type", 1}, {"SubExpressions", std::move(factors)}};
}

inline json power(json base, json exponent) {
    return {{"Type", 5}, {"SubExpressions", json::array({std::move(base), std::move(exponent)})}};
}

inline json function(const std::string& name, json argument) {
    return {{"Type", 6}, {"StringValue", name}, {"SubExpressions", json::array({argument})}};
}

// An equation entry: one Jacobian nonzero with its derivative tree.
inline json entry(const std::string& symbol, json derivative) {
    return {{"VariableSymbol", symbol}, {"Differential", std::move(derivative)}};
}

inline json entry_without_derivative(const std::string& symbol) {
    return {{"VariableSymbol", symbol}};
}

// An equation: the root `tree` named `name`, with its entries.
inline json equation(const std::string& name, json tree, std::vector<json> entries) {
    tree["EquationName"] = name;
    tree["Variables"] = std::move(entries);
    return tree;
}

struct Values {
    std::optional<double> initial;
    std::optional<double> min;
    std::optional<double> max;
};

inline json variable(const std::string& symbol, const Values& values = {}) {
    json made = {{"VariableSymbol", symbol}};
    if (values.initial) {
        made["Initial"] = *values.initial;
    }
    if (values.min) {
        made["Min"] = *values.min;
    }
    if (values.max) {
        made["Max"] = *values.max;
    }
    return made;
}

inline std::string model_text(std::vector<json> equations, std::vector<json> variables) {
    const json document = {{"EquationList", std::move(equations)},
                           {"Variables", std::move(variables)}};
    return document.dump();
}

}  // namespace model_json
