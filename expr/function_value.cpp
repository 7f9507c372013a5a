#include "function_value.h"

#include <cmath>
#include <cstdint>
#include <cstring>

namespace {

// Clears the sign bit: -0.0 gives +0.0 and a NaN keeps its payload.
double clear_sign(double x) {
    std::uint64_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    bits &= ~(std::uint64_t{1} << 63);
    std::memcpy(&x, &bits, sizeof bits);
    return x;
}

// Negative arguments and NaN give 0.0; -0.0 gives -0.0.
double guarded_sqrt(double x) {
    return x >= 0.0 ? std::sqrt(x) : 0.0;
}

}  // namespace

double function_value(const std::string& name, double x) {
    if (name == "ln") {
        return std::log(x);
    }
    if (name == "log" || name == "lg") {
        return std::log10(x);
    }
    if (name == "abs") {
        return clear_sign(x);
    }
    if (name == "exp") {
        return std::exp(x);
    }
    if (name == "sqrt") {
        return guarded_sqrt(x);
    }
    return 0.0;
}
