#pragma once

#include <functional>
#include <optional>

// Where a function of one variable changes sign between `low` and `high`,
// by the Illinois method (regula falsi that halves the value kept at an end
// that stays twice). `value_at` evaluates the function, none where it
// cannot, which ends the search. The search ends too when a value is at
// most `value_within`, the bracket at most `width_within` wide, or after
// `most_tries` evaluations. Answers the place last evaluated, none when
// nothing was: the caller keeps what it made there.
std::optional<double> find_sign_change(double low, double high, double low_value, double high_value,
                                       const std::function<std::optional<double>(double)>& value_at,
                                       double value_within, double width_within, int most_tries);
