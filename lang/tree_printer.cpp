#include "tree_printer.h"

#include <cmath>
#include <optional>
#include <string_view>
#include <utility>
#include <vector>

#include "text_forms.h"

namespace lang {

namespace {

// How loosely a printed form binds; a form binding looser than its place
// requires goes in parentheses.
enum Level { sum_level, product_level, negative_level, power_level, atom_level };

bool is_number(const ExprNode& node) {
    return node.type() == NODE_NUMBER;
}

// Sums and products of one operand print as the operand.
const ExprNode& past_single_operands(const ExprNode& node) {
    const ExprNode* at = &node;
    while ((at->type() == NODE_SUM || at->type() == NODE_PRODUCT) &&
           at->subexpressions().size() == 1) {
        at = &at->subexpressions().front();
    }
    return *at;
}

Level level_of(const ExprNode& node) {
    switch (node.type()) {
        case NODE_SUM:
            return node.subexpressions().empty() ? atom_level : sum_level;
        case NODE_PRODUCT:
            return node.subexpressions().empty() ? atom_level : product_level;
        case NODE_NUMBER:
            return std::signbit(node.double_value()) ? negative_level : atom_level;
        case NODE_POWER:
            return power_level;
        default:
            return atom_level;
    }
}

// A power with the number -1 as exponent: a divisor.
bool is_reciprocal(const ExprNode& node) {
    return node.type() == NODE_POWER && node.subexpressions().size() == 2 &&
           is_number(node.subexpressions()[1]) && node.subexpressions()[1].double_value() == -1.0;
}

// A product led by a negative number: in a sum, a subtrahend.
bool is_negative_product(const ExprNode& node) {
    return node.type() == NODE_PRODUCT && node.subexpressions().size() >= 2 &&
           is_number(node.subexpressions().front()) &&
           node.subexpressions().front().double_value() < 0.0;
}

// Whether two trees are the same, node for node.
bool same_tree(const ExprNode& a, const ExprNode& b) {
    std::vector<std::pair<const ExprNode*, const ExprNode*>> pending = {{&a, &b}};
    while (!pending.empty()) {
        const auto [x, y] = pending.back();
        pending.pop_back();
        const Span<const ExprNode> xs = x->subexpressions();
        const Span<const ExprNode> ys = y->subexpressions();
        if (x->type() != y->type() || x->string_value() != y->string_value() ||
            xs.size() != ys.size() || (is_number(*x) && x->double_value() != y->double_value())) {
            return false;
        }
        for (std::size_t i = 0; i < xs.size(); ++i) {
            pending.emplace_back(&xs[i], &ys[i]);
        }
    }
    return true;
}

// A tree as a number times factors: 3 is 3 times none, -2*x*y is -2 times x
// and y, x is 1 times x.
struct Scaled {
    double coefficient = 1.0;
    std::vector<const ExprNode*> factors;
};

Scaled scaled(const ExprNode& tree) {
    const ExprNode& node = past_single_operands(tree);
    Scaled result;
    if (is_number(node)) {
        result.coefficient = node.double_value();
    } else if (node.type() == NODE_PRODUCT && !node.subexpressions().empty()) {
        const Span<const ExprNode> factors = node.subexpressions();
        const bool led_by_number = is_number(factors.front());
        if (led_by_number) {
            result.coefficient = factors.front().double_value();
        }
        for (std::size_t i = led_by_number ? 1 : 0; i < factors.size(); ++i) {
            result.factors.push_back(&factors[i]);
        }
    } else {
        result.factors.push_back(&node);
    }
    return result;
}

// Whether `a` is -`b` as the model's builder writes a negation.
bool is_negation_of(const ExprNode& a, const ExprNode& b) {
    const Scaled x = scaled(a);
    const Scaled y = scaled(b);
    if (x.coefficient != -y.coefficient || x.factors.size() != y.factors.size()) {
        return false;
    }
    for (std::size_t i = 0; i < x.factors.size(); ++i) {
        if (!same_tree(*x.factors[i], *y.factors[i])) {
            return false;
        }
    }
    return true;
}

// The argument of 0^sqrt(argument), or none.
const ExprNode* zero_to_sqrt_of(const ExprNode& tree) {
    const ExprNode& node = past_single_operands(tree);
    if (node.type() != NODE_POWER || node.subexpressions().size() != 2) {
        return nullptr;
    }
    const ExprNode& base = node.subexpressions()[0];
    const ExprNode& exponent = node.subexpressions()[1];
    if (!is_number(base) || base.double_value() != 0.0 || exponent.type() != NODE_FUNCTION ||
        exponent.string_value() != "sqrt" || exponent.subexpressions().size() != 1) {
        return nullptr;
    }
    return &exponent.subexpressions()[0];
}

// u when `node` is the sign of u as a model file writes it, 0^sqrt(-u) -
// 0^sqrt(u); otherwise none.
const ExprNode* sign_argument(const ExprNode& node) {
    if (node.type() != NODE_SUM || node.subexpressions().size() != 2) {
        return nullptr;
    }
    const ExprNode& negative = past_single_operands(node.subexpressions()[1]);
    if (negative.type() != NODE_PRODUCT || negative.subexpressions().size() != 2 ||
        !is_number(negative.subexpressions()[0]) ||
        negative.subexpressions()[0].double_value() != -1.0) {
        return nullptr;
    }
    const ExprNode* minus_u = zero_to_sqrt_of(node.subexpressions()[0]);
    const ExprNode* u = zero_to_sqrt_of(negative.subexpressions()[1]);
    if (minus_u == nullptr || u == nullptr || !is_negation_of(*minus_u, *u)) {
        return nullptr;
    }
    return u;
}

// The value of a number, or of a sum or product of numbers alone.
std::optional<double> number_value(const ExprNode& node) {
    if (is_number(node)) {
        return node.double_value();
    }
    if (node.type() != NODE_SUM && node.type() != NODE_PRODUCT) {
        return std::nullopt;
    }
    const bool sum = node.type() == NODE_SUM;
    double value = sum ? 0.0 : 1.0;
    for (const ExprNode& operand : node.subexpressions()) {
        const ExprNode& number = past_single_operands(operand);
        if (!is_number(number)) {
            return std::nullopt;
        }
        value = sum ? value + number.double_value() : value * number.double_value();
    }
    return value;
}

// A sum's terms or a product's factors with nested sums or products spread
// out and the numbers among them folded into one.
struct Folded {
    std::vector<const ExprNode*> parts;  // in order, the numbers left out
    double number;                       // the numbers' sum or product
};

Folded folded(const ExprNode& node) {
    const bool sum = node.type() == NODE_SUM;
    Folded result{{}, sum ? 0.0 : 1.0};
    std::vector<const ExprNode*> pending;
    const auto push_operands = [&pending](const ExprNode& of) {
        const Span<const ExprNode> operands = of.subexpressions();
        for (std::size_t i = operands.size(); i-- > 0;) {
            pending.push_back(&operands[i]);
        }
    };
    push_operands(node);
    while (!pending.empty()) {
        const ExprNode& operand = past_single_operands(*pending.back());
        pending.pop_back();
        const std::optional<double> number = number_value(operand);
        if (operand.type() == node.type() && sign_argument(operand) == nullptr) {
            push_operands(operand);
        } else if (number) {
            result.number = sum ? result.number + *number : result.number * *number;
        } else {
            result.parts.push_back(&operand);
        }
    }
    return result;
}

// The tree as it reads once folded: a sum or product that folds to one
// operand is that operand.
const ExprNode& unwrapped(const ExprNode& tree) {
    const ExprNode* at = &past_single_operands(tree);
    while ((at->type() == NODE_SUM || at->type() == NODE_PRODUCT) &&
           sign_argument(*at) == nullptr) {
        const Folded parts = folded(*at);
        const double identity = at->type() == NODE_SUM ? 0.0 : 1.0;
        if (parts.parts.size() != 1 || parts.number != identity) {
            break;
        }
        at = &past_single_operands(*parts.parts.front());
    }
    return *at;
}

// Whether a tree reads as a negative number or a product led by one.
bool reads_negative(const ExprNode& tree) {
    const ExprNode& node = unwrapped(tree);
    if (is_number(node)) {
        return std::signbit(node.double_value());
    }
    return node.type() == NODE_PRODUCT && sign_argument(node) == nullptr &&
           folded(node).number < 0.0;
}

class TreePrinter {
  public:
    TreePrinter(std::string& out, bool readable) : out_(out), readable_(readable) {}

