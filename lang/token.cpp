#include "token.h"

#include <utility>

#include "lang_error.h"

namespace lang {

std::string describe(const Token& token) {
    switch (token.kind) {
        case TokenKind::end:
            return "the end of the text";
        case TokenKind::text:
            return "a text in quotes";
        default:
            return "'" + std::string(token.spelling) + "'";
    }
}

void fail_at(Position where, std::string message) {
    throw LangError(where.line, where.column, std::move(message));
}

}  // namespace lang
