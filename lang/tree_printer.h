#pragma once

#include <string>

#include "expr_node.h"

namespace lang {

// How a tree shows. `exact` prints every node as the file holds it, so that
// the text builds the same tree again. `readable` prints it as a person
// writes it: nested sums and products spread out, their numbers folded into
// one (a sum's last, a product's first), divisors last, and the sign that
// the derivative of abs takes, 0^sqrt(-u) - 0^sqrt(u), as sign(u). Folded
// numbers are rounded in another order than the evaluator's, so a readable
// text may build a tree whose values differ in the last bits.
enum class Showing { exact, readable };

// Appends a loaded tree to `out` as an expression of the equation language:
// usual precedence and only the parentheses the tree's shape needs. A term
// that is a product by a negative number, or a negative number, shows as
// subtraction; a factor after the first that is a power with exponent -1 shows
// as division. A sum or product of one operand shows as that operand, an empty
// one as 0 or 1, what it is worth. Numeric text shows as text("0.1"), a node
// the loader did not recognise as <unrecognised node>, a missing operand of a
// power as <missing>. The walk keeps its own stack, so any depth prints.
void print_tree(const ExprNode& root, std::string& out, Showing showing);

}  // namespace lang
