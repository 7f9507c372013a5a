#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <string>
#include <vector>

#include "records.h"
#include "rt_utils.h"
#include "rt_varlist.h"

namespace {

constexpr double inf = std::numeric_limits<double>::infinity();
constexpr double not_given = RTVAR_NOT_GIVEN;

struct DefaultCase {
    const char* label;
    double initial, lower, upper;
    double expected_initial, expected_lower, expected_upper;
};

TEST(host_variables, not_given_fields_take_the_documented_defaults) {
    const std::vector<DefaultCase> cases = {
        {"free", not_given, not_given, not_given, 0.0, -inf, inf},
        {"bounds around zero", not_given, -1.0, 1.0, 0.0, -1.0, 1.0},
        {"zero below the bounds", not_given, 2.0, 5.0, 2.0, 2.0, 5.0},
        {"zero above the bounds", not_given, -5.0, -2.0, -2.0, -5.0, -2.0},
        {"only an upper bound", not_given, not_given, -3.0, -3.0, -inf, -3.0},
        {"given initial kept outside bounds", 7.0, 0.0, 5.0, 7.0, 0.0, 5.0},
        {"explicit infinite bounds", 1.0, -inf, inf, 1.0, -inf, inf},
    };
    for (const DefaultCase& c : cases) {
        SCOPED_TRACE(c.label);
        rtvarlst_t list(1);
        const rtvar_init_t record = variable_record("V", c.initial, c.lower, c.upper);
        ASSERT_EQ(rtovarlst_initialize_var(&list, 1, &record, false), 0);
        const rtvar_t& variable = *list.find(1);
        EXPECT_TRUE(variable.registered);
        EXPECT_EQ(variable.initial, c.expected_initial);
        EXPECT_EQ(variable.lower, c.expected_lower);
        EXPECT_EQ(variable.upper, c.expected_upper);
        EXPECT_EQ(rtovarlst_vec_value(&list)[0], c.expected_initial);
        EXPECT_TRUE(list.diagnostics().empty());
    }
}

TEST(host_variables, unterminated_name_is_read_no_further_than_its_field) {
    rtvar_init_t record = variable_record("");
    std::memset(record.name, 'A', RT_NAME_FIELD);
    std::memset(&record.initial, 'A', sizeof record.initial);  // no NUL right after the name
    rtvarlst_t list(1);
    ASSERT_EQ(rtovarlst_initialize_var(&list, 1, &record, false), 0);
    EXPECT_EQ(list.find(1)->name, std::string(RT_NAME_FIELD, 'A'));
}

TEST(host_variables, replace_registers_a_number_again) {
    rtvarlst_t list(1);
    const rtvar_init_t first = variable_record("FIRST", 1.0);
    const rtvar_init_t second = variable_record("SECOND", 2.0);
    ASSERT_EQ(rtovarlst_initialize_var(&list, 1, &first, false), 0);
    ASSERT_EQ(rtovarlst_initialize_var(&list, 1, &second, true), 0);
    EXPECT_EQ(list.find(1)->name, "SECOND");
    EXPECT_EQ(list.values()[0], 2.0);
}

struct RefusalCase {
    const char* label;
    int number;
    bool null_record;
    rtvar_init_t record;
    const char* expected_in_message;
};

// Refused calls on a list of three whose variable 2 is registered already.
TEST(host_variables, refused_calls_leave_the_list_as_it_was) {
    const std::vector<RefusalCase> cases = {
        {"number 0", 0, false, variable_record("N"), "outside 1..3"},
        {"number past the end", 4, false, variable_record("N"), "variable 4 refused"},
        {"negative number", -1, false, variable_record("N"), "outside 1..3"},
        {"null record", 1, true, {}, "no registration record"},
        {"twice without replace", 2, false, variable_record("N"), "already registered"},
        {"lower above upper", 1, false, variable_record("N", 1.0, 2.0, 1.0), "admit no value"},
        {"lower +inf", 1, false, variable_record("N", not_given, inf), "admit no value"},
        {"upper -inf", 1, false, variable_record("N", not_given, not_given, -inf), "admit"},
        {"infinite initial", 1, false, variable_record("N", -inf), "infinite"},
    };
    for (const RefusalCase& c : cases) {
        SCOPED_TRACE(c.label);
        rtvarlst_t list(3);
        const rtvar_init_t registered = variable_record("KEPT", 4.0);
        ASSERT_EQ(rtovarlst_initialize_var(&list, 2, &registered, false), 0);

        const rtvar_init_t* record = c.null_record ? nullptr : &c.record;
        EXPECT_EQ(rtovarlst_initialize_var(&list, c.number, record, false), -1);

        EXPECT_FALSE(list.find(1)->registered);
        EXPECT_EQ(list.find(2)->name, "KEPT");
        EXPECT_EQ(list.values()[0], 0.0);
        EXPECT_EQ(list.values()[1], 4.0);
        ASSERT_EQ(list.diagnostics().size(), 1U);
        EXPECT_NE(list.diagnostics()[0].find(c.expected_in_message), std::string::npos)
            << list.diagnostics()[0];
    }
}

TEST(host_variables, null_list_is_refused) {
    const rtvar_init_t record = variable_record("V");
    EXPECT_EQ(rtovarlst_initialize_var(nullptr, 1, &record, true), -1);
    EXPECT_EQ(rtovarlst_vec_value(nullptr), nullptr);
}

TEST(host_variables, empty_list_refuses_every_number_and_negative_size_throws) {
    rtvarlst_t list(0);
    const rtvar_init_t record = variable_record("V");
    EXPECT_EQ(rtovarlst_initialize_var(&list, 1, &record, true), -1);
    EXPECT_NE(list.diagnostics().at(0).find("empty"), std::string::npos);
    EXPECT_THROW(rtvarlst_t(-1), std::invalid_argument);
}

}  // namespace
