#pragma once

#include <string>

// A CSV field, quoted when it holds a separator, a quote or a line end.
std::string csv_field(const std::string& text);

// A number as CSV holds it: the shortest text that reads back to the same
// double, or "nan", "inf", "-inf".
std::string csv_number(double value);
