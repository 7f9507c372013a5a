#pragma once

// Expression trees written as the model file's JSON text, so that a test can
// state the exact tree it expects or feeds in.

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

namespace tree_text {

inline std::string n(double value) {
    return R"({"Type":2,"DoubleValue":)" + nlohmann::json(value).dump() + "}";
}
inline std::string v(const std::string& symbol) {
    return R"({"Type":4,"StringValue":")" + symbol + R"("})";
}
inline std::string node(int code, const std::vector<std::string>& children) {
    std::string list;
    for (const auto& child : children) {
        list += (list.empty() ? "" : ",") + child;
    }
    return R"({"Type":)" + std::to_string(code) + R"(,"SubExpressions":[)" + list + "]}";
}
inline std::string sum(const std::vector<std::string>& terms) {
    return node(0, terms);
}
inline std::string product(const std::vector<std::string>& factors) {
    return node(1, factors);
}
inline std::string power(const std::string& base, const std::string& exponent) {
    return node(5, {base, exponent});
}
inline std::string call(const std::string& name, const std::string& argument) {
    return R"({"Type":6,"StringValue":")" + name + R"(","SubExpressions":[)" + argument + "]}";
}

}  // namespace tree_text
