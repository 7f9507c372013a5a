#pragma once

#include <string>

// The value of function `name` at `x`: "ln", "log" and "lg" (both base 10),
// "abs", "exp" and "sqrt", matched exactly; 0.0 for any other name.
double function_value(const std::string& name, double x);
