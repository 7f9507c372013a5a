#include "derivative.h"

#include <algorithm>
#include <utility>

#include "algebra.h"

namespace lang {

namespace {

using Partials = std::vector<Partial>;

void add_unless_zero(Partials& partials, std::size_t variable, Expr derivative) {
    if (!is_number(derivative, 0.0)) {
        partials.push_back({variable, std::move(derivative)});
    }
}

// Sums the pieces of each variable's derivative, keeping their order.
Partials summed_by_variable(Partials pieces) {
    std::stable_sort(pieces.begin(), pieces.end(),
                     [](const Partial& a, const Partial& b) { return a.variable < b.variable; });
    Partials result;
    for (std::size_t first = 0; first < pieces.size();) {
        std::size_t end = first;
        std::vector<Expr> terms;
        while (end < pieces.size() && pieces[end].variable == pieces[first].variable) {
            terms.push_back(std::move(pieces[end].derivative));
            ++end;
        }
        add_unless_zero(result, pieces[first].variable, make_sum(std::move(terms)));
        first = end;
    }
    return result;
}

Expr minus_one() {
    return make_number(-1.0);
}

// Copies subtrees into derivatives. A counting copier only charges their
// nodes to a budget and hands back a one-node stand-in, so that a first pass
// learns the size of the derivatives before any large copy is made: those of
// a long sum squared hold the sum once per variable. Leaves are copied as
// they are, and a stand-in is no number, like every larger subtree of a
// simplified residual, so the builders fold and drop the same pieces in
// both passes and the count is that of the real copies.
class Copier {
  public:
    Copier() = default;
    explicit Copier(NodeBudget& budget) : budget_(&budget) {}

    Expr operator()(const Expr& tree) const {
        if (budget_ == nullptr) {
            return tree;
        }
        budget_->charge(node_count(tree));
        return tree.children.empty() ? tree : make_variable("");
    }

