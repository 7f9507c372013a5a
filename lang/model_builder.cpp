#include "model_builder.h"

#include <cstdint>
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
        scope.fail(where, std::string(statement.parameter ? "the value " : "the initial value ") +
                              number_text(*variable.initial) + " of " + variable.symbol + " is " +
                              (below ? "below" : "above") + " its bounds");
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
    } else if (const auto* equation = std::get_if<EquationStatement>(&statement)) {
        add_equation(*equation);
    } else if (const auto* output = std::get_if<OutputStatement>(&statement)) {
        add_output(*output);
    } else {
        symbols_.define_function(std::get<FunctionStatement>(statement));
    }
}

void ModelBuilder::add_constant(const ConstantStatement& constant) {
    if (!constant.extents.empty()) {
        add_array_constant(constant);
        return;
    }
    Scope scope(symbols_, limits_);
    count_instances_of(constant.ranges, constant.target.position, scope);
    for_each_instance(constant.ranges, scope, [&] {
        const std::string symbol = symbol_of(constant.target.name, constant.target.indices, scope);
        const double value = constant_value(constant.value, scope, "the value of " + symbol);
        symbols_.declare_constant(symbol, value, constant.target.position);
    });
}

// An array constant: one value per index, from a list of lists as deep as
// the constant has extents, each as long as its extent.
void ModelBuilder::add_array_constant(const ConstantStatement& constant) {
    Scope scope(symbols_, limits_);
    const std::string& name = constant.target.name;
    struct Range {
        std::int64_t first;
        std::int64_t last;
    };
    std::vector<Range> ranges;
    for (const Extent& extent : constant.extents) {
        const std::int64_t first = whole_value(extent.first, scope, "the first index of " + name);
        const std::int64_t last = whole_value(extent.last, scope, "the last index of " + name);
        if (last < first) {
            scope.fail(extent.position, "the indices " + std::to_string(first) + ".." +
                                            std::to_string(last) + " of " + name + " are none");
        }
        ranges.push_back({first, last});
    }
    // Depth first, with a stack of (list, next element, index) per level.
    struct Level {
        const Syntax* list;
        std::size_t next;
    };
    std::vector<Level> levels{{&constant.value, 0}};
    std::vector<std::int64_t> indices;
    const auto check_length = [&](const Syntax& list, std::size_t level) {
        const auto wanted =
            static_cast<std::uint64_t>(ranges[level].last - ranges[level].first) + 1;
        if (list.operands.size() != wanted) {
            scope.fail(list.position, name + " has " + std::to_string(wanted) + " values in " +
                                          std::to_string(ranges[level].first) + ".." +
                                          std::to_string(ranges[level].last) +
                                          ", but the list gives " +
                                          std::to_string(list.operands.size()));
        }
    };
    check_length(constant.value, 0);
    while (!levels.empty()) {
        Level& level = levels.back();
        if (level.next == level.list->operands.size()) {
            levels.pop_back();
            continue;
        }
        const std::size_t depth = levels.size() - 1;
        const Syntax& element = level.list->operands[level.next];
        indices.resize(depth);
        indices.push_back(ranges[depth].first + static_cast<std::int64_t>(level.next));
        ++level.next;
        if (depth + 1 < ranges.size()) {
            check_length(element, depth + 1);
            levels.push_back({&element, 0});
            continue;
        }
        std::string symbol = name + "[";
        for (std::size_t i = 0; i < indices.size(); ++i) {
            symbol += (i == 0 ? "" : ",") + std::to_string(indices[i]);
        }
        symbol += "]";
        const double value = constant_value(element, scope, "the value of " + symbol);
        symbols_.declare_constant(symbol, value, constant.target.position);
    }
}

void ModelBuilder::add_variable(const VariableStatement& statement) {
    Scope scope(symbols_, limits_);
    count_instances_of(statement.ranges, statement.target.position, scope);
    for_each_instance(statement.ranges, scope, [&] {
        VariableRecord variable;
        variable.symbol = symbol_of(statement.target.name, statement.target.indices, scope);
        variable.description = statement.description.value_or("");
        const char* value_name = statement.parameter ? "the value of " : "the initial value of ";
        variable.initial = optional_value(statement.initial, scope, value_name + variable.symbol);
        variable.lower =
            optional_value(statement.lower, scope, "the lower bound of " + variable.symbol);
        variable.upper =
            optional_value(statement.upper, scope, "the upper bound of " + variable.symbol);
        check_bounds(statement, variable, scope);
        symbols_.declare_variable(variable.symbol, statement.target.position, statement.parameter);
        writer_.add_variable(variable);
        if (statement.parameter) {
            add_specification(variable, statement.target.position, scope);
        }
    });
}

// SYMBOL = VALUE, named as the parameter is, so that --free SYMBOL lets the
// model compute it.
void ModelBuilder::add_specification(const VariableRecord& parameter, Position where,
                                     const Scope& scope) {
    EquationRecord record;
    record.name = parameter.symbol;
    name_equation(record.name, where, scope, "the equation of the parameter ");
    record.text = parameter.symbol + " = " + number_text(*parameter.initial);
    record.residual = make_sum(
        operands(make_variable(parameter.symbol), negated(make_number(*parameter.initial))));
    differentiate(record, where, scope);
    writer_.add_specification(record);
    writer_.add_parameter(parameter.symbol, record.name);
}

void ModelBuilder::add_output(const OutputStatement& output) {
    const EquationText text(tokens_, output);
    Scope scope(symbols_, limits_);
    count_instances_of(output.ranges, output.target.position, scope);
    for_each_instance(output.ranges, scope, [&] {
        OutputRecord record;
        record.symbol = symbol_of(output.target.name, output.target.indices, scope);
        record.text = text.instance(scope);
        record.description = output.description.value_or("");
        record.tree = lower_expression(output.value, scope, Allowed::outputs);
        nodes_ += node_count(record.tree);
        if (nodes_ > limits_.nodes) {
            scope.fail(output.target.position,
                       "the model exceeds the limit of " + std::to_string(limits_.nodes) +
                           " nodes, derivatives included (--max-nodes sets it)");
        }
        writer_.add_output(record);
        symbols_.declare_output(record.symbol, std::move(record.tree), output.target.position);
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
        differentiate(record, equation.position, scope);
        writer_.add_equation(record);
    });
}

void ModelBuilder::differentiate(EquationRecord& record, Position where, const Scope& scope) {
    record.variables = variables_in_order(record.residual);
    if (record.variables.empty()) {
        scope.fail(where, "the equation " + record.name + " has no variable left once simplified");
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
        scope.fail(where, "the equation " + record.name + " exceeds the limit of " +
                              std::to_string(limits_.equation_nodes) +
                              " nodes, derivatives included (--max-equation-nodes sets it)");
    }
    count_nodes_of(record, where, scope);
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
