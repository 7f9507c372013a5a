#include "functions.h"

#include <cstddef>
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

std::string function_list() {
    std::string list;
    for (std::size_t i = 0; i < std::size(functions); ++i) {
        if (i > 0) {
            list += i + 1 == std::size(functions) ? " and " : ", ";
        }
        list += functions[i].name;
    }
    return list;
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