  private:
    NodeBudget* budget_ = nullptr;
};

// sign(u) from the plug-in's node kinds; see the header.
Expr sign_of(const Expr& u, const Copier& copy) {
    std::vector<Expr> terms;
    terms.push_back(make_power(make_number(0.0), make_function(Function::sqrt, negated(copy(u)))));
    terms.push_back(negated(make_power(make_number(0.0), make_function(Function::sqrt, copy(u)))));
    return make_sum(std::move(terms));
}

// The factor g(u) of d f(u) = scale * u' * g(u), by the function's rule.
Expr rule_factor(const Expr& call, const FunctionRow& function, const Copier& copy) {
    const Expr& u = call.children.front();
    switch (function.rule) {
        case DerivativeRule::power_of_argument:
            return make_power(copy(u), make_number(function.exponent));
        case DerivativeRule::itself:
            return copy(call);
        case DerivativeRule::sign_of_argument:
            return sign_of(u, copy);
    }
    return sign_of(u, copy);  // not reached: every rule returns above
}

// d f(u) from u' = du; `call` is f(u) itself.
Expr chain_rule(const Expr& call, Expr du, const Copier& copy) {
    const FunctionRow& function = row_of(call.function);
    return make_product(
        operands(make_number(function.scale), std::move(du), rule_factor(call, function, copy)));
}

// Whether two trees are the same, node for node.
bool same_tree(const Expr& a, const Expr& b) {
    if (a.kind != b.kind || a.children.size() != b.children.size()) {
        return false;
    }
    const bool same_leaf = a.kind == Expr::Kind::number     ? a.number == b.number
                           : a.kind == Expr::Kind::variable ? a.symbol == b.symbol
                           : a.kind == Expr::Kind::function ? a.function == b.function
                                                            : true;
    if (!same_leaf) {
        return false;
    }
    for (std::size_t i = 0; i < a.children.size(); ++i) {
        if (!same_tree(a.children[i], b.children[i])) {
            return false;
        }
    }
    return true;
}

// abs(u)^p as u and p (abs(u) alone as p = 1), for a number p.
struct AbsPower {
    const Expr* u = nullptr;
    double p = 1.0;
};

AbsPower abs_power_of(const Expr& factor) {
    const auto is_abs = [](const Expr& expr) {
        return expr.kind == Expr::Kind::function && expr.function == Function::abs;
    };
    if (is_abs(factor)) {
        return {&factor.children.front(), 1.0};
    }
    if (factor.kind == Expr::Kind::power && is_abs(factor.children[0]) &&
        factor.children[1].kind == Expr::Kind::number) {
        return {&factor.children[0].children.front(), factor.children[1].number};
    }
    return {};
}

// What the product rule takes as one factor: a factor of the product, or a
// factor u with a factor abs(u)^p. The pair's derivative is (1 + p) *
// abs(u)^p * u', which is finite at u = 0 where the rule applied to each of
// them gives u * p * abs(u)^(p - 1) * sign(u), 0 times infinity for p < 1:
// Hazen-Williams' Q*abs(Q)^0.852 of a flow that may reverse.
struct Unit {
    static constexpr std::size_t ABSENT = static_cast<std::size_t>(-1);
    std::size_t first;            // the factor, or u
    std::size_t second = ABSENT;  // abs(u)^p
    double p = 0.0;
};

std::vector<Unit> units_of(const Expr& product) {
    const std::vector<Expr>& factors = product.children;
    std::vector<Unit> pairs;
    std::vector<std::size_t> pair_of(factors.size(), Unit::ABSENT);
    for (std::size_t j = 0; j < factors.size(); ++j) {
        const AbsPower power = abs_power_of(factors[j]);
        if (power.u == nullptr || pair_of[j] != Unit::ABSENT) {
            continue;
        }
        for (std::size_t i = 0; i < factors.size(); ++i) {
            if (i != j && pair_of[i] == Unit::ABSENT && same_tree(factors[i], *power.u)) {
                pair_of[i] = pair_of[j] = pairs.size();
                pairs.push_back({i, j, power.p});
                break;
            }
        }
    }
    std::vector<Unit> units;
    for (std::size_t k = 0; k < factors.size(); ++k) {
        if (pair_of[k] == Unit::ABSENT) {
            units.push_back({k});
        } else if (const Unit& pair = pairs[pair_of[k]]; k == std::min(pair.first, pair.second)) {
            units.push_back(pair);
        }
    }
    return units;
}

// d u^v for one variable; either derivative may be absent (zero).
Expr power_rule(const Expr& power, Expr* du, Expr* dv, const Copier& copy) {
    const Expr& u = power.children[0];
    const Expr& v = power.children[1];
    if (dv == nullptr) {
        Expr reduced = make_power(copy(u), make_sum(operands(copy(v), minus_one())));
        return make_product(operands(copy(v), std::move(*du), std::move(reduced)));
    }
    if (du == nullptr) {
        return make_product(
            operands(copy(power), make_function(Function::ln, copy(u)), std::move(*dv)));
    }
    Expr through_exponent =
        make_product(operands(std::move(*dv), make_function(Function::ln, copy(u))));
    Expr through_base =
        make_product(operands(copy(v), std::move(*du), make_power(copy(u), minus_one())));
    return make_product(operands(
        copy(power), make_sum(operands(std::move(through_exponent), std::move(through_base)))));
}

class Differentiator {
  public:
    Differentiator(const VariableNumbers& numbers, Copier copy) : numbers_(numbers), copy_(copy) {}

    Partials of(const Expr& expr) const {
        switch (expr.kind) {
            case Expr::Kind::number:
                return {};
            case Expr::Kind::variable:
                return {{numbers_.at(expr.symbol), make_number(1.0)}};
            case Expr::Kind::sum:
                return of_sum(expr);
            case Expr::Kind::product:
                return of_product(expr);
            case Expr::Kind::power:
                return of_power(expr);
            case Expr::Kind::function:
                return of_function(expr);
        }
        return {};
    }

  private:
    Partials of_sum(const Expr& sum) const {
        Partials pieces;
        for (const Expr& term : sum.children) {
            Partials partials = of(term);
            std::move(partials.begin(), partials.end(), std::back_inserter(pieces));
        }
        return summed_by_variable(std::move(pieces));
    }

