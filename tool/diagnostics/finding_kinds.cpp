#include "finding_kinds.h"

#include <algorithm>
#include <stdexcept>

const std::vector<FindingKindRow>& finding_kinds() {
    using K = FindingKind;
    constexpr Severity error = Severity::error;
    constexpr Severity warning = Severity::warning;
    static const std::vector<FindingKindRow> kinds{
        {K::derivative_mismatch,
         "derivative-mismatch",
         error,
         {"derivative", "finite_difference", "step", "point", "at"}},
        {K::kink,
         "kink",
         warning,
         {"derivative", "forward_difference", "backward_difference", "point", "at"}},
        {K::missing_derivative, "missing-derivative", error, {}},
        {K::missing_entry, "missing-entry", error, {}},
        {K::unused_entry, "unused-entry", warning, {}},
        {K::unknown_variable, "unknown-variable", error, {}},
        {K::duplicate_symbol, "duplicate-symbol", error, {"numbers"}},
        {K::duplicate_entry, "duplicate-entry", warning, {}},
        {K::not_square,
         "not-square",
         warning,
         {"equations", "variables", "degrees_of_freedom", "fix", "drop", "dependent_sets",
          "null_directions"}},
        {K::structurally_singular,
         "structurally-singular",
         error,
         {"equations_in_set", "variables_in_set"}},
        {K::single_precision_text,
         "single-precision-text",
         warning,
         {"text", "single_precision_value", "double_precision_value"}},
        {K::invalid_numeric_text, "invalid-numeric-text", error, {"text"}},
        {K::non_finite, "non-finite", error, {"residual", "derivative"}},
        {K::unrecognised_node, "unrecognised-node", warning, {}},
        {K::unknown_function, "unknown-function", warning, {"function"}},
        {K::host_refused, "host-refused", error, {}},
        {K::singular_start, "singular-start", warning, {"equations_in_set", "variables_in_set"}},
        {K::dependent_equations,
         "dependent-equations",
         error,
         {"equations_in_set", "variables_in_set", "free_variables"}},
        {K::contradicting_equations,
         "contradicting-equations",
         error,
         {"equations_in_set", "variables_in_set", "combined_residual"}},
        {K::ill_conditioned,
         "ill-conditioned",
         warning,
         {"condition_estimate", "equations_in_set", "variables_in_set"}},
        {K::badly_scaled_equation,
         "badly-scaled-equation",
         warning,
         {"largest_derivative", "suggested_scale"}},
        {K::badly_scaled_variable,
         "badly-scaled-variable",
         warning,
         {"largest_derivative", "suggested_scale"}},
    };
    return kinds;
}

const FindingKindRow& finding_kind(FindingKind kind) {
    const std::vector<FindingKindRow>& kinds = finding_kinds();
    const auto row = std::find_if(kinds.begin(), kinds.end(),
                                  [kind](const FindingKindRow& r) { return r.kind == kind; });
    if (row == kinds.end()) {
        throw std::logic_error("a finding kind without a row in the table of kinds");
    }
    return *row;
}