    void print(const ExprNode& root) {
        pending_.push_back(node_step(root, sum_level));
        while (!pending_.empty()) {
            const Step step = pending_.back();
            pending_.pop_back();
            run(step);
        }
    }

  private:
    // Work still to do, run last first: text to copy, a number, a node to
    // print in a place that requires `context`, or the factors of a product
    // from `first_factor` on, led by `number` unless that is 1.
    // A node step with `negated` prints the node's value negated (read as a
    // number or a product only).
    struct Step {
        enum class Kind { text, number, node, factors } kind;
        std::string_view text;
        const ExprNode* node;
        Level context;
        std::size_t first_factor;
        double number;
        bool negated;
    };

    static Step text_step(std::string_view text) {
        return {Step::Kind::text, text, nullptr, atom_level, 0, 1.0, false};
    }
    static Step number_step(double number) {
        return {Step::Kind::number, {}, nullptr, atom_level, 0, number, false};
    }
    static Step node_step(const ExprNode& node, Level context, bool negated = false) {
        return {Step::Kind::node, {}, &node, context, 0, 1.0, negated};
    }
    static Step factors_step(const ExprNode& product, std::size_t first_factor, double leading) {
        return {Step::Kind::factors, {}, &product, product_level, first_factor, leading, false};
    }

