#include "registration_records.h"

#include <cstdio>
#include <cstring>

#include "block_structure.h"

namespace {

constexpr std::int64_t VARIABLE_RECORD_KIND = 14;
constexpr std::int64_t EQUATION_RECORD_KIND = 255;
constexpr double EQUATION_RESIDUAL_LIMIT = 1e35;
constexpr double EQUATION_CLASS = 2.0;

// The loader's "not given" is the largest finite double, which the host must
// never see as a value.
double given_or_marker(double value) {
    return value < VALUE_NOT_GIVEN ? value : RTVAR_NOT_GIVEN;
}

}  // namespace

void write_name_field(char (&field)[RT_NAME_FIELD], const std::string& text) {
    std::snprintf(field, sizeof field, "%s", text.c_str());
}

VariableRecord::VariableRecord() {
    fields_.kind = VARIABLE_RECORD_KIND;
    std::memset(fields_.zero, 0, sizeof fields_.zero);
}

void VariableRecord::fill(const VariableDef& variable) {
    write_name_field(fields_.name, to_upper_name(variable.variable_symbol));
    fields_.initial = given_or_marker(variable.initial);
    fields_.lower = given_or_marker(variable.min);
    fields_.upper = given_or_marker(variable.max);
}

EquationRecord::EquationRecord(ZELEOBlock* owner) {
    fields_.kind = EQUATION_RECORD_KIND;
    fields_.owner = owner;
}

void EquationRecord::fill(const ExprNode& equation, std::int32_t number) {
    write_name_field(fields_.name, to_upper_name(equation.equation_name()));
    fields_.residual_limit = EQUATION_RESIDUAL_LIMIT;
    fields_.equation_class = EQUATION_CLASS;
    std::memset(fields_.zero, 0, sizeof fields_.zero);
    fields_.number = number;
}
