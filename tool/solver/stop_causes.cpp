#include "stop_causes.h"

#include "solve_names.h"
#include "text_table.h"

namespace {

struct Naming {
    const SolveOutcome& outcome;
    const LoadedModel& loaded;
    const SystemChoice& choice;
    const StopWording& wording;

    // "equation a" or "equations a and b".
    std::string equations(const std::vector<int>& rows) const {
        return (rows.size() == 1 ? "equation " : "equations ") +
               listed_names(equation_names(loaded, choice, rows));
    }
    // "unknown x" or "unknowns x and y".
    std::string unknowns(const std::vector<int>& columns) const {
        return (columns.size() == 1 ? "unknown " : "unknowns ") +
               listed_names(unknown_symbols(loaded, choice, columns));
    }
};

std::string diverging(const Naming& naming) {
    const StopDiagnosis& found = naming.outcome.diagnosis;
    std::string text =
        "; " + naming.unknowns(found.growing_columns) + " grew without bound over the iterations";
    if (!found.loop_rows.empty()) {
        text += ", carried by " + naming.equations(found.loop_rows);
    }
    return text +
           ": the equations have no steady state there, as when a loop has no way out for "
           "something it carries (a recycle without a purge); give it an exit, or check "
           "the balances of those equations";
}

std::string dependence(const Naming& naming) {
    const StopDiagnosis& found = naming.outcome.diagnosis;
    const std::string where = found.at_best_point ? " at the best point reached" : " here";
    std::string text =
        "; " + naming.equations(found.dependent_rows) +
        (found.dependent_rows.size() == 1 ? " loses its derivatives" : " depend on each other") +
        where;
    if (!found.null_columns.empty()) {
        text += ", leaving " + naming.unknowns(found.null_columns) + " undetermined";
    }
    if (found.contradicting) {
        return text +
               ", and their residuals cannot all vanish: no point meets them all; correct "
               "one of them (a balance repeated with another value, or a loop with no way "
               "out), or start elsewhere with " +
               naming.wording.at + " if they meet elsewhere";
    }
    return text + ": drop one of them, or fix one of those unknowns with " + naming.wording.fix;
}

std::string bounds(const Naming& naming) {
    const StopDiagnosis& found = naming.outcome.diagnosis;
    const bool one = found.held_columns.size() == 1;
    return "; " + naming.unknowns(found.held_columns) + (one ? " is" : " are") + " held at " +
           (one ? "its bound" : "their bounds") +
           ", where the scaled sum of squares is least: the equations have no solution "
           "within the bounds near here, or it lies beyond them; widen " +
           (one ? "that bound if it allows" : "those bounds if they allow") + " too little";
}

std::string fault_note(const Naming& naming) {
    const SolveCounts& counts = naming.outcome.counts;
    if (counts.faulted_trials == 0 || naming.outcome.stop == SolveStop::evaluation_fault) {
        return "";
    }
    return "; the model could not be evaluated at " +
           counted(counts.faulted_trials, "trial point") + " (" + naming.outcome.fault + ")";
}

std::string words_of(const Naming& naming) {
    switch (naming.outcome.diagnosis.cause) {
        case StopCause::none:
        case StopCause::fault:
            return "";
        case StopCause::diverging:
            return diverging(naming);
        case StopCause::contradicting:
        case StopCause::dependent:
            return dependence(naming);
        case StopCause::bounds:
            return bounds(naming);
        case StopCause::local_minimum:
            return "; this is a minimum of the scaled sum of squares that is no solution: the "
                   "equations may have none near here; start elsewhere with " +
                   naming.wording.at;
        case StopCause::round_off:
            return "; the residuals are already at round-off of their scales, so no point does "
                   "better in double precision: loosen " +
                   naming.wording.absolute_tolerance + " (or " + naming.wording.tolerance +
                   ") if the point will do, else rescale the equations";
        case StopCause::progressing:
            return "; the residuals were still falling steadily: raise " +
                   naming.wording.max_iterations;
        case StopCause::few_iterations:
            return "; raise " + naming.wording.max_iterations +
                   ", or start nearer the solution with " + naming.wording.at;
        case StopCause::stalled:
            return "; the iterates were making no steady progress: start nearer a solution with " +
                   naming.wording.at;
    }
    return "";
}

}  // namespace

std::string cause_words(const SolveOutcome& outcome, const LoadedModel& loaded,
                        const SystemChoice& choice, const StopWording& wording) {
    const Naming naming{outcome, loaded, choice, wording};
    return words_of(naming) + fault_note(naming);
}
