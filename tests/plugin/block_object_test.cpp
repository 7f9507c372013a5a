#include <gtest/gtest.h>

#include <cstring>

#include "loaded_plugin.h"

namespace {

TEST(plugin_block, answers_its_type_exactly) {
    LoadedPlugin plugin;
    BlockHandle block(plugin.factory().create("B", nullptr));
    ASSERT_NE(block, nullptr);
    const struct {
        const char* name;
        bool is;
    } cases[] = {
        {"QUILLON", true},  {"ZELEOBlock", true},  // its own type and the base's
        {"quillon", false}, {"QUILLON ", false},  {"QUILLO", false}, {"", false}, {nullptr, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(block->isof_type(c.name), c.is) << (c.name ? c.name : "(null)");
    }
}

TEST(plugin_block, persists_under_its_type_name) {
    LoadedPlugin plugin;
    BlockHandle block(plugin.factory().create("B", nullptr));
    char buffer[32];
    std::memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(block->persist_type(buffer, sizeof buffer), 0);
    EXPECT_STREQ(buffer, "QUILLON");
}

TEST(plugin_block, shows_no_verdict_before_a_solve) {
    LoadedPlugin plugin;
    BlockHandle block(plugin.factory().create("B", nullptr));
    value_t verdict{};
    verdict.type = -5;
    ASSERT_TRUE(block->attr_lookup("STATUS_TEXT", verdict));
    EXPECT_EQ(verdict.type, VALUE_NONE);
    EXPECT_EQ(verdict.text, nullptr);
    value_t flag{};
    ASSERT_TRUE(block->attr_lookup("SOLVE_FLAG", flag));
    EXPECT_EQ(flag.type, VALUE_INTEGER);
    EXPECT_EQ(flag.integer, 0);
    value_t other{};
    EXPECT_FALSE(block->attr_lookup("status_text", other));
    EXPECT_FALSE(block->attr_lookup(nullptr, other));
    EXPECT_STREQ(block->attr_describe(0), "STATUS_TEXT");
    EXPECT_STREQ(block->attr_describe(1), "SOLVE_FLAG");
    EXPECT_EQ(block->attr_describe(2), nullptr);
    EXPECT_EQ(block->attr_describe(-1), nullptr);
}

}  // namespace
