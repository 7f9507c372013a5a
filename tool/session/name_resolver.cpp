#include "name_resolver.h"

#include <algorithm>
#include <cctype>
#include <map>
#include <set>

#include "name_pattern.h"
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

// "1 index", "2 indices".
std::string counted_indices(std::size_t count) {
    return std::to_string(count) + (count == 1 ? " index" : " indices");
}

// The pattern naming every member of the family of `member`: "bal[*]",
// "x[*,*]".
std::string whole_family(const IndexedName& member) {
    std::string text = member.family + "[*";
    for (std::size_t index = 1; index < member.indices.size(); ++index) {
        text += ",*";
    }
    return text + "]";
}

}  // namespace

NameResolver::NameResolver(std::vector<std::string> names, std::string what)
    : names_(std::move(names)), what_(std::move(what)) {}

std::vector<std::size_t> NameResolver::resolve(const std::string& typed,
                                               const std::string& option) const {
    if (const std::optional<NamePattern> pattern = NamePattern::parse(typed, option)) {
        return resolve_pattern(*pattern, typed, option);
    }
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
    throw UsageError(option + ": the model has no " + what_ + " '" + typed + "'" +
                     suggestion(typed));
}

std::vector<std::string> NameResolver::distinct_names(const std::string& typed,
                                                      const std::string& option) const {
    std::vector<std::string> distinct;
    std::set<std::string> seen;
    for (const std::size_t index : resolve(typed, option)) {
        if (seen.insert(names_[index]).second) {
            distinct.push_back(names_[index]);
        }
    }
    return distinct;
}

std::vector<std::size_t> NameResolver::resolve_pattern(const NamePattern& pattern,
                                                       const std::string& typed,
                                                       const std::string& option) const {
    // The family as typed: the file's spelling first, else any letter case
    // when that is one spelling, as for a plain name.
    std::vector<std::pair<std::size_t, IndexedName>> exact, caseless;
    std::set<std::string> spellings;
    const std::string family_folded = folded(pattern.family());
    for (std::size_t index = 0; index < names_.size(); ++index) {
        std::optional<IndexedName> split = split_indexed_name(names_[index]);
        if (split && split->family == pattern.family()) {
            exact.emplace_back(index, std::move(*split));
        } else if (split && folded(split->family) == family_folded) {
            spellings.insert(split->family);
            caseless.emplace_back(index, std::move(*split));
        }
    }
    if (exact.empty() && spellings.size() > 1) {
        throw UsageError(option + ": '" + typed + "' matches the " + what_ + "s of " +
                         quoted_list({spellings.begin(), spellings.end()}) +
                         " but for letter case; type one as the file writes it");
    }
    const auto& members = exact.empty() ? caseless : exact;
    if (members.empty()) {
        throw UsageError(option + ": the model has no " + what_ + "s " + pattern.family() +
                         "[...]" + suggestion(pattern.family()));
    }
    std::vector<std::size_t> found;
    for (const auto& [index, split] : members) {
        if (pattern.fits(split.indices)) {
            found.push_back(index);
        }
    }
    if (!found.empty()) {
        return found;
    }
    const std::size_t arity = members.front().second.indices.size();
    const std::string family = members.front().second.family;
    const std::string extent =
        names_[members.front().first] + " to " + names_[members.back().first];
    if (arity != pattern.index_count()) {
        throw UsageError(option + ": the " + what_ + "s " + family + "[...] have " +
                         counted_indices(arity) + ", not " + std::to_string(pattern.index_count()) +
                         " (" + extent + ")");
    }
    throw UsageError(option + ": no " + what_ + " matches " + typed + "; the " + what_ + "s " +
                     family + "[...] run from " + extent);
}

std::string NameResolver::suggestion(const std::string& typed) const {
    const std::vector<std::string> near = nearest(typed);
    return near.empty() ? "" : "; did you mean " + quoted_list(near) + "?";
}

std::vector<std::string> NameResolver::nearest(const std::string& typed) const {
    const std::string typed_folded = folded(typed);
    const std::size_t limit = std::max<std::size_t>(2, typed.size() / 3);
    // Typed without indices, a family of several members is offered whole,
    // as the pattern that names them all.
    const bool whole_families = typed.find('[') == std::string::npos;
    std::map<std::string, std::size_t> family_sizes;
    if (whole_families) {
        for (const std::string& name : names_) {
            if (const std::optional<IndexedName> split = split_indexed_name(name)) {
                ++family_sizes[split->family];
            }
        }
    }
    std::vector<std::pair<std::size_t, std::string>> near;
    std::set<std::string> seen;
    for (const std::string& name : names_) {
        std::string offered = name, compared = folded(name);
        bool member = compared.compare(0, typed_folded.size() + 1, typed_folded + "[") == 0;
        const std::optional<IndexedName> split =
            whole_families ? split_indexed_name(name) : std::nullopt;
        if (split && family_sizes[split->family] > 1) {
            offered = whole_family(*split);
            compared = folded(split->family);
            member = false;
        }
        // A member of an indexed family ("bal[1]") is near its bare name.
        const std::size_t distance = member ? 1 : edit_distance(typed_folded, compared);
        if (distance <= limit && seen.insert(offered).second) {
            near.emplace_back(distance, offered);
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
