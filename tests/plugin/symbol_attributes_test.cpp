#include <gtest/gtest.h>

#include <string>

#include "loaded_plugin.h"
#include "model_json.h"
#include "zel_container.h"

// The block answers the symbols as the file writes them, which the host's
// upper-cased lists cannot show, through "VARIABLE_SYMBOL n" and
// "ENTRY_SYMBOL n", n counting within the block from 1.
namespace {

using namespace model_json;

const std::string ACCENTED = "t\xc3\xa9mp\xc3\xa9rature_\xce\xb1";  // "température_α"

// Variables x, ACCENTED, Y; entries x, ACCENTED | ghost, Y, x.
std::string three_variables() {
    return model_text(
        {equation("first", sum({reference("x"), reference(ACCENTED)}),
                  {entry("x", number(1)), entry(ACCENTED, number(1))}),
         equation("second", sum({reference("Y"), reference("x")}),
                  {entry("ghost", number(0)), entry("Y", number(1)), entry("x", number(1))})},
        {variable("x"), variable(ACCENTED), variable("Y")});
}

// One variable and one entry, both "only".
std::string one_variable() {
    return model_text({equation("e", reference("only"), {entry("only", number(1))})},
                      {variable("only")});
}

// The symbol answered for `name`, or "(none)" when the block answers false.
std::string answered(const ZELEOBlock& block, const char* name) {
    value_t out{};
    if (!block.attr_lookup(name, out)) {
        return "(none)";
    }
    EXPECT_EQ(out.type, VALUE_TEXT) << name;
    return out.text ? out.text : "(null text)";
}

TEST(plugin_symbols, answers_each_symbol_as_the_file_writes_it) {
    LoadedPlugin plugin;
    ZELEOCntr container;
    container.add_block(create_from_text(plugin.factory(), "B", three_variables()));
    ASSERT_EQ(container.build_structure(), 0);
    const ZELEOBlock& block = *container.block(0);
    const struct {
        const char* name;
        std::string symbol;
    } cases[] = {
        {"VARIABLE_SYMBOL 1", "x"},  {"VARIABLE_SYMBOL 2", ACCENTED}, {"VARIABLE_SYMBOL 3", "Y"},
        {"VARIABLE_SYMBOL 03", "Y"}, {"ENTRY_SYMBOL 1", "x"},         {"ENTRY_SYMBOL 2", ACCENTED},
        {"ENTRY_SYMBOL 3", "ghost"},  // an entry naming no model variable
        {"ENTRY_SYMBOL 4", "Y"},     {"ENTRY_SYMBOL 5", "x"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(answered(block, c.name), c.symbol) << c.name;
    }
}

TEST(plugin_symbols, refuses_names_that_are_not_exactly_an_index_in_range) {
    LoadedPlugin plugin;
    ZELEOCntr container;
    container.add_block(create_from_text(plugin.factory(), "B", three_variables()));
    ASSERT_EQ(container.build_structure(), 0);
    const ZELEOBlock& block = *container.block(0);
    const char* names[] = {
        "VARIABLE_SYMBOL 4",  // past the last of 3
        "ENTRY_SYMBOL 6",     // past the last of 5
        "VARIABLE_SYMBOL 0",
        "VARIABLE_SYMBOL 00",
        "VARIABLE_SYMBOL",
        "VARIABLE_SYMBOL ",
        "VARIABLE_SYMBOL1",
        "VARIABLE_SYMBOL  1",
        "VARIABLE_SYMBOL\t1",
        "VARIABLE_SYMBOL 1 ",
        "VARIABLE_SYMBOL 3x",
        "VARIABLE_SYMBOL x3",
        "VARIABLE_SYMBOL -1",
        "VARIABLE_SYMBOL +1",
        "VARIABLE_SYMBOL 1.0",
        "VARIABLE_SYMBOL 0x1",
        "variable_symbol 1",
        "ENTRY_SYMBOL 4294967297",            // 2^32 + 1, 1 if it wrapped in 32 bits
        "ENTRY_SYMBOL 18446744073709551617",  // 2^64 + 1, 1 if it wrapped in 64 bits
        "VARIABLE_SYMBOL 99999999999999999999999999999999999999",
        "SYMBOL 1",
        "",
        nullptr,
    };
    for (const char* name : names) {
        EXPECT_EQ(answered(block, name), "(none)") << (name ? name : "(null)");
    }
}

TEST(plugin_symbols, counts_within_each_block_of_a_container) {
    LoadedPlugin plugin;
    ZELEOCntr container;
    container.add_block(create_from_text(plugin.factory(), "A", three_variables()));
    container.add_block(create_from_text(plugin.factory(), "B", one_variable()));
    ASSERT_EQ(container.build_structure(), 0);
    const ZELEOBlock& second = *container.block(1);
    EXPECT_EQ(answered(second, "VARIABLE_SYMBOL 1"), "only");
    EXPECT_EQ(answered(second, "ENTRY_SYMBOL 1"), "only");
    EXPECT_EQ(answered(second, "VARIABLE_SYMBOL 4"), "(none)");  // its host number
    EXPECT_EQ(answered(second, "ENTRY_SYMBOL 6"), "(none)");
}

TEST(plugin_symbols, answers_none_before_registration) {
    LoadedPlugin plugin;
    BlockHandle block(create_from_text(plugin.factory(), "B", three_variables()));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(answered(*block, "VARIABLE_SYMBOL 1"), "(none)");
    EXPECT_EQ(answered(*block, "ENTRY_SYMBOL 1"), "(none)");
    BlockHandle empty(plugin.factory().create("E", nullptr));
    EXPECT_EQ(answered(*empty, "VARIABLE_SYMBOL 1"), "(none)");
}

// The texts are the block's own strings, not one buffer refilled per call.
TEST(plugin_symbols, texts_stay_valid_across_lookups_and_evaluations) {
    LoadedPlugin plugin;
    ZELEOCntr container;
    container.add_block(create_from_text(plugin.factory(), "B", three_variables()));
    ASSERT_EQ(container.build_structure(), 0);
    const ZELEOBlock& block = *container.block(0);
    value_t first{};
    value_t third{};
    ASSERT_TRUE(block.attr_lookup("VARIABLE_SYMBOL 1", first));
    ASSERT_TRUE(block.attr_lookup("VARIABLE_SYMBOL 3", third));
    ASSERT_EQ(container.evaluate_residuals(), 0);
    EXPECT_STREQ(first.text, "x");
    EXPECT_STREQ(third.text, "Y");
}

}  // namespace
