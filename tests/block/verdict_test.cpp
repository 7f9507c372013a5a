#include <gtest/gtest.h>

#include <string>

#include "block_bench.h"
#include "zel_frame.h"

namespace {

// The verdict the block shows the host; "(none)" before any.
std::string verdict_of(const ZELEOBlock& block) {
    value_t verdict{};
    if (!block.attr_lookup("STATUS_TEXT", verdict)) {
        return "(no attribute)";
    }
    if (verdict.type != VALUE_TEXT) {
        return "(none)";
    }
    return verdict.text;
}

bool solve_flag_of(const ZELEOBlock& block) {
    value_t flag{};
    EXPECT_TRUE(block.attr_lookup("SOLVE_FLAG", flag));
    return flag.integer != 0;
}

TEST(block_verdict, follows_the_status_item_of_each_solve) {
    BlockBench bench;
    ZELEOBlock* block = bench.add("B", "{}");
    ASSERT_EQ(bench.container().build_structure(), 0);
    EXPECT_EQ(verdict_of(*block), "(none)");
    EXPECT_FALSE(solve_flag_of(*block));

    // In sequence, so each verdict replaces the one before.
    const struct {
        int status_item;
        const char* verdict;
    } cases[] = {
        {RT_CONVERGED, "Converged"},         {0, "Not converged"},
        {RT_CONVERGED, "Converged"},         {2, "Not converged"},
        {RT_CONVERGED, "Converged"},         {-1, "Not converged"},
        {RT_NOT_CONVERGED, "Not converged"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(bench.container().report_solve(c.status_item), 0) << c.status_item;
        EXPECT_EQ(verdict_of(*block), c.verdict) << c.status_item;
        EXPECT_TRUE(solve_flag_of(*block)) << c.status_item;
    }
}

TEST(block_verdict, keeps_the_status_the_caller_set) {
    BlockBench bench;
    ZELEOBlock* block = bench.add("B", "{}");
    ASSERT_EQ(bench.container().build_structure(), 0);
    rtocvgsum_set_int_item(bench.container().container_frame()->get_convergence_summary(), "STATUS",
                           RT_CONVERGED);
    std::int64_t status = 7;
    block->post_solve(status);
    EXPECT_EQ(status, 7);
    EXPECT_EQ(verdict_of(*block), "Converged");
}

TEST(block_verdict, answers_one_without_the_host_structures) {
    BlockBench bench;
    ZELEOBlock* block = bench.add("B", "{}");
    rtocvgsum_set_int_item(bench.container().container_frame()->get_convergence_summary(), "STATUS",
                           RT_CONVERGED);
    // Not built yet: the container has no lists.
    std::int64_t status = 0;
    block->post_solve(status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(verdict_of(*block), "(none)");

    ASSERT_EQ(bench.container().build_structure(), 0);
    ASSERT_EQ(bench.container().report_solve(RT_CONVERGED), 0);
    ASSERT_EQ(verdict_of(*block), "Converged");

    // Out of the container: the earlier verdict stays.
    rtocvgsum_set_int_item(bench.container().container_frame()->get_convergence_summary(), "STATUS",
                           RT_NOT_CONVERGED);
    block->attach_container(nullptr);
    status = 0;
    block->post_solve(status);
    EXPECT_EQ(status, 1);
    EXPECT_EQ(verdict_of(*block), "Converged");
    block->attach_container(&bench.container());
}

}  // namespace
