#include "host_system.h"

namespace {

std::vector<NonzeroPlace> nonzero_places(const ModelSession& session,
                                         const std::vector<int>& unknowns) {
    std::vector<int> column_of_variable(static_cast<std::size_t>(session.variable_count()) + 1, -1);
    for (std::size_t column = 0; column < unknowns.size(); ++column) {
        column_of_variable[static_cast<std::size_t>(unknowns[column])] = static_cast<int>(column);
    }
    std::vector<NonzeroPlace> places;
    for (int number = 1; number <= session.nonzero_count(); ++number) {
        const rt_nz_t& nonzero = session.nonzero(number);
        places.push_back(
            {nonzero.equation - 1, column_of_variable[static_cast<std::size_t>(nonzero.variable)]});
    }
    return places;
}

}  // namespace

// The unknowns are checked once here, so each iteration moves values in and
// out of the host's vectors without looking up each number again.
HostSystem::HostSystem(ModelSession& session, std::vector<int> unknowns)
    : session_(session),
      unknowns_(std::move(unknowns)),
      assembly_(static_cast<int>(unknowns_.size()), nonzero_places(session, unknowns_)) {
    for (const int number : unknowns_) {
        session_.variable(number);  // throws for a number the host does not have
    }
}

void HostSystem::load(const std::vector<double>& x) {
    double* values = session_.values();
    for (std::size_t column = 0; column < unknowns_.size(); ++column) {
        values[unknowns_[column] - 1] = x[column];
    }
}

void HostSystem::residuals(const std::vector<double>& x, std::vector<double>& values) {
    load(x);
    session_.evaluate_residuals();
    const double* residuals = session_.residuals();
    values.assign(residuals, residuals + session_.equation_count());
}

void HostSystem::jacobian(const std::vector<double>& x, std::vector<double>& slot_values) {
    load(x);
    session_.evaluate_jacobian();
    const double* host_values = session_.jacobian_values();
    host_values_.assign(host_values, host_values + session_.nonzero_count());
    assembly_.assemble(host_values_, slot_values);
}

SolveOutcome solve_host(ModelSession& session, const std::vector<int>& unknowns,
                        const SolverSettings& settings,
                        const std::function<void(const IterationRecord&)>& observer) {
    HostSystem system(session, unknowns);
    std::vector<double> start;
    std::vector<double> lower;
    std::vector<double> upper;
    for (const int number : unknowns) {
        start.push_back(session.value(number));
        lower.push_back(session.variable(number).lower);
        upper.push_back(session.variable(number).upper);
    }
    SolveOutcome outcome = solve_system(system, std::move(start), lower, upper, settings, observer);
    system.load(outcome.x);
    session.evaluate_residuals();
    return outcome;
}
