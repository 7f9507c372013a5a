#include "sensitivity.h"

#include <algorithm>

#include "host_system.h"
#include "module_errors.h"
#include "usage_error.h"

namespace {

std::vector<int> numbers_of(const LoadedModel& loaded, const std::string& symbol,
                            const char* role) {
    return loaded.symbols.numbers_named(symbol, std::string(role) + " " + symbol);
}

// -dF/dp for the parameter p held by the variables `numbers`: the host's
// Jacobian values of their nonzeros, summed by row (`row_of` an equation's,
// -1 for an equation left out).
std::vector<double> parameter_column(const ModelSession& session, const std::vector<int>& numbers,
                                     const std::vector<int>& row_of, std::size_t rows) {
    std::vector<double> column(rows, 0.0);
    for (int nonzero = 1; nonzero <= session.nonzero_count(); ++nonzero) {
        const rt_nz_t& place = session.nonzero(nonzero);
        const int row = place.equation > 0 ? row_of[static_cast<std::size_t>(place.equation)] : -1;
        if (row >= 0 &&
            std::find(numbers.begin(), numbers.end(), place.variable) != numbers.end()) {
            column[static_cast<std::size_t>(row)] -= session.jacobian_value(nonzero);
        }
    }
    return column;
}

}  // namespace

std::vector<double> sensitivities(LoadedModel& loaded, const std::vector<double>& x,
                                  const std::set<int>& fixed, const std::set<int>& freed,
                                  const std::vector<std::string>& outputs,
                                  const std::vector<std::string>& inputs) {
    ModelSession& session = loaded.session;
    std::vector<int> unknowns;
    std::vector<int> column_of(static_cast<std::size_t>(session.variable_count()) + 1, -1);
    for (int number = 1; number <= session.variable_count(); ++number) {
        if (fixed.count(number) == 0) {
            column_of[static_cast<std::size_t>(number)] = static_cast<int>(unknowns.size());
            unknowns.push_back(number);
        }
    }
    std::vector<int> equations;
    std::vector<int> row_of(static_cast<std::size_t>(session.equation_count()) + 1, -1);
    for (int number = 1; number <= session.equation_count(); ++number) {
        if (freed.count(number) == 0) {
            row_of[static_cast<std::size_t>(number)] = static_cast<int>(equations.size());
            equations.push_back(number);
        }
    }
    if (unknowns.size() != equations.size()) {
        throw UsageError("the result's system is not square: no sensitivities");
    }
    std::vector<std::vector<int>> input_numbers;
    for (const std::string& input : inputs) {
        input_numbers.push_back(numbers_of(loaded, input, "inputs"));
        for (const int number : input_numbers.back()) {
            if (fixed.count(number) == 0) {
                throw UsageError("inputs " + input +
                                 ": not fixed in the result; only fixed variables are parameters");
            }
        }
    }
    std::vector<int> output_numbers;
    for (const std::string& output : outputs) {
        output_numbers.push_back(numbers_of(loaded, output, "outputs").front());
    }

    std::copy(x.begin(), x.end(), session.values());
    const std::size_t rows = equations.size();
    HostSystem system(session, unknowns, std::move(equations));
    std::vector<double> unknown_values;
    for (const int number : unknowns) {
        unknown_values.push_back(x[static_cast<std::size_t>(number - 1)]);
    }
    std::vector<double> slots;
    if (system.jacobian(unknown_values, slots) != EvaluationStatus::ok) {
        system.rethrow_fault();
    }
    SparseLu lu(system.pattern());
    if (!lu.factor(slots)) {
        throw SolveFailure(
            "the Jacobian of the unknowns is singular at the solution: no sensitivities");
    }

    std::vector<double> table(outputs.size() * inputs.size(), 0.0);
    for (std::size_t in = 0; in < inputs.size(); ++in) {
        std::vector<double> change = parameter_column(session, input_numbers[in], row_of, rows);
        lu.solve(change);
        for (std::size_t out = 0; out < outputs.size(); ++out) {
            const int number = output_numbers[out];
            const int column = column_of[static_cast<std::size_t>(number)];
            const std::vector<int>& held = input_numbers[in];
            const bool moves_itself = std::find(held.begin(), held.end(), number) != held.end();
            table[out * inputs.size() + in] =
                column >= 0 ? change[static_cast<std::size_t>(column)] : (moves_itself ? 1 : 0);
        }
    }
    return table;
}
