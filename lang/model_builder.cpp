#include "model_builder.h"

#include <optional>
#include <utility>

#include "algebra.h"
#include "derivative.h"
#include "equation_text.h"
#include "instances.h"
#include "lowering.h"
#include "scope.h"
#include "text_forms.h"

namespace lang {

namespace {

std::optional<double> optional_value(const std::optional<Syntax>& syntax, Scope& scope,
                                     const std::string& what) {
    if (!syntax) {
        return std::nullopt;
    }
    return constant_value(*syntax, scope, what);
}

// Bounds must be ordered, and an initial value must lie within them.
void check_bounds(const VariableStatement& statement, const VariableRecord& variable,
                  Scope& scope) {
    const Position where = statement.target.position;
    if (variable.lower && variable.upper && *variable.lower > *variable.upper) {
        scope.fail(where, "the lower bound " + number_text(*variable.lower) + " of " +
                              variable.symbol + " is above its upper bound " +
                              number_text(*variable.upper));
    }
    if (!variable.initial) {
        return;
    }
    const bool below = variable.lower && *variable.initial < *variable.lower;
    const bool above = variable.upper && *variable.initial > *variable.upper;
    if (below || above) {
        scope.fail(where, "the initial value " + number_text(*variable.initial) + " of " +
                              variable.symbol + " is " + (below ? "below" : "above") +
                              " its bounds");
    }
}

// lhs - rhs.
Expr residual_of(const EquationStatement& equation, Scope& scope) {
    return make_sum(operands(lower_expression(equation.lhs, scope),
                             negated(lower_expression(equation.rhs, scope))));
}

}  // namespace

void ModelBuilder::add(const Statement& statement) {
    if (const auto* constant = std::get_if<ConstantStatement>(&statement)) {
        add_constant(*constant);
    } else if (const auto* variable = std::get_if<VariableStatement>(&statement)) {
        add_variable(*variable);
    } else {
        add_equation(std::get<EquationStatement>(statement));
    }
}

void ModelBuilder::add_constant(const ConstantStatement& constant) {
    Scope scope(symbols_, limits_);
    count_instances_of(constant.ranges, constant.target.position, scope);
    for_each_instance(constant.ranges, scope, [&] {
        const std::string symbol = symbol_of(constant.target.name, constant.target.indices, scope);
        const double value = constant_value(constant.value, scope, "the value of " + symbol);
        symbols_.declare_constant(symbol, value, constant.target.position);
    });
}

void ModelBuilder::add_variable(const VariableStatement& statement) {
    Scope scope(symbols_, limits_);
    count_instances_of(statement.ranges, statement.target.position, scope);
    for_each_instance(statement.ranges, scope, [&] {
        VariableRecord variable;
        variable.symbol = symbol_of(statement.target.name, statement.target.indices, scope);
        variable.description = statement.description.value_or("");
        variable.initial =
            optional_value(statement.initial, scope, "the initial value of " + variable.symbol);
        variable.lower =
            optional_value(statement.lower, scope, "the lower bound of " + variable.symbol);
        variable.upper =
            optional_value(statement.upper, scope, "the upper bound of " + variable.symbol);
        check_bounds(statement, variable, scope);
        symbols_.declare_variable(variable.symbol, statement.target.position);
        writer_.add_variable(variable);
    });
}

void ModelBuilder::add_equation(const EquationStatement& equation) {
    const EquationText text(tokens_, equation);
    Scope scope(symbols_, limits_);
    count_instances_of(equation.ranges, equation.position, scope);
    for_each_instance(equation.ranges, scope, [&] {
        ++equation_count_;
        EquationRecord record;
        if (equation.label) {
            record.name = symbol_of(equation.label->name, equation.label->indices, scope);
            name_equation(record.name, equation.label->position, scope, "the equation name ");
        } else {
            record.name = "E" + std::to_string(equation_count_);
            name_equation(record.name, equation.position, scope,
                          "this equation has no label, and its default name ");
        }
        record.text = text.instance(scope);
        record.residual = residual_of(equation, scope);
        record.variables = variables_in_order(record.residual);
        if (record.variables.empty()) {
            scope.fail(equation.position,
                       "the equation " + record.name + " has no variable left once simplified");
        }
        VariableNumbers numbers;
        for (std::size_t i = 0; i < record.variables.size(); ++i) {
            numbers.emplace(record.variables[i], i);
        }
        try {
            NodeBudget budget(limits_.equation_nodes);
            budget.charge(node_count(record.residual));
            record.partials = partial_derivatives(record.residual, numbers, budget);
        } catch (const NodeLimitReached&) {
            scope.fail(equation.position, "the equation " + record.name + " exceeds the limit of " +
                                              std::to_string(limits_.equation_nodes) +
                                              " nodes, derivatives included "
                                              "(--max-equation-nodes sets it)");
        }
        count_nodes_of(record, equation.position, scope);
        writer_.add_equation(record);
    });
}

void ModelBuilder::count_instances_of(const std::vector<LoopRange>& ranges, Position where,
                                      Scope& scope) {
    instances_ += count_instances(ranges, scope, limits_.instances - instances_);
    if (instances_ > limits_.instances) {
        scope.fail(ranges.empty() ? where : ranges.front().position,
                   "the statements exceed the limit of " + std::to_string(limits_.instances) +
                       " instances in the model (--max-instances sets it)");
    }
}

void ModelBuilder::count_nodes_of(const EquationRecord& record, Position where,
                                  const Scope& scope) {
    nodes_ += node_count(record.residual);
    for (const Partial& partial : record.partials) {
        nodes_ += node_count(partial.derivative);
    }
    if (nodes_ > limits_.nodes) {
        scope.fail(where, "the model exceeds the limit of " + std::to_string(limits_.nodes) +
                              " nodes, derivatives included (--max-nodes sets it)");
    }
}

void ModelBuilder::name_equation(const std::string& name, Position where, const Scope& scope,
                                 const std::string& what) {
    const auto [found, added] = equation_names_.try_emplace(host_name(name), where);
    if (!added) {
        scope.fail(where, what + name + " is already given at line " +
                              std::to_string(found->second.line) + " (the host upper-cases names)");
    }
}

}  // namespace lang
