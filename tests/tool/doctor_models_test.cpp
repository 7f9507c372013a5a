#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tool_run.h"

// The doctor's collection: models of the kinds process engineers write (a
// distillation column, a water network, a recycle loop), sound and with the
// mistakes commonly made in them, each with the document `check --format
// json` must give committed beside it as NAME.check.json.
namespace {

const std::filesystem::path MODELS = QUILLON_DOCTOR_MODELS_DIR;
// Numbers the analysis computes (a combination of residuals) may differ in
// their last bits between builds.
constexpr double NUMBER_SHARE = 1e-9;

std::vector<std::filesystem::path> models() {
    std::vector<std::filesystem::path> found;
    for (const auto& entry : std::filesystem::directory_iterator(MODELS)) {
        if (entry.path().extension() == ".eq") {
            found.push_back(entry.path());
        }
    }
    std::sort(found.begin(), found.end());
    return found;
}

// Whether two documents agree, numbers to within NUMBER_SHARE.
bool alike(const nlohmann::json& a, const nlohmann::json& b) {
    if (a.is_number() && b.is_number()) {
        const double x = a.get<double>();
        const double y = b.get<double>();
        return std::fabs(x - y) <= NUMBER_SHARE * std::max(std::fabs(x), std::fabs(y));
    }
    if (a.type() != b.type() || a.size() != b.size()) {
        return false;
    }
    if (a.is_object()) {
        return std::all_of(a.items().begin(), a.items().end(), [&](const auto& item) {
            return b.contains(item.key()) && alike(item.value(), b[item.key()]);
        });
    }
    if (a.is_array()) {
        for (std::size_t index = 0; index < a.size(); ++index) {
            if (!alike(a[index], b[index])) {
                return false;
            }
        }
        return true;
    }
    return a == b;
}

TEST(doctor_models, give_the_findings_committed_beside_them) {
    const std::vector<std::filesystem::path> found = models();
    ASSERT_GE(found.size(), 8u) << "the collection in " << MODELS << " is incomplete";
    for (const std::filesystem::path& model : found) {
        std::filesystem::path expected_path = model;
        expected_path.replace_extension(".check.json");
        std::ifstream in(expected_path);
        ASSERT_TRUE(in) << "no " << expected_path;
        const nlohmann::json expected = nlohmann::json::parse(in);
        const ProgramRun run = run_quillon({"check", model.string(), "--format", "json"});
        EXPECT_EQ(run.exit_code, expected["errors"].get<int>() > 0 ? 1 : 0) << model << '\n'
                                                                            << run.err;
        const nlohmann::json found_document = run.json();
        EXPECT_TRUE(alike(found_document, expected)) << model << " gives\n"
                                                     << found_document.dump(2);
    }
}

}  // namespace
