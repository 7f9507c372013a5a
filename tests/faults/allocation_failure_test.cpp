// Memory running out at any allocation while a block is created: the
// exception (or the factory's failure text) reaches the host, nothing leaks,
// and the live-block count stays right so the plug-in can still unload.
#include <gtest/gtest.h>

#include <new>
#include <string>

#include "failing_allocator.h"
#include "loaded_plugin.h"

namespace {

const char* const model_text = R"({
  "EquationList": [{"Type": 0, "EquationName": "E1",
    "SubExpressions": [{"Type": 1, "SubExpressions": [{"Type": 4, "StringValue": "X"},
                                                      {"Type": 3, "StringValue": "2.5"}]},
                       {"Type": 6, "StringValue": "ln", "SubExpressions": [{"Type": 2, "DoubleValue": 1}]}],
    "Variables": [{"VariableSymbol": "X", "Differential": {"Type": 3, "StringValue": "2.5"}}]}],
  "Variables": [{"VariableSymbol": "X", "VariableName": "feed", "Min": 0, "Initial": 1}]
})";

enum class Outcome { created, refused, out_of_memory };

// One create with the `ordinal`-th allocation failing.
Outcome create_failing_at(LoadedPlugin& plugin, const value_t& parameter, std::size_t ordinal) {
    failing_allocator::fail_allocation(ordinal);
    try {
        ZELEOBlock* block = plugin.factory().create("B1", &parameter);
        failing_allocator::fail_allocation(0);
        if (!block) {
            return Outcome::refused;
        }
        block->destroy();
        return Outcome::created;
    } catch (const std::bad_alloc&) {
        failing_allocator::fail_allocation(0);
        return Outcome::out_of_memory;
    }
}

TEST(faults_allocation, every_allocation_of_create_can_fail_cleanly) {
    LoadedPlugin plugin;
    const TempModelFile file(model_text);
    const std::string text = "model=" + file.path();
    const value_t parameter = text_parameter(text.c_str());
    const long live_before = failing_allocator::live_allocations();

    std::size_t ordinal = 1;
    for (;; ++ordinal) {
        const Outcome outcome = create_failing_at(plugin, parameter, ordinal);
        EXPECT_EQ(failing_allocator::live_allocations(), live_before) << "allocation " << ordinal;
        EXPECT_FALSE(plugin.blocks_alive()) << "allocation " << ordinal;
        if (outcome == Outcome::refused) {
            EXPECT_STREQ(plugin.factory().error_message(),
                         "Failed to create QUILLON Model Type Adapter");
        }
        if (outcome == Outcome::created) {
            break;
        }
    }
    // A model this size takes dozens of allocations; every one was tried.
    EXPECT_GT(ordinal, 20u);
}

}  // namespace
