#pragma once

#include <string>
#include <vector>

#include "scope.h"
#include "syntax.h"
#include "token.h"

namespace lang {

// The text of an equation as written, from its left side to its right, or of
// an output's expression, for the model file's "EquationString": tokens joined
// as in the source, with one space wherever white space or a comment stood.
// In each instance, index groups become their values (x[i-1] reads x[2]) and
// the statement's indices elsewhere become numbers; groups that use an index
// of a sum stay as written.
class EquationText {
  public:
    EquationText(const std::vector<Token>& tokens, const EquationStatement& equation);
    EquationText(const std::vector<Token>& tokens, const OutputStatement& output);

    std::string instance(Scope& scope) const;

  private:
    // Text to copy, then what to put after it: an index group, an index, or nothing.
    struct Piece {
        std::string text;
        const Syntax* indexed = nullptr;
        std::string index;
    };

    // The tokens [first, end), which hold `parts`, for a statement of `ranges`.
    void take(const std::vector<Token>& tokens, std::size_t first, std::size_t end,
              const std::vector<const Syntax*>& parts, const std::vector<LoopRange>& ranges);

    std::vector<Piece> pieces_;
};

}  // namespace lang
