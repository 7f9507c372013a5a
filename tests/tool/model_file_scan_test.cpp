#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "background_scan.h"
#include "model_definition.h"
#include "model_file_scan.h"
#include "temp_model_file.h"

// The light scan reads a model file's names as the plug-in's loader reads
// the file, without building its trees: the same records in the same order,
// whatever form the file's lists and members take.
namespace {

std::vector<std::string> reference_texts(const ModelFileScan& scan) {
    std::vector<std::string> texts;
    for (const UnknownReference& reference : scan.unknown_references) {
        texts.push_back(std::to_string(reference.equation) + " " + reference.symbol +
                        (reference.entry ? " entry" : " reference"));
    }
    return texts;
}

// What the model library makes of the file: the scan must agree with it.
void expect_loader_agrees(const std::string& path, const ModelFileScan& scan,
                          const std::string& label) {
    ModelDefinition model;
    model.load_model(path);
    std::vector<std::string> names, texts, symbols, descriptions;
    std::size_t entries = 0;
    for (const ExprNode& equation : model.equations()) {
        names.emplace_back(equation.equation_name());
        texts.emplace_back(equation.equation_string());
        entries += equation.variables().size();
    }
    for (const VariableDef& variable : model.variables()) {
        symbols.emplace_back(variable.variable_symbol);
        descriptions.emplace_back(variable.variable_name);
    }
    EXPECT_EQ(scan.equation_names, names) << label;
    EXPECT_EQ(scan.equation_texts, texts) << label;
    EXPECT_EQ(scan.variable_symbols, symbols) << label;
    EXPECT_EQ(scan.variable_descriptions, descriptions) << label;
    EXPECT_EQ(scan.entry_count, entries) << label;
}

TEST(model_file_scan, reads_names_and_unknown_references_as_the_loader_reads_the_file) {
    const std::string x = R"({"Type": 4, "StringValue": "x"})";
    const std::string ghost = R"({"Type": 4, "StringValue": "ghost"})";
    const struct {
        const char* label;
        std::string text;
        std::vector<std::string> names;
        std::vector<std::string> references;
    } cases[] = {
        {"references first, then entries, each symbol once per equation",
         R"({"Variables": [{"VariableSymbol": "x", "VariableName": "flow / [kg/s]"}],
             "EquationList": [
               {"EquationName": "Mass_Bal", "EquationString": "x + ghost = 0", "Type": 0,
                "SubExpressions": [)" +
             x + "," + ghost + "," + ghost +
             R"(, {"Type": 1, "SubExpressions": [{"Type": 4, "StringValue": "phantom"}]}],
                "Variables": [{"VariableSymbol": "x"}, {"VariableSymbol": "spook"},
                              {"VariableSymbol": "spook"}, {"VariableSymbol": "ghost"}]},
               {"EquationName": "e2", "Type": 4, "StringValue": "ghost"}]})",
         {"Mass_Bal", "e2"},
         {"1 ghost reference", "1 phantom reference", "1 spook entry", "1 ghost entry",
          "2 ghost reference"}},
        {"lists written as objects: key order, the last of repeated keys, zeros skipped",
         R"({"EquationList": {"b": {"EquationName": "second", "Type": 2, "DoubleValue": 1},
                              "a": {"EquationName": "dropped", "Type": 2, "DoubleValue": 1},
                              "c": 0, "a": {"EquationName": "first", "Type": 0,
                                            "SubExpressions": {"k": )" +
             ghost + R"(, "j": {"Type": 4, "StringValue": "phantom"}}}},
             "Variables": {"z": {"VariableSymbol": "y"}, "a": {"VariableSymbol": "x"},
                           "m": {"VariableSymbol": "w"}, "m": 0}})",
         {"first", "second"},
         {"1 phantom reference", "1 ghost reference"}},
        {"a node's code decides what counts, wherever the code stands",
         R"({"Variables": [{"VariableSymbol": "x"}], "EquationList": [
               {"EquationName": "e", "SubExpressions": [
                  {"SubExpressions": [)" +
             ghost + R"(], "Type": 2, "DoubleValue": 1},
                  {"StringValue": "truncated", "Type": 4.7},
                  {"Type": 6, "StringValue": "sqrt", "SubExpressions": [)" +
             x + R"(]},
                  {"Type": 3, "StringValue": "1.5"},
                  {"Type": 9, "SubExpressions": [)" +
             ghost + R"(]},
                  {"Type": true, "SubExpressions": [{"Type": 4, "StringValue": "boolean"}]}],
                "Type": 0}]})",
         {"e"},
         {"1 truncated reference", "1 boolean reference"}},
        {"guards keep a record's defaults",
         R"({"EquationList": [
               {"object": {"Type": 0}, "EquationName": "hidden", "Type": 4,
                "StringValue": "ghost", "Variables": [{"VariableSymbol": "ghost"}]},
               {"object": {"Type": 1}, "EquationName": "shown", "Type": 2, "DoubleValue": 0,
                "Variables": [{"object": {"VariableSymbol": 0}, "VariableSymbol": "ghost"}]}],
             "Variables": [{"VariableSymbol": ""},
                           {"object": {"VariableSymbol": 0}, "VariableSymbol": "x"}]})",
         {"", "shown"},
         {}},
        {"derivatives and the entries of inner nodes refer to nothing",
         R"({"Variables": [{"VariableSymbol": "x"}], "EquationList": [
               {"EquationName": "e", "Type": 0, "SubExpressions": [
                  {"Type": 4, "StringValue": "x", "Variables": [{"VariableSymbol": "inner"}]}],
                "Variables": [{"VariableSymbol": "x", "Differential": )" +
             ghost + R"(}]}]})",
         {"e"},
         {}},
        {"the last of repeated members counts",
         R"({"EquationList": [{"EquationName": "old", "Type": 2, "DoubleValue": 1}],
             "Variables": [{"VariableSymbol": "x", "VariableName": "old", "VariableName": null}],
             "EquationList": [
               {"EquationName": "e", "Type": 0, "SubExpressions": [)" +
             ghost + R"(], "SubExpressions": [)" + x + R"(],
                "Variables": [{"VariableSymbol": "ghost"}], "Variables": []}]})",
         {"e"},
         {}},
        {"lines are joined before parsing, as the loader joins them",
         "{\"EquationList\": [{\"EquationName\": \"mi\r\nxed\", \"Type\": 4,\n"
         "\"StringValue\": \"gh\nost\"}], \"Variables\": 0}\r\n",
         {"mixed"},
         {"1 ghost reference"}},
        {"a document without lists holds no model", "0", {}, {}},
    };
    for (const auto& c : cases) {
        const TempModelFile file(c.text);
        const ModelFileScan scan = scan_model_file(file.path(), ScanTexts::with_equation_texts);
        EXPECT_EQ(scan_model_file(file.path(), ScanTexts::names_only).equation_texts,
                  std::vector<std::string>(scan.equation_names.size()))
            << c.label;
        EXPECT_EQ(scan.equation_names, c.names) << c.label;
        EXPECT_EQ(reference_texts(scan), c.references) << c.label;
        expect_loader_agrees(file.path(), scan, c.label);
    }
}

