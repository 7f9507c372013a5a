#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "name_resolver.h"
#include "usage_error.h"

// Patterns over the indices of a family, wherever the command line takes a
// name: which members they match, and what a pattern that matches nothing
// says.
namespace {

const std::vector<std::string> NAMES{"F",      "Q[1]",   "Q[2]",   "Q[3]",  "T[1,1]",
                                     "T[1,2]", "T[2,1]", "T[2,2]", "Ab[1]", "aB[2]",
                                     "one[7]", "x[ 4 ]", "x[-1]"};

TEST(name_pattern, matches_the_members_whose_indices_fit) {
    const NameResolver resolver(NAMES, "variable");
    const struct {
        std::string typed;
        std::vector<std::size_t> found;
    } cases[] = {
        {"Q[*]", {1, 2, 3}}, {"q[*]", {1, 2, 3}},  // the family's name in any case, as a plain name
        {"T[*,2]", {5, 7}},  {"T[ 2 , * ]", {6, 7}}, {"T[*,*]", {4, 5, 6, 7}},
        {"Q[2..3]", {2, 3}}, {"Q[0..1]", {1}},       {"T[1..2,1]", {4, 6}},
        {"x[*]", {11, 12}},  {"x[-2..4]", {11, 12}}, {"Ab[*]", {8}},  // the file's spelling first
        {"Q[2]", {2}},                                                // no wildcard: a plain name
    };
    for (const auto& c : cases) {
        EXPECT_EQ(resolver.resolve(c.typed, "--at " + c.typed), c.found) << c.typed;
    }
}

TEST(name_pattern, a_pattern_that_matches_nothing_says_what_the_family_holds) {
    const NameResolver resolver(NAMES, "variable");
    const struct {
        std::string typed;
        std::string message;
    } cases[] = {
        {"R[*]", "--at R[*]: the model has no variables R[...]; did you mean F, Q[*] or T[*,*]?"},
        {"Q[*,1]", "--at Q[*,1]: the variables Q[...] have 1 index, not 2 (Q[1] to Q[3])"},
        {"T[*]", "--at T[*]: the variables T[...] have 2 indices, not 1 (T[1,1] to T[2,2])"},
        {"Q[5..9]",
         "--at Q[5..9]: no variable matches Q[5..9]; the variables Q[...] run from "
         "Q[1] to Q[3]"},
        {"Q[-5..-1]",
         "--at Q[-5..-1]: no variable matches Q[-5..-1]; the variables Q[...] run "
         "from Q[1] to Q[3]"},
        {"Q[1..x]",
         "--at Q[1..x]: the index range '1..x' is not of the form FIRST..LAST in whole numbers"},
        {"ab[*]",
         "--at ab[*]: 'ab[*]' matches the variables of Ab or aB but for letter case; "
         "type one as the file writes it"},
        // A family typed without indices is offered whole.
        {"Q", "--at Q: the model has no variable 'Q'; did you mean Q[*], F or T[*,*]?"},
        {"Tt", "--at Tt: the model has no variable 'Tt'; did you mean T[*,*], F or Q[*]?"},
        // With indices typed, the members themselves.
        {"Q[4]", "--at Q[4]: the model has no variable 'Q[4]'; did you mean Q[1], Q[2] or Q[3]?"},
    };
    for (const auto& c : cases) {
        try {
            resolver.resolve(c.typed, "--at " + c.typed);
            ADD_FAILURE() << c.typed << " was found";
        } catch (const UsageError& error) {
            EXPECT_EQ(error.what(), c.message) << c.typed;
        }
    }
}

TEST(name_pattern, equations_are_matched_alike) {
    const NameResolver resolver({"feed", "bal[1]", "bal[2]", "bal[3]"}, "equation");
    EXPECT_EQ(resolver.resolve("bal[2..3]", "--free"), (std::vector<std::size_t>{2, 3}));
    try {
        resolver.resolve("bel[*]", "--free bel[*]");
        ADD_FAILURE() << "bel[*] was found";
    } catch (const UsageError& error) {
        EXPECT_STREQ(error.what(),
                     "--free bel[*]: the model has no equations bel[...]; did you mean bal[*]?");
    }
}

}  // namespace
