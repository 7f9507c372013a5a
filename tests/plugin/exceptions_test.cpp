#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include <nlohmann/json.hpp>

#include "loaded_plugin.h"
#include "model_json.h"
#include "zel_container.h"

// The plug-in hides all but its entry points; the exceptions it lets through
// must still be caught by their own types in the host.
namespace {

using namespace model_json;

TEST(plugin_exceptions, create_passes_json_parse_errors) {
    LoadedPlugin plugin;
    const struct {
        const char* text;
        int id;
    } cases[] = {{"", 101}, {"{\"EquationList\": [", 101}, {"{} {}", 101}};
    for (const auto& c : cases) {
        try {
            create_from_text(plugin.factory(), "B", c.text);
            ADD_FAILURE() << "no exception for " << c.text;
        } catch (const nlohmann::json::parse_error& error) {
            EXPECT_EQ(error.id, c.id) << c.text;
            EXPECT_NE(std::string(error.what()).find("parse error"), std::string::npos);
        }
    }
    EXPECT_FALSE(plugin.blocks_alive());
}

TEST(plugin_exceptions, create_passes_json_type_errors) {
    LoadedPlugin plugin;
    const struct {
        std::string text;
        int id;
        const char* kind;
    } cases[] = {
        {"[]", 305, "array"},
        {model_text({json{{"EquationName", "E1"}}}, {}), 302, "null"},
        {model_text({}, {json{{"VariableSymbol", 7}}}), 302, "number"},
        {model_text({}, {json{{"VariableSymbol", "x"}, {"Differential", true}}}), 305, "boolean"},
    };
    for (const auto& c : cases) {
        try {
            create_from_text(plugin.factory(), "B", c.text);
            ADD_FAILURE() << "no exception for " << c.text;
        } catch (const nlohmann::json::type_error& error) {
            EXPECT_EQ(error.id, c.id) << c.text;
            EXPECT_NE(std::string(error.what()).find(c.kind), std::string::npos) << error.what();
        }
    }
    // Also by the JSON library's base and by the standard one.
    EXPECT_THROW(create_from_text(plugin.factory(), "B", "true"), nlohmann::json::exception);
    EXPECT_THROW(create_from_text(plugin.factory(), "B", "\"x\""), std::exception);
    EXPECT_FALSE(plugin.blocks_alive());
}

// A block whose residual or derivative holds a numeric text.
std::string model_with_text(const std::string& residual_text, const std::string& derivative_text) {
    return model_text({equation("E1", sum({reference("x"), numeric_text(residual_text)}),
                                {entry("x", numeric_text(derivative_text))})},
                      {variable("x", {1.0, {}, {}})});
}

// What `call` throws, caught by the standard types the evaluator raises.
template <typename Call>
std::string caught(Call call) {
    try {
        call();
        return "nothing";
    } catch (const std::invalid_argument& error) {
        return std::string("invalid_argument: ") + error.what();
    } catch (const std::out_of_range& error) {
        return std::string("out_of_range: ") + error.what();
    }
}

TEST(plugin_exceptions, residuals_and_jacobian_pass_numeric_text_faults) {
    LoadedPlugin plugin;
    const std::string invalid = "invalid_argument: invalid stof argument";
    const std::string range = "out_of_range: stof argument out of range";
    const struct {
        const char* residual_text;
        const char* derivative_text;
        std::string from_residuals;
        std::string from_jacobian;
    } cases[] = {
        {"oops", "1", invalid, "nothing"},
        {"1e99", "1", range, "nothing"},
        {"2", "-", "nothing", invalid},
        {"2", "-1e40", "nothing", range},
    };
    for (const auto& c : cases) {
        ZELEOCntr container;
        container.add_block(create_from_text(plugin.factory(), "B",
                                             model_with_text(c.residual_text, c.derivative_text)));
        ASSERT_EQ(container.build_structure(), 0);
        EXPECT_EQ(caught([&] { container.evaluate_residuals(); }), c.from_residuals)
            << c.residual_text;
        EXPECT_EQ(caught([&] { container.evaluate_jacobian(); }), c.from_jacobian)
            << c.derivative_text;
    }
    EXPECT_FALSE(plugin.blocks_alive());
}

}  // namespace
