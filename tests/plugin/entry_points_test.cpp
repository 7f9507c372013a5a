#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstring>
#include <string>

#include "loaded_plugin.h"

namespace {

constexpr std::int32_t UNTOUCHED = -77;

struct Row {
    const char* name;
    std::int32_t major;
    std::int32_t minor;
};

// The interface table as the host expects it, in its order.
const Row expected_rows[] = {
    {"ZELBLKFACTORY", 11, 1}, {"ZELBLKSUPPORT", 11, 0}, {"ZELBLOCK", 11, 0},
    {"ZELDLL", 11, 0},        {"ZELPIPE", 3, 0},
};

TEST(plugin_entry, identity_names_the_plugin) {
    LoadedPlugin plugin;
    EXPECT_STREQ(plugin.library().identity(), "QUILLON version 2020");
}

TEST(plugin_entry, interface_lists_the_table_in_order) {
    LoadedPlugin plugin;
    for (std::int32_t index = 0; index < 5; ++index) {
        const char* name = nullptr;
        std::int32_t major = UNTOUCHED;
        std::int32_t minor = UNTOUCHED;
        ASSERT_EQ(plugin.library().interface(index, &name, &major, &minor), 0) << index;
        const Row& row = expected_rows[index];
        EXPECT_STREQ(name, row.name) << index;
        EXPECT_EQ(major, row.major) << index;
        EXPECT_EQ(minor, row.minor) << index;
    }
}

TEST(plugin_entry, interface_writes_only_the_outputs_given) {
    LoadedPlugin plugin;
    EXPECT_EQ(plugin.library().interface(0, nullptr, nullptr, nullptr), 0);

    const char* name = nullptr;
    std::int32_t minor = UNTOUCHED;
    EXPECT_EQ(plugin.library().interface(4, &name, nullptr, &minor), 0);
    EXPECT_STREQ(name, "ZELPIPE");
    EXPECT_EQ(minor, 0);

    std::int32_t major = UNTOUCHED;
    EXPECT_EQ(plugin.library().interface(0, nullptr, &major, nullptr), 0);
    EXPECT_EQ(major, 11);
}

TEST(plugin_entry, interface_rejects_indexes_outside_the_table) {
    LoadedPlugin plugin;
    for (const std::int32_t index : {-1, 5, 6, INT_MIN, INT_MAX}) {
        const char* name = "untouched";
        std::int32_t major = UNTOUCHED;
        std::int32_t minor = UNTOUCHED;
        EXPECT_EQ(plugin.library().interface(index, &name, &major, &minor), 1) << index;
        EXPECT_STREQ(name, "untouched") << index;
        EXPECT_EQ(major, UNTOUCHED) << index;
        EXPECT_EQ(minor, UNTOUCHED) << index;
    }
}

TEST(plugin_entry, version_finds_every_row) {
    LoadedPlugin plugin;
    for (const Row& row : expected_rows) {
        // A copy, so the lookup compares texts and not pointers.
        const std::string name = row.name;
        std::int32_t major = UNTOUCHED;
        std::int32_t minor = UNTOUCHED;
        ASSERT_EQ(plugin.library().version(name.c_str(), &major, &minor), 0) << row.name;
        EXPECT_EQ(major, row.major) << row.name;
        EXPECT_EQ(minor, row.minor) << row.name;
    }
}

TEST(plugin_entry, version_rejects_names_not_in_the_table) {
    LoadedPlugin plugin;
    const char* const misses[] = {
        "zelblkfactory",
        "zelblksupport",
        "zelblock",
        "zeldll",
        "zelpipe",   // lower case
        "ZELBLKFA",  // proper prefix
        "",          // empty
        "ZELBLKFACTORYX",
        "ZELDLL ",
        " ZELDLL",  // longer
        "ZELBLOCJ",
        "ZELC",
        "ZELPIPF",
        "A",
        "\xff",            // between, outside
        "ZELDLL\xc3\xa9",  // high bytes
    };
    for (const char* miss : misses) {
        std::int32_t major = UNTOUCHED;
        std::int32_t minor = UNTOUCHED;
        EXPECT_EQ(plugin.library().version(miss, &major, &minor), 1) << miss;
        EXPECT_EQ(major, UNTOUCHED) << miss;
        EXPECT_EQ(minor, UNTOUCHED) << miss;
    }
}

TEST(plugin_entry, version_rejects_null_arguments) {
    LoadedPlugin plugin;
    std::int32_t major = UNTOUCHED;
    std::int32_t minor = UNTOUCHED;
    EXPECT_EQ(plugin.library().version(nullptr, &major, &minor), 1);
    EXPECT_EQ(plugin.library().version("ZELDLL", nullptr, &minor), 1);
    EXPECT_EQ(plugin.library().version("ZELDLL", &major, nullptr), 1);
    EXPECT_EQ(plugin.library().version("ZELDLL", nullptr, nullptr), 1);
    EXPECT_EQ(major, UNTOUCHED);
    EXPECT_EQ(minor, UNTOUCHED);
}

TEST(plugin_entry, init_adds_one_factory_per_call) {
    LoadedPlugin plugin;
    ASSERT_EQ(plugin.init_result(), 0);
    ASSERT_EQ(plugin.registry().size(), 1U);
    ZELBlkFactory* first = plugin.registry().Lookup("QUILLON");
    ASSERT_NE(first, nullptr);
    EXPECT_STREQ(first->type_name(), "QUILLON");
    EXPECT_STREQ(first->error_message(), "");

    EXPECT_EQ(plugin.library().init_entry(nullptr, &plugin.registry()), 0);
    EXPECT_EQ(plugin.registry().size(), 2U);
    // Unloading answers 1 while another factory of the library remains.
    EXPECT_EQ(plugin.library().unload(nullptr, &plugin.registry()), 1);
    EXPECT_EQ(plugin.registry().size(), 1U);
    EXPECT_EQ(plugin.library().unload(nullptr, &plugin.registry()), 0);
    EXPECT_EQ(plugin.registry().size(), 0U);
    EXPECT_EQ(plugin.library().unload(nullptr, &plugin.registry()), -2);
}

TEST(plugin_entry, init_without_registry_counts_nothing) {
    LoadedPlugin plugin;
    EXPECT_EQ(plugin.library().init_entry(nullptr, nullptr), 1);
    // Had the refused call been counted, one factory would seem to remain.
    EXPECT_EQ(plugin.library().unload(nullptr, &plugin.registry()), 0);
}

TEST(plugin_entry, unload_without_its_factory_leaves_the_count) {
    LoadedPlugin plugin;
    ASSERT_EQ(plugin.library().init_entry(nullptr, &plugin.registry()), 0);
    ZELFactoryLib other;
    EXPECT_EQ(plugin.library().unload(nullptr, &other), -2);
    EXPECT_EQ(plugin.library().unload(nullptr, nullptr), -2);
    EXPECT_EQ(plugin.registry().size(), 2U);
    EXPECT_EQ(plugin.library().unload(nullptr, &plugin.registry()), 1);
    EXPECT_EQ(plugin.library().unload(nullptr, &plugin.registry()), 0);
}

TEST(plugin_entry, unload_refuses_while_a_block_lives) {
    LoadedPlugin plugin;
    BlockHandle block(plugin.factory().create("B1", nullptr));
    ASSERT_NE(block, nullptr);

    EXPECT_EQ(plugin.library().unload(nullptr, &plugin.registry()), -1);
    EXPECT_EQ(plugin.library().unload(nullptr, nullptr), -1);
    ZELFactoryLib other;
    EXPECT_EQ(plugin.library().unload(nullptr, &other), -1);
    EXPECT_EQ(plugin.registry().size(), 1U);

    block.reset();
    EXPECT_EQ(plugin.library().unload(nullptr, &plugin.registry()), 0);
    EXPECT_EQ(plugin.registry().size(), 0U);
}

}  // namespace
