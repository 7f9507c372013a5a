#include "lexer.h"

#include <charconv>
#include <cstdint>
#include <cstdio>
#include <system_error>
#include <utility>

#include "lang_error.h"

namespace lang {

namespace {

bool is_digit(char c) {
    return c >= '0' && c <= '9';
}
bool is_name_start(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || c == '_';
}
bool is_name_part(char c) {
    return is_name_start(c) || is_digit(c);
}
bool is_continuation_byte(char c) {
    return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// Length of the well-formed UTF-8 sequence at the start of `text`, or 0.
std::size_t utf8_sequence_length(std::string_view text) {
    const auto byte = [&](std::size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        return 1;
    }
    std::size_t length = 0;
    unsigned char low = 0x80;
    unsigned char high = 0xBF;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        low = lead == 0xE0 ? 0xA0 : 0x80;
        high = lead == 0xED ? 0x9F : 0xBF;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        low = lead == 0xF0 ? 0x90 : 0x80;
        high = lead == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high) {
        return 0;
    }
    for (std::size_t i = 2; i < length; ++i) {
        if (!is_continuation_byte(text[i])) {
            return 0;
        }
    }
    return length;
}

// The fault of what opens `rest` where no token can start: a character in
// quotes, or in hex a byte that begins no UTF-8 character or prints as none.
std::string unexpected(std::string_view rest) {
    const std::size_t length = utf8_sequence_length(rest);
    const bool printable = length > 1 || (length == 1 && rest[0] > ' ' && rest[0] < 0x7F);
    if (printable) {
        return "unexpected character '" + std::string(rest.substr(0, length)) + "'";
    }
    char hex[8];
    std::snprintf(hex, sizeof hex, "0x%02X",
                  static_cast<unsigned>(static_cast<unsigned char>(rest[0])));
    return std::string("unexpected byte ") + hex;
}

// The byte order mark some editors put at the start of UTF-8 files.
constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";

class Lexer {
  public:
    explicit Lexer(std::string_view source) : source_(source) {
        if (source_.substr(0, byte_order_mark.size()) == byte_order_mark) {
            at_ = byte_order_mark.size();
        }
    }

    std::vector<Token> tokens() {
        std::vector<Token> result;
        while (true) {
            const bool spaced = skip_blanks_and_comments();
            Token token = next_token();
            token.spaced = spaced;
            const bool done = token.kind == TokenKind::end;
            result.push_back(std::move(token));
            if (done) {
                return result;
            }
        }
    }

  private:
    char peek(std::size_t ahead = 0) const {
        return at_ + ahead < source_.size() ? source_[at_ + ahead] : '\0';
    }
    bool at_end() const { return at_ >= source_.size(); }

    void advance() {
        const char passed = source_[at_++];
        if (passed == '\n') {
            ++position_.line;
            position_.column = 1;
        } else if (at_end() || !is_continuation_byte(source_[at_])) {
            ++position_.column;
        }
    }

    bool skip_blanks_and_comments() {
        const std::size_t start = at_;
        while (!at_end()) {
            const char c = peek();
            if (c == '#') {
                while (!at_end() && peek() != '\n') {
                    advance();
                }
            } else if (c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\f' || c == '\v') {
                advance();
            } else {
                break;
            }
        }
        return at_ != start;
    }

    Token make(TokenKind kind, std::size_t start, Position where) const {
        Token token;
        token.kind = kind;
        token.spelling = source_.substr(start, at_ - start);
        token.position = where;
        return token;
    }

    Token next_token() {
        const std::size_t start = at_;
        const Position where = position_;
        if (at_end()) {
            return make(TokenKind::end, start, where);
        }
        const char c = peek();
        if (is_digit(c) || (c == '.' && is_digit(peek(1)))) {
            return number(start, where);
        }
        if (is_name_start(c)) {
            while (is_name_part(peek())) {
                advance();
            }
            return make(TokenKind::name, start, where);
        }
        if (c == '"') {
            return text(start, where);
        }
        if (c == '.' && peek(1) == '.') {
            advance();
            advance();
            return make(TokenKind::range, start, where);
        }
        const TokenKind kind = punctuation(c);
        if (kind == TokenKind::end) {
            fail_at(where, unexpected(source_.substr(at_)));
        }
        advance();
        return make(kind, start, where);
    }

    static TokenKind punctuation(char c) {
        switch (c) {
            case '(':
                return TokenKind::left_paren;
            case ')':
                return TokenKind::right_paren;
            case '[':
                return TokenKind::left_bracket;
            case ']':
                return TokenKind::right_bracket;
            case ',':
                return TokenKind::comma;
            case ':':
                return TokenKind::colon;
            case '=':
                return TokenKind::equals;
            case '+':
                return TokenKind::plus;
            case '-':
                return TokenKind::minus;
            case '*':
                return TokenKind::star;
            case '/':
                return TokenKind::slash;
            case '^':
                return TokenKind::caret;
            default:
                return TokenKind::end;
        }
    }

    void digits() {
        while (is_digit(peek())) {
            advance();
        }
    }

    // Digits, an optional fraction (a '.' not starting '..') and an optional
    // exponent: 12, 1.5, .5, 5., 1e-3, 2.5E+10.
    Token number(std::size_t start, Position where) {
        digits();
        if (peek() == '.' && peek(1) != '.') {
            advance();
            digits();
        }
        if (peek() == 'e' || peek() == 'E') {
            const std::size_t sign = (peek(1) == '+' || peek(1) == '-') ? 1 : 0;
            if (!is_digit(peek(1 + sign))) {
                fail_at(position_, "expected the digits of the exponent after '" +
                                       std::string(source_.substr(start, at_ - start + 1)) + "'");
            }
            for (std::size_t i = 0; i <= sign; ++i) {
                advance();
            }
            digits();
        }
        Token token = make(TokenKind::number, start, where);
        const char* first = token.spelling.data();
        const char* last = first + token.spelling.size();
        const auto [stop, fault] = std::from_chars(first, last, token.number);
        if (fault == std::errc::result_out_of_range) {
            fail_at(where, "the number " + std::string(token.spelling) +
                               " is beyond the range of double precision");
        }
        if (fault != std::errc() || stop != last) {
            fail_at(where, "cannot read the number " + std::string(token.spelling));
        }
        return token;
    }

    // A text in double quotes on one line; \" and \\ stand for " and \.
    Token text(std::size_t start, Position where) {
        std::string contents;
        advance();
        while (true) {
            if (at_end() || peek() == '\n') {
                fail_at(where, "the text has no closing '\"' on its line");
            }
            const char c = peek();
            if (c == '"') {
                advance();
                break;
            }
            if (c == '\\') {
                const char escaped = peek(1);
                if (escaped != '"' && escaped != '\\') {
                    fail_at(position_,
                            "unknown escape in a text; write \\\" for \" and \\\\ for \\");
                }
                advance();
                advance();
                contents += escaped;
                continue;
            }
            const std::size_t length = utf8_sequence_length(source_.substr(at_));
            if (length == 0) {
                fail_at(position_, "the text is not valid UTF-8");
            }
            contents.append(source_.substr(at_, length));
            for (std::size_t i = 0; i < length; ++i) {
                advance();
            }
        }
        Token token = make(TokenKind::text, start, where);
        token.text = std::move(contents);
        return token;
    }

    std::string_view source_;
    std::size_t at_ = 0;
    Position position_;
};

}  // namespace

std::vector<Token> tokenize(std::string_view source) {
    return Lexer(source).tokens();
}

}  // namespace lang
