// Faults in the text are reported where they lie, saying what was expected.
#include "lang_support.h"

namespace {

class lang_parse_faults : public testing::TestWithParam<Fault> {};

TEST_P(lang_parse_faults, say_where_and_what) {
    expect_fault(GetParam());
}

std::string nested(int depth) {
    return "var x\neq " + std::string(static_cast<std::size_t>(depth), '(') + "x" +
           std::string(static_cast<std::size_t>(depth), ')') + " = 1";
}

INSTANTIATE_TEST_SUITE_P(
    lang_parse, lang_parse_faults,
    testing::Values(
        Fault{"x = 1", 1, 1, "expected a statement: const, var, param, eq, out or def, found 'x'"},
        // A bracket that no bracket closes before the next statement is the
        // fault, where it opens; one closed later leaves the fault where it lies.
        Fault{"var x\neq E1: ln(x = 2", 2, 10,
              "this '(' is not closed: expected ')' after the argument of ln, found '=' at line "
              "2, column 13"},
        Fault{"var x\neq E1: ln(x 2)", 2, 13, "expected ')' after the argument of ln, found '2'"},
        Fault{"eq x = (1 + 2", 1, 8,
              "this '(' is not closed: expected an operator or ')', found the end of the text at "
              "line 1, column 14"},
        Fault{"eq x = ((1) + 2\n\neq y = 3", 1, 8,
              "this '(' is not closed: expected an operator or ')', found 'eq' at line 3, column "
              "1"},
        Fault{"eq x = (1 + 2]) + 1", 1, 14, "expected an operator or ')', found ']'"},
        Fault{"eq x = (y[1)", 1, 10,
              "this '[' is not closed: expected ']' after the indices of y, found ')' at line 1, "
              "column 12"},
        Fault{"var x in [0, 1\neq x = 1", 1, 10,
              "this '[' is not closed: expected ']' after the bounds of x, found 'eq' at line 2, "
              "column 1"},
        Fault{"eq x = sum(k for k in 1..3\n", 1, 11,
              "this '(' is not closed: expected an operator, ',' or ')' after the ranges of the "
              "sum, found the end of the text at line 2, column 1"},
        // A call of a name that is no function, wherever it stands.
        Fault{"var x\neq x = tan(1)", 2, 8,
              "unknown function tan; the functions are ln, log, lg, abs, exp, sqrt, min, max, "
              "tanh, sinh and cosh"},
        Fault{"const k = 2*Exp(1)", 1, 13,
              "unknown function Exp; the functions are ln, log, lg, abs, exp, sqrt, min, max, "
              "tanh, sinh and cosh"},
        Fault{"var x = 1 in [0, cos(2)]", 1, 18,
              "unknown function cos; the functions are ln, log, lg, abs, exp, sqrt, min, max, "
              "tanh, sinh and cosh"},
        Fault{"var x\neq x = sum(f(k) for k in 1..2)", 2, 12,
              "unknown function f; the functions are ln, log, lg, abs, exp, sqrt, min, max, tanh, "
              "sinh and cosh"},
        Fault{"eq x = 2 y", 1, 10, "expected an operator, 'for' or the next statement, found 'y'"},
        Fault{"eq x = 1 =", 1, 10, "expected an operator, 'for' or the next statement, found '='"},
        Fault{"eq x = 1 for i in 1..3 y", 1, 24,
              "expected an operator, ',' or the next statement, found 'y'"},
        Fault{"eq E1 x = 1", 1, 7,
              "expected an operator or '=' between the two sides of the equation, found 'x'"},
        Fault{"eq x = * 2", 1, 8, "expected a number, a name or '(', found '*'"},
        Fault{"eq x = ln x", 1, 11, "expected '(' after ln, found 'x'"},
        Fault{"eq x = y[1", 1, 9,
              "this '[' is not closed: expected ']' after the indices of y, found the end of the "
              "text at line 1, column 11"},
        Fault{"eq x = sum(x)", 1, 13,
              "expected an operator or 'for' and the ranges of the sum, found ')'"},
        Fault{"eq x = 1 for i 1..3", 1, 16, "expected 'in' after the index i, found '1'"},
        Fault{"eq x = 1 for i in 1, 3", 1, 20, "expected '..' in the range of i, found ','"},
        Fault{"eq x = 1 for in in 1..2", 1, 14, "'in' is a keyword and cannot name an index"},
        Fault{"var exp", 1, 5, "'exp' is a function and cannot name a variable"},
        Fault{"var for", 1, 5, "'for' is a keyword and cannot name a variable"},
        Fault{"const = 3", 1, 7, "expected the name of a constant, found '='"},
        Fault{"const k 3", 1, 9, "expected '=' and the value of k, found '3'"},
        Fault{"var x in [0 1]", 1, 13, "expected ',' between the bounds of x, found '1'"},
        Fault{"var x in 0, 1", 1, 10, "expected '[' and the bounds of x, found '0'"},
        Fault{"var x = 1 \"T\" in [0, 1]", 1, 15,
              "expected 'for' or the next statement, found 'in'"},
        Fault{"var x = 1 y", 1, 11,
              "expected an operator, 'in', a description in quotes, 'for' or the next "
              "statement, found 'y'"},
        Fault{"eq x = 1 @", 1, 10, "unexpected character '@'"},
        Fault{"var \xce\xb1", 1, 5, "unexpected character '\xce\xb1'"},
        Fault{"var x\x01", 1, 6, "unexpected byte 0x01"},
        Fault{"var x \xff", 1, 7, "unexpected byte 0xFF"},
        // A byte order mark opens the text unseen.
        Fault{"\xef\xbb\xbfvar @", 1, 5, "unexpected character '@'"},
        Fault{"var x\n\xef\xbb\xbf", 2, 1, "unexpected character '\xef\xbb\xbf'"},
        Fault{"eq x = 1.5e", 1, 11, "expected the digits of the exponent after '1.5e'"},
        Fault{"eq x = 1e999", 1, 8, "the number 1e999 is beyond the range of double precision"},
        Fault{"var x \"drum", 1, 7, "the text has no closing '\"' on its line"},
        Fault{"var x \"a\\nb\"", 1, 9,
              "unknown escape in a text; write \\\" for \" and \\\\ for \\"},
        Fault{"var x \"\xff\"", 1, 8, "the text is not valid UTF-8"},
        // Columns count characters, not bytes; tabs and CR LF line ends are white space.
        Fault{"var x \"\xc3\xa9t\xc3\xa9\" @", 1, 13, "unexpected character '@'"},
        Fault{"var x\r\n\teq x = )", 2, 9, "expected a number, a name or '(', found ')'"},
        Fault{"# comment (\n\n   eq x = )", 3, 11, "expected a number, a name or '(', found ')'"},
        Fault{nested(257), 2, 260, "the expression nests deeper than 256 levels"},
        Fault{"var x\neq x = " + std::string(257, '-') + "x", 2, 264,
              "the expression nests deeper than 256 levels"}),
    NamedBy<&Fault::message>());

TEST(lang_parse, names_the_source_in_the_message) {
    try {
        lang::build_model_json("var x\neq x = (1", "drum.eqs");
        FAIL() << "no fault";
    } catch (const lang::LangError& fault) {
        EXPECT_STREQ(
            fault.what(),
            "drum.eqs:2:8: error: this '(' is not closed: expected an operator or ')', found the "
            "end of the text at line 2, column 10");
    }
}

TEST(lang_parse, nesting_up_to_the_limit_builds) {
    const auto loaded = build_and_load(nested(256));
    EXPECT_EQ(loaded->model().equations().size(), 1u);
}

}  // namespace
