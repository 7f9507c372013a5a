#include <gtest/gtest.h>

#include <string>
#include <string_view>
#include <vector>

#include "symbol_index.h"

// The index finds every symbol it holds byte for byte, keeps the first
// position of a repeated symbol, and finds nothing else, however it grew.
namespace {

TEST(symbol_index, finds_each_symbol_at_its_first_position_across_growth) {
    for (const bool reserved : {false, true}) {
        std::vector<std::string> symbols;
        for (int index = 0; index < 3000; ++index) {
            symbols.push_back("T_" + std::to_string(index));
        }
        SymbolIndex index;
        if (reserved) {
            index.reserve(symbols.size());
        }
        for (std::size_t at = 0; at < symbols.size(); ++at) {
            index.insert_first(symbols[at], at);
        }
        for (std::size_t at = 0; at < symbols.size(); ++at) {
            index.insert_first(symbols[at], at + symbols.size());  // repeats change nothing
        }
        for (std::size_t at = 0; at < symbols.size(); ++at) {
            ASSERT_EQ(index.find(symbols[at]), at) << symbols[at] << (reserved ? " reserved" : "");
        }
    }
}

TEST(symbol_index, finds_nothing_but_the_exact_bytes) {
    const std::string x = "x";
    const std::string with_nul("a\0b", 3);
    const std::string empty;
    SymbolIndex index;
    EXPECT_EQ(index.find("x"), SymbolIndex::none);  // nothing held yet
    index.insert_first(x, 0);
    index.insert_first(with_nul, 1);
    index.insert_first(empty, 2);
    const struct {
        std::string_view symbol;
        std::size_t position;
    } cases[] = {
        {"x", 0},
        {std::string_view("a\0b", 3), 1},
        {"", 2},
        {std::string_view(), 2},  // an empty view without bytes is the empty symbol
        {"X", SymbolIndex::none},
        {"x ", SymbolIndex::none},
        {std::string_view("a\0c", 3), SymbolIndex::none},
        {"a", SymbolIndex::none},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(index.find(c.symbol), c.position) << std::string(c.symbol);
    }
}

}  // namespace
