#include "name_resolver.h"

#include <algorithm>
#include <cctype>
#include <set>

#include "usage_error.h"

namespace {

constexpr std::size_t SUGGESTIONS = 3;

std::string folded(const std::string& text) {
    std::string lower = text;
    for (char& byte : lower) {
        byte = static_cast<char>(std::tolower(static_cast<unsigned char>(byte)));
    }
    return lower;
}

// Levenshtein distance, one row at a time.
std::size_t edit_distance(const std::string& a, const std::string& b) {
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j) {
        row[j] = j;
    }
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] =
                std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string quoted_list(const std::vector<std::string>& names) {
    std::string text;
    for (std::size_t index = 0; index < names.size(); ++index) {
        text += (index == 0 ? "" : index + 1 == names.size() ? " or " : ", ") + names[index];
    }
    return text;
}

}  // namespace

NameResolver::NameResolver(std::vector<std::string> names, std::string what)
    : names_(std::move(names)), what_(std::move(what)) {}

std::vector<std::size_t> NameResolver::resolve(const std::string& typed,
                                               const std::string& option) const {
    std::vector<std::size_t> exact, caseless;
    std::set<std::string> spellings;
    const std::string typed_folded = folded(typed);
    for (std::size_t index = 0; index < names_.size(); ++index) {
        if (names_[index] == typed) {
            exact.push_back(index);
        } else if (folded(names_[index]) == typed_folded) {
            caseless.push_back(index);
            spellings.insert(names_[index]);
        }
    }
    if (!exact.empty()) {
        return exact;
    }
    if (spellings.size() == 1) {
        return caseless;
    }
    if (spellings.size() > 1) {
        throw UsageError(option + ": '" + typed + "' matches " + what_ + "s " +
                         quoted_list({spellings.begin(), spellings.end()}) +
                         " but for letter case; type one as the file writes it");
    }
    const std::vector<std::string> near = nearest(typed);
    throw UsageError(option + ": the model has no " + what_ + " '" + typed + "'" +
                     (near.empty() ? "" : "; did you mean " + quoted_list(near) + "?"));
}

std::vector<std::string> NameResolver::nearest(const std::string& typed) const {
    const std::string typed_folded = folded(typed);
    const std::size_t limit = std::max<std::size_t>(2, typed.size() / 3);
    std::vector<std::pair<std::size_t, std::string>> near;
    std::set<std::string> seen;
    for (const std::string& name : names_) {
        const std::string name_folded = folded(name);
        // An indexed family ("bal[1]", "bal[2]") is near its bare name.
        const bool member =
            name_folded.compare(0, typed_folded.size() + 1, typed_folded + "[") == 0;
        const std::size_t distance = member ? 1 : edit_distance(typed_folded, name_folded);
        if (distance <= limit && seen.insert(name).second) {
            near.emplace_back(distance, name);
        }
    }
    std::stable_sort(near.begin(), near.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<std::string> names;
    for (std::size_t index = 0; index < std::min(near.size(), SUGGESTIONS); ++index) {
        names.push_back(near[index].second);
    }
    return names;
}
