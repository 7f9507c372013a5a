#pragma once

#include <string>
#include <string_view>

namespace lang {

// The shortest text that reads back as exactly `value`: 2, 0.1, 1e+300, -0.5.
std::string number_text(double value);

// `text` in double quotes, with " and \ escaped by a backslash.
std::string quoted_text(std::string_view text);

}  // namespace lang
