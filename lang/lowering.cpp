#include "lowering.h"

#include <cmath>
#include <cstdint>
#include <string>
#include <utility>

#include "algebra.h"
#include "instances.h"
#include "text_forms.h"

namespace lang {

namespace {

class Lowering {
  public:
    Lowering(Scope& scope, bool variables_allowed)
        : scope_(scope), variables_allowed_(variables_allowed) {}

    Expr lower(const Syntax& syntax) {
        switch (syntax.kind) {
            case Syntax::Kind::number:
                return make_number(syntax.number);
            case Syntax::Kind::name:
                return name(syntax);
            case Syntax::Kind::indexed:
                return declared(symbol_of(syntax.name, syntax.operands, scope_), syntax.position);
            case Syntax::Kind::call:
                return make_function(syntax.function, lower(syntax.operands.front()));
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
        }
        return make_number(0.0);
    }

  private:
    Expr name(const Syntax& syntax) {
        if (const auto value = scope_.index(syntax.name)) {
            return make_number(static_cast<double>(*value));
        }
        return declared(syntax.name, syntax.position);
    }

    Expr declared(const std::string& symbol, Position where) {
        const Declaration* declaration = scope_.symbols().find(symbol);
        if (declaration == nullptr) {
            scope_.fail(where, symbol + " is not declared");
        }
        if (declaration->kind == Declaration::Kind::constant) {
            return make_number(declaration->value);
        }
        if (!variables_allowed_) {
            scope_.fail(where, symbol +
                                   " is a variable; only numbers, constants and indices can "
                                   "stand here");
        }
        return make_variable(symbol);
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
    bool variables_allowed_;
    std::int64_t terms_ = 0;  // that the sums expanded so far give
};

// Whole numbers that doubles hold exactly.
constexpr double largest_whole = 9007199254740992.0;

}  // namespace

Expr lower_expression(const Syntax& syntax, Scope& scope) {
    return Lowering(scope, true).lower(syntax);
}

double constant_value(const Syntax& syntax, Scope& scope, const std::string& what) {
    const Expr value = Lowering(scope, false).lower(syntax);
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
