#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <iterator>
#include <limits>
#include <string>
#include <vector>

#include "block_bench.h"
#include "rt_utils.h"

// Stand-ins for the host's two registration calls: they keep a copy of every
// record the plug-in passes, then do what the host's own do. Defined in the
// program, they come before the host library's for the dlopen-ed plug-in too.
namespace {

struct CapturedRecords {
    std::vector<rtvar_init_t> variables;
    std::vector<bool> replace;
    std::vector<rteqn_init_t> equations;
};
CapturedRecords captured;

}  // namespace

int rtovarlst_initialize_var(rtvarlst_t* list, int number, const rtvar_init_t* record,
                             bool replace) {
    if (record) {
        captured.variables.push_back(*record);
        captured.replace.push_back(replace);
    }
    return list == nullptr ? -1 : list->initialize(number, record, replace);
}

int rtoeqnlst_initialize_eqn(rtattrdict_t* list, int number, const rteqn_init_t* record) {
    if (record) {
        captured.equations.push_back(*record);
    }
    return list == nullptr ? -1 : list->initialize(number, record);
}

namespace {

using namespace model_json;

constexpr double infinity = std::numeric_limits<double>::infinity();

struct Dimensions {
    int variables = -1;
    int equations = -1;
    int nonzeros = -1;
};

Dimensions dimensions_of(ZELEOBlock& block) {
    Dimensions found;
    std::int64_t status = 7;
    block.dim(found.variables, found.equations, found.nonzeros, status);
    EXPECT_EQ(status, 7);  // the dimension query reports through its counts only
    return found;
}

// Variables x, y, z; equations E1 (entries x, y), E2 (none), E3 (z, x, y).
std::string three_by_three() {
    return model_text(
        {equation("E1", sum({reference("x"), reference("y")}),
                  {entry("x", number(1.0)), entry("y", number(1.0))}),
         equation("E2", number(0.0), {}),
         equation("E3", product({reference("z"), reference("x"), reference("y")}),
                  {entry("z", number(1.0)), entry("x", number(1.0)), entry("y", number(1.0))})},
        {variable("x"), variable("y"), variable("z")});
}

std::string to_upper(std::string text) {
    for (char& byte : text) {
        if (byte >= 'a' && byte <= 'z') {
            byte = static_cast<char>(byte - 'a' + 'A');
        }
    }
    return text;
}

bool all_zero(const unsigned char* bytes, std::size_t count) {
    for (std::size_t index = 0; index < count; ++index) {
        if (bytes[index] != 0) {
            return false;
        }
    }
    return true;
}

void expect_no_host_diagnostics(BlockBench& bench) {
    EXPECT_TRUE(bench.variables().diagnostics().empty());
    EXPECT_TRUE(bench.equations().diagnostics().empty());
    EXPECT_TRUE(bench.jacobian().diagnostics().empty());
}

TEST(block_registration, reports_its_dimensions) {
    BlockBench bench(false);
    const struct {
        std::string model;
        int variables;
        int equations;
        int nonzeros;
    } cases[] = {
        {"{}", 0, 0, 0},
        {"null", 0, 0, 0},
        {model_text({}, {variable("a"), variable("b"), variable("c")}), 3, 0, 0},
        {model_text(
             {equation("E1", number(0.0), {entry("a", number(1)), entry("b", number(1))}),
              equation("E2", number(0.0), {}),
              equation("E3", number(0.0),
                       {entry("a", number(1)), entry("b", number(1)), entry("c", number(1))})},
             {variable("a")}),
         1, 3, 5},
        // A variable listed twice is two nonzeros.
        {model_text({equation("E1", number(0.0), {entry("a", number(1)), entry("a", number(2))})},
                    {variable("a")}),
         1, 1, 2},
    };
    for (const auto& c : cases) {
        BlockHandle block = bench.make_loose(c.model);
        ASSERT_NE(block, nullptr);
        const Dimensions found = dimensions_of(*block);
        EXPECT_EQ(found.variables, c.variables) << c.model;
        EXPECT_EQ(found.equations, c.equations) << c.model;
        EXPECT_EQ(found.nonzeros, c.nonzeros) << c.model;
    }
}

TEST(block_registration, numbers_everything_after_the_blocks_before_it) {
    BlockBench bench;
    ZELEOBlock* block = bench.add("B", three_by_three());
    ASSERT_EQ(bench.container().build_structure(), 0);

    EXPECT_EQ(block->vstart(), FIRST_VARIABLE);
    EXPECT_EQ(block->estart(), FIRST_EQUATION);
    EXPECT_EQ(block->nzstart(), FIRST_NONZERO);
    const Dimensions found = dimensions_of(*block);
    EXPECT_EQ(found.variables, 3);
    EXPECT_EQ(found.equations, 3);
    EXPECT_EQ(found.nonzeros, 5);

    const char* names[] = {"A", "B", "C", "X", "Y", "Z"};
    for (int number = 1; number <= 6; ++number) {
        ASSERT_TRUE(bench.variables().find(number)->registered) << number;
        EXPECT_EQ(bench.variables().find(number)->name, names[number - 1]) << number;
    }
    const char* equation_names[] = {"P1", "P2", "E1", "E2", "E3"};
    for (int number = 1; number <= 5; ++number) {
        const rteqn_t& equation = *bench.equations().find(number);
        EXPECT_TRUE(equation.named && equation.initialized) << number;
        EXPECT_EQ(equation.name, equation_names[number - 1]) << number;
        EXPECT_EQ(equation.number, number);
    }
    // Nonzeros in equation order, entry order within an equation.
    const std::vector<std::pair<int, int>> pattern = {{1, 1}, {1, 2}, {2, 3}, {2, 1}, {3, 4},
                                                      {3, 5}, {5, 6}, {5, 4}, {5, 5}};
    ASSERT_EQ(bench.jacobian().size(), 9);
    for (int nonzero = 1; nonzero <= 9; ++nonzero) {
        const rt_nz_t& declared = *bench.jacobian().find(nonzero);
        EXPECT_EQ(declared.equation, pattern[static_cast<std::size_t>(nonzero - 1)].first)
            << nonzero;
        EXPECT_EQ(declared.variable, pattern[static_cast<std::size_t>(nonzero - 1)].second)
            << nonzero;
    }
    expect_no_host_diagnostics(bench);
}

TEST(block_registration, writes_both_records) {
    BlockBench bench;
    ZELEOBlock* block = bench.add("B", three_by_three());
    captured = {};
    ASSERT_EQ(bench.container().build_structure(), 0);

    // Three of the padding block, then three of the block.
    ASSERT_EQ(captured.variables.size(), 6U);
    for (std::size_t index = 0; index < captured.variables.size(); ++index) {
        const rtvar_init_t& record = captured.variables[index];
        EXPECT_EQ(record.kind, 14) << index;
        EXPECT_TRUE(all_zero(record.zero, sizeof record.zero)) << index;
        EXPECT_TRUE(captured.replace[index]) << index;
        EXPECT_NE(std::memchr(record.name, '\0', sizeof record.name), nullptr) << index;
    }
    EXPECT_STREQ(captured.variables[3].name, "X");

    ASSERT_EQ(captured.equations.size(), 5U);
    for (std::size_t index = 0; index < captured.equations.size(); ++index) {
        const rteqn_init_t& record = captured.equations[index];
        EXPECT_EQ(record.kind, 255) << index;
        EXPECT_EQ(record.residual_limit, 1e35) << index;
        EXPECT_EQ(record.equation_class, 2.0) << index;
        EXPECT_TRUE(all_zero(record.zero, sizeof record.zero)) << index;
        EXPECT_EQ(record.number, static_cast<int>(index) + 1) << index;
    }
    for (std::size_t index = 2; index < 5; ++index) {
        EXPECT_EQ(captured.equations[index].owner, block) << index;
    }
    EXPECT_NE(captured.equations[0].owner, block);

    // What the host's lists kept of them.
    for (int number = FIRST_EQUATION; number < FIRST_EQUATION + 3; ++number) {
        const rteqn_t& equation = *bench.equations().find(number);
        EXPECT_EQ(equation.residual_limit, 1e35);
        EXPECT_EQ(equation.equation_class, 2.0);
        EXPECT_EQ(equation.owner, block) << number;
    }
}

TEST(block_registration, upper_cases_names_byte_for_byte) {
    const struct {
        std::string symbol;
        std::string name;
    } cases[] = {
        {"x_1", "X_1"},
        {"Tank.level", "TANK.LEVEL"},
        {"caf\xc3\xa9 \xc3\xa0 la cr\xc3\xa8me", "CAF\xc3\xa9 \xc3\xa0 LA CR\xc3\xa8ME"},
        {"az`{@[AZ09", "AZ`{@[AZ09"},  // the bytes either side of a-z stay
        {"\xe6\x97\xa5\xe6\x9c\xac x", "\xe6\x97\xa5\xe6\x9c\xac X"},
        {"", ""},
        {std::string("ab\0cd", 5), "AB"},  // a name ends at its first NUL
    };
    for (const auto& c : cases) {
        BlockBench bench;
        bench.add("B",
                  model_text({equation(c.symbol, reference(c.symbol), {})}, {variable(c.symbol)}));
        ASSERT_EQ(bench.container().build_structure(), 0) << c.symbol;
        EXPECT_EQ(bench.variables().find(FIRST_VARIABLE)->name, c.name) << c.symbol;
        EXPECT_EQ(bench.equations().find(FIRST_EQUATION)->name, c.name) << c.symbol;
    }
}

TEST(block_registration, passes_given_values_and_leaves_the_rest_to_the_host) {
    const double largest = std::numeric_limits<double>::max();
    const struct {
        Values given;
        double initial;
        double lower;
        double upper;
    } cases[] = {
        {{1.5, -2.0, 3.0}, 1.5, -2.0, 3.0},
        // Nothing given right after a variable with everything given.
        {{}, 0.0, -infinity, infinity},
        {{{}, 2.0, 5.0}, 2.0, 2.0, 5.0},  // the host starts it at the nearer bound
        {{1e308, {}, {}}, 1e308, -infinity, infinity},
        {{-4.0, -10.0, {}}, -4.0, -10.0, infinity},
        {{}, 0.0, -infinity, infinity},
        {{{}, {}, -3.0}, -3.0, -infinity, -3.0},
        {{0.0, 0.0, {}}, 0.0, 0.0, infinity},
        // The loader's mark for "not given" is never passed as a value.
        {{largest, largest, largest}, 0.0, -infinity, infinity},
    };
    std::vector<json> variables;
    for (std::size_t index = 0; index < std::size(cases); ++index) {
        variables.push_back(variable("v" + std::to_string(index), cases[index].given));
    }
    BlockBench bench;
    bench.add("B", model_text({}, variables));
    captured = {};
    ASSERT_EQ(bench.container().build_structure(), 0);

    ASSERT_EQ(captured.variables.size(), 3U + std::size(cases));
    for (std::size_t index = 0; index < std::size(cases); ++index) {
        const auto& c = cases[index];
        const int number = FIRST_VARIABLE + static_cast<int>(index);
        const rtvar_t& kept = *bench.variables().find(number);
        ASSERT_TRUE(kept.registered) << index;
        EXPECT_EQ(kept.initial, c.initial) << index;
        EXPECT_EQ(kept.lower, c.lower) << index;
        EXPECT_EQ(kept.upper, c.upper) << index;
        EXPECT_EQ(bench.value(number), c.initial) << index;

        // A value not given reaches the host as its "not given" mark.
        const rtvar_init_t& record = captured.variables[3 + index];
        EXPECT_EQ(std::isnan(record.initial), !c.given.initial || *c.given.initial == largest)
            << index;
        EXPECT_EQ(std::isnan(record.lower), !c.given.min || *c.given.min == largest) << index;
        EXPECT_EQ(std::isnan(record.upper), !c.given.max || *c.given.max == largest) << index;
    }
    expect_no_host_diagnostics(bench);
}

TEST(block_registration, shortens_names_longer_than_the_field) {
    for (const std::size_t length : {1030U, 1031U, 1032U, 1033U, 5000U}) {
        // Distinct bytes, so that the kept part can be told from any other.
        std::string symbol;
        for (std::size_t index = 0; index < length; ++index) {
            symbol += static_cast<char>('a' + index % 26);
        }
        const std::string kept = to_upper(symbol.substr(0, std::min<std::size_t>(length, 1031)));
        BlockBench bench;
        bench.add("B", model_text({equation(symbol, number(0.0), {entry(symbol, number(1.0))})},
                                  {variable(symbol, {2.5, -1.0, 8.0})}));
        captured = {};
        ASSERT_EQ(bench.container().build_structure(), 0) << length;

        const rtvar_t& variable_kept = *bench.variables().find(FIRST_VARIABLE);
        EXPECT_EQ(variable_kept.name, kept) << length;
        EXPECT_EQ(variable_kept.initial, 2.5) << length;
        EXPECT_EQ(variable_kept.lower, -1.0) << length;
        EXPECT_EQ(variable_kept.upper, 8.0) << length;
        EXPECT_EQ(bench.equations().find(FIRST_EQUATION)->name, kept) << length;
        ASSERT_EQ(captured.variables.size(), 4U);
        ASSERT_EQ(captured.equations.size(), 3U);
        EXPECT_EQ(std::strlen(captured.variables[3].name), kept.size()) << length;
        EXPECT_EQ(std::strlen(captured.equations[2].name), kept.size()) << length;
        EXPECT_EQ(captured.equations[2].residual_limit, 1e35) << length;
        // The entry still finds its variable by the full symbol.
        EXPECT_EQ(bench.jacobian().find(FIRST_NONZERO)->variable, FIRST_VARIABLE) << length;
        expect_no_host_diagnostics(bench);
    }
}

TEST(block_registration, registers_duplicate_symbols_separately) {
    BlockBench bench;
    bench.add("B", model_text({equation("E1", reference("x"),
                                        {entry("x", number(1.0)), entry("X", number(1.0))})},
                              {variable("x", {3.0, {}, {}}), variable("x", {5.0, {}, {}}),
                               variable("X", {7.0, {}, {}})}));
    ASSERT_EQ(bench.container().build_structure(), 0);

    for (int number = FIRST_VARIABLE; number < FIRST_VARIABLE + 3; ++number) {
        EXPECT_EQ(bench.variables().find(number)->name, "X") << number;
    }
    // Entries take the later variable of a symbol, and case tells x from X.
    EXPECT_EQ(bench.jacobian().find(FIRST_NONZERO)->variable, FIRST_VARIABLE + 1);
    EXPECT_EQ(bench.jacobian().find(FIRST_NONZERO + 1)->variable, FIRST_VARIABLE + 2);
    // References in trees read the earlier one.
    ASSERT_EQ(bench.container().evaluate_residuals(), 0);
    EXPECT_EQ(bench.residual(FIRST_EQUATION), 3.0);
    expect_no_host_diagnostics(bench);
}

TEST(block_registration, declares_unknown_symbols_as_variable_zero) {
    BlockBench bench;
    bench.add("B", model_text({equation("E1", sum({reference("ghost"), reference("x")}),
                                        {entry("ghost", number(2.5)), entry("x", number(1.0))})},
                              {variable("x", {4.0, {}, {}})}));
    ASSERT_EQ(bench.container().build_structure(), 0);

    const rt_nz_t& unknown = *bench.jacobian().find(FIRST_NONZERO);
    EXPECT_EQ(unknown.equation, FIRST_EQUATION);
    EXPECT_EQ(unknown.variable, 0);
    EXPECT_EQ(bench.jacobian().find(FIRST_NONZERO + 1)->variable, FIRST_VARIABLE);
    EXPECT_EQ(bench.jacobian().incomplete_nonzeros(), std::vector<int>{FIRST_NONZERO});
    ASSERT_EQ(bench.jacobian().diagnostics().size(), 1U);
    EXPECT_NE(bench.jacobian().diagnostics()[0].find("variable number 0"), std::string::npos)
        << bench.jacobian().diagnostics()[0];

    ASSERT_EQ(bench.container().evaluate_residuals(), 0);
    ASSERT_EQ(bench.container().evaluate_jacobian(), 0);
    EXPECT_EQ(bench.residual(FIRST_EQUATION), 4.0);  // the unknown reference is worth 0
    EXPECT_EQ(bench.derivative(FIRST_NONZERO), 2.5);
}

TEST(block_registration, registers_anew_on_a_repeated_ini) {
    BlockBench bench;
    ZELEOBlock* block = bench.add("B", three_by_three());
    ASSERT_EQ(bench.container().build_structure(), 0);
    ASSERT_EQ(bench.container().build_structure(), 0);
    EXPECT_EQ(bench.variables().find(FIRST_VARIABLE + 2)->name, "Z");
    EXPECT_EQ(bench.jacobian().find(FIRST_NONZERO + 2)->variable, FIRST_VARIABLE + 2);
    expect_no_host_diagnostics(bench);

    // Directly, at the same starts: the host lets a block register again.
    std::int64_t status = 9;
    block->ini(FIRST_VARIABLE, FIRST_EQUATION, FIRST_NONZERO, status);
    EXPECT_EQ(status, 0);
    EXPECT_EQ(bench.variables().find(FIRST_VARIABLE)->name, "X");
    expect_no_host_diagnostics(bench);

    // At new starts, every number follows them: variables, equations,
    // nonzeros and the elements the values go to.
    block->ini(1, 2, 3, status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(bench.variables().find(1)->name, "X");
    EXPECT_EQ(bench.variables().find(3)->name, "Z");
    EXPECT_EQ(bench.equations().find(2)->name, "E1");
    EXPECT_EQ(bench.equations().find(2)->owner, block);
    block->pat(&bench.jacobian(), status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(bench.jacobian().find(3)->equation, 2);
    EXPECT_EQ(bench.jacobian().find(3)->variable, 1);
    EXPECT_EQ(bench.jacobian().find(7)->equation, 4);
    EXPECT_EQ(bench.jacobian().find(7)->variable, 2);
    bench.set_value(1, 10.0);
    bench.set_value(2, 20.0);
    block->res(status);
    ASSERT_EQ(status, 0);
    EXPECT_EQ(bench.residual(2), 30.0);
}

TEST(block_registration, registers_nothing_for_an_empty_model) {
    BlockBench bench;
    ZELEOBlock* block = bench.add("EMPTY", "{}");
    captured = {};
    ASSERT_EQ(bench.container().build_structure(), 0);
    EXPECT_EQ(block->vstart(), FIRST_VARIABLE);
    EXPECT_EQ(captured.variables.size(), 3U);  // the padding block's alone
    EXPECT_EQ(captured.equations.size(), 2U);
    EXPECT_EQ(bench.container().evaluate_residuals(), 0);
    EXPECT_EQ(bench.container().evaluate_jacobian(), 0);
    expect_no_host_diagnostics(bench);
}

}  // namespace
