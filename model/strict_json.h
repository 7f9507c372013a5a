#pragma once

#include <cfenv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include <fast_float/fast_float.h>

#include "file_chunks.h"

// A strict reader of valid JSON text, read straight from the file's chunks:
// it gives a handler the very events that the JSON library's parser gives for
// the same text (nlohmann::json::sax_parse, the same member names, the same
// number kinds and values bit for bit), and refuses anything it does not
// accept exactly as the library would. A refusal raises nothing: the caller
// reads the file again with the library, which names the fault or, where
// the library reads the text otherwise (the model file's lines are joined
// before the library reads them, and the library takes a NUL byte between
// tokens for the end of the text), accepts it.
//
// It refuses: any syntax error; a NUL byte anywhere; a line end inside a
// token (no valid token holds one); bytes that are not UTF-8 as the library
// checks it (no overlong forms, no surrogates, nothing above U+10FFFF),
// lone or unpaired \u surrogates; a number beyond the double range (the
// library raises its own fault); a byte order mark anywhere but at the very
// start, or a broken one; anything after the value but white space; a file
// that cannot be read to its end; a rounding mode other than to nearest (the
// library converts numbers with strtod, which follows the mode). Nesting has
// no limit: nothing recurses, and an open container costs a byte.
//
// Events, as the library's SAX interface names them: null(), boolean(bool),
// number_integer(int64_t), number_unsigned(uint64_t), number_float(double,
// std::string_view text), string(std::string_view), key(std::string_view),
// start_object(size_t), end_object(), start_array(size_t), end_array(). The
// texts a handler gets are valid until its call returns. A handler that
// returns false stops the reading.
enum class StrictReading { accepted, refused, stopped };

namespace strict_json {

// What a byte is to a string's scan.
enum ByteClass : std::uint8_t {
    PLAIN,      // printable ASCII other than '"' and '\\'
    QUOTE,      // '"'
    BACKSLASH,  // '\\'
    CONTROL,    // below 0x20, NUL included: never in a valid string
    LEAD_2,     // C2..DF: one continuation byte follows
    LEAD_E0,    // E0: A0..BF, then one
    LEAD_3,     // E1..EC, EE, EF: two
    LEAD_ED,    // ED: 80..9F (no surrogates), then one
    LEAD_F0,    // F0: 90..BF, then two
    LEAD_4,     // F1..F3: three
    LEAD_F4,    // F4: 80..8F (nothing above U+10FFFF), then two
    INVALID,    // 80..C1, F5..FF: begins no character
};

struct ByteClasses {
    ByteClass of[256];
    constexpr ByteClasses() : of() {
        for (int byte = 0; byte < 256; ++byte) {
            ByteClass kind = INVALID;
            if (byte < 0x20) {
                kind = CONTROL;
            } else if (byte == '"') {
                kind = QUOTE;
            } else if (byte == '\\') {
                kind = BACKSLASH;
            } else if (byte < 0x80) {
                kind = PLAIN;
            } else if (byte >= 0xC2 && byte <= 0xDF) {
                kind = LEAD_2;
            } else if (byte == 0xE0) {
                kind = LEAD_E0;
            } else if (byte == 0xED) {
                kind = LEAD_ED;
            } else if (byte >= 0xE1 && byte <= 0xEF) {
                kind = LEAD_3;
            } else if (byte == 0xF0) {
                kind = LEAD_F0;
            } else if (byte >= 0xF1 && byte <= 0xF3) {
                kind = LEAD_4;
            } else if (byte == 0xF4) {
                kind = LEAD_F4;
            }
            of[byte] = kind;
        }
    }
};

inline constexpr ByteClasses byte_classes{};

inline bool is_space(char c) {
    return c == ' ' || c == '\n' || c == '\r' || c == '\t';
}

inline bool is_digit(char c) {
    return c >= '0' && c <= '9';
}

inline bool in_range(char c, unsigned low, unsigned high) {
    const auto byte = static_cast<unsigned char>(c);
    return byte >= low && byte <= high;
}

// Whether any of the eight bytes at `at` is not PLAIN: a quote, a backslash,
// a byte below 0x20 or above 0x7F. A byte's test may borrow from the byte
// below it only when that byte is itself one of them, so the answer is exact.
inline bool has_special_byte(const char* at) {
    constexpr std::uint64_t ones = 0x0101010101010101;
    constexpr std::uint64_t highs = 0x8080808080808080;
    std::uint64_t word = 0;
    std::memcpy(&word, at, sizeof word);
    const auto zero_byte = [](std::uint64_t x) { return (x - ones) & ~x & highs; };
    const std::uint64_t below_space = (word - ones * 0x20) & ~word & highs;
    return (zero_byte(word ^ (ones * '"')) | zero_byte(word ^ (ones * '\\')) | below_space |
            (word & highs)) != 0;
}

// The value of four hex digits at `at`, or -1 (a NUL included).
inline long hex4(const char* at) {
    long value = 0;
    for (int i = 0; i < 4; ++i) {
        const char c = at[i];
        int digit = 0;
        if (c >= '0' && c <= '9') {
            digit = c - '0';
        } else if (c >= 'a' && c <= 'f') {
            digit = c - 'a' + 10;
        } else if (c >= 'A' && c <= 'F') {
            digit = c - 'A' + 10;
        } else {
            return -1;
        }
        value = value * 16 + digit;
    }
    return value;
}

// Appends code point `code` (at most U+10FFFF) in UTF-8.
inline void append_utf8(std::string& text, long code) {
    if (code < 0x80) {
        text += static_cast<char>(code);
    } else if (code < 0x800) {
        text += static_cast<char>(0xC0 | (code >> 6));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else if (code < 0x10000) {
        text += static_cast<char>(0xE0 | (code >> 12));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    } else {
        text += static_cast<char>(0xF0 | (code >> 18));
        text += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
        text += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
        text += static_cast<char>(0x80 | (code & 0x3F));
    }
}

}  // namespace strict_json

template <class Handler>
class StrictJsonReader {
  public:
    StrictJsonReader(FileChunks& text, Handler& handler) : text_(text), handler_(handler) {}

