#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>

#include "sign_change.h"

// The Illinois search that locates turning and branch points.
namespace {

TEST(sign_change, finds_the_zero_of_smooth_and_steep_functions_in_few_tries) {
    const struct {
        const char* name;
        std::function<double(double)> f;
        double root;
        int most_tries;  // evaluations the search may take to 1e-12 (bisection: 40)
    } cases[] = {
        {"linear", [](double x) { return x - 0.3; }, 0.3, 2},
        {"cubic", [](double x) { return x * x * x - 0.001; }, 0.1, 20},
        {"steep", [](double x) { return std::tanh(20 * (x - 0.7)); }, 0.7, 20},
        {"decreasing", [](double x) { return std::cos(x); }, M_PI / 2, 20},
    };
    for (const auto& c : cases) {
        int tries = 0;
        const double low = 0.0;
        const double high = c.name == std::string("decreasing") ? 3.0 : 1.0;
        const std::optional<double> found = find_sign_change(
            low, high, c.f(low), c.f(high),
            [&](double x) -> std::optional<double> {
                ++tries;
                return c.f(x);
            },
            0.0, 1e-12, 100);
        ASSERT_TRUE(found) << c.name;
        EXPECT_NEAR(*found, c.root, 1e-10) << c.name;
        EXPECT_LE(tries, c.most_tries) << c.name;
    }
}

TEST(sign_change, stops_where_the_function_cannot_be_evaluated) {
    int tries = 0;
    const std::optional<double> found = find_sign_change(
        0.0, 1.0, -1.0, 1.0,
        [&](double x) -> std::optional<double> {
            ++tries;
            return tries == 1 ? std::optional<double>(x - 0.25) : std::nullopt;
        },
        0.0, 1e-12, 100);
    ASSERT_TRUE(found);
    EXPECT_EQ(*found, 0.5);  // the one place evaluated
    EXPECT_EQ(tries, 2);
    EXPECT_FALSE(find_sign_change(
        0.0, 1.0, -1.0, 1.0, [](double) -> std::optional<double> { return std::nullopt; }, 0.0,
        1e-12, 100));
}

}  // namespace
