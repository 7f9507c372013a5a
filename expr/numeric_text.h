#pragma once

#include <string>

// The value of a numeric-text node: the text read in single precision, as the
// standard stof reads it (leading blanks skipped, trailing text ignored, the
// locale's decimal separator), widened to double. Raises
// std::invalid_argument("invalid stof argument") when no number starts the
// text, std::out_of_range("stof argument out of range") when it does not fit
// single precision.
double numeric_text_value(const std::string& text);
