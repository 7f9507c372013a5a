#include "name_pattern.h"

#include <cctype>
#include <cerrno>
#include <cstdlib>

#include "usage_error.h"

namespace {

std::string trimmed(const std::string& text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) {
        return "";
    }
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

std::string lower_case(std::string text) {
    for (char& byte : text) {
        byte = static_cast<char>(std::tolower(static_cast<unsigned char>(byte)));
    }
    return text;
}

// The whole number `text` writes, with nothing around it.
std::optional<long long> whole_number(const std::string& text) {
    if (text.empty()) {
        return std::nullopt;
    }
    char* end = nullptr;
    errno = 0;
    const long long value = std::strtoll(text.c_str(), &end, 10);
    if (*end != '\0' || errno == ERANGE) {
        return std::nullopt;
    }
    return value;
}

}  // namespace

std::optional<IndexedName> split_indexed_name(const std::string& name) {
    const std::size_t open = name.find('[');
    if (open == 0 || open == std::string::npos || name.back() != ']') {
        return std::nullopt;
    }
    const std::string inside = name.substr(open + 1, name.size() - open - 2);
    if (inside.find_first_of("[]") != std::string::npos) {
        return std::nullopt;
    }
    IndexedName split{name.substr(0, open), {}};
    std::size_t start = 0;
    while (true) {
        const std::size_t comma = inside.find(',', start);
        split.indices.push_back(trimmed(inside.substr(start, comma - start)));
        if (comma == std::string::npos) {
            return split;
        }
        start = comma + 1;
    }
}

std::optional<NamePattern> NamePattern::parse(const std::string& typed, const std::string& option) {
    std::optional<IndexedName> split = split_indexed_name(typed);
    if (!split) {
        return std::nullopt;
    }
    NamePattern pattern(*split);
    bool wild = false;
    for (const std::string& index : split->indices) {
        Index test{Index::Kind::literal, 0, 0, ""};
        const std::size_t dots = index.find("..");
        if (index == "*") {
            test.kind = Index::Kind::any;
        } else if (dots != std::string::npos) {
            const auto first = whole_number(trimmed(index.substr(0, dots)));
            const auto last = whole_number(trimmed(index.substr(dots + 2)));
            if (!first || !last) {
                throw UsageError(option + ": the index range '" + index +
                                 "' is not of the form FIRST..LAST in whole numbers");
            }
            test = {Index::Kind::range, *first, *last, ""};
        } else {
            test.text = lower_case(index);
        }
        wild = wild || test.kind != Index::Kind::literal;
        pattern.tests_.push_back(std::move(test));
    }
    if (!wild) {
        return std::nullopt;
    }
    return pattern;
}

bool NamePattern::fits(const std::vector<std::string>& indices) const {
    if (indices.size() != tests_.size()) {
        return false;
    }
    for (std::size_t position = 0; position < tests_.size(); ++position) {
        const Index& test = tests_[position];
        if (test.kind == Index::Kind::range) {
            const auto value = whole_number(indices[position]);
            if (!value || *value < test.first || *value > test.last) {
                return false;
            }
        } else if (test.kind == Index::Kind::literal &&
                   lower_case(indices[position]) != test.text) {
            return false;
        }
    }
    return true;
}
