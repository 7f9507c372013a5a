#pragma once

#include <optional>
#include <string>
#include <vector>

// A name of an indexed family split at its brackets: "bal[1, 2]" into the
// family "bal" and the indices {"1", "2"} (spaces around each trimmed).
struct IndexedName {
    std::string family;
    std::vector<std::string> indices;
};

// Nothing for a name that is not FAMILY[INDEX, ...].
std::optional<IndexedName> split_indexed_name(const std::string& name);

// A typed name that stands for several members of one indexed family:
// `Q[*]`, `x[*, 2]`, `T[2..5]`. Each index is `*` (any index), `FIRST..LAST`
// (a whole number from FIRST to LAST, both included) or one index as the
// names write it.
class NamePattern {
  public:
    // The pattern `typed` states; nothing for a plain name (one whose
    // indices hold no `*` and no range). Throws UsageError starting with
    // `option` for a range whose ends are not whole numbers.
    static std::optional<NamePattern> parse(const std::string& typed, const std::string& option);

    const std::string& family() const { return typed_.family; }
    std::size_t index_count() const { return typed_.indices.size(); }
    // Whether `indices` (a member's of the family, as many as the pattern's)
    // fit the pattern's.
    bool fits(const std::vector<std::string>& indices) const;

  private:
    struct Index {
        enum class Kind { any, range, literal } kind;
        long long first = 0, last = 0;  // of a range
        std::string text;               // of a literal, in lower case
    };

    explicit NamePattern(IndexedName typed) : typed_(std::move(typed)) {}

    IndexedName typed_;
    std::vector<Index> tests_;
};
