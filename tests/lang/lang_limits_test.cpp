// Texts of a few bytes that ask for more than a machine holds stop at once,
// naming the limit they pass; each limit lets through what it allows.
#include <chrono>

#include "lang_support.h"

namespace {

// A text's fault under given limits.
struct Limited {
    std::string text;
    lang::BuildLimits limits;
    int line;
    int column;
    std::string message;
};

void PrintTo(const Limited& limited, std::ostream* out) {
    *out << limited.text;
}

lang::LangError limited_fault(const Limited& limited) {
    try {
        lang::build_model_json(limited.text, "t", limited.limits);
    } catch (const lang::LangError& fault) {
        return fault;
    }
    throw std::runtime_error("built without a fault: " + limited.text);
}

class lang_limits : public testing::TestWithParam<Limited> {};

// The defaults refuse each of these within a few seconds, long before their
// memory would run to gigabytes.
TEST_P(lang_limits, refuse_with_the_limit_named) {
    const auto start = std::chrono::steady_clock::now();
    const lang::LangError fault = limited_fault(GetParam());
    EXPECT_EQ(fault.message(), GetParam().message);
    EXPECT_EQ(fault.line(), GetParam().line);
    EXPECT_EQ(fault.column(), GetParam().column);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(20));
}

// Nested sums of k1 ... k`depth`, each over 1..`count`.
std::string nested_sums(int depth, int count) {
    std::string text = "var x\neq s: x = ";
    for (int k = 1; k <= depth; ++k) {
        text += "sum(";
    }
    text += "x";
    for (int k = depth; k >= 1; --k) {
        text += " for k" + std::to_string(k) + " in 1.." + std::to_string(count) + ")";
    }
    return text;
}

std::string square_of_sum(int length) {
    const std::string n = std::to_string(length);
    return "var x[i] for i in 1.." + n + "\neq s: x[1] = sum(x[i] for i in 1.." + n + ")^2";
}

lang::BuildLimits with(std::int64_t instances, std::int64_t terms, std::int64_t equation_nodes,
                       std::int64_t nodes) {
    lang::BuildLimits limits;
    limits.instances = instances;
    limits.terms = terms;
    limits.equation_nodes = equation_nodes;
    limits.nodes = nodes;
    return limits;
}

const lang::BuildLimits defaults;

const std::string instances_message =
    "the statements exceed the limit of 10000000 instances in the model (--max-instances sets "
    "it)";

INSTANTIATE_TEST_SUITE_P(
    lang_limits, lang_limits,
    testing::Values(
        Limited{"var x[i] for i in 1..1000000000", defaults, 1, 14, instances_message},
        Limited{"var x[i, j, k] for i in 1..1000, j in 1..1000, k in 1..1000", defaults, 1, 20,
                instances_message},
        Limited{"const c[i, j] = i for i in 1..100000, j in 1..100000", defaults, 1, 23,
                instances_message},
        Limited{"var x\neq e: x = 1 for i in 1..10000001", defaults, 2, 17, instances_message},
        Limited{nested_sums(12, 10), defaults, 2, 55,
                "the sums of this expression exceed the limit of 1000000 terms (--max-terms "
                "sets it) (where k1 = 1, k2 = 1, k3 = 1, k4 = 1, k5 = 1, k6 = 1, k7 = 9, k8 = "
                "10, k9 = 10, k10 = 10, k11 = 5)"},
        Limited{"const c = sum(k for k in 1..2000000)", defaults, 1, 11,
                "the sums of this expression exceed the limit of 1000000 terms (--max-terms "
                "sets it)"},
        Limited{square_of_sum(5000), defaults, 2, 1,
                "the equation s exceeds the limit of 10000000 nodes, derivatives included "
                "(--max-equation-nodes sets it)"},
        // Each limit is settable, and lets through what it allows.
        Limited{"var x[i] for i in 1..3\nvar y", with(3, 1, 1, 1), 2, 5,
                "the statements exceed the limit of 3 instances in the model (--max-instances "
                "sets it)"},
        Limited{"var x\neq e: x = sum(x for i in 1..2) + sum(x for i in 1..2)", with(9, 3, 99, 99),
                2, 34,
                "the sums of this expression exceed the limit of 3 terms (--max-terms sets it)"},
        Limited{"var x\nvar y\neq e: x*y = 1", with(9, 9, 6, 99), 3, 1,
                "the equation e exceeds the limit of 6 nodes, derivatives included "
                "(--max-equation-nodes sets it)"},
        // x^y - 1 is 5 nodes; d/dx = y*x^(y - 1) copies x once and y twice,
        // d/dy = x^y*ln(x) copies x^y and x: 12 in all, each charged once
        // although the counting pass hands back one-node stand-ins.
        Limited{"var x\nvar y\neq e: x^y = 1", with(9, 9, 11, 99), 3, 1,
                "the equation e exceeds the limit of 11 nodes, derivatives included "
                "(--max-equation-nodes sets it)"},
        Limited{"var x\nvar y\neq e[i]: x*y = i for i in 1..3", with(9, 9, 9, 20), 3, 1,
                "the model exceeds the limit of 20 nodes, derivatives included (--max-nodes "
                "sets it) (where i = 3)"}),
    NamedBy<&Limited::message>());

TEST(lang_limits, let_through_what_they_allow) {
    // 4 instances; x*y - i is 5 nodes and its derivatives y and x one each,
    // 7 per equation and 14 in all.
    EXPECT_NO_THROW(lang::build_model_json("var x\nvar y\neq e[i]: x*y = i for i in 1..2", "t",
                                           with(4, 1, 7, 14)));
    EXPECT_NO_THROW(lang::build_model_json("var x\nvar y\neq e: x^y = 1", "t", with(9, 9, 12, 99)));
    // 4 terms.
    EXPECT_NO_THROW(lang::build_model_json(
        "var x\neq e: x = sum(x for i in 1..2) + sum(x for i in 1..2)", "t", with(2, 4, 99, 99)));
}

}  // namespace
