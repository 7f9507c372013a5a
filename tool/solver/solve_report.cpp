#include "solve_report.h"

#include "text_table.h"

namespace {

std::string equation_name(const LoadedModel& loaded, const SystemChoice& choice, int row) {
    return loaded.equation_name(choice.equations[static_cast<std::size_t>(row)]);
}

std::string unknown_symbol(const LoadedModel& loaded, const SystemChoice& choice, int column) {
    return loaded.symbols.symbol(choice.unknowns[static_cast<std::size_t>(column)]);
}

std::vector<std::string> equation_names(const LoadedModel& loaded, const SystemChoice& choice,
                                        const std::vector<int>& rows) {
    std::vector<std::string> names;
    for (const int row : rows) {
        names.push_back(equation_name(loaded, choice, row));
    }
    return names;
}

std::vector<std::string> unknown_symbols(const LoadedModel& loaded, const SystemChoice& choice,
                                         const std::vector<int>& columns) {
    std::vector<std::string> symbols;
    for (const int column : columns) {
        symbols.push_back(unknown_symbol(loaded, choice, column));
    }
    return symbols;
}

// "x = 1.5, y = 2" for the unknowns in `columns` at the outcome's point.
std::string unknown_values(const SolveOutcome& outcome, const LoadedModel& loaded,
                           const SystemChoice& choice, const std::vector<int>& columns) {
    std::vector<std::string> values;
    for (const int column : columns) {
        values.push_back(unknown_symbol(loaded, choice, column) + " = " +
                         readable_number(outcome.x[static_cast<std::size_t>(column)]));
    }
    return listed_names(values);
}

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
        text += " (at " + unknown_values(outcome, loaded, choice, outcome.columns) + ")";
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
                        unknown_values(outcome, loaded, choice, {outcome.columns[index]}));
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
    if (!outcome.conflicting_rows.empty()) {
        return text + "; equations " +
               listed_names(equation_names(loaded, choice, outcome.conflicting_rows)) +
               " depend on each other and cannot all hold here: correct one of them, or start "
               "elsewhere with " +
               wording.at + " if they meet elsewhere";
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
    std::string text = "no step lowers the scaled sum of squares " + where(outcome) +
                       worst_residual(outcome, loaded, choice);
    if (outcome.at_round_off) {
        return text +
               "; the residuals are already at round-off of their scales, so no point does "
               "better in double precision: loosen " +
               wording.absolute_tolerance + " (or " + wording.tolerance +
               ") if the point will do, else rescale the equations";
    }
    const std::string at_bounds = bound_contacts(outcome, loaded, choice);
    if (!at_bounds.empty()) {
        text += "; unknowns at a bound: " + at_bounds +
                ", so the solution may lie beyond them: widen those bounds";
    }
    return text + "; the equations may have no solution near this point: start elsewhere with " +
           wording.at;
}

std::string singular_solution(const SolveOutcome& outcome, const LoadedModel& loaded,
                              const SystemChoice& choice, const StopWording& wording) {
    if (!outcome.singular_at_solution) {
        return "";
    }
    std::string text = "; but the Jacobian is singular here";
    if (!outcome.columns.empty()) {
        text += " (no usable pivot for unknown " +
                listed_names(unknown_symbols(loaded, choice, outcome.columns)) + ")";
    }
    return text +
           ", so this need not be the only solution near this point: " + wording.check_result +
           " names the equations that depend on each other";
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
                   singular_solution(outcome, loaded, choice, wording);
        }
        case SolveStop::iteration_limit:
            return "no convergence in " + counted(steps, "iteration") +
                   worst_residual(outcome, loaded, choice) + "; raise " + wording.max_iterations +
                   ", or start nearer the solution with " + wording.at;
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
