#pragma once

// The model file's member names, as the loader and every other reading of
// the file know them.

#include <cstdint>
#include <string_view>

namespace model_reading {

// The members the loader knows, of any record.
enum class Member : std::uint8_t {
    other,
    equation_list,
    variables,
    type,
    equation_name,
    equation_string,
    double_value,
    string_value,
    sub_expressions,
    object,
    variable_name,
    variable_symbol,
    min,
    max,
    initial,
    differential,
};

// Which member `name` is: its length and a letter or two single out the one
// candidate, which one comparison confirms, since this runs for every member
// of a large file.
inline Member member_named(std::string_view name) {
    const auto is = [&](std::string_view text, Member member) {
        return name == text ? member : Member::other;
    };
    switch (name.size()) {
        case 3:
            return name[1] == 'i' ? is("Min", Member::min) : is("Max", Member::max);
        case 4:
            return is("Type", Member::type);
        case 6:
            return is("object", Member::object);
        case 7:
            return is("Initial", Member::initial);
        case 9:
            return is("Variables", Member::variables);
        case 11:
            return name[0] == 'D' ? is("DoubleValue", Member::double_value)
                                  : is("StringValue", Member::string_value);
        case 12:
            switch (name[0]) {
                case 'E':
                    return name[8] == 'L' ? is("EquationList", Member::equation_list)
                                          : is("EquationName", Member::equation_name);
                case 'V':
                    return is("VariableName", Member::variable_name);
                default:
                    return is("Differential", Member::differential);
            }
        case 14:
            switch (name[0]) {
                case 'E':
                    return is("EquationString", Member::equation_string);
                case 'S':
                    return is("SubExpressions", Member::sub_expressions);
                default:
                    return is("VariableSymbol", Member::variable_symbol);
            }
        default:
            return Member::other;
    }
}

}  // namespace model_reading
