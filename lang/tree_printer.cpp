#include "tree_printer.h"

#include <cmath>
#include <string_view>
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

class TreePrinter {
  public:
    explicit TreePrinter(std::string& out) : out_(out) {}

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
    struct Step {
        enum class Kind { text, number, node, factors } kind;
        std::string_view text;
        const ExprNode* node;
        Level context;
        std::size_t first_factor;
        double number;
    };

    static Step text_step(std::string_view text) {
        return {Step::Kind::text, text, nullptr, atom_level, 0, 1.0};
    }
    static Step number_step(double number) {
        return {Step::Kind::number, {}, nullptr, atom_level, 0, number};
    }
    static Step node_step(const ExprNode& node, Level context) {
        return {Step::Kind::node, {}, &node, context, 0, 1.0};
    }
    static Step factors_step(const ExprNode& product, std::size_t first_factor, double leading) {
        return {Step::Kind::factors, {}, &product, product_level, first_factor, leading};
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
                print_node(past_single_operands(*step.node), step.context);
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
    std::vector<Step> pending_;
};

}  // namespace

void print_tree(const ExprNode& root, std::string& out) {
    TreePrinter(out).print(root);
}

}  // namespace lang
