#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <variant>
#include <vector>

#include "token.h"

namespace lang {

struct LoopRange;

// One construct of an expression as written, before names are resolved.
struct Syntax {
    enum class Kind {
        number,
        name,      // a constant, a variable or an index
        indexed,   // name[index, ...]
        call,      // function(argument, ...)
        list,      // [element, ...]: the values of an array constant
        negate,    // -operand
        terms,     // operands joined by + and -
        factors,   // operands joined by * and /
        power,     // base ^ exponent
        sum_over,  // sum(summand for ranges)
    };

    Kind kind = Kind::number;
    Position position;
    // The tokens it spans, [first_token, end_token), without parentheses
    // around it, for the equation's display text.
    std::size_t first_token = 0;
    std::size_t end_token = 0;
    double number = 0.0;
    std::string name;  // of a name, an indexed name or the function called
    // The indices of an indexed name; the arguments of a call; the elements of
    // a list; the operand of a negation; the terms or factors; base and
    // exponent; the summand.
    std::vector<Syntax> operands;
    // Between terms: plus or minus; between factors: star or slash. The
    // operator at i stands before operands[i + 1].
    std::vector<TokenKind> operators;
    std::vector<LoopRange> ranges;  // of a sum
};

// `index in first..last`, both ends included.
struct LoopRange {
    std::string index;
    Position position;
    Syntax first;
    Syntax last;
};

// A declared or labelled name with its optional indices: T, x[i], bal[i, j].
struct Declarator {
    std::string name;
    Position position;
    std::vector<Syntax> indices;
};

// An array constant's indices: `first..last` each, both ends included.
struct Extent {
    Position position;
    Syntax first;
    Syntax last;
};

struct ConstantStatement {
    Declarator target;
    // Of an array constant, `const A[1..3] = [...]`: its extents, the first
    // outermost, and its value a list (of lists, one level per extent).
    std::vector<Extent> extents;
    Syntax value;
    std::vector<LoopRange> ranges;
};

// `var`, or `param`: a variable held at its value by an equation of its own.
struct VariableStatement {
    bool parameter = false;
    Declarator target;
    std::optional<Syntax> initial;  // a parameter's value
    std::optional<Syntax> lower;
    std::optional<Syntax> upper;
    std::optional<std::string> description;
    std::vector<LoopRange> ranges;
};

struct EquationStatement {
    Position position;
    // The tokens from the left side to the right, [first_token, end_token),
    // parentheses that open or close a side included.
    std::size_t first_token = 0;
    std::size_t end_token = 0;
    std::optional<Declarator> label;
    Syntax lhs;
    Syntax rhs;
    std::vector<LoopRange> ranges;
};

// `out SYMBOL = EXPRESSION`: a value computed from the solution, no equation.
struct OutputStatement {
    Declarator target;
    // The tokens of the expression, [first_token, end_token).
    std::size_t first_token = 0;
    std::size_t end_token = 0;
    Syntax value;
    std::optional<std::string> description;
    std::vector<LoopRange> ranges;
};

// `def NAME(PARAMETER, ...) = BODY`: a function expanded where it is called.
struct FunctionStatement {
    std::string name;
    Position position;
    std::vector<std::string> parameters;
    std::vector<Position> parameter_positions;
    Syntax body;
};

using Statement = std::variant<ConstantStatement, VariableStatement, EquationStatement,
                               OutputStatement, FunctionStatement>;

}  // namespace lang
