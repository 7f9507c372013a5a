#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <string>

#include <unistd.h>

#include "hostile_host.h"
#include "temp_model_file.h"

// A block's whole life, again and again, as a host that rebuilds its
// flowsheet would live it: nothing may be left behind by any of them.
namespace {

const char* const small_model = R"({
  "Variables": [{"VariableSymbol": "x", "Initial": 2, "Min": 0, "Max": 10},
                {"VariableSymbol": "y", "VariableName": "second"}],
  "EquationList": [
    {"EquationName": "E1", "Type": 0,
     "SubExpressions": [{"Type": 4, "StringValue": "x"}, {"Type": 3, "StringValue": "-1.5"}],
     "Variables": [{"VariableSymbol": "x", "Differential": {"Type": 2, "DoubleValue": 1}}]},
    {"EquationName": "E2", "Type": 6, "StringValue": "exp",
     "SubExpressions": [{"Type": 4, "StringValue": "y"}],
     "Variables": [{"VariableSymbol": "y", "Differential":
        {"Type": 6, "StringValue": "exp", "SubExpressions": [{"Type": 4, "StringValue": "y"}]}}]}
  ]})";

// QUILLON_LIFECYCLE_CYCLES lowers the count where each cycle is slow; there
// (under valgrind) the tool counts leaks and resident memory says nothing.
const char* const cycles_given = std::getenv("QUILLON_LIFECYCLE_CYCLES");

long resident_kib() {
    std::ifstream statm("/proc/self/statm");
    long total_pages = 0;
    long resident_pages = 0;
    statm >> total_pages >> resident_pages;
    return resident_pages * (sysconf(_SC_PAGESIZE) / 1024);
}

#if defined(__SANITIZE_ADDRESS__)
constexpr bool memory_is_measurable = false;  // the sanitizer's quarantine grows
#else
const bool memory_is_measurable = cycles_given == nullptr;
#endif

TEST(block_lifecycle, many_lives_leave_nothing_behind) {
    LoadedPlugin plugin;
    const TempModelFile file(small_model);
    const long cycles = cycles_given ? std::atol(cycles_given) : 100000;
    const long warm_up = std::min(cycles / 10, 1000L);
    long before = 0;
    for (long cycle = 0; cycle < cycles; ++cycle) {
        if (cycle == warm_up) {
            before = resident_kib();
        }
        const HostOutcome got = run_model_file(plugin.factory(), file.path());
        ASSERT_EQ(got.text, "loaded 2 variables, 2 equations") << "cycle " << cycle;
    }
    const long growth = resident_kib() - before;
    std::printf("%ld cycles: resident memory grew by %ld KiB\n", cycles, growth);
    if (memory_is_measurable) {
        EXPECT_LT(growth, 1024);
    }
    EXPECT_FALSE(plugin.blocks_alive());
}

TEST(block_lifecycle, unload_waits_for_the_last_block) {
    LoadedPlugin plugin;
    const TempModelFile file(small_model);
    const std::string text = "model=" + file.path();
    const value_t parameter = text_parameter(text.c_str());
    BlockHandle first(plugin.factory().create("B1", &parameter));
    BlockHandle second(plugin.factory().create("B2", &parameter));
    ASSERT_TRUE(first && second);

    EXPECT_EQ(plugin.library().unload(nullptr, &plugin.registry()), -1);
    first.reset();
    EXPECT_EQ(plugin.library().unload(nullptr, &plugin.registry()), -1);
    second.reset();
    EXPECT_EQ(plugin.library().unload(nullptr, &plugin.registry()), 0);
}

// A numeric-text fault in the middle of the residuals leaves the earlier
// residuals written, and the next evaluation works once the value is sound.
TEST(block_lifecycle, a_numeric_text_fault_leaves_the_host_working) {
    LoadedPlugin plugin;
    const TempModelFile file(R"({
      "Variables": [{"VariableSymbol": "x", "Initial": 3}],
      "EquationList": [
        {"EquationName": "E1", "Type": 4, "StringValue": "x"},
        {"EquationName": "E2", "Type": 3, "StringValue": "not a number"},
        {"EquationName": "E3", "Type": 2, "DoubleValue": 7}]})");
    const std::string text = "model=" + file.path();
    const value_t parameter = text_parameter(text.c_str());
    ZELEOCntr container;
    container.add_block(plugin.factory().create("B", &parameter));
    ASSERT_EQ(container.block_count(), 1);
    container.build_structure();
    for (int attempt = 0; attempt < 2; ++attempt) {
        EXPECT_THROW(container.evaluate_residuals(), std::invalid_argument);
        EXPECT_EQ(container.equations()->residuals()[0], 3.0);
        EXPECT_EQ(container.equations()->residuals()[2], 0.0);
    }
    EXPECT_NO_THROW(container.evaluate_jacobian());
    EXPECT_TRUE(plugin.blocks_alive());
}

}  // namespace
