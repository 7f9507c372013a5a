#include "escaping_buffer.h"

#include <cerrno>
#include <cstdio>

namespace {

constexpr unsigned char c1_lead = 0xC2;  // UTF-8 lead byte of U+0080 to U+00BF

bool is_control(unsigned char byte) {
    return (byte < 0x20 && byte != '\n') || byte == 0x7F;
}

bool is_c1_trail(unsigned char byte) {
    return byte >= 0x80 && byte <= 0x9F;
}

}  // namespace

EscapingBuffer::~EscapingBuffer() {
    if (lead_held_) {
        const char lead = static_cast<char>(c1_lead);
        target_->sputn(&lead, 1);
    }
    target_->pubsync();
}

bool EscapingBuffer::write(const char* text, std::streamsize count) {
    errno = 0;
    if (target_->sputn(text, count) == count) {
        return true;
    }
    if (first_error_ == 0) {
        first_error_ = errno != 0 ? errno : EIO;
    }
    return false;
}

bool EscapingBuffer::put(unsigned char byte) {
    char escape[8];
    if (lead_held_) {
        lead_held_ = false;
        if (is_c1_trail(byte)) {
            std::snprintf(escape, sizeof escape, "\\u%04X", static_cast<unsigned>(byte));
            return write(escape, 6);
        }
        const char lead = static_cast<char>(c1_lead);
        if (!write(&lead, 1)) {
            return false;
        }
    }
    if (byte == c1_lead) {
        lead_held_ = true;
        return true;
    }
    if (is_control(byte)) {
        std::snprintf(escape, sizeof escape, "\\x%02X", static_cast<unsigned>(byte));
        return write(escape, 4);
    }
    const char plain = static_cast<char>(byte);
    return write(&plain, 1);
}

EscapingBuffer::int_type EscapingBuffer::overflow(int_type character) {
    if (traits_type::eq_int_type(character, traits_type::eof())) {
        return traits_type::not_eof(character);
    }
    return put(static_cast<unsigned char>(traits_type::to_char_type(character)))
               ? character
               : traits_type::eof();
}

// Runs of plain bytes go on in one piece.
std::streamsize EscapingBuffer::xsputn(const char* text, std::streamsize count) {
    std::streamsize done = 0;
    while (done < count) {
        std::streamsize plain = done;
        while (!lead_held_ && plain < count) {
            const auto byte = static_cast<unsigned char>(text[plain]);
            if (is_control(byte) || byte == c1_lead) {
                break;
            }
            ++plain;
        }
        if (plain > done) {
            if (!write(text + done, plain - done)) {
                return done;
            }
            done = plain;
            continue;
        }
        if (!put(static_cast<unsigned char>(text[done]))) {
            return done;
        }
        ++done;
    }
    return done;
}

int EscapingBuffer::sync() {
    errno = 0;
    if (target_->pubsync() == 0) {
        return 0;
    }
    if (first_error_ == 0) {
        first_error_ = errno != 0 ? errno : EIO;
    }
    return -1;
}
