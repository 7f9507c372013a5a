#include "solve_report.h"

#include "solve_names.h"
#include "stop_causes.h"
#include "text_table.h"

namespace {

std::string where(const SolveOutcome& outcome) {
    const int iteration = outcome.history.empty() ? 0 : outcome.history.back().iteration;
    return iteration == 0 ? "at the starting point"
                          : "after iteration " + std::to_string(iteration);
}

std::string non_finite_residuals(const SolveOutcome& outcome, const LoadedModel& loaded,
                                 const SystemChoice& choice, const StopWording& wording) {
    std::string text = "residuals that are NaN or infinite " + where(outcome) + " in equations " +
                       listed_names(equation_names(loaded, choice, outcome.rows));
    if (!outcome.columns.empty()) {
        text += " (at " + unknown_values(outcome.x, loaded, choice, outcome.columns) + ")";
    }
    return text + "; start inside the equations' domain with " + wording.at +
           ", or bound the variables to keep them there";
}

std::string non_finite_derivatives(const SolveOutcome& outcome, const LoadedModel& loaded,
                                   const SystemChoice& choice, const StopWording& wording) {
    std::vector<std::string> pairs;
    for (std::size_t index = 0; index < outcome.rows.size(); ++index) {
        pairs.push_back("d " + equation_name(loaded, choice, outcome.rows[index]) + " / d " +
                        unknown_symbol(loaded, choice, outcome.columns[index]) + " at " +
                        unknown_values(outcome.x, loaded, choice, {outcome.columns[index]}));
    }
    return "derivatives that are NaN or infinite " + where(outcome) + ": " + listed_names(pairs) +
           "; start elsewhere with " + wording.at + ", or bound the variables away from that point";
}

std::string singular(const SolveOutcome& outcome, const LoadedModel& loaded,
                     const SystemChoice& choice, const StopWording& wording) {
    std::string text = "the Jacobian is singular " + where(outcome);
    if (!outcome.rows.empty()) {
        text += "; equations " + listed_names(equation_names(loaded, choice, outcome.rows)) +
                " cannot each be given an unknown of their own";
    }
    if (!outcome.columns.empty()) {
        text += outcome.rows.empty() ? "; no usable pivot for unknown " : "; unknowns ";
        text += listed_names(unknown_symbols(loaded, choice, outcome.columns));
        text += outcome.rows.empty() ? "" : " are determined by no equation";
    }
    if (outcome.structurally_singular) {
        return text +
               "; give those equations their own unknowns, or fix the undetermined variables "
               "with " +
               wording.fix;
    }
    // Where derivatives have vanished, the unmatched sets above say it all.
    const std::string cause = cause_words(outcome, loaded, choice, wording);
    if (outcome.rows.empty() && !cause.empty()) {
        return text + cause;
    }
    return text +
           "; the equations depend on each other at this point, or their derivatives vanish "
           "there: start elsewhere with " +
           wording.at;
}

std::string worst_residual(const SolveOutcome& outcome, const LoadedModel& loaded,
                           const SystemChoice& choice) {
    const ResidualMeasure& worst = outcome.largest_scaled;
    if (worst.row < 0) {
        return "";
    }
    return " (largest scaled residual " + short_number(worst.value) + " in equation " +
           equation_name(loaded, choice, worst.row) + ")";
}

std::string no_decrease(const SolveOutcome& outcome, const LoadedModel& loaded,
                        const SystemChoice& choice, const StopWording& wording) {
    return "no step lowers the scaled sum of squares " + where(outcome) +
           worst_residual(outcome, loaded, choice) + cause_words(outcome, loaded, choice, wording);
}

std::string singular_solution(const SolveOutcome& outcome, const LoadedModel& loaded,
                              const SystemChoice& choice) {
    if (!outcome.singular_at_solution) {
        return "";
    }
    std::string text = "; but the Jacobian is singular here";
    if (!outcome.columns.empty()) {
        text += " (along unknowns " +
                listed_names(unknown_symbols(loaded, choice, outcome.columns)) + ")";
    }
    return text +
           ", and the equations grow along that direction: an isolated root where their "
           "derivatives vanish together, which iterations approach only slowly";
}

// The continuum: what moves along it, which equations are one too many, and
// what to do.
std::string not_unique(const SolveOutcome& outcome, const LoadedModel& loaded,
                       const SystemChoice& choice, const StopWording& wording) {
    const Continuum& continuum = outcome.continuum;
    std::string text = "the equations are met here " + where(outcome) +
                       ", but not at this point alone: they hold along a line of points "
                       "through it";
    if (!continuum.moving_columns.empty()) {
        const std::vector<int> first(
            continuum.moving_columns.begin(),
            continuum.moving_columns.begin() +
                static_cast<long>(std::min<std::size_t>(continuum.moving_columns.size(), 3)));
        std::vector<std::string> others;
        for (const int column : first) {
            others.push_back(
                unknown_symbol(loaded, choice, column) + " = " +
                readable_number(continuum.other_solution[static_cast<std::size_t>(column)]));
        }
        text += ", along which unknowns " +
                listed_names(unknown_symbols(loaded, choice, continuum.moving_columns)) +
                " move together (another solution has " + listed_names(others) + ")";
    }
    if (!continuum.dependent_rows.empty()) {
        text += "; equations " +
                listed_names(equation_names(loaded, choice, continuum.dependent_rows)) +
                " depend on each other, so one of them says nothing the others do not";
    }
    return text + ": fix one of those unknowns with " + wording.fix +
           ", or replace one of those equations by the set value it stands in for";
}

std::string evaluation_fault(const SolveOutcome& outcome) {
    return "the model could not be evaluated at a trial point " + where(outcome) + ": " +
           outcome.fault + "; the point reached is kept";
}

}  // namespace

