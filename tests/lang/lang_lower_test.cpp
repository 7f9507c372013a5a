// How each operator lands on the plug-in's node kinds, and that folding
// constants never changes a value.
#include <nlohmann/json.hpp>

#include <cstring>
#include <random>

#include "lang_support.h"
#include "tree_text.h"

namespace {

using json = nlohmann::json;

// The residual tree of the only equation, as the file holds it, without the
// equation's own members.
json residual_of(const std::string& equation) {
    json file = json::parse(lang::build_model_json("var a\nvar b\nvar c\neq " + equation, "t"));
    json root = file["EquationList"][0];
    for (const char* member : {"EquationName", "EquationString", "Variables"}) {
        root.erase(member);
    }
    return root;
}

using namespace tree_text;

struct Lowered {
    std::string equation;
    std::string tree;
};

void PrintTo(const Lowered& lowered, std::ostream* out) {
    *out << lowered.equation;
}

class lang_lower_operators : public testing::TestWithParam<Lowered> {};

TEST_P(lang_lower_operators, land_on_the_node_kinds) {
    EXPECT_EQ(residual_of(GetParam().equation), json::parse(GetParam().tree));
}

INSTANTIATE_TEST_SUITE_P(
    lang_lower, lang_lower_operators,
    testing::Values(
        Lowered{"a*b = 2", sum({product({v("a"), v("b")}), n(-2)})},
        Lowered{"a - b = 0", sum({v("a"), product({n(-1), v("b")})})},
        Lowered{"a = b", sum({v("a"), product({n(-1), v("b")})})},
        Lowered{"a - b - c = 0", sum({v("a"), product({n(-1), v("b")}), product({n(-1), v("c")})})},
        Lowered{"a / b = 0", product({v("a"), power(v("b"), n(-1))})},
        Lowered{"a / b / c = 0", product({v("a"), power(v("b"), n(-1)), power(v("c"), n(-1))})},
        Lowered{"-a = 0", product({n(-1), v("a")})},
        Lowered{"-a^2 = 0", product({n(-1), power(v("a"), n(2))})},
        Lowered{"a^b^c = 0", power(v("a"), power(v("b"), v("c")))},
        Lowered{"(a^b)^c = 0", power(power(v("a"), v("b")), v("c"))},
        Lowered{"a^-2 = 0", power(v("a"), n(-2))},
        Lowered{"a - (b - c) = 0",
                sum({v("a"), product({n(-1), sum({v("b"), product({n(-1), v("c")})})})})},
        // A leading sum or product merges into its parent; others keep their place.
        Lowered{"(a + b) + c = 0", sum({v("a"), v("b"), v("c")})},
        Lowered{"a + (b + c) = 0", sum({v("a"), sum({v("b"), v("c")})})},
        Lowered{"a*(b*c) = 0", product({v("a"), product({v("b"), v("c")})})},
        // Signs gather at the front of a product.
        Lowered{"a*(-b)*c = 0", product({n(-1), v("a"), v("b"), v("c")})},
        Lowered{"-(2*a) = 0", product({n(-2), v("a")})}, Lowered{"-(-a) = 0", v("a")},
        // Leading constants fold in evaluation order; later ones stay.
        Lowered{"2*3*a = 0", product({n(6), v("a")})},
        Lowered{"a*2*3 = 0", product({v("a"), n(2), n(3)})},
        Lowered{"1 + 2 + a = 0", sum({n(3), v("a")})},
        Lowered{"a + 1 + 2 = 0", sum({v("a"), n(1), n(2)})},
        Lowered{"a/4 = 0", product({v("a"), n(0.25)})},
        Lowered{"0*a + b*1 + 0 = c^1*c^0", sum({v("b"), product({n(-1), v("c")})})},
        Lowered{"1^a*b = 1", sum({v("b"), n(-1)})},
        // Numbers in every usual form become number nodes, never numeric text.
        Lowered{"a = 1.5e+2 + .5 + 5. + 1E3 + 2.5e-1 + 007", sum({v("a"), n(-1162.75)})},
        Lowered{"ln(a) + log(a) + lg(a) + abs(a) + exp(a) + sqrt(a) = 0",
                sum({call("ln", v("a")), call("log", v("a")), call("lg", v("a")),
                     call("abs", v("a")), call("exp", v("a")), call("sqrt", v("a"))})},
        // Functions of constants fold as the plug-in computes them, unless the
        // result is not finite.
        Lowered{"a = sqrt(-4) + abs(-2)", sum({v("a"), n(-2)})},
        Lowered{"a = ln(0)", sum({v("a"), product({n(-1), call("ln", n(0))})})},
        Lowered{"a = 1/0", sum({v("a"), product({n(-1), power(n(0), n(-1))})})}),
    NamedBy<&Lowered::equation>());

std::uint64_t bits(double value) {
    std::uint64_t result;
    std::memcpy(&result, &value, sizeof result);
    return result;
}

struct Unfolded {
    std::string equation;
    std::string tree;  // the residual lowered without any folding
};

void PrintTo(const Unfolded& unfolded, std::ostream* out) {
    *out << unfolded.equation;
}

class lang_lower_folding : public testing::TestWithParam<Unfolded> {};

// The built residual and the literal lowering give the same double, bit for
// bit, at many points.
TEST_P(lang_lower_folding, keeps_every_value) {
    auto built = build_and_load("var a\nvar b\neq E: " + GetParam().equation);
    auto literal = std::make_unique<LoadedModel>(
        R"({"Variables":[{"VariableSymbol":"a"},{"VariableSymbol":"b"}],"EquationList":[)" +
        GetParam().tree + "]}");
    std::mt19937_64 random(7);
    std::uniform_real_distribution<double> any(-1e3, 1e3);
    for (int i = 0; i < 200; ++i) {
        const double a = any(random);
        const double b = any(random);
        for (LoadedModel* model : {built.get(), literal.get()}) {
            model->set("a", a);
            model->set("b", b);
        }
        ASSERT_EQ(bits(built->value(built->equation("E"))),
                  bits(literal->value(literal->model().equations()[0])))
            << "at a = " << a << ", b = " << b;
    }
}

INSTANTIATE_TEST_SUITE_P(
    lang_lower, lang_lower_folding,
    testing::Values(Unfolded{"0.1 + 0.2 + a = 0",
                             sum({sum({sum({n(0.1), n(0.2)}), v("a")}), product({n(-1), n(0)})})},
                    Unfolded{"0.1*0.3*a*b = 0", product({n(0.1), n(0.3), v("a"), v("b")})},
                    Unfolded{"a/3 = 0.7", sum({product({v("a"), power(n(3), n(-1))}),
                                               product({n(-1), n(0.7)})})},
                    Unfolded{"-(0.1*a)*b = 0",
                             product({product({n(-1), product({n(0.1), v("a")})}), v("b")})},
                    Unfolded{"a*(-b)*0.3 = 0", product({v("a"), product({n(-1), v("b")}), n(0.3)})},
                    Unfolded{"sqrt(2)*ln(3)*a = exp(0.1)",
                             sum({product({call("sqrt", n(2)), call("ln", n(3)), v("a")}),
                                  product({n(-1), call("exp", n(0.1))})})},
                    Unfolded{"2^0.5*a - lg(7)*b = 0",
                             sum({product({power(n(2), n(0.5)), v("a")}),
                                  product({n(-1), product({call("lg", n(7)), v("b")})})})}),
    NamedBy<&Unfolded::equation>());

}  // namespace