    StrictReading read();

  private:
    // How a step ended: done, or the reading ends refused or stopped.
    enum class Step { done, refused, stopped };
    // How a token's scan ended: at the buffer's end, it is scanned again
    // once more text has come.
    enum class Scan { done, refused, stopped, more };

    static constexpr char OBJECT = '{';
    static constexpr char ARRAY = '[';
    static constexpr std::size_t UNKNOWN_SIZE = static_cast<std::size_t>(-1);

    static Step step(bool handler_went_on) { return handler_went_on ? Step::done : Step::stopped; }

    // Whether `at` is the NUL that ends the buffer rather than the file's own.
    bool at_buffer_end(const char* at) const { return at == text_.end(); }

    // Moves `at_` to the next byte that is not white space, reading on as
    // needed; false at the end of the text.
    bool next_significant();
    // Reads more text keeping the token at `at_`, which moves with it; false
    // when there is none, and at the end of the text `text_ended_` is set,
    // so that a scan takes the buffer's end for the text's.
    bool more_for_token() {
        const char* token = at_;
        const bool more = text_.read_more(token);
        at_ = token;
        if (more || text_.failed()) {
            return more;
        }
        text_ended_ = true;
        return true;
    }
    // Whether a scan that reached `at` must wait for more text.
    bool may_go_on(const char* at) const { return at_buffer_end(at) && !text_ended_; }

    Step value();
    Step after_value();
    Step open_container(char kind);
    Step member_key();
    // Scans the token at `at_` again until it is whole.
    template <class TokenScan>
    Step token(TokenScan scan);

    Scan scan_string(std::string_view& text);
    Scan scan_escape(const char*& at);
    Scan scan_number();
    Scan number_event(const char* start, const char* end, bool negative, bool integral);
    Scan scan_literal();

