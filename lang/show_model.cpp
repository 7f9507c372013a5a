#include "show_model.h"

#include "text_forms.h"
#include "tree_printer.h"

namespace lang {

namespace {

bool given(double value) {
    return value != VALUE_NOT_GIVEN;
}

std::string given_text(double value) {
    return given(value) ? number_text(value) : "";
}

void show_entry(const VariableDef& entry, std::string& out, Showing showing) {
    out += "  # d/d ";
    out += entry.variable_symbol;
    if (entry.differential) {
        out += " = ";
        print_tree(*entry.differential, out, showing);
    } else {
        out += ": no derivative";
    }
    out += '\n';
}

void show_bounds_and_name(const VariableDef& variable, std::string& out) {
    if (given(variable.min) || given(variable.max)) {
        out += " in [" + given_text(variable.min) + ", " + given_text(variable.max) + "]";
    }
    if (!variable.variable_name.empty()) {
        out += " " + quoted_text(variable.variable_name);
    }
    out += '\n';
}

}  // namespace

void show_variable(const VariableDef& variable, std::string& out) {
    out += "var ";
    out += variable.variable_symbol;
    if (given(variable.initial)) {
        out += " = " + number_text(variable.initial);
    }
    show_bounds_and_name(variable, out);
}

void show_parameter(const VariableDef& parameter, double value, std::string& out) {
    out += "param ";
    out += parameter.variable_symbol;
    out += " = " + number_text(value);
    show_bounds_and_name(parameter, out);
}

void show_output(const ExprNode& output, const std::string& description, std::string& out,
                 Showing showing) {
    out += "out ";
    out += output.equation_name();
    out += " = ";
    print_tree(output, out, showing);
    if (!description.empty()) {
        out += " " + quoted_text(description);
    }
    out += '\n';
}

std::optional<double> specified_value(const ExprNode& equation, std::string_view symbol) {
    const auto is_symbol = [&](const ExprNode& node) {
        return node.type() == NODE_VARIABLE && node.string_value() == symbol;
    };
    if (is_symbol(equation)) {
        return 0.0;
    }
    const Span<const ExprNode> terms = equation.subexpressions();
    if (equation.type() != NODE_SUM || terms.size() != 2 || !is_symbol(terms[0]) ||
        terms[1].type() != NODE_NUMBER) {
        return std::nullopt;
    }
    return -terms[1].double_value();
}

void show_equation_lines(const ExprNode& equation, std::string& out, Showing showing) {
    out += "eq ";
    if (!equation.equation_name().empty()) {
        out += equation.equation_name();
        out += ": ";
    }
    print_tree(equation, out, showing);
    out += " = 0\n";
    for (const auto& entry : equation.variables()) {
        show_entry(entry, out, showing);
    }
}

}  // namespace lang
