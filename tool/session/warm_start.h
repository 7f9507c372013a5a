#pragma once

#include <string>
#include <vector>

#include "starting_point.h"

// How the solve that wrote a result ended, as the result says: its
// "status" (the block's verdict) and "stop_reason"; both empty when it does
// not say (a CSV written before results carried their status).
struct ResultStatus {
    std::string status;
    std::string stop_reason;

    bool known() const { return !stop_reason.empty(); }
    bool converged() const { return stop_reason == "converged"; }
    // "Not converged, iteration-limit".
    std::string text() const;
};

// What is wrong with --start `path` when its result says it did not
// converge: "--start PATH: the solve that wrote it did not converge (...)...".
std::string unconverged_start_text(const std::string& path, const ResultStatus& status);

// An earlier `quillon solve` result: its values by symbol and its status.
struct EarlierResult {
    std::vector<Assignment> values;
    ResultStatus status;
};

// Reads an earlier result from its JSON document (the "variables" list, the
// "status" and "stop_reason" members) or its CSV (the "symbol" and "value"
// columns, and the first row's "status" and "stop_reason" when it has
// them); which of the two the file's first character tells. Non-finite
// values are written as "nan", "inf" and "-inf" and read back as such.
// Throws UsageError naming `path` when the file is neither.
EarlierResult read_result(const std::string& path);

// Sets every model variable of each assignment's symbol, in order, and
// answers the symbols that no model variable has (once each, in file order).
std::vector<std::string> apply_known_assignments(const std::vector<Assignment>& assignments,
                                                 const VariableSymbols& symbols,
                                                 ModelSession& session);
