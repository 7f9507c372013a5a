#include <gtest/gtest.h>

#include <cmath>

#include "block_bench.h"
#include "dense_newton.h"

namespace {

using namespace model_json;

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

    const int steps = dense_newton::newton(bench.container(), 30);
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
