#include <gtest/gtest.h>

#include <vector>

#include "dense_newton.h"
#include "pair_block.h"
#include "zel_container.h"

namespace {

TEST(host_newton, solves_two_blocks_through_the_container) {
    ZELEOCntr container;
    container.add_block(new PairBlock("A", 2.0, 1.0));  // x * y = 2, x - y = 1
    container.add_block(new PairBlock("B", 6.0, 1.0));  // x * y = 6, x - y = 1
    ASSERT_EQ(container.build_structure(), 0);

    ASSERT_GE(dense_newton::newton(container, 20), 1);
    EXPECT_EQ(container.report_solve(RT_CONVERGED), 0);

    const double* values = container.variables()->values();
    const std::vector<double> expected = {2.0, 1.0, 3.0, 2.0};
    for (std::size_t index = 0; index < expected.size(); ++index) {
        EXPECT_NEAR(values[index], expected[index], 1e-10) << "variable " << index + 1;
    }
    const auto* first = dynamic_cast<const PairBlock*>(container.block(0));
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(first->reported_status(), RT_CONVERGED);
}

}  // namespace
