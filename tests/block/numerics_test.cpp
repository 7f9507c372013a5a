#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "block_bench.h"

namespace {

using namespace model_json;

constexpr double SENTINEL = 42.0;

void fill(double* values, int count, double value) {
    for (int index = 0; index < count; ++index) {
        values[index] = value;
    }
}

// x*y - 2 (entries x, y); z - 1 (none); y^2 + ln(z) (entries y, z); exp(x) + sqrt(z) with
// an entry for x only.
std::string four_equations() {
    return model_text(
        {equation("PRODUCT", sum({product({reference("x"), reference("y")}), number(-2.0)}),
                  {entry("x", reference("y")), entry("y", reference("x"))}),
         equation("PLAIN", sum({reference("z"), numeric_text("-1")}), {}),
         equation("CURVED",
                  sum({power(reference("y"), number(2.0)), function("ln", reference("z"))}),
                  {entry("y", product({number(2.0), reference("y")})),
                   entry("z", power(reference("z"), number(-1.0)))}),
         equation("NAMED", sum({function("exp", reference("x")), function("sqrt", reference("z"))}),
                  {entry("x", function("exp", reference("x")))})},
        {variable("x"), variable("y"), variable("z")});
}

TEST(block_numerics, writes_residuals_and_derivatives_into_the_block_elements) {
    BlockBench bench;
    bench.add("B", four_equations());
    ASSERT_EQ(bench.container().build_structure(), 0);
    const int x = FIRST_VARIABLE;
    const int y = x + 1;
    const int z = x + 2;
    bench.set_value(1, 1.0);  // the padding block: a + b, c - 1
    bench.set_value(2, 2.0);
    bench.set_value(3, 5.0);
    bench.set_value(x, 1.5);
    bench.set_value(y, 3.0);
    bench.set_value(z, 4.0);

    ASSERT_EQ(bench.container().evaluate_residuals(), 0);
    const std::vector<double> residuals = {
        3.0, 4.0, 1.5 * 3.0 - 2.0, 4.0 - 1.0, 9.0 + std::log(4.0), std::exp(1.5) + 2.0};
    ASSERT_EQ(bench.equations().size(), 6);
    for (int number = 1; number <= 6; ++number) {
        EXPECT_DOUBLE_EQ(bench.residual(number), residuals[static_cast<std::size_t>(number - 1)])
            << number;
    }

    ASSERT_EQ(bench.container().evaluate_jacobian(), 0);
    const struct {
        int equation;
        int variable;
        double value;
    } nonzeros[] = {
        {1, 1, 1.0},           {1, 2, 1.0}, {2, 3, 1.0}, {2, 1, 0.0},   // padding
        {3, x, 3.0},           {3, y, 1.5}, {5, y, 6.0}, {5, z, 0.25},  // block
        {6, x, std::exp(1.5)},
    };
    ASSERT_EQ(bench.jacobian().size(), 9);
    for (int nonzero = 1; nonzero <= 9; ++nonzero) {
        const auto& expected = nonzeros[nonzero - 1];
        EXPECT_EQ(bench.jacobian().find(nonzero)->equation, expected.equation) << nonzero;
        EXPECT_EQ(bench.jacobian().find(nonzero)->variable, expected.variable) << nonzero;
        EXPECT_DOUBLE_EQ(bench.derivative(nonzero), expected.value) << nonzero;
    }
}

TEST(block_numerics, keeps_the_residuals_before_a_numeric_text_fault) {
    BlockBench bench;
    ZELEOBlock* block = bench.add(
        "B", model_text(
                 {equation("E1", reference("x"), {entry("x", number(1.0))}),
                  equation("E2", numeric_text("not a number"), {entry("x", numeric_text("1e39"))}),
                  equation("E3", number(5.0), {entry("x", number(3.0))})},
                 {variable("x", {7.0, {}, {}})}));
    ASSERT_EQ(bench.container().build_structure(), 0);
    fill(bench.equations().residuals(), bench.equations().size(), SENTINEL);
    fill(bench.jacobian().values(), bench.jacobian().size(), SENTINEL);

    std::int64_t status = 5;
    EXPECT_THROW(block->res(status), std::invalid_argument);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(bench.residual(FIRST_EQUATION), 7.0);
    EXPECT_EQ(bench.residual(FIRST_EQUATION + 1), SENTINEL);
    EXPECT_EQ(bench.residual(FIRST_EQUATION + 2), SENTINEL);

    status = 5;
    EXPECT_THROW(block->jac(status), std::out_of_range);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(bench.derivative(FIRST_NONZERO), 1.0);
    EXPECT_EQ(bench.derivative(FIRST_NONZERO + 1), SENTINEL);
    EXPECT_EQ(bench.derivative(FIRST_NONZERO + 2), SENTINEL);
    // The padding block's elements are not the block's to write.
    EXPECT_EQ(bench.residual(1), SENTINEL);
    EXPECT_EQ(bench.derivative(1), SENTINEL);
}

TEST(block_numerics, values_an_entry_without_derivative_at_zero) {
    BlockBench bench;
    bench.add("B", model_text({equation("E1", reference("x"),
                                        {entry_without_derivative("x"), entry("y", number(2.0)),
                                         entry("y", 0)})},
                              {variable("x"), variable("y")}));
    ASSERT_EQ(bench.container().build_structure(), 0);
    fill(bench.jacobian().values(), bench.jacobian().size(), SENTINEL);
    ASSERT_EQ(bench.container().evaluate_jacobian(), 0);

    const int first = FIRST_NONZERO;
    EXPECT_EQ(bench.jacobian().find(first)->variable, FIRST_VARIABLE);
    EXPECT_EQ(bench.jacobian().find(first + 2)->variable, FIRST_VARIABLE + 1);
    EXPECT_EQ(bench.derivative(first), 0.0);
    EXPECT_EQ(bench.derivative(first + 1), 2.0);
    EXPECT_EQ(bench.derivative(first + 2), 0.0);  // "Differential" 0: no tree either
    EXPECT_TRUE(bench.jacobian().incomplete_nonzeros().empty());
}

TEST(block_numerics, reports_success_through_a_fresh_status) {
    BlockBench bench;
    ZELEOBlock* block = bench.add("B", four_equations());
    ASSERT_EQ(bench.container().build_structure(), 0);
    bench.set_value(FIRST_VARIABLE + 2, 1.0);
    using Operation = void (*)(ZELEOBlock&, rt_jac_t&, std::int64_t&);
    const Operation operations[] = {
        [](ZELEOBlock& b, rt_jac_t&, std::int64_t& s) { b.res(s); },
        [](ZELEOBlock& b, rt_jac_t&, std::int64_t& s) { b.jac(s); },
        [](ZELEOBlock& b, rt_jac_t& j, std::int64_t& s) { b.pat(&j, s); },
    };
    for (const Operation operation : operations) {
        std::int64_t status = -3;
        operation(*block, bench.jacobian(), status);
        EXPECT_EQ(status, 0);
    }
}

// Residual, Jacobian and pattern of a block that has not registered write
// nothing and answer 1: its numbers are not the host's yet.
struct Written {
    std::vector<double> residuals;
    std::vector<double> derivatives;
    std::vector<int> pattern;
};

Written snapshot(BlockBench& bench) {
    Written now;
    const double* residuals = bench.equations().residuals();
    now.residuals.assign(residuals, residuals + bench.equations().size());
    const double* derivatives = bench.jacobian().values();
    now.derivatives.assign(derivatives, derivatives + bench.jacobian().size());
    for (int nonzero = 1; nonzero <= bench.jacobian().size(); ++nonzero) {
        now.pattern.push_back(bench.jacobian().find(nonzero)->equation);
        now.pattern.push_back(bench.jacobian().find(nonzero)->variable);
    }
    return now;
}

TEST(block_numerics, writes_nothing_before_its_registration) {
    BlockBench bench;
    // A block the container took in after building: it holds the lists, but
    // the block was never numbered into them.
    ASSERT_EQ(bench.container().build_structure(), 0);
    ZELEOBlock* late = bench.add("LATE", four_equations());
    ASSERT_NE(late, nullptr);
    fill(bench.equations().residuals(), bench.equations().size(), SENTINEL);
    fill(bench.jacobian().values(), bench.jacobian().size(), SENTINEL);
    const Written before = snapshot(bench);

    std::int64_t status = 0;
    late->res(status);
    EXPECT_EQ(status, 1);
    status = 0;
    late->jac(status);
    EXPECT_EQ(status, 1);
    status = 0;
    late->pat(&bench.jacobian(), status);
    EXPECT_EQ(status, 1);
    const Written after = snapshot(bench);
    EXPECT_EQ(after.residuals, before.residuals);
    EXPECT_EQ(after.derivatives, before.derivatives);
    EXPECT_EQ(after.pattern, before.pattern);
    EXPECT_TRUE(bench.jacobian().diagnostics().empty());

    // Once the container builds again, the block takes part.
    ASSERT_EQ(bench.container().build_structure(), 0);
    EXPECT_EQ(bench.container().evaluate_residuals(), 0);
    EXPECT_EQ(bench.container().evaluate_jacobian(), 0);
}

TEST(block_numerics, answers_one_outside_any_container) {
    BlockBench bench(false);
    BlockHandle loose = bench.make_loose(four_equations());
    ASSERT_NE(loose, nullptr);
    rt_jac_t jacobian(5, 4, 3);
    std::int64_t status = 0;
    loose->ini(1, 1, 1, status);
    EXPECT_EQ(status, 1);
    status = 0;
    loose->pat(&jacobian, status);
    EXPECT_EQ(status, 1);
    status = 0;
    loose->res(status);
    EXPECT_EQ(status, 1);
    status = 0;
    loose->jac(status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(jacobian.incomplete_nonzeros().size(), 5U);  // nothing declared
    EXPECT_TRUE(jacobian.diagnostics().empty());
}

}  // namespace
