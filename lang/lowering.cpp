#include "lowering.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <utility>

#include "algebra.h"
#include "functions.h"
#include "instances.h"
#include "lowered_functions.h"
#include "parser.h"
#include "text_forms.h"

namespace lang {

namespace {

// How deep lowering may recurse, counting every construct but numbers and
// names: the parser's limit allows up to about three constructs per level
// (a sum, a product and what they hold), so text the parser takes never
// comes near it; the bodies of functions called within functions may.
constexpr int max_lowering_depth = 4 * max_nesting;

class Lowering {
  public:
    Lowering(Scope& scope, Allowed allowed)
        : scope_(scope), allowed_(allowed), budget_(scope.limits().equation_nodes) {}

    Expr lower(const Syntax& syntax) {
        switch (syntax.kind) {
            case Syntax::Kind::number:
                return make_number(syntax.number);
            case Syntax::Kind::name:
                return name(syntax);
            default:
                break;
        }
        const Scope::Level level(scope_, syntax.position, max_lowering_depth);
        switch (syntax.kind) {
            case Syntax::Kind::indexed:
                return declared(symbol_of(syntax.name, syntax.operands, scope_), syntax.position);
            case Syntax::Kind::call:
                return call(syntax);
            case Syntax::Kind::negate:
                return negated(lower(syntax.operands.front()));
            case Syntax::Kind::terms:
                return terms(syntax);
            case Syntax::Kind::factors:
                return factors(syntax);
            case Syntax::Kind::power:
                return make_power(lower(syntax.operands[0]), lower(syntax.operands[1]));
            case Syntax::Kind::sum_over:
                return sum_over(syntax);
            case Syntax::Kind::list:
                scope_.fail(syntax.position,
                            "a list of values stands only after const NAME[FIRST..LAST] =");
            case Syntax::Kind::number:
            case Syntax::Kind::name:
                break;
        }
        return make_number(0.0);  // not reached: every kind returns above
    }

  private:
    Expr name(const Syntax& syntax) {
        if (const Expr* argument = scope_.argument(syntax.name)) {
            return copy(*argument, syntax.position);
        }
        if (const auto value = scope_.index(syntax.name)) {
            return make_number(static_cast<double>(*value));
        }
        return declared(syntax.name, syntax.position);
    }

    // A copy of a subtree used more than once, counted against the limit on
    // an equation's nodes, so that functions nested in functions cannot ask
    // for more than it allows.
    Expr copy(const Expr& tree, Position where) {
        try {
            budget_.charge(node_count(tree));
        } catch (const NodeLimitReached&) {
            scope_.fail(where, "the expression exceeds the limit of " +
                                   std::to_string(scope_.limits().equation_nodes) +
                                   " nodes once its functions are expanded "
                                   "(--max-equation-nodes sets it)");
        }
        return tree;
    }

    Expr declared(const std::string& symbol, Position where) {
        const Declaration* declaration = scope_.symbols().find(symbol);
        if (declaration == nullptr) {
            scope_.fail(where, symbol + " is not declared");
        }
        switch (declaration->kind) {
            case Declaration::Kind::constant:
                return make_number(declaration->value);
            case Declaration::Kind::output:
                if (allowed_ != Allowed::outputs) {
                    scope_.fail(where, symbol +
                                           " is an output, computed after a solve; only other "
                                           "outputs can use it (a def names an expression for "
                                           "equations too)");
                }
                return copy(*declaration->expression, where);
            case Declaration::Kind::variable:
            case Declaration::Kind::parameter:
                break;
        }
        if (allowed_ == Allowed::constants) {
            scope_.fail(where, symbol +
                                   " is a variable; only numbers, constants and indices can "
                                   "stand here");
        }
        return make_variable(symbol);
    }

    Expr call(const Syntax& syntax) {
        std::vector<Expr> arguments;
        arguments.reserve(syntax.operands.size());
        for (const Syntax& argument : syntax.operands) {
            arguments.push_back(lower(argument));
        }
        if (const FunctionRow* function = function_named(syntax.name)) {
            require_arguments(syntax, arguments.size(), 1, 1);
            return make_function(function->function, std::move(arguments.front()));
        }
        if (const LoweredFunction* lowered = lowered_function_named(syntax.name)) {
            require_arguments(syntax, arguments.size(), lowered->least_arguments,
                              lowered->most_arguments);
            return lowered->lower(std::move(arguments),
                                  [&](const Expr& tree) { return copy(tree, syntax.position); });
        }
        const FunctionDefinition* defined = scope_.symbols().find_function(syntax.name);
        if (defined == nullptr) {
            scope_.fail(syntax.position, "unknown function " + syntax.name +
                                             "; the functions are " + function_list());
        }
        const std::size_t count = defined->parameters.size();
        require_arguments(syntax, arguments.size(), count, count);
        return expand(*defined, std::move(arguments));
    }

