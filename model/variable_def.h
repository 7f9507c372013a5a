#pragma once

#include <cstdint>
#include <limits>
#include <string_view>

class ExprNode;

// Marks a bound or initial value that the model file does not give.
inline constexpr double VALUE_NOT_GIVEN = std::numeric_limits<double>::max();

// A model variable, or one entry of an equation (a Jacobian nonzero, with the
// equation's partial derivative as its `differential`). Its texts and its
// derivative tree live in the model's storage.
struct VariableDef {
    std::string_view variable_symbol;
    std::string_view variable_name;
    const ExprNode* differential = nullptr;
    double min = VALUE_NOT_GIVEN;
    double max = VALUE_NOT_GIVEN;
    double initial = VALUE_NOT_GIVEN;
    std::int32_t variable_number = -1;
    std::int32_t nonzero_number = -1;
};
