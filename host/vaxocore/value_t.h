#pragma once

#include <cstdint>

// A parameter value passed by the host, for instance the creation parameter of
// a block. The text pointer must stay the first member: plug-ins read it there.
struct value_t {
    const char* text;      // the text, when `type` is VALUE_TEXT
    double real;           // the number, when `type` is VALUE_REAL
    std::int64_t integer;  // the number, when `type` is VALUE_INTEGER
    std::int32_t type;     // one of the codes below
};

inline constexpr std::int32_t VALUE_NONE = 0;
inline constexpr std::int32_t VALUE_INTEGER = 1;
inline constexpr std::int32_t VALUE_TEXT = 2;
inline constexpr std::int32_t VALUE_REAL = 3;
