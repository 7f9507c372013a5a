#pragma once

#include <string>
#include <string_view>

namespace lang {

// Where a piece of equation text starts: line and column from 1, a column
// counting characters rather than bytes.
struct Position {
    int line = 1;
    int column = 1;
};

enum class TokenKind {
    name,
    number,
    text,  // a descriptive text in double quotes
    left_paren,
    right_paren,
    left_bracket,
    right_bracket,
    comma,
    colon,
    equals,
    plus,
    minus,
    star,
    slash,
    caret,
    range,  // ..
    end,
};

struct Token {
    TokenKind kind = TokenKind::end;
    std::string_view spelling;  // as written; views the source text
    Position position;
    bool spaced = false;  // white space or a comment lies between it and the token before
    double number = 0.0;  // of a number token
    std::string text;     // of a text token, escapes resolved
};

// How messages name a token: "'x'", "'('", "the end of the text".
std::string describe(const Token& token);

// Raises the LangError for a fault at `where`.
[[noreturn]] void fail_at(Position where, std::string message);

}  // namespace lang
