#pragma once

#include <string>
#include <vector>

enum class Severity { error, warning };

// Every kind of finding `check` reports; finding_kinds() says what each is.
enum class FindingKind {
    derivative_mismatch,
    kink,
    missing_derivative,
    missing_entry,
    unused_entry,
    unknown_variable,
    duplicate_symbol,
    duplicate_entry,
    not_square,
    structurally_singular,
    single_precision_text,
    invalid_numeric_text,
    non_finite,
    unrecognised_node,
    unknown_function,
    host_refused,
    singular_start,
    dependent_equations,
    contradicting_equations,
    ill_conditioned,
    badly_scaled_equation,
    badly_scaled_variable,
};

// One row of the table of kinds: the name `check` prints, the severity of
// every finding of the kind, and the extra members its findings may carry
// in the JSON output besides severity, kind, equation, variable, message
// and pointer.
struct FindingKindRow {
    FindingKind kind;
    std::string name;
    Severity severity;
    std::vector<std::string> members;
};

// Every kind, in the order the README's table lists them.
const std::vector<FindingKindRow>& finding_kinds();

// The row of `kind`.
const FindingKindRow& finding_kind(FindingKind kind);
