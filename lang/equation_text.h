#pragma once

#include <string>
#include <vector>

#include "scope.h"
#include "syntax.h"
#include "token.h"

namespace lang {

// The text of an equation as written, from its left side to its right, for
// the model file's "EquationString": tokens joined as in the source, with one
// space wherever white space or a comment stood. In each instance, index
// groups become their values (x[i-1] reads x[2]) and the statement's indices
// elsewhere become numbers; groups that use an index of a sum stay as written.
class EquationText {
  public:
    EquationText(const std::vector<Token>& tokens, const EquationStatement& equation);

    std::string instance(Scope& scope) const;

  private:
    // Text to copy, then what to put after it: an index group, an index, or nothing.
    struct Piece {
        std::string text;
        const Syntax* indexed = nullptr;
        std::string index;
    };

    std::vector<Piece> pieces_;
};

}  // namespace lang