std::string describe_stop(const SolveOutcome& outcome, const LoadedModel& loaded,
                          const SystemChoice& choice, const StopWording& wording) {
    const int steps = outcome.history.empty() ? 0 : outcome.history.back().iteration;
    switch (outcome.stop) {
        case SolveStop::converged: {
            const std::string at_bounds = bound_contacts(outcome, loaded, choice);
            return "converged in " + counted(steps, "iteration") +
                   (at_bounds.empty() ? "" : "; at a bound: " + at_bounds) +
                   singular_solution(outcome, loaded, choice);
        }
        case SolveStop::iteration_limit:
            return "no convergence in " + counted(steps, "iteration") +
                   worst_residual(outcome, loaded, choice) +
                   cause_words(outcome, loaded, choice, wording);
        case SolveStop::non_finite_residuals:
            return non_finite_residuals(outcome, loaded, choice, wording);
        case SolveStop::non_finite_jacobian:
            return non_finite_derivatives(outcome, loaded, choice, wording);
        case SolveStop::singular_jacobian:
            return singular(outcome, loaded, choice, wording);
        case SolveStop::no_decrease:
            return no_decrease(outcome, loaded, choice, wording);
        case SolveStop::evaluation_fault:
            return evaluation_fault(outcome);
        case SolveStop::not_unique:
            return not_unique(outcome, loaded, choice, wording);
    }
    return "";
}

std::string bound_contacts(const SolveOutcome& outcome, const LoadedModel& loaded,
                           const SystemChoice& choice) {
    std::vector<std::string> named;
    for (const BoundContact& contact : outcome.at_bounds) {
        named.push_back(unknown_symbol(loaded, choice, contact.column) +
                        (contact.upper ? " (upper)" : " (lower)"));
    }
    return named.empty() ? "" : listed_names(named);
}

std::string equation_of_row(const LoadedModel& loaded, const SystemChoice& choice, int row) {
    return row < 0 ? "" : equation_name(loaded, choice, row);
}
