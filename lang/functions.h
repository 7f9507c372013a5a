#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace lang {

// The six functions the plug-in evaluates; log and lg are both base 10.
enum class Function { ln, log, lg, abs, exp, sqrt };

std::optional<Function> function_named(std::string_view name);

// The functions' names for a message: "ln, log, lg, abs, exp and sqrt".
std::string function_list();

// The name the model file gives the function.
const char* function_name(Function function);

}  // namespace lang
