#include "solve_report.h"

#include "text_table.h"

namespace {

std::string equation_name(const LoadedModel& loaded, int row) {
    return loaded.session.equation(row + 1).name;
}

std::string unknown_symbol(const LoadedModel& loaded, const std::vector<int>& unknowns,
                           int column) {
    return loaded.symbols.symbol(unknowns[static_cast<std::size_t>(column)]);
}

std::vector<std::string> equation_names(const LoadedModel& loaded, const std::vector<int>& rows) {
    std::vector<std::string> names;
    for (const int row : rows) {
        names.push_back(equation_name(loaded, row));
    }
    return names;
}

std::vector<std::string> unknown_symbols(const LoadedModel& loaded,
                                         const std::vector<int>& unknowns,
                                         const std::vector<int>& columns) {
    std::vector<std::string> symbols;
    for (const int column : columns) {
        symbols.push_back(unknown_symbol(loaded, unknowns, column));
    }
    return symbols;
}

std::string where(const NewtonOutcome& outcome) {
    const int iteration = outcome.history.empty() ? 0 : outcome.history.back().iteration;
    return iteration == 0 ? "at the starting point"
                          : "after iteration " + std::to_string(iteration);
}

std::string non_finite_derivatives(const NewtonOutcome& outcome, const LoadedModel& loaded,
                                   const std::vector<int>& unknowns) {
    std::vector<std::string> pairs;
    for (std::size_t index = 0; index < outcome.rows.size(); ++index) {
        pairs.push_back("d " + equation_name(loaded, outcome.rows[index]) + " / d " +
                        unknown_symbol(loaded, unknowns, outcome.columns[index]));
    }
    return "derivatives that are NaN or infinite " + where(outcome) + ": " + listed_names(pairs);
}

std::string singular(const NewtonOutcome& outcome, const LoadedModel& loaded,
                     const std::vector<int>& unknowns) {
    std::string text = "the Jacobian is singular " + where(outcome);
    if (!outcome.rows.empty()) {
        text += "; equations " + listed_names(equation_names(loaded, outcome.rows)) +
                " cannot each be given an unknown of their own";
    }
    if (!outcome.columns.empty()) {
        text += outcome.rows.empty() ? "; no usable pivot for unknown " : "; unknowns ";
        text += listed_names(unknown_symbols(loaded, unknowns, outcome.columns));
        text += outcome.rows.empty() ? "" : " are determined by no equation";
    }
    return text;
}

std::string worst_residual(const NewtonOutcome& outcome, const LoadedModel& loaded) {
    const IterationRecord& last = outcome.history.back();
    if (last.worst_row < 0) {
        return "";
    }
    return " (largest residual " + short_number(last.residual_norm) + " in equation " +
           equation_name(loaded, last.worst_row) + ")";
}

}  // namespace

std::string describe_stop(const NewtonOutcome& outcome, const LoadedModel& loaded,
                          const std::vector<int>& unknowns) {
    const int steps = outcome.history.back().iteration;
    switch (outcome.stop) {
        case NewtonStop::converged:
            return "converged in " + counted(steps, "iteration");
        case NewtonStop::iteration_limit:
            return "no convergence in " + counted(steps, "iteration") +
                   worst_residual(outcome, loaded);
        case NewtonStop::non_finite_residuals:
            return "residuals that are NaN or infinite " + where(outcome) + " in equations " +
                   listed_names(equation_names(loaded, outcome.rows));
        case NewtonStop::non_finite_jacobian:
            return non_finite_derivatives(outcome, loaded, unknowns);
        case NewtonStop::singular_jacobian:
            return singular(outcome, loaded, unknowns);
        case NewtonStop::no_decrease:
            return "the line search found no step that lowers the largest residual " +
                   where(outcome) + worst_residual(outcome, loaded);
    }
    return "";
}

std::string stop_code(NewtonStop stop) {
    switch (stop) {
        case NewtonStop::converged:
            return "converged";
        case NewtonStop::iteration_limit:
            return "iteration-limit";
        case NewtonStop::non_finite_residuals:
            return "non-finite-residuals";
        case NewtonStop::non_finite_jacobian:
            return "non-finite-derivatives";
        case NewtonStop::singular_jacobian:
            return "singular-jacobian";
        case NewtonStop::no_decrease:
            return "no-decrease";
    }
    return "";
}
