#pragma once

#include <cstddef>
#include <string>

// `piece` written `times` over: the deep and wide texts of hostile files.
inline std::string repeat(const std::string& piece, std::size_t times) {
    std::string text;
    text.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}