    void run(const Step& step) {
        switch (step.kind) {
            case Step::Kind::text:
                out_ += step.text;
                return;
            case Step::Kind::number:
                out_ += number_text(step.number);
                return;
            case Step::Kind::node:
                if (readable_) {
                    print_readable(unwrapped(*step.node), step.context, step.negated);
                } else {
                    print_node(past_single_operands(*step.node), step.context);
                }
                return;
            case Step::Kind::factors:
                print_factors(step);
                return;
        }
    }

    void print_node(const ExprNode& node, Level context) {
        if (level_of(node) < context) {
            out_ += '(';
            pending_.push_back(text_step(")"));
        }
        switch (node.type()) {
            case NODE_SUM:
                if (node.subexpressions().empty()) {
                    out_ += '0';
                    return;
                }
                return print_sum(node);
            case NODE_PRODUCT:
                if (node.subexpressions().empty()) {
                    out_ += '1';
                    return;
                }
                return print_product(node);
            case NODE_NUMBER:
                out_ += number_text(node.double_value());
                return;
            case NODE_NUMERIC_TEXT:
                out_ += "text(" + quoted_text(node.string_value()) + ")";
                return;
            case NODE_VARIABLE:
                out_ += node.string_value();
                return;
            case NODE_POWER:
                return print_power(node);
            case NODE_FUNCTION:
                return print_function(node);
            default:
                out_ += "<unrecognised node>";
                return;
        }
    }

    void print_sum(const ExprNode& sum) {
        const Span<const ExprNode> terms = sum.subexpressions();
        for (std::size_t i = terms.size() - 1; i >= 1; --i) {
            const ExprNode& term = past_single_operands(terms[i]);
            if (is_number(term) && term.double_value() < 0.0) {
                pending_.push_back(number_step(-term.double_value()));
                pending_.push_back(text_step(" - "));
            } else if (is_negative_product(term)) {
                pending_.push_back(factors_step(term, 1, -term.subexpressions()[0].double_value()));
                pending_.push_back(text_step(" - "));
            } else {
                pending_.push_back(node_step(term, product_level));
                pending_.push_back(text_step(" + "));
            }
        }
        pending_.push_back(node_step(terms.front(), sum_level));
    }

    void print_product(const ExprNode& product) {
        const ExprNode& first = product.subexpressions().front();
        if (is_number(first) && first.double_value() == -1.0) {
            out_ += '-';
            pending_.push_back(factors_step(product, 1, 1.0));
        } else {
            pending_.push_back(factors_step(product, 0, 1.0));
        }
    }

    void print_factors(const Step& step) {
        const Span<const ExprNode> factors = step.node->subexpressions();
        const bool led_by_number = step.number != 1.0;
        const std::size_t first_joined = led_by_number ? step.first_factor : step.first_factor + 1;
        for (std::size_t i = factors.size(); i-- > first_joined;) {
            const ExprNode& factor = factors[i];
            if (is_reciprocal(factor)) {
                pending_.push_back(node_step(factor.subexpressions()[0], power_level));
                pending_.push_back(text_step("/"));
            } else {
                pending_.push_back(node_step(factor, power_level));
                pending_.push_back(text_step("*"));
            }
        }
        if (led_by_number) {
            out_ += number_text(step.number);
        } else {
            pending_.push_back(node_step(factors[step.first_factor], product_level));
        }
    }

