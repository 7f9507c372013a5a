#pragma once

// What the model file's format is made of, as every reading and writing of a
// model file knows it: the members' names, the node codes and which members
// each code reads, and how a member or element is named in a JSON pointer.

#include <cstdint>
#include <string>
#include <string_view>

// Node codes of an expression tree, as the model file gives them in "Type".
enum NodeCode : std::int32_t {
    NODE_SUM = 0,
    NODE_PRODUCT = 1,
    NODE_NUMBER = 2,
    NODE_NUMERIC_TEXT = 3,
    NODE_VARIABLE = 4,
    NODE_POWER = 5,
    NODE_FUNCTION = 6,
    NODE_UNRECOGNISED = 8,  // a code the loader does not know, or a node not read
};

namespace model_format {

// The members, of the document, of a node object or of a variable object.
inline constexpr char EQUATION_LIST[] = "EquationList";
inline constexpr char VARIABLES[] = "Variables";  // the document's, or an equation's entries
inline constexpr char OBJECT[] = "object";        // a record's guard
inline constexpr char TYPE[] = "Type";
inline constexpr char EQUATION_NAME[] = "EquationName";
inline constexpr char EQUATION_STRING[] = "EquationString";
inline constexpr char SUB_EXPRESSIONS[] = "SubExpressions";
inline constexpr char DOUBLE_VALUE[] = "DoubleValue";
inline constexpr char STRING_VALUE[] = "StringValue";
inline constexpr char VARIABLE_NAME[] = "VariableName";
inline constexpr char VARIABLE_SYMBOL[] = "VariableSymbol";
inline constexpr char MIN[] = "Min";
inline constexpr char MAX[] = "Max";
inline constexpr char INITIAL[] = "Initial";
inline constexpr char DIFFERENTIAL[] = "Differential";

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
            return name[1] == 'i' ? is(MIN, Member::min) : is(MAX, Member::max);
        case 4:
            return is(TYPE, Member::type);
        case 6:
            return is(OBJECT, Member::object);
        case 7:
            return is(INITIAL, Member::initial);
        case 9:
            return is(VARIABLES, Member::variables);
        case 11:
            return name[0] == 'D' ? is(DOUBLE_VALUE, Member::double_value)
                                  : is(STRING_VALUE, Member::string_value);
        case 12:
            switch (name[0]) {
                case 'E':
                    return name[8] == 'L' ? is(EQUATION_LIST, Member::equation_list)
                                          : is(EQUATION_NAME, Member::equation_name);
                case 'V':
                    return is(VARIABLE_NAME, Member::variable_name);
                default:
                    return is(DIFFERENTIAL, Member::differential);
            }
        case 14:
            switch (name[0]) {
                case 'E':
                    return is(EQUATION_STRING, Member::equation_string);
                case 'S':
                    return is(SUB_EXPRESSIONS, Member::sub_expressions);
                default:
                    return is(VARIABLE_SYMBOL, Member::variable_symbol);
            }
        default:
            return Member::other;
    }
}

// Which members a node code reads beside "Type", the names and "Variables":
// its children, its number, its text (a function reads both its text and
// its children). A code the format does not know reads none.
inline bool reads_children(std::int32_t code) {
    return code == NODE_SUM || code == NODE_PRODUCT || code == NODE_POWER || code == NODE_FUNCTION;
}

inline bool reads_number(std::int32_t code) {
    return code == NODE_NUMBER;
}

inline bool reads_text(std::int32_t code) {
    return code == NODE_NUMERIC_TEXT || code == NODE_VARIABLE || code == NODE_FUNCTION;
}

// `key` as one step of a JSON pointer: "/" followed by the key, with "~" and
// "/" escaped.
inline std::string pointer_step(std::string_view key) {
    std::string step = "/";
    for (const char c : key) {
        if (c == '~') {
            step += "~0";
        } else if (c == '/') {
            step += "~1";
        } else {
            step += c;
        }
    }
    return step;
}

}  // namespace model_format
