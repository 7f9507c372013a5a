#include <gtest/gtest.h>

#include <cmath>
#include <utility>
#include <vector>

#include "block_bench.h"

namespace {

using namespace model_json;
using Matrix = std::vector<std::vector<double>>;

Matrix dense_jacobian(const rt_jac_t& jacobian) {
    Matrix dense(static_cast<std::size_t>(jacobian.equation_count()),
                 std::vector<double>(static_cast<std::size_t>(jacobian.variable_count()), 0.0));
    for (int nonzero = 1; nonzero <= jacobian.size(); ++nonzero) {
        const rt_nz_t& at = *jacobian.find(nonzero);
        dense[static_cast<std::size_t>(at.equation - 1)]
             [static_cast<std::size_t>(at.variable - 1)] += jacobian.values()[nonzero - 1];
    }
    return dense;
}

// a x = b by elimination with partial pivoting.
std::vector<double> solve(Matrix a, std::vector<double> b) {
    const std::size_t n = b.size();
    for (std::size_t col = 0; col < n; ++col) {
        std::size_t pivot = col;
        for (std::size_t row = col + 1; row < n; ++row) {
            if (std::fabs(a[row][col]) > std::fabs(a[pivot][col])) {
                pivot = row;
            }
        }
        std::swap(a[col], a[pivot]);
        std::swap(b[col], b[pivot]);
        for (std::size_t row = col + 1; row < n; ++row) {
            const double factor = a[row][col] / a[col][col];
            for (std::size_t k = col; k < n; ++k) {
                a[row][k] -= factor * a[col][k];
            }
            b[row] -= factor * b[col];
        }
    }
    std::vector<double> x(n);
    for (std::size_t row = n; row-- > 0;) {
        double rest = b[row];
        for (std::size_t k = row + 1; k < n; ++k) {
            rest -= a[row][k] * x[k];
        }
        x[row] = rest / a[row][row];
    }
    return x;
}

// Newton's method on the host's lists alone; the number of steps taken, or
// -1 when it did not converge.
int newton(ZELEOCntr& container, int max_steps) {
    rtvarlst_t& variables = *container.variables();
    const rtattrdict_t& equations = *container.equations();
    for (int step = 0; step <= max_steps; ++step) {
        EXPECT_EQ(container.evaluate_residuals(), 0);
        std::vector<double> minus_f;
        double largest = 0.0;
        for (int index = 0; index < equations.size(); ++index) {
            minus_f.push_back(-equations.residuals()[index]);
            largest = std::fmax(largest, std::fabs(minus_f.back()));
        }
        if (largest < 1e-12) {
            return step;
        }
        EXPECT_EQ(container.evaluate_jacobian(), 0);
        const std::vector<double> delta = solve(dense_jacobian(*container.jacobian()), minus_f);
        for (int index = 0; index < variables.size(); ++index) {
            variables.values()[index] += delta[static_cast<std::size_t>(index)];
        }
    }
    return -1;
}

TEST(block_solve, newton_solves_two_blocks_to_their_roots) {
    BlockBench bench(false);
    // a + b = 3, a - b = 1.
    ZELEOBlock* linear = bench.add(
        "LINEAR", model_text({equation("SUM", sum({reference("a"), reference("b"), number(-3.0)}),
                                       {entry("a", number(1.0)), entry("b", number(1.0))}),
                              equation("DIFFERENCE",
                                       sum({reference("a"), product({number(-1.0), reference("b")}),
                                            numeric_text("-1")}),
                                       {entry("a", number(1.0)), entry("b", number(-1.0))})},
                             {variable("a"), variable("b")}));
    // x^2 + y^2 = 25, x - y = 1, ln(z) = 1, from (5, 1, 1).
    ZELEOBlock* curved = bench.add(
        "CURVED",
        model_text(
            {equation("CIRCLE",
                      sum({power(reference("x"), number(2.0)), power(reference("y"), number(2.0)),
                           number(-25.0)}),
                      {entry("x", product({number(2.0), reference("x")})),
                       entry("y", product({number(2.0), reference("y")}))}),
             equation("LINE",
                      sum({reference("x"), product({number(-1.0), reference("y")}), number(-1.0)}),
                      {entry("x", number(1.0)), entry("y", number(-1.0))}),
             equation("LOG", sum({function("ln", reference("z")), number(-1.0)}),
                      {entry("z", power(reference("z"), number(-1.0)))})},
            {variable("x", {5.0, 0.0, {}}), variable("y", {1.0, {}, {}}),
             variable("z", {1.0, 1e-9, {}})}));
    ASSERT_EQ(bench.container().build_structure(), 0);
    ASSERT_EQ(curved->vstart(), 3);
    EXPECT_TRUE(bench.jacobian().incomplete_nonzeros().empty());

    const int steps = newton(bench.container(), 30);
    ASSERT_GE(steps, 1);
    const double expected[] = {2.0, 1.0, 4.0, 3.0, std::exp(1.0)};
    for (int number = 1; number <= 5; ++number) {
        EXPECT_NEAR(bench.value(number), expected[number - 1], 1e-10) << number;
    }

    ASSERT_EQ(bench.container().report_solve(RT_CONVERGED), 0);
    for (const ZELEOBlock* block : {linear, curved}) {
        value_t verdict{};
        ASSERT_TRUE(block->attr_lookup("STATUS_TEXT", verdict));
        ASSERT_EQ(verdict.type, VALUE_TEXT);
        EXPECT_STREQ(verdict.text, "Converged") << block->name();
    }
}

}  // namespace
