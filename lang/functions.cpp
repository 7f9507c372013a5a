#include "functions.h"

#include <iterator>

namespace lang {

namespace {

struct NamedFunction {
    Function function;
    const char* name;
};

constexpr NamedFunction functions[] = {
    {Function::ln, "ln"},   {Function::log, "log"}, {Function::lg, "lg"},
    {Function::abs, "abs"}, {Function::exp, "exp"}, {Function::sqrt, "sqrt"},
};

}  // namespace

std::optional<Function> function_named(std::string_view name) {
    for (const auto& named : functions) {
        if (name == named.name) {
            return named.function;
        }
    }
    return std::nullopt;
}

const char* function_name(Function function) {
    for (const auto& named : functions) {
        if (named.function == function) {
            return named.name;
        }
    }
    return "";
}

}  // namespace lang
