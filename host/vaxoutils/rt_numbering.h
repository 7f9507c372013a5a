#pragma once

// Range checks and messages shared by the host's lists, so that every refused
// call reads alike. Internal to vaxoutils.

#include <cstddef>
#include <string>

namespace rt_numbering {

inline bool in_range(int number, int first, int last) {
    return number >= first && number <= last;
}

// Host numbers count from 1; storage counts from 0.
inline std::size_t index_of(int number) {
    return static_cast<std::size_t>(number) - 1U;
}

// "outside 1..3", or "outside the list, which is empty" when last < first.
std::string range_fault(int first, int last);

// The text at `field` up to its first NUL, reading at most RT_NAME_FIELD bytes:
// a name field of a record may come unterminated.
std::string bounded_name(const char* field);

// A double as a message shows it: "2.5", "1e-08", "inf".
std::string number_text(double value);

// Refuses a negative list size with std::invalid_argument.
std::size_t checked_count(const char* what, int count);

}  // namespace rt_numbering