    // Opens a parenthesis, closed once the steps pushed after it have run,
    // when a form of `level` stands where `context` is required.
    void enclose(Level level, Level context) {
        if (level < context) {
            out_ += '(';
            pending_.push_back(text_step(")"));
        }
    }

    void print_readable(const ExprNode& node, Level context, bool negated) {
        if (const ExprNode* argument = sign_argument(node)) {
            out_ += "sign(";
            pending_.push_back(text_step(")"));
            pending_.push_back(node_step(*argument, sum_level));
        } else if (node.type() == NODE_SUM && !node.subexpressions().empty()) {
            print_readable_sum(node, context);
        } else if (node.type() == NODE_PRODUCT && !node.subexpressions().empty()) {
            print_readable_product(node, context, negated);
        } else if (is_number(node)) {
            print_readable_number(negated ? -node.double_value() : node.double_value(), context);
        } else {
            print_node(node, context);
        }
    }

    void print_readable_number(double number, Level context) {
        enclose(std::signbit(number) ? negative_level : atom_level, context);
        out_ += number_text(number);
    }

    // The terms in order, then the numbers' sum; a term that reads negative
    // is subtracted.
    void print_readable_sum(const ExprNode& sum, Level context) {
        const Folded terms = folded(sum);
        if (terms.parts.empty()) {
            return print_readable_number(terms.number, context);
        }
        enclose(sum_level, context);
        if (terms.number != 0.0) {
            pending_.push_back(number_step(std::fabs(terms.number)));
            pending_.push_back(text_step(terms.number < 0.0 ? " - " : " + "));
        }
        for (std::size_t i = terms.parts.size() - 1; i >= 1; --i) {
            const bool negative = reads_negative(*terms.parts[i]);
            pending_.push_back(node_step(*terms.parts[i], product_level, negative));
            pending_.push_back(text_step(negative ? " - " : " + "));
        }
        pending_.push_back(node_step(*terms.parts.front(), sum_level));
    }

    // The numbers' product first, then the other factors, divisors last.
    void print_readable_product(const ExprNode& product, Level context, bool negated) {
        const Folded factors = folded(product);
        const double number = negated ? -factors.number : factors.number;
        std::vector<const ExprNode*> multipliers;
        std::vector<const ExprNode*> divisors;
        for (const ExprNode* factor : factors.parts) {
            (is_reciprocal(*factor) ? divisors : multipliers).push_back(factor);
        }
        if (factors.parts.empty()) {
            return print_readable_number(number, context);
        }
        enclose(product_level, context);
        for (std::size_t i = divisors.size(); i-- > 0;) {
            pending_.push_back(node_step(divisors[i]->subexpressions()[0], power_level));
            pending_.push_back(text_step("/"));
        }
        for (std::size_t i = multipliers.size(); i-- > 1;) {
            pending_.push_back(node_step(*multipliers[i], power_level));
            pending_.push_back(text_step("*"));
        }
        if (multipliers.empty()) {
            out_ += number_text(number);
            return;
        }
        if (number == 1.0) {
            pending_.push_back(node_step(*multipliers.front(), product_level));
        } else if (number == -1.0) {
            out_ += '-';
            pending_.push_back(node_step(*multipliers.front(), product_level));
        } else {
            out_ += number_text(number);
            pending_.push_back(node_step(*multipliers.front(), power_level));
            pending_.push_back(text_step("*"));
        }
    }

    void print_power(const ExprNode& power) {
        const Span<const ExprNode> operands = power.subexpressions();
        push_operand(operands.size() > 1 ? &operands[1] : nullptr, negative_level);
        pending_.push_back(text_step("^"));
        push_operand(operands.empty() ? nullptr : &operands[0], atom_level);
    }

    void push_operand(const ExprNode* operand, Level context) {
        pending_.push_back(operand ? node_step(*operand, context) : text_step("<missing>"));
    }

    void print_function(const ExprNode& call) {
        out_ += call.string_value();
        out_ += '(';
        pending_.push_back(text_step(")"));
        if (!call.subexpressions().empty()) {
            pending_.push_back(node_step(call.subexpressions().front(), sum_level));
        }
    }

    std::string& out_;
    bool readable_;
    std::vector<Step> pending_;
};

}  // namespace

void print_tree(const ExprNode& root, std::string& out, Showing showing) {
    TreePrinter(out, showing == Showing::readable).print(root);
}

}  // namespace lang