    // Each unit's derivative in its place among copies of the other factors:
    // a pair's where its first factor stands.
    Partials of_product(const Expr& product) const {
        const std::vector<Expr>& children = product.children;
        Partials pieces;
        for (const Unit& unit : units_of(product)) {
            const bool pair = unit.second != Unit::ABSENT;
            const std::size_t place = pair ? std::min(unit.first, unit.second) : unit.first;
            for (Partial& partial : of(children[unit.first])) {
                std::vector<Expr> factors;
                factors.reserve(children.size() + 1);
                for (std::size_t j = 0; j < children.size(); ++j) {
                    if (j == place && pair) {
                        factors.push_back(make_number(1.0 + unit.p));
                        factors.push_back(copy_(children[unit.second]));
                        factors.push_back(std::move(partial.derivative));
                    } else if (j == place) {
                        factors.push_back(std::move(partial.derivative));
                    } else if (!pair || (j != unit.first && j != unit.second)) {
                        factors.push_back(copy_(children[j]));
                    }
                }
                add_unless_zero(pieces, partial.variable, make_product(std::move(factors)));
            }
        }
        return summed_by_variable(std::move(pieces));
    }

    Partials of_power(const Expr& power) const {
        Partials of_base = of(power.children[0]);
        Partials of_exponent = of(power.children[1]);
        Partials result;
        auto base = of_base.begin();
        auto exponent = of_exponent.begin();
        while (base != of_base.end() || exponent != of_exponent.end()) {
            const bool take_base = exponent == of_exponent.end() ||
                                   (base != of_base.end() && base->variable <= exponent->variable);
            const bool take_exponent =
                base == of_base.end() ||
                (exponent != of_exponent.end() && exponent->variable <= base->variable);
            const std::size_t variable = take_base ? base->variable : exponent->variable;
            Expr* du = take_base ? &(base++)->derivative : nullptr;
            Expr* dv = take_exponent ? &(exponent++)->derivative : nullptr;
            add_unless_zero(result, variable, power_rule(power, du, dv, copy_));
        }
        return result;
    }

    Partials of_function(const Expr& call) const {
        Partials result;
        for (Partial& partial : of(call.children.front())) {
            add_unless_zero(result, partial.variable,
                            chain_rule(call, std::move(partial.derivative), copy_));
        }
        return result;
    }

    const VariableNumbers& numbers_;
    Copier copy_;
};

struct Extent {
    double size = 0;       // nodes
    double variables = 0;  // variable nodes, at least the distinct variables
    double copies = 0;     // a bound on the nodes the derivatives copy
};

// The derivatives copy nothing at a sum or a leaf. At any other node they
// make at most one piece per variable below it, and each piece copies at most
// three times the node's size (a power of two variables copies the power,
// its base twice and its exponent), so copies stay below the sum over such
// nodes of 3 * size * variables. In doubles: a bound, never overflowing.
Extent extent(const Expr& expr) {
    Extent total{1, expr.kind == Expr::Kind::variable ? 1.0 : 0.0, 0};
    for (const Expr& child : expr.children) {
        const Extent part = extent(child);
        total.size += part.size;
        total.variables += part.variables;
        total.copies += part.copies;
    }
    if (expr.kind != Expr::Kind::sum && !expr.children.empty()) {
        total.copies += 3 * total.size * total.variables;
    }
    return total;
}

void collect_variables(const Expr& expr, std::vector<std::string_view>& order,
                       VariableNumbers& seen) {
    if (expr.kind == Expr::Kind::variable) {
        if (seen.emplace(expr.symbol, order.size()).second) {
            order.push_back(expr.symbol);
        }
        return;
    }
    for (const Expr& child : expr.children) {
        collect_variables(child, order, seen);
    }
}

}  // namespace

std::vector<std::string_view> variables_in_order(const Expr& expr) {
    std::vector<std::string_view> order;
    VariableNumbers seen;
    collect_variables(expr, order, seen);
    return order;
}

std::vector<Partial> partial_derivatives(const Expr& expr, const VariableNumbers& numbers,
                                         NodeBudget& budget) {
    // The counting pass is needed only where the copies might pass the
    // budget: for the equations of real models the bound says they cannot.
    if (extent(expr).copies > static_cast<double>(budget.left())) {
        Differentiator(numbers, Copier(budget)).of(expr);
    }
    return Differentiator(numbers, Copier()).of(expr);
}

}  // namespace lang
