#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <vector>

#include "zel_eo_block_impl.h"

namespace {

struct BlockEnder {
    void operator()(ZELEOBlockImpl* block) const { block->destroy(); }
};
using BareBlock = std::unique_ptr<ZELEOBlockImpl, BlockEnder>;

BareBlock bare_block(const char* name = "BARE") {
    return BareBlock(new ZELEOBlockImpl(name));
}

TEST(host_block_base, defaults_report_success_and_no_equations) {
    BareBlock block = bare_block();
    int num_var = 9;
    int num_eqn = 9;
    int num_nz = 9;
    std::int64_t status = 7;
    block->dim(num_var, num_eqn, num_nz, status);
    EXPECT_EQ((std::vector<std::int64_t>{num_var, num_eqn, num_nz, status}),
              (std::vector<std::int64_t>{0, 0, 0, 0}));

    using Operation = void (*)(ZELEOBlockImpl&, std::int64_t&);
    const std::vector<Operation> operations = {
        [](ZELEOBlockImpl& b, std::int64_t& s) { b.ini(1, 1, 1, s); },
        [](ZELEOBlockImpl& b, std::int64_t& s) { b.pat(nullptr, s); },
        [](ZELEOBlockImpl& b, std::int64_t& s) { b.res(s); },
        [](ZELEOBlockImpl& b, std::int64_t& s) { b.jac(s); },
        [](ZELEOBlockImpl& b, std::int64_t& s) { b.post_solve(s); },
        [](ZELEOBlockImpl& b, std::int64_t& s) { b.hess(s); },
    };
    for (const Operation operation : operations) {
        status = 7;
        operation(*block, status);
        EXPECT_EQ(status, 0);
    }
    EXPECT_EQ(block->method_invoke("ANY"), 1);
    EXPECT_EQ(block->attr_describe(0), nullptr);
}

TEST(host_block_base, is_only_of_the_block_type) {
    BareBlock block = bare_block();
    EXPECT_TRUE(block->isof_type("ZELEOBlock"));
    for (const char* other : {"zeleoblock", "ZELEOBlock ", "ZELBlock", "QUILLON", ""}) {
        EXPECT_FALSE(block->isof_type(other)) << other;
    }
    EXPECT_FALSE(block->isof_type(nullptr));
}

TEST(host_block_base, persist_type_writes_only_what_fits) {
    BareBlock block = bare_block();
    struct Case {
        std::size_t size;
        int answer;
        const char* buffer_after;
    };
    for (const Case& c : {Case{11, 0, "ZELEOBlock"}, Case{10, 1, "untouched"}}) {
        char buffer[16] = "untouched";
        EXPECT_EQ(block->persist_type(buffer, c.size), c.answer);
        EXPECT_STREQ(buffer, c.buffer_after);
    }
    EXPECT_EQ(block->persist_type(nullptr, 16), 1);
}

TEST(host_block_base, keeps_name_and_wrapper) {
    struct Wrapper : IQEVWrapper {};
    Wrapper wrapper;
    BareBlock block = bare_block(nullptr);
    EXPECT_STREQ(block->name(), "");
    EXPECT_EQ(block->wrapper(), nullptr);
    block->new_wrapper(&wrapper);
    EXPECT_EQ(block->wrapper(), &wrapper);
}

}  // namespace
