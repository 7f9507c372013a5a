#include "model_writer.h"

#include <nlohmann/json.hpp>

#include "language_members.h"
#include "model_format.h"

namespace lang {

namespace {

using json = nlohmann::ordered_json;

namespace format = model_format;

json node_json(const Expr& expr);

// Adds the members of `expr` as a node object to `object`.
void add_node_members(json& object, const Expr& expr) {
    switch (expr.kind) {
        case Expr::Kind::number:
            object[format::TYPE] = NODE_NUMBER;
            object[format::DOUBLE_VALUE] = expr.number;
            return;
        case Expr::Kind::variable:
            object[format::TYPE] = NODE_VARIABLE;
            object[format::STRING_VALUE] = expr.symbol;
            return;
        case Expr::Kind::sum:
            object[format::TYPE] = NODE_SUM;
            break;
        case Expr::Kind::product:
            object[format::TYPE] = NODE_PRODUCT;
            break;
        case Expr::Kind::power:
            object[format::TYPE] = NODE_POWER;
            break;
        case Expr::Kind::function:
            object[format::TYPE] = NODE_FUNCTION;
            object[format::STRING_VALUE] = std::string(function_name(expr.function));
            break;
    }
    json& children = object[format::SUB_EXPRESSIONS] = json::array();
    for (const Expr& child : expr.children) {
        children.push_back(node_json(child));
    }
}

json node_json(const Expr& expr) {
    json object = json::object();
    add_node_members(object, expr);
    return object;
}

json entry_json(std::string_view symbol, const Expr& derivative) {
    json entry = json::object();
    entry[format::VARIABLE_SYMBOL] = symbol;
    entry[format::DIFFERENTIAL] = node_json(derivative);
    return entry;
}

void append_line(std::string& lines, const json& record) {
    if (!lines.empty()) {
        lines += ",\n";
    }
    lines += record.dump();
}

std::string list_text(const std::string& lines) {
    return lines.empty() ? "[]" : "[\n" + lines + "\n]";
}

json equation_json(const EquationRecord& equation) {
    json record = json::object();
    record[format::EQUATION_NAME] = equation.name;
    record[format::EQUATION_STRING] = equation.text;
    add_node_members(record, equation.residual);
    json& entries = record[format::VARIABLES] = json::array();
    const Expr zero;
    auto partial = equation.partials.begin();
    for (std::size_t i = 0; i < equation.variables.size(); ++i) {
        const bool has_partial = partial != equation.partials.end() && partial->variable == i;
        entries.push_back(
            entry_json(equation.variables[i], has_partial ? partial->derivative : zero));
        if (has_partial) {
            ++partial;
        }
    }
    return record;
}

}  // namespace

void ModelWriter::add_variable(const VariableRecord& variable) {
    json record = json::object();
    record[format::VARIABLE_SYMBOL] = variable.symbol;
    if (!variable.description.empty()) {
        record[format::VARIABLE_NAME] = variable.description;
    }
    if (variable.lower) {
        record[format::MIN] = *variable.lower;
    }
    if (variable.upper) {
        record[format::MAX] = *variable.upper;
    }
    if (variable.initial) {
        record[format::INITIAL] = *variable.initial;
    }
    append_line(variables_, record);
}

void ModelWriter::add_equation(const EquationRecord& equation) {
    append_line(equations_, equation_json(equation));
}

void ModelWriter::add_specification(const EquationRecord& equation) {
    append_line(specifications_, equation_json(equation));
}

void ModelWriter::add_parameter(const std::string& symbol, const std::string& equation_name) {
    json record = json::object();
    record[format::VARIABLE_SYMBOL] = symbol;
    record[format::EQUATION_NAME] = equation_name;
    append_line(parameters_, record);
}

void ModelWriter::add_output(const OutputRecord& output) {
    json record = json::object();
    record[format::EQUATION_NAME] = output.symbol;
    record[format::EQUATION_STRING] = output.text;
    if (!output.description.empty()) {
        record[format::VARIABLE_NAME] = output.description;
    }
    add_node_members(record, output.tree);
    append_line(outputs_, record);
}

std::string ModelWriter::text() const {
    std::string equations = equations_;
    if (!specifications_.empty()) {
        equations += (equations.empty() ? "" : ",\n") + specifications_;
    }
    std::string file = "{\"" + std::string(format::VARIABLES) + "\":" + list_text(variables_) +
                       ",\n\"" + std::string(format::EQUATION_LIST) + "\":" + list_text(equations);
    const auto member = [&file](std::string_view name, const std::string& lines) {
        if (!lines.empty()) {
            file += ",\n\"" + std::string(name) + "\":" + list_text(lines);
        }
    };
    member(language_members::PARAMETERS, parameters_);
    member(language_members::OUTPUTS, outputs_);
    return file + "}\n";
}

}  // namespace lang
