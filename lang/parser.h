#pragma once

#include <functional>
#include <string_view>
#include <vector>

#include "syntax.h"
#include "token.h"

namespace lang {

// Parentheses, function arguments, indices, negations and exponents may nest
// this deep; deeper text is refused, so that neither the parser nor a later
// walk runs out of stack. A level takes up to 9 KB of stack in an optimised
// build with AddressSanitizer, which overflowed 8 MB at 900 levels.
inline constexpr int max_nesting = 256;

// Whether the model defined a function of that name (with def) so far.
using DefinedFunction = std::function<bool(std::string_view)>;

// Hands the statements of tokenized equation text to `each`, in order, each
// as soon as it is parsed, so that a long text is never held as syntax all
// at once. Syntax faults raise LangError at the token where something else
// was expected, among them a call of a name that is neither a function of the
// language's nor one `defined` knows; a fault `each` raises ends the parse.
void parse_statements(const std::vector<Token>& tokens,
                      const std::function<void(const Statement&)>& each,
                      const DefinedFunction& defined = nullptr);

// Words that cannot name a constant, variable, index or equation.
bool is_reserved(std::string_view word);

}  // namespace lang
