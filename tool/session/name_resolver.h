#pragma once

#include <cstddef>
#include <string>
#include <vector>

class NamePattern;

// Finds the names a person types on the command line among a model's names
// (variable symbols, equation names). The host upper-cases every name, so a
// name may be typed in any letter case: the file's spelling matches first;
// otherwise every name equal to it but for case matches, when they are all
// one spelling. A pattern over the indices of a family (`Q[*]`, `x[*,2]`,
// `T[2..5]`, see NamePattern) matches every member that fits, the family's
// name found as a plain name is. A miss throws UsageError saying what was
// looked for, with the nearest names when some come close ("did you mean
// ...?"), and for a pattern what the family holds.
class NameResolver {
  public:
    // `names` by position; a name may occur more than once.
    NameResolver(std::vector<std::string> names, std::string what);

    // The positions (from 0, ascending) of every name that `typed` matches.
    // `option` starts the message of a miss, e.g. "--at Z".
    std::vector<std::size_t> resolve(const std::string& typed, const std::string& option) const;
    // The names that `typed` matches, each once, in order of first position.
    std::vector<std::string> distinct_names(const std::string& typed,
                                            const std::string& option) const;

    // Up to three names nearest to `typed` by edit distance, ignoring case,
    // within a third of its length (at least 2), nearest first; the members
    // of an indexed family ("bal[1]" for "bal") count as one edit away. For
    // `typed` without indices, a family of several members is offered as the
    // pattern of them all ("bal[*]"), by the distance to its name.
    std::vector<std::string> nearest(const std::string& typed) const;

  private:
    std::vector<std::size_t> resolve_pattern(const NamePattern& pattern, const std::string& typed,
                                             const std::string& option) const;
    // "; did you mean ...?", or nothing when no name comes close.
    std::string suggestion(const std::string& typed) const;

    std::vector<std::string> names_;
    std::string what_;  // "variable", "equation"
};
