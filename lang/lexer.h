#pragma once

#include <string_view>
#include <vector>

#include "token.h"

namespace lang {

// Splits equation text into tokens, the last one of kind `end`. Comments run
// from '#' to the end of the line; line ends are white space. Faults (a
// stray character, a malformed number or text) raise LangError. The tokens
// view `source`, which must outlive them.
std::vector<Token> tokenize(std::string_view source);

}  // namespace lang
