#pragma once

#include <string>

namespace lang {

// The shortest text that reads back as exactly `value`: 2, 0.1, 1e+300, -0.5.
std::string number_text(double value);

// `text` in double quotes, with " and \ escaped by a backslash.
std::string quoted_text(const std::string& text);

}  // namespace lang
