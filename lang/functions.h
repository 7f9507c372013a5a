#pragma once

#include <string>
#include <string_view>

#include "function_table.h"

namespace lang {

// The functions the language knows by name: the six of the model file
// (function_table.h), written as function nodes, and those lowered to them
// (lowered_functions.h). The functions a model defines with def are its own.

// Whether `name` is one of them, and so a reserved word.
bool is_builtin_function(std::string_view name);

// Their names for a message: "ln, log, lg, abs, exp, sqrt, min, max, tanh,
// sinh and cosh".
std::string function_list();

// The name the model file gives the function.
inline std::string_view function_name(Function function) {
    return row_of(function).name;
}

}  // namespace lang
