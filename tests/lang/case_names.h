#pragma once

// Short readable names for the cases of parameterised tests.

#include <gtest/gtest.h>

#include <cctype>
#include <cstddef>
#include <string>
#include <utility>

// The word for an operator in a test name; null for other characters.
inline const char* operator_word(char c) {
    static const std::pair<char, const char*> words[] = {
        {'+', "plus"}, {'-', "minus"}, {'*', "times"}, {'/', "over"}, {'^', "pow"}, {'=', "eq"}};
    for (const auto& [symbol, word] : words) {
        if (c == symbol) {
            return word;
        }
    }
    return nullptr;
}

// A short readable test name from `text`: its words and numbers, its
// operators as words, after the case's index, which keeps names unique.
inline std::string case_name(std::size_t index, const std::string& text) {
    constexpr std::size_t longest = 48;
    std::string name = std::to_string(index);
    bool in_word = false;
    for (const char c : text) {
        const bool alphanumeric = std::isalnum(static_cast<unsigned char>(c)) != 0;
        if (alphanumeric) {
            name += in_word ? "" : "_";
            name += c;
        } else if (const char* word = operator_word(c)) {
            name += std::string("_") + word;
        }
        in_word = alphanumeric;
        if (name.size() >= longest) {
            break;
        }
    }
    return name;
}

// Names the cases of a table by the text in `member`.
template <auto member>
struct NamedBy {
    template <typename Case>
    std::string operator()(const testing::TestParamInfo<Case>& info) const {
        return case_name(info.index, info.param.*member);
    }
};
