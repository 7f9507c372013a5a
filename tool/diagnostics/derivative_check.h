#pragma once

#include <functional>

enum class DerivativeVerdict {
    agrees,     // some central difference agrees with the derivative
    mismatch,   // none does, and the residual is smooth there
    kink,       // none does, but the residual is not smooth there (abs at 0, ...)
    undecided,  // no finite difference could be formed
};

struct DerivativeComparison {
    DerivativeVerdict verdict = DerivativeVerdict::undecided;
    double central = 0.0;  // central difference at the base step
    double forward = 0.0;  // one-sided differences, for a kink
    double backward = 0.0;
    double step = 0.0;  // the base step
};

// Compares `derivative`, the model's value of d residual / d x at `x`, with
// central differences of `residual_at` (the residual as a function of that
// one variable, the others held). The base step is the cube root of the
// machine epsilon times max(|x|, 1), which balances truncation against
// rounding for a well-scaled residual; steps from 100 times to a millionth of
// it are tried too, so that neither badly scaled terms nor strong curvature
// raise a false alarm. They agree when the difference is within 1e-6 of the
// larger of the two, plus `floor` (the disagreement the row's scale
// tolerates), plus the rounding error of the residual at that step.
// `at_x` is residual_at(x), which the caller has already.
DerivativeComparison compare_derivative(const std::function<double(double)>& residual_at, double x,
                                        double at_x, double derivative, double floor);

// A quicker first look for derivatives of several variables together, along
// one direction: agrees when a central difference at one of the three largest
// steps agrees, undecided when none can be formed, mismatch otherwise (which
// only says that a closer look is needed: neither kinks nor small steps are
// tried).
DerivativeVerdict screen_derivative(const std::function<double(double)>& residual_at, double x,
                                    double at_x, double derivative, double floor);
