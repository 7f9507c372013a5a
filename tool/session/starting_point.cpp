#include "starting_point.h"

#include <cstdlib>

#include "usage_error.h"

Assignment parse_assignment(const std::string& text) {
    const std::size_t equals = text.rfind('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 == text.size()) {
        throw UsageError("'" + text + "' is not of the form SYMBOL=VALUE");
    }
    const std::string number = text.substr(equals + 1);
    char* end = nullptr;
    const double value = std::strtod(number.c_str(), &end);
    if (end != number.c_str() + number.size()) {
        throw UsageError("'" + number + "' in '" + text + "' is not a number");
    }
    return {text.substr(0, equals), value};
}

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
            session.value(number) = assignment.value;
            numbers.push_back(number);
        }
    }
    return numbers;
}
