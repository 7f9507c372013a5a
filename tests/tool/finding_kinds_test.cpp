#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <string>
#include <vector>

#include "finding_kinds.h"

// The README's table of finding kinds is what users read about `check`'s
// output; it must say what the tool's own table of kinds says.
namespace {

struct DocumentedKind {
    std::string name;
    std::string severity;
    std::vector<std::string> members;

    bool operator==(const DocumentedKind& other) const {
        return name == other.name && severity == other.severity && members == other.members;
    }
};

void PrintTo(const DocumentedKind& kind, std::ostream* out) {
    *out << kind.name << " (" << kind.severity << ")";
    for (const std::string& member : kind.members) {
        *out << ' ' << member;
    }
}

std::vector<std::string> quoted_words(const std::string& text) {
    std::vector<std::string> words;
    const std::regex quoted("`([^`]+)`");
    for (auto match = std::sregex_iterator(text.begin(), text.end(), quoted);
         match != std::sregex_iterator(); ++match) {
        words.push_back((*match)[1]);
    }
    return words;
}

// The rows of the table under "check: the model doctor":
// | `kind` | severity | what it means | `member`, ... |
std::vector<DocumentedKind> readme_kinds() {
    std::ifstream in(QUILLON_README);
    std::string line;
    while (std::getline(in, line) && line != "### check: the model doctor") {
    }
    const std::regex row(R"(^\| `([a-z-]+)` \| (error|warning) \|.*\|([^|]*)\|$)");
    std::vector<DocumentedKind> kinds;
    while (std::getline(in, line) && line.rfind("#", 0) != 0) {
        std::smatch match;
        if (std::regex_match(line, match, row)) {
            kinds.push_back({match[1], match[2], quoted_words(match[3])});
        }
    }
    return kinds;
}

std::vector<DocumentedKind> table_kinds() {
    std::vector<DocumentedKind> kinds;
    for (const FindingKindRow& row : finding_kinds()) {
        kinds.push_back(
            {row.name, row.severity == Severity::error ? "error" : "warning", row.members});
        EXPECT_EQ(&finding_kind(row.kind), &row) << row.name;
    }
    return kinds;
}

TEST(finding_kinds, the_readme_lists_every_kind_with_its_severity_and_members) {
    const std::vector<DocumentedKind> documented = readme_kinds();
    ASSERT_FALSE(documented.empty()) << "no table of kinds in " << QUILLON_README;
    EXPECT_EQ(documented, table_kinds());
}

}  // namespace