    FileChunks& text_;
    Handler& handler_;
    const char* at_ = nullptr;
    std::vector<char> open_;  // OBJECT or ARRAY, outermost first
    bool want_value_ = true;
    bool text_ended_ = false;
    std::string unescaped_;  // a string with escapes, resolved
};

template <class Handler>
StrictReading read_strict_json(FileChunks& text, Handler& handler) {
    return StrictJsonReader<Handler>(text, handler).read();
}

template <class Handler>
bool StrictJsonReader<Handler>::next_significant() {
    if (!strict_json::is_space(*at_) && *at_ != '\0') {
        return true;  // most tokens follow one another with no space
    }
    for (;;) {
        while (strict_json::is_space(*at_)) {
            ++at_;
        }
        if (*at_ != '\0' || !at_buffer_end(at_)) {
            return true;
        }
        if (text_ended_ || !more_for_token() || text_ended_) {
            return false;
        }
    }
}

template <class Handler>
StrictReading StrictJsonReader<Handler>::read() {
    if (!text_.is_open() || std::fegetround() != FE_TONEAREST) {
        return StrictReading::refused;
    }
    at_ = text_.begin();
    // A byte order mark is taken at the very start only.
    while (text_.end() - at_ < 3 && text_.read_more(at_)) {
    }
    if (static_cast<unsigned char>(*at_) == 0xEF) {
        if (text_.end() - at_ < 3 || static_cast<unsigned char>(at_[1]) != 0xBB ||
            static_cast<unsigned char>(at_[2]) != 0xBF) {
            return StrictReading::refused;
        }
        at_ += 3;
    }
    for (;;) {
        if (!next_significant()) {
            const bool whole = !want_value_ && open_.empty() && !text_.failed();
            return whole ? StrictReading::accepted : StrictReading::refused;
        }
        const Step done = want_value_ ? value() : after_value();
        if (done != Step::done) {
            return done == Step::refused ? StrictReading::refused : StrictReading::stopped;
        }
    }
}

template <class Handler>
typename StrictJsonReader<Handler>::Step StrictJsonReader<Handler>::value() {
    switch (*at_) {
        case '{':
            return open_container(OBJECT);
        case '[':
            return open_container(ARRAY);
        case '"':
            want_value_ = false;
            return token([this] {
                std::string_view text;
                const Scan scanned = scan_string(text);
                if (scanned == Scan::done && !handler_.string(text)) {
                    return Scan::stopped;
                }
                return scanned;
            });
        case 't':
        case 'f':
        case 'n':
            want_value_ = false;
            return token([this] { return scan_literal(); });
        default:
            if (*at_ == '-' || strict_json::is_digit(*at_)) {
                want_value_ = false;
                return token([this] { return scan_number(); });
            }
            return Step::refused;
    }
}

template <class Handler>
typename StrictJsonReader<Handler>::Step StrictJsonReader<Handler>::open_container(char kind) {
    ++at_;
    const bool is_object = kind == OBJECT;
    if (!(is_object ? handler_.start_object(UNKNOWN_SIZE) : handler_.start_array(UNKNOWN_SIZE))) {
        return Step::stopped;
    }
    if (!next_significant()) {
        return Step::refused;
    }
    if (*at_ == (is_object ? '}' : ']')) {
        ++at_;
        want_value_ = false;
        return step(is_object ? handler_.end_object() : handler_.end_array());
    }
    open_.push_back(kind);
    want_value_ = true;
    return is_object ? member_key() : Step::done;
}

// After a value: a comma and the next element or member, or the end of the
// innermost container.
template <class Handler>
typename StrictJsonReader<Handler>::Step StrictJsonReader<Handler>::after_value() {
    if (open_.empty()) {
        return Step::refused;  // more than one value
    }
    const bool in_object = open_.back() == OBJECT;
    const char c = *at_;
    if (c == ',') {
        ++at_;
        want_value_ = true;
        if (!in_object) {
            return Step::done;
        }
        return next_significant() ? member_key() : Step::refused;
    }
    if (c != (in_object ? '}' : ']')) {
        return Step::refused;
    }
    ++at_;
    open_.pop_back();
    return step(in_object ? handler_.end_object() : handler_.end_array());
}

// A member's key and its colon, `at_` on the key's quote.
template <class Handler>
typename StrictJsonReader<Handler>::Step StrictJsonReader<Handler>::member_key() {
    if (*at_ != '"') {
        return Step::refused;
    }
    const Step read_key = token([this] {
        std::string_view name;
        const Scan scanned = scan_string(name);
        if (scanned == Scan::done && !handler_.key(name)) {
            return Scan::stopped;
        }
        return scanned;
    });
    if (read_key != Step::done) {
        return read_key;
    }
    if (!next_significant() || *at_ != ':') {
        return Step::refused;
    }
    ++at_;
    return Step::done;
}

template <class Handler>
template <class TokenScan>
typename StrictJsonReader<Handler>::Step StrictJsonReader<Handler>::token(TokenScan scan) {
    for (;;) {
        switch (scan()) {
            case Scan::done:
                return Step::done;
            case Scan::refused:
                return Step::refused;
            case Scan::stopped:
                return Step::stopped;
            case Scan::more:
                break;
        }
        // Scanned again once more text has come, or, at the end of the
        // text, as it stands: a number ending there is whole.
        if (text_ended_ || !more_for_token()) {
            return Step::refused;
        }
    }
}

// A string at `at_` (on its quote): `text` views the buffer when it has no
// escapes, else `unescaped_`. `at_` moves past it only when it is whole.
template <class Handler>
typename StrictJsonReader<Handler>::Scan StrictJsonReader<Handler>::scan_string(
    std::string_view& text) {
    using namespace strict_json;
    const char* at = at_ + 1;
    const char* run = at;  // the bytes since the last escape
    bool escaped = false;
    for (;;) {
        // Most bytes are plain: eight at a time, then one at a time up to the
        // first that is not, before the switch.
        while (!has_special_byte(at)) {
            at += 8;
        }
        while (byte_classes.of[static_cast<unsigned char>(*at)] == PLAIN) {
            ++at;
        }
        const char c = *at;
        switch (byte_classes.of[static_cast<unsigned char>(c)]) {
            case PLAIN:
                continue;
            case QUOTE:
                if (escaped) {
                    unescaped_.append(run, at);
                    text = unescaped_;
                } else {
                    text = std::string_view(run, static_cast<std::size_t>(at - run));
                }
                at_ = at + 1;
                return Scan::done;
            case BACKSLASH: {
                if (!escaped) {
                    unescaped_.clear();
                    escaped = true;
                }
                unescaped_.append(run, at);
                const Scan scanned = scan_escape(at);
                if (scanned != Scan::done) {
                    return scanned;
                }
                run = at;
                continue;
            }
            case CONTROL:
                return at_buffer_end(at) ? Scan::more : Scan::refused;
            case INVALID:
                return Scan::refused;
            default:
                break;
        }
        // A character of two to four bytes: its lead's class bounds the
        // second byte, the others are continuation bytes.
        const ByteClass lead = byte_classes.of[static_cast<unsigned char>(c)];
        unsigned low = 0x80;
        unsigned high = 0xBF;
        int length = 3;
        switch (lead) {
            case LEAD_2:
                length = 2;
                break;
            case LEAD_E0:
                low = 0xA0;
                break;
            case LEAD_ED:
                high = 0x9F;
                break;
            case LEAD_F0:
                low = 0x90;
                length = 4;
                break;
            case LEAD_4:
                length = 4;
                break;
            case LEAD_F4:
                high = 0x8F;
                length = 4;
                break;
            default:
                break;
        }
        for (int i = 1; i < length; ++i) {
            const bool fits = i == 1 ? in_range(at[i], low, high) : in_range(at[i], 0x80, 0xBF);
            if (!fits) {
                return at[i] == '\0' && at_buffer_end(at + i) ? Scan::more : Scan::refused;
            }
        }
        at += length;
    }
}

// An escape at `at` (on its backslash), resolved into `unescaped_`; `at`
// moves past it.
template <class Handler>
typename StrictJsonReader<Handler>::Scan StrictJsonReader<Handler>::scan_escape(const char*& at) {
    using namespace strict_json;
    const char kind = at[1];
    const char* simple = nullptr;
    switch (kind) {
        case '"':
            simple = "\"";
            break;
        case '\\':
            simple = "\\";
            break;
        case '/':
            simple = "/";
            break;
        case 'b':
            simple = "\b";
            break;
        case 'f':
            simple = "\f";
            break;
        case 'n':
            simple = "\n";
            break;
        case 'r':
            simple = "\r";
            break;
        case 't':
            simple = "\t";
            break;
        case 'u':
            break;
        default:
            return kind == '\0' && at_buffer_end(at + 1) ? Scan::more : Scan::refused;
    }
    if (simple) {
        unescaped_ += *simple;
        at += 2;
        return Scan::done;
    }
    // Whether the text ends within `count` bytes from `from`: the escape may
    // go on there.
    const auto ends_within = [this](const char* from, int count) {
        for (int i = 0; i < count; ++i) {
            if (from[i] == '\0') {
                return at_buffer_end(from + i);
            }
        }
        return false;
    };
    long code = hex4(at + 2);
    if (code < 0) {
        return ends_within(at + 2, 4) ? Scan::more : Scan::refused;
    }
    std::size_t length = 6;
    if (code >= 0xDC00 && code <= 0xDFFF) {
        return Scan::refused;  // a low surrogate with no high one before it
    }
    if (code >= 0xD800 && code <= 0xDBFF) {
        const char* low_escape = at + 6;
        if (ends_within(low_escape, 2)) {
            return Scan::more;
        }
        if (low_escape[0] != '\\' || low_escape[1] != 'u') {
            return Scan::refused;
        }
        const long low = hex4(low_escape + 2);
        if (low < 0) {
            return ends_within(low_escape + 2, 4) ? Scan::more : Scan::refused;
        }
        if (low < 0xDC00 || low > 0xDFFF) {
            return Scan::refused;
        }
        code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
        length = 12;
    }
    append_utf8(unescaped_, code);
    at += length;
    return Scan::done;
}

// A number at `at_`: the library's integer kinds where its integer
// conversions succeed (a '-' gives a signed one, else an unsigned one),
// else a double, converted as strtod converts it.
template <class Handler>
typename StrictJsonReader<Handler>::Scan StrictJsonReader<Handler>::scan_number() {
    using strict_json::is_digit;
    const char* const start = at_;
    const char* at = start;
    // A digit is wanted at `at`: the text may go on there.
    const auto no_digit = [&] { return may_go_on(at) ? Scan::more : Scan::refused; };
    const bool negative = *at == '-';
    at += negative ? 1 : 0;
    if (*at == '0') {
        ++at;
    } else if (is_digit(*at)) {
        while (is_digit(*at)) {
            ++at;
        }
    } else {
        return no_digit();
    }
    bool integral = true;
    if (*at == '.') {
        integral = false;
        ++at;
        if (!is_digit(*at)) {
            return no_digit();
        }
        while (is_digit(*at)) {
            ++at;
        }
    }
    if (*at == 'e' || *at == 'E') {
        integral = false;
        ++at;
        if (*at == '+' || *at == '-') {
            ++at;
        }
        if (!is_digit(*at)) {
            return no_digit();
        }
        while (is_digit(*at)) {
            ++at;
        }
    }
    if (may_go_on(at)) {
        return Scan::more;  // the number may go on past the buffer
    }
    at_ = at;
    return number_event(start, at, negative, integral);
}

template <class Handler>
typename StrictJsonReader<Handler>::Scan StrictJsonReader<Handler>::number_event(const char* start,
                                                                                 const char* end,
                                                                                 bool negative,
                                                                                 bool integral) {
    if (integral) {
        std::uint64_t magnitude = 0;
        bool fits = true;
        for (const char* digit = start + (negative ? 1 : 0); fits && digit < end; ++digit) {
            fits = !__builtin_mul_overflow(magnitude, std::uint64_t{10}, &magnitude) &&
                   !__builtin_add_overflow(magnitude, static_cast<std::uint64_t>(*digit - '0'),
                                           &magnitude);
        }
        constexpr std::uint64_t most_negative = std::uint64_t{1} << 63;
        if (fits && !negative) {
            return handler_.number_unsigned(magnitude) ? Scan::done : Scan::stopped;
        }
        if (fits && magnitude <= most_negative) {
            // -2^63 itself has no positive counterpart to negate.
            const std::int64_t value = magnitude == most_negative
                                           ? static_cast<std::int64_t>(-9223372036854775807 - 1)
                                           : -static_cast<std::int64_t>(magnitude);
            return handler_.number_integer(value) ? Scan::done : Scan::stopped;
        }
    }
    double value = 0.0;
    const fast_float::from_chars_result converted = fast_float::from_chars(start, end, value);
    if (converted.ec != std::errc() || converted.ptr != end || !std::isfinite(value)) {
        return Scan::refused;
    }
    const std::string_view text(start, static_cast<std::size_t>(end - start));
    return handler_.number_float(value, text) ? Scan::done : Scan::stopped;
}

// true, false or null at `at_`.
template <class Handler>
typename StrictJsonReader<Handler>::Scan StrictJsonReader<Handler>::scan_literal() {
    const char first = *at_;
    const std::string_view word = first == 't' ? "true" : first == 'f' ? "false" : "null";
    for (std::size_t i = 0; i < word.size(); ++i) {
        if (at_[i] != word[i]) {
            return at_[i] == '\0' && at_buffer_end(at_ + i) ? Scan::more : Scan::refused;
        }
    }
    at_ += word.size();
    const bool went_on = first == 'n' ? handler_.null() : handler_.boolean(first == 't');
    return went_on ? Scan::done : Scan::stopped;
}
