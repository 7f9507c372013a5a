#pragma once

#include <vector>

#include "syntax.h"
#include "token.h"

namespace lang {

// Parentheses, function arguments, indices, negations and exponents may nest
// this deep; deeper text is refused, so that no later walk runs out of stack.
inline constexpr int max_nesting = 1000;

// The statements of tokenized equation text, in order. Syntax faults raise
// LangError at the token where something else was expected.
std::vector<Statement> parse_statements(const std::vector<Token>& tokens);

// Words that cannot name a constant, variable, index or equation.
bool is_reserved(std::string_view word);

}  // namespace lang
