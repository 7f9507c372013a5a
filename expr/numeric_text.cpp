#include "numeric_text.h"

#include <cerrno>
#include <cstdlib>
#include <stdexcept>

double numeric_text_value(const std::string& text) {
    // The standard stof of this platform reports faults with the bare text
    // "stof"; the messages here are the ones model authors are told to expect.
    const char* begin = text.c_str();
    char* end = nullptr;
    const int saved_errno = errno;
    errno = 0;
    const float value = std::strtof(begin, &end);
    const bool out_of_range = errno == ERANGE;
    errno = saved_errno;
    if (end == begin) {
        throw std::invalid_argument("invalid stof argument");
    }
    if (out_of_range) {
        throw std::out_of_range("stof argument out of range");
    }
    return static_cast<double>(value);
}
