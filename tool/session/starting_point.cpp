#include "starting_point.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>

#include "text_table.h"

#include "usage_error.h"

Assignment parse_assignment(const std::string& text) {
    const std::size_t equals = text.rfind('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 == text.size()) {
        throw UsageError("'" + text + "' is not of the form SYMBOL=VALUE");
    }
    const std::string number = text.substr(equals + 1);
    char* end = nullptr;
    errno = 0;
    const double value = std::strtod(number.c_str(), &end);
    if (end != number.c_str() + number.size()) {
        throw UsageError("'" + number + "' in '" + text + "' is not a number");
    }
    // strtod reads "nan" and "inf", and gives an infinity for 1e400.
    if (!std::isfinite(value) || (errno == ERANGE && std::fabs(value) > 1.0)) {
        throw UsageError("'" + number + "' in '" + text + "' is not a finite number");
    }
    return {text.substr(0, equals), value};
}

namespace {

// A value outside a variable's bounds: the host would hold it there or the
// solver would clamp it, and what the user asked for would silently not hold.
void require_within_bounds(const Assignment& assignment, const rtvar_t& variable,
                           const std::string& option) {
    const bool below = assignment.value < variable.lower;
    if (!below && assignment.value <= variable.upper) {
        return;
    }
    throw UsageError(option + " " + assignment.symbol + "=" + readable_number(assignment.value) +
                     ": the value is " + (below ? "below the lower" : "above the upper") +
                     " bound " + readable_number(below ? variable.lower : variable.upper) + " of " +
                     assignment.symbol);
}

}  // namespace

std::vector<Assignment> parse_assignments(const std::vector<std::string>& texts) {
    std::vector<Assignment> assignments;
    for (const std::string& text : texts) {
        assignments.push_back(parse_assignment(text));
    }
    return assignments;
}

std::vector<int> apply_assignments(const std::vector<Assignment>& assignments,
                                   const VariableSymbols& symbols, ModelSession& session,
                                   const std::string& option) {
    std::vector<int> numbers;
    for (const Assignment& assignment : assignments) {
        const std::vector<int> targets =
            symbols.numbers_named(assignment.symbol, option + " " + assignment.symbol);
        for (const int number : targets) {
            require_within_bounds(assignment, session.variable(number), option);
            session.value(number) = assignment.value;
            numbers.push_back(number);
        }
    }
    return numbers;
}
