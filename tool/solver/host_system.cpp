#include "host_system.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace {

// Position of each host number (index) in `numbers`, -1 where absent, for
// the numbers 0 to `count`; each of `numbers` must be one of 1 to `count`.
std::vector<int> positions(const std::vector<int>& numbers, int count) {
    std::vector<int> position(static_cast<std::size_t>(count) + 1, -1);
    for (std::size_t index = 0; index < numbers.size(); ++index) {
        const int number = numbers[index];
        if (number < 1 || number > count) {
            throw std::out_of_range("no host number " + std::to_string(number) + " of " +
                                    std::to_string(count));
        }
        position[static_cast<std::size_t>(number)] = static_cast<int>(index);
    }
    return position;
}

// The position of host number `number` in `position`; -1 for a number the
// host does not have.
int position_of(const std::vector<int>& position, int number) {
    return number >= 0 && static_cast<std::size_t>(number) < position.size()
               ? position[static_cast<std::size_t>(number)]
               : -1;
}

std::vector<NonzeroPlace> nonzero_places(const ModelSession& session,
                                         const std::vector<int>& unknowns,
                                         const std::vector<int>& equations) {
    const std::vector<int> column_of_variable = positions(unknowns, session.variable_count());
    const std::vector<int> row_of_equation = positions(equations, session.equation_count());
    std::vector<NonzeroPlace> places;
    for (int number = 1; number <= session.nonzero_count(); ++number) {
        const rt_nz_t& nonzero = session.nonzero(number);
        places.push_back({position_of(row_of_equation, nonzero.equation),
                          position_of(column_of_variable, nonzero.variable)});
    }
    return places;
}

// The first of `numbers` when each is one more than the one before, else 0.
int first_of_run(const std::vector<int>& numbers) {
    for (std::size_t index = 1; index < numbers.size(); ++index) {
        if (numbers[index] != numbers[index - 1] + 1) {
            return 0;
        }
    }
    return numbers.empty() ? 0 : numbers.front();
}

}  // namespace

// The numbers are checked once, in nonzero_places before anything is built
// from them, so each iteration moves values in and out of the host's vectors
// without looking up each number again.
HostSystem::HostSystem(ModelSession& session, std::vector<int> unknowns, std::vector<int> equations)
    : session_(session),
      unknowns_(std::move(unknowns)),
      equations_(std::move(equations)),
      unknowns_run_(first_of_run(unknowns_)),
      equations_run_(first_of_run(equations_)),
      assembly_(static_cast<int>(unknowns_.size()),
                nonzero_places(session, unknowns_, equations_)) {}

void HostSystem::load(const std::vector<double>& x) {
    double* values = session_.values();
    if (unknowns_run_ > 0) {
        std::copy_n(x.begin(), unknowns_.size(), values + (unknowns_run_ - 1));
        return;
    }
    for (std::size_t column = 0; column < unknowns_.size(); ++column) {
        values[unknowns_[column] - 1] = x[column];
    }
}

EvaluationStatus HostSystem::evaluated(void (ModelSession::*evaluation)()) {
    try {
        (session_.*evaluation)();
    } catch (const ModelFault& fault) {
        fault_ = std::current_exception();
        fault_text_ = fault.what();
        return EvaluationStatus::fatal;
    }
    return EvaluationStatus::ok;
}

EvaluationStatus HostSystem::residuals(const std::vector<double>& x, std::vector<double>& values) {
    load(x);
    const EvaluationStatus status = evaluated(&ModelSession::evaluate_residuals);
    if (status != EvaluationStatus::ok) {
        return status;
    }
    const double* residuals = session_.residuals();
    values.resize(equations_.size());
    if (equations_run_ > 0) {
        const double* first = residuals + (equations_run_ - 1);
        std::copy(first, first + equations_.size(), values.begin());
        return status;
    }
    for (std::size_t row = 0; row < equations_.size(); ++row) {
        values[row] = residuals[equations_[row] - 1];
    }
    return status;
}

EvaluationStatus HostSystem::jacobian(const std::vector<double>& x,
                                      std::vector<double>& slot_values) {
    load(x);
    const EvaluationStatus status = evaluated(&ModelSession::evaluate_jacobian);
    if (status == EvaluationStatus::ok) {
        assembly_.assemble(session_.jacobian_values(), slot_values);
    }
    return status;
}

SolveOutcome solve_host(ModelSession& session, const std::vector<int>& unknowns,
                        const std::vector<int>& equations, const SolverSettings& settings,
                        const std::function<void(const IterationRecord&)>& observer) {
    HostSystem system(session, unknowns, equations);
    std::vector<double> start;
    std::vector<double> lower;
    std::vector<double> upper;
    for (const int number : system.unknowns()) {
        start.push_back(session.value(number));
        lower.push_back(session.variable(number).lower);
        upper.push_back(session.variable(number).upper);
    }
    SolveOutcome outcome = solve_system(system, std::move(start), lower, upper, settings, observer);
    // A model that cannot be evaluated where it starts is the model's fault,
    // not the solve's: its own exception goes on.
    if (outcome.stop == SolveStop::evaluation_fault && outcome.history.back().iteration == 0) {
        system.rethrow_fault();
    }
    system.load(outcome.x);
    session.evaluate_residuals();
    return outcome;
}
