#include "functions.h"

#include "lowered_functions.h"

namespace lang {

bool is_builtin_function(std::string_view name) {
    return function_named(name) != nullptr || lowered_function_named(name) != nullptr;
}

std::string function_list() {
    std::string list = function_names(", ");
    for (std::size_t index = 0; index < LOWERED_FUNCTION_COUNT; ++index) {
        list += index + 1 == LOWERED_FUNCTION_COUNT ? " and " : ", ";
        list += LOWERED_FUNCTIONS[index].name;
    }
    return list;
}

}  // namespace lang
