#include "algebra.h"

#include <cmath>
#include <cstddef>
#include <iterator>
#include <utility>

#include "function_table.h"

namespace lang {

namespace {

Expr node(Expr::Kind kind, std::vector<Expr> children) {
    Expr result;
    result.kind = kind;
    result.children = std::move(children);
    return result;
}

// Folds the numbers that open `operands` into one, starting from `start` and
// combining with `combine` in order, as the evaluator accumulates them.
template <typename Combine>
void fold_leading_numbers(std::vector<Expr>& operands, double start, Combine combine) {
    std::size_t count = 0;
    double folded = start;
    while (count < operands.size() && operands[count].kind == Expr::Kind::number) {
        folded = combine(folded, operands[count].number);
        ++count;
    }
    if (count < 2 || !std::isfinite(folded)) {
        return;
    }
    operands.erase(operands.begin() + 1, operands.begin() + static_cast<std::ptrdiff_t>(count));
    operands.front().number = folded;
}

// Moves `operand` onto `kept`, spreading out the operands of a leading node of
// the same kind.
void keep(std::vector<Expr>& kept, Expr& operand, Expr::Kind kind) {
    if (kept.empty() && operand.kind == kind) {
        kept = std::move(operand.children);
    } else {
        kept.push_back(std::move(operand));
    }
}

// Drops the leading operand, folded to the identity of `kind`, and spreads out
// the operands of a node of the same kind that then leads.
void drop_leading_identity(std::vector<Expr>& kept, Expr::Kind kind) {
    kept.erase(kept.begin());
    if (!kept.empty() && kept.front().kind == kind) {
        std::vector<Expr> inner = std::move(kept.front().children);
        kept.erase(kept.begin());
        kept.insert(kept.begin(), std::make_move_iterator(inner.begin()),
                    std::make_move_iterator(inner.end()));
    }
}

Expr single_or_node(Expr::Kind kind, std::vector<Expr> operands, double empty_value) {
    if (operands.empty()) {
        return make_number(empty_value);
    }
    if (operands.size() == 1) {
        return std::move(operands.front());
    }
    return node(kind, std::move(operands));
}

}  // namespace

Expr make_number(double value) {
    Expr result;
    result.number = value;
    return result;
}

Expr make_variable(std::string symbol) {
    Expr result;
    result.kind = Expr::Kind::variable;
    result.symbol = std::move(symbol);
    return result;
}

Expr make_sum(std::vector<Expr> terms) {
    std::vector<Expr> kept;
    kept.reserve(terms.size());
    for (Expr& term : terms) {
        if (!is_number(term, 0.0)) {
            keep(kept, term, Expr::Kind::sum);
        }
    }
    fold_leading_numbers(kept, 0.0, [](double total, double term) { return total + term; });
    if (!kept.empty() && is_number(kept.front(), 0.0)) {
        drop_leading_identity(kept, Expr::Kind::sum);
    }
    return single_or_node(Expr::Kind::sum, std::move(kept), 0.0);
}

// A product whose first factor is -1.
bool is_negation(const Expr& expr) {
    return expr.kind == Expr::Kind::product && is_number(expr.children.front(), -1.0);
}

// The product without its leading -1.
Expr without_negation(Expr negation) {
    negation.children.erase(negation.children.begin());
    return single_or_node(Expr::Kind::product, std::move(negation.children), 1.0);
}

Expr make_product(std::vector<Expr> factors) {
    // Factors -1, alone or leading a product, are gathered into one at the
    // front: multiplying by -1 anywhere only flips the sign, which rounding
    // does not see.
    bool negative = false;
    std::vector<Expr> kept;
    kept.reserve(factors.size() + 1);
    for (Expr& factor : factors) {
        if (is_number(factor, 0.0)) {
            return make_number(0.0);
        }
        if (is_number(factor, 1.0)) {
            continue;
        }
        if (is_number(factor, -1.0)) {
            negative = !negative;
            continue;
        }
        if (is_negation(factor)) {
            negative = !negative;
            factor = without_negation(std::move(factor));
        }
        keep(kept, factor, Expr::Kind::product);
    }
    if (negative) {
        kept.insert(kept.begin(), make_number(-1.0));
    }
    fold_leading_numbers(kept, 1.0, [](double total, double factor) { return total * factor; });
    if (!kept.empty() && is_number(kept.front(), 0.0)) {
        return make_number(0.0);
    }
    if (!kept.empty() && is_number(kept.front(), 1.0)) {
        drop_leading_identity(kept, Expr::Kind::product);
    }
    return single_or_node(Expr::Kind::product, std::move(kept), 1.0);
}

Expr make_power(Expr base, Expr exponent) {
    // pow(x, 1) is x, and pow(x, 0) and pow(1, y) are 1 for every x and y, NaN included.
    if (is_number(exponent, 1.0)) {
        return base;
    }
    if (is_number(exponent, 0.0) || is_number(base, 1.0)) {
        return make_number(1.0);
    }
    if (base.kind == Expr::Kind::number && exponent.kind == Expr::Kind::number) {
        const double value = std::pow(base.number, exponent.number);
        if (std::isfinite(value)) {
            return make_number(value);
        }
    }
    std::vector<Expr> operands;
    operands.push_back(std::move(base));
    operands.push_back(std::move(exponent));
    return node(Expr::Kind::power, std::move(operands));
}

Expr make_function(Function function, Expr argument) {
    if (argument.kind == Expr::Kind::number) {
        const double value = row_of(function).value(argument.number);
        if (std::isfinite(value)) {
            return make_number(value);
        }
    }
    std::vector<Expr> operands;
    operands.push_back(std::move(argument));
    Expr result = node(Expr::Kind::function, std::move(operands));
    result.function = function;
    return result;
}

std::int64_t node_count(const Expr& tree) {
    std::int64_t count = 0;
    std::vector<const Expr*> pending = {&tree};
    while (!pending.empty()) {
        const Expr* node = pending.back();
        pending.pop_back();
        ++count;
        for (const Expr& child : node->children) {
            pending.push_back(&child);
        }
    }
    return count;
}

Expr negated(Expr operand) {
    if (operand.kind == Expr::Kind::number) {
        operand.number = -operand.number;
        return operand;
    }
    std::vector<Expr> factors;
    factors.push_back(make_number(-1.0));
    if (operand.kind == Expr::Kind::product) {
        std::move(operand.children.begin(), operand.children.end(), std::back_inserter(factors));
    } else {
        factors.push_back(std::move(operand));
    }
    return make_product(std::move(factors));
}

}  // namespace lang