TEST(model_file_scan, text_that_is_no_json_raises_the_parse_error) {
    const TempModelFile file("{\"EquationList\": [\n}");
    EXPECT_THROW(scan_model_file(file.path(), ScanTexts::names_only), nlohmann::json::parse_error);
}

const char* const NAMED_MODEL = R"({"Variables": [{"VariableSymbol": "x", "VariableName": "flow"}],
    "EquationList": [{"EquationName": "e", "EquationString": "x + ghost = 0", "Type": 0,
                      "SubExpressions": [{"Type": 4, "StringValue": "x"},
                                         {"Type": 4, "StringValue": "ghost"}],
                      "Variables": [{"VariableSymbol": "x"}]}]})";

TEST(background_scan, gives_what_a_scan_on_the_calling_thread_gives) {
    const TempModelFile file(NAMED_MODEL);
    for (const ScanTexts texts : {ScanTexts::names_only, ScanTexts::with_equation_texts}) {
        const ModelFileScan here = scan_model_file(file.path(), texts);
        BackgroundScan ahead(file.path(), texts);
        const ModelFileScan there = ahead.take();
        EXPECT_EQ(there.variable_symbols, here.variable_symbols);
        EXPECT_EQ(there.variable_descriptions, here.variable_descriptions);
        EXPECT_EQ(there.equation_names, here.equation_names);
        EXPECT_EQ(there.equation_texts, here.equation_texts);
        EXPECT_EQ(there.entry_count, here.entry_count);
        EXPECT_EQ(reference_texts(there), reference_texts(here));
    }
}

TEST(background_scan, hands_over_the_parse_error_of_its_thread) {
    const TempModelFile file("{\"EquationList\": [\n}");
    BackgroundScan ahead(file.path(), ScanTexts::names_only);
    EXPECT_THROW(ahead.take(), nlohmann::json::parse_error);
}

// A scan whose result is no longer wanted must end at once, not read the rest
// of a large file: the stop ends it before its first object.
TEST(background_scan, a_stopped_scan_ends_with_nothing) {
    const TempModelFile file(NAMED_MODEL);
    const std::atomic<bool> stop{true};
    const ModelFileScan scan = scan_model_file(file.path(), ScanTexts::names_only, &stop);
    EXPECT_TRUE(scan.variable_symbols.empty());
    EXPECT_TRUE(scan.equation_names.empty());
    EXPECT_EQ(scan.entry_count, 0U);
}

// Dropping a scan that has not been taken stops and joins its thread; with
// a file still being read, a thread left behind would outlive the file.
TEST(background_scan, can_be_dropped_untaken) {
    std::string many = R"({"Variables": [], "EquationList": [)";
    for (int equation = 0; equation < 20000; ++equation) {
        many += std::string(equation > 0 ? "," : "") +
                R"({"EquationName": "e", "Type": 4, "StringValue": "x"})";
    }
    many += "]}";
    const TempModelFile file(many);
    for (int repeat = 0; repeat < 3; ++repeat) {
        BackgroundScan ahead(file.path(), ScanTexts::names_only);
    }
}

}  // namespace
