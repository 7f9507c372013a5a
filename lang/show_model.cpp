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

}  // namespace

void show_variable(const VariableDef& variable, std::string& out) {
    out += "var ";
    out += variable.variable_symbol;
    if (given(variable.initial)) {
        out += " = " + number_text(variable.initial);
    }
    if (given(variable.min) || given(variable.max)) {
        out += " in [" + given_text(variable.min) + ", " + given_text(variable.max) + "]";
    }
    if (!variable.variable_name.empty()) {
        out += " " + quoted_text(variable.variable_name);
    }
    out += '\n';
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
