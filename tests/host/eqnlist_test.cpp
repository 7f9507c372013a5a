#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "records.h"
#include "rt_eqnlist.h"
#include "rt_utils.h"

namespace {

TEST(host_equations, name_and_record_attributes_are_kept) {
    rtattrdict_t list(2);
    const rteqn_init_t record = equation_record("BALANCE", 2);
    ASSERT_EQ(rtoeqnlst_addeqn(&list, 2, record.name), 0);
    ASSERT_EQ(rtoeqnlst_initialize_eqn(&list, 2, &record), 0);
    const rteqn_t& equation = *list.find(2);
    EXPECT_TRUE(equation.named);
    EXPECT_TRUE(equation.initialized);
    EXPECT_EQ(equation.name, "BALANCE");
    EXPECT_EQ(equation.residual_limit, 1e35);
    EXPECT_EQ(equation.equation_class, 2.0);
    EXPECT_EQ(equation.number, 2);
    EXPECT_FALSE(list.find(1)->named);
    EXPECT_EQ(rtoeqnlst_vec_status(&list)[1], 0);
    EXPECT_EQ(rtoeqnlst_vec_residual(&list)[1], 0.0);
}

TEST(host_equations, unterminated_name_is_read_no_further_than_the_field) {
    rteqn_init_t record = equation_record("", 1);
    std::memset(record.name, 'E', RT_NAME_FIELD);
    std::memset(&record.residual_limit, 'E', sizeof record.residual_limit);
    rtattrdict_t list(1);
    ASSERT_EQ(rtoeqnlst_addeqn(&list, 1, record.name), 0);
    EXPECT_EQ(list.find(1)->name.size(), RT_NAME_FIELD);
}

struct RefusalCase {
    const char* label;
    std::function<int(rtattrdict_t*)> call;
    const char* expected_in_message;
};

TEST(host_equations, refused_calls_leave_the_list_as_it_was) {
    static const rteqn_init_t good = equation_record("E", 1);
    static const rteqn_init_t wrong_number = equation_record("E", 2);
    const std::vector<RefusalCase> cases = {
        {"name for number 0", [](rtattrdict_t* l) { return rtoeqnlst_addeqn(l, 0, "E"); },
         "equation 0 refused: outside 1..1"},
        {"name past the end", [](rtattrdict_t* l) { return rtoeqnlst_addeqn(l, 2, "E"); },
         "outside 1..1"},
        {"null name", [](rtattrdict_t* l) { return rtoeqnlst_addeqn(l, 1, nullptr); }, "no name"},
        {"record past the end",
         [](rtattrdict_t* l) { return rtoeqnlst_initialize_eqn(l, 2, &good); }, "outside"},
        {"null record", [](rtattrdict_t* l) { return rtoeqnlst_initialize_eqn(l, 1, nullptr); },
         "no registration record"},
        {"record of another number",
         [](rtattrdict_t* l) { return rtoeqnlst_initialize_eqn(l, 1, &wrong_number); },
         "carries number 2"},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.label);
        rtattrdict_t list(1);
        EXPECT_EQ(c.call(&list), -1);
        EXPECT_FALSE(list.find(1)->named);
        EXPECT_FALSE(list.find(1)->initialized);
        ASSERT_EQ(list.diagnostics().size(), 1U);
        EXPECT_NE(list.diagnostics()[0].find(c.expected_in_message), std::string::npos)
            << list.diagnostics()[0];
    }
}

TEST(host_equations, null_list_is_refused) {
    const rteqn_init_t record = equation_record("E", 1);
    EXPECT_EQ(rtoeqnlst_addeqn(nullptr, 1, "E"), -1);
    EXPECT_EQ(rtoeqnlst_initialize_eqn(nullptr, 1, &record), -1);
    EXPECT_EQ(rtoeqnlst_vec_residual(nullptr), nullptr);
    EXPECT_EQ(rtoeqnlst_vec_status(nullptr), nullptr);
}

}  // namespace
