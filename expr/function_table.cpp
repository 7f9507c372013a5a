#include "function_table.h"

const FunctionRow* function_named(std::string_view name) {
    for (const FunctionRow& row : FUNCTIONS) {
        if (row.name == name) {
            return &row;
        }
    }
    return nullptr;
}

double function_value(std::string_view name, double x) {
    const FunctionRow* row = function_named(name);
    return row ? row->value(x) : 0.0;
}

std::string function_names(const char* last_joint) {
    std::string names;
    for (std::size_t index = 0; index < FUNCTION_COUNT; ++index) {
        if (index > 0) {
            names += index + 1 == FUNCTION_COUNT ? last_joint : ", ";
        }
        names += FUNCTIONS[index].name;
    }
    return names;
}
