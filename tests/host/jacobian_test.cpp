#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "rt_jacobian.h"
#include "rt_utils.h"

namespace {

struct RefusalCase {
    const char* label;
    bool variable_call;  // rtojac_set_nz_varnum, else rtojac_set_nz_eqnnum
    int nonzero;
    int number;
    const char* expected_in_message;
};

// A Jacobian of 3 nonzeros for 2 equations and 4 variables.
TEST(host_jacobian, refused_declarations_leave_the_jacobian_as_it_was) {
    const std::vector<RefusalCase> cases = {
        {"equation for nonzero 0", false, 0, 1, "nonzero 0 refused: outside 1..3"},
        {"equation for nonzero past the end", false, 4, 1, "outside 1..3"},
        {"equation 0", false, 1, 0, "equation 0 outside 1..2"},
        {"equation past the end", false, 1, 3, "equation 3 outside 1..2"},
        {"variable for nonzero 0", true, 0, 1, "outside 1..3"},
        {"variable for nonzero past the end", true, 4, 1, "outside 1..3"},
        {"negative variable", true, 1, -1, "variable -1 outside 0..4"},
        {"variable past the end", true, 1, 5, "variable 5 outside 0..4"},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.label);
        rt_jac_t jac(3, 2, 4);
        ASSERT_EQ(rtojac_set_nz_eqnnum(&jac, 1, 2), 0);
        ASSERT_EQ(rtojac_set_nz_varnum(&jac, 1, 3), 0);

        const int answer = c.variable_call ? rtojac_set_nz_varnum(&jac, c.nonzero, c.number)
                                           : rtojac_set_nz_eqnnum(&jac, c.nonzero, c.number);

        EXPECT_EQ(answer, -1);
        EXPECT_EQ(jac.find(1)->equation, 2);
        EXPECT_EQ(rtojac_inq_nz_varnum(&jac, 1), 3);
        ASSERT_EQ(jac.diagnostics().size(), 1U);
        EXPECT_NE(jac.diagnostics()[0].find(c.expected_in_message), std::string::npos)
            << jac.diagnostics()[0];
    }
}

TEST(host_jacobian, variable_zero_is_kept_noted_and_set_aside) {
    rt_jac_t jac(3, 1, 1);
    for (int nonzero = 1; nonzero <= 3; ++nonzero) {
        ASSERT_EQ(rtojac_set_nz_eqnnum(&jac, nonzero, 1), 0);
    }
    ASSERT_EQ(rtojac_set_nz_varnum(&jac, 1, 1), 0);
    EXPECT_EQ(rtojac_set_nz_varnum(&jac, 2, 0), 0);

    EXPECT_EQ(jac.incomplete_nonzeros(), (std::vector<int>{2, 3}));
    ASSERT_EQ(jac.diagnostics().size(), 1U);
    EXPECT_NE(jac.diagnostics()[0].find("nonzero 2 declares no variable"), std::string::npos);
}

TEST(host_jacobian, inquiries_out_of_range_answer_zero_and_note_nothing) {
    rt_jac_t jac(1, 1, 1);
    EXPECT_EQ(rtojac_inq_nz_varnum(&jac, 0), 0);
    EXPECT_EQ(rtojac_inq_nz_varnum(&jac, 2), 0);
    EXPECT_EQ(rtojac_inq_nz_varnum(nullptr, 1), 0);
    EXPECT_TRUE(jac.diagnostics().empty());
}

TEST(host_jacobian, null_jacobian_is_refused) {
    EXPECT_EQ(rtojac_set_nz_eqnnum(nullptr, 1, 1), -1);
    EXPECT_EQ(rtojac_set_nz_varnum(nullptr, 1, 1), -1);
    EXPECT_EQ(rtojac_vec_bj(nullptr), nullptr);
}

}  // namespace