    // The body with its arguments in place of its parameters, seeing none of
    // the caller's indices.
    Expr expand(const FunctionDefinition& function, std::vector<Expr> arguments) {
        const Scope::Expansion expansion(scope_, function, std::move(arguments));
        return lower(function.body);
    }

    void require_arguments(const Syntax& call, std::size_t given, std::size_t least,
                           std::size_t most) const {
        if (given >= least && given <= most) {
            return;
        }
        const auto count = [](std::size_t n) {
            return std::to_string(n) + (n == 1 ? " argument" : " arguments");
        };
        const std::string wanted = least == most        ? count(least)
                                   : most == ANY_NUMBER ? count(least) + " or more"
                                                        : count(least) + " to " + count(most);
        scope_.fail(call.position,
                    call.name + " takes " + wanted + ", not " + std::to_string(given));
    }

    Expr terms(const Syntax& syntax) {
        std::vector<Expr> lowered;
        lowered.reserve(syntax.operands.size());
        lowered.push_back(lower(syntax.operands.front()));
        for (std::size_t i = 1; i < syntax.operands.size(); ++i) {
            Expr term = lower(syntax.operands[i]);
            const bool minus = syntax.operators[i - 1] == TokenKind::minus;
            lowered.push_back(minus ? negated(std::move(term)) : std::move(term));
        }
        return make_sum(std::move(lowered));
    }

    Expr factors(const Syntax& syntax) {
        std::vector<Expr> lowered;
        lowered.reserve(syntax.operands.size());
        lowered.push_back(lower(syntax.operands.front()));
        for (std::size_t i = 1; i < syntax.operands.size(); ++i) {
            Expr factor = lower(syntax.operands[i]);
            const bool divide = syntax.operators[i - 1] == TokenKind::slash;
            lowered.push_back(divide ? make_power(std::move(factor), make_number(-1.0))
                                     : std::move(factor));
        }
        return make_product(std::move(lowered));
    }

    Expr sum_over(const Syntax& syntax) {
        const std::int64_t cap = scope_.limits().terms;
        terms_ += count_instances(syntax.ranges, scope_, cap - terms_);
        if (terms_ > cap) {
            scope_.fail(syntax.position, "the sums of this expression exceed the limit of " +
                                             std::to_string(cap) + " terms (--max-terms sets it)");
        }
        std::vector<Expr> terms;
        for_each_instance(syntax.ranges, scope_,
                          [&] { terms.push_back(lower(syntax.operands.front())); });
        return make_sum(std::move(terms));
    }

    Scope& scope_;
    Allowed allowed_;
    NodeBudget budget_;       // the copies that functions make
    std::int64_t terms_ = 0;  // that the sums expanded so far give
};

// Whole numbers that doubles hold exactly.
constexpr double largest_whole = 9007199254740992.0;

}  // namespace

Expr lower_expression(const Syntax& syntax, Scope& scope, Allowed allowed) {
    return Lowering(scope, allowed).lower(syntax);
}

double constant_value(const Syntax& syntax, Scope& scope, const std::string& what) {
    const Expr value = Lowering(scope, Allowed::constants).lower(syntax);
    if (value.kind != Expr::Kind::number) {
        scope.fail(syntax.position, what + " is not a finite number");
    }
    return value.number;
}

std::int64_t whole_value(const Syntax& syntax, Scope& scope, const std::string& what) {
    const double value = constant_value(syntax, scope, what);
    if (std::trunc(value) != value || std::fabs(value) > largest_whole) {
        scope.fail(syntax.position, what + " is " + number_text(value) + ", not a whole number");
    }
    return static_cast<std::int64_t>(value);
}

std::string index_text(const std::string& name, const std::vector<Syntax>& indices, Scope& scope) {
    std::string text = "[";
    for (std::size_t i = 0; i < indices.size(); ++i) {
        text += i == 0 ? "" : ",";
        text += std::to_string(whole_value(indices[i], scope, "the index of " + name));
    }
    return text + "]";
}

std::string symbol_of(const std::string& name, const std::vector<Syntax>& indices, Scope& scope) {
    return indices.empty() ? name : name + index_text(name, indices, scope);
}

}  // namespace lang
