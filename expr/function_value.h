#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string_view>

// The six named functions, as a function node's name selects them.
enum class FunctionKind { ln, log10, abs, exp, sqrt, none };

struct FunctionName {
    std::string_view name;
    FunctionKind kind;
};

// The names a function node may carry, each matched exactly: "ln"; "log"
// and "lg" (both base 10); "abs", "exp" and "sqrt".
inline constexpr std::array<FunctionName, 6> FUNCTION_NAMES{{
    {"ln", FunctionKind::ln},
    {"log", FunctionKind::log10},
    {"lg", FunctionKind::log10},
    {"abs", FunctionKind::abs},
    {"exp", FunctionKind::exp},
    {"sqrt", FunctionKind::sqrt},
}};

// The function FUNCTION_NAMES gives `name`; none for any other name.
FunctionKind function_kind(std::string_view name);

// Clears the sign bit: -0.0 gives +0.0 and a NaN keeps its payload.
inline double clear_sign(double x) {
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    bits &= ~(std::uint64_t{1} << 63);
    std::memcpy(&x, &bits, sizeof bits);
    return x;
}

// Negative arguments and NaN give 0.0; -0.0 gives -0.0.
inline double guarded_sqrt(double x) {
    return x >= 0.0 ? std::sqrt(x) : 0.0;
}

// The value of function `kind` at `x`; 0.0 for none.
double apply_function(FunctionKind kind, double x);

// The value of function `name` at `x`; 0.0 for a name not among the six.
double function_value(std::string_view name, double x);
