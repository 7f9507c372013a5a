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

HostSystem::HostSystem(ModelSession& session, std::vector<int> unknowns)
    : session_(session),
      unknowns_(std::move(unknowns)),
      assembly_(static_cast<int>(unknowns_.size()), nonzero_places(session, unknowns_)) {}

void HostSystem::load(const std::vector<double>& x) {
    for (std::size_t column = 0; column < unknowns_.size(); ++column) {
        session_.value(unknowns_[column]) = x[column];
    }
}

void HostSystem::residuals(const std::vector<double>& x, std::vector<double>& values) {
    load(x);
    session_.evaluate_residuals();
    values.resize(static_cast<std::size_t>(session_.equation_count()));
    for (int number = 1; number <= session_.equation_count(); ++number) {
        values[static_cast<std::size_t>(number - 1)] = session_.residual(number);
    }
}

void HostSystem::jacobian(const std::vector<double>& x, std::vector<double>& slot_values) {
    load(x);
    session_.evaluate_jacobian();
    host_values_.resize(static_cast<std::size_t>(session_.nonzero_count()));
    for (int number = 1; number <= session_.nonzero_count(); ++number) {
        host_values_[static_cast<std::size_t>(number - 1)] = session_.jacobian_value(number);
    }
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
