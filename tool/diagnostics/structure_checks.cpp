#include "structure_checks.h"

#include <algorithm>
#include <map>

#include "model_format.h"
#include "system_names.h"
#include "text_table.h"

namespace {

void check_duplicate_symbols(const NumberedModel& model, std::vector<Finding>& findings) {
    std::map<std::string, int> first_number;
    for (std::size_t index = 0; index < model.model().variables().size(); ++index) {
        const std::string symbol(model.model().variables()[index].variable_symbol);
        const int number = static_cast<int>(index) + 1;
        const auto [first, inserted] = first_number.emplace(symbol, number);
        if (inserted) {
            continue;
        }
        Finding finding = Finding(FindingKind::duplicate_symbol,
                                  "variables " + std::to_string(first->second) + " and " +
                                      std::to_string(number) + " share the symbol " + symbol +
                                      "; references read the first, entries derive by the last");
        finding.variable = number;
        finding.symbol = symbol;
        finding.pointer = record_step(model_format::VARIABLES, index);
        finding.detail("numbers") = {first->second, number};
        findings.push_back(std::move(finding));
    }
}

std::vector<int> unmatched(const std::vector<int>& partners) {
    std::vector<int> free;
    for (std::size_t index = 0; index < partners.size(); ++index) {
        if (partners[index] < 0) {
            free.push_back(static_cast<int>(index));
        }
    }
    return free;
}

// When every equation (or every variable) is matched, the variables (or
// equations) left over are a set whose fixing (or dropping) leaves a square
// system that is structurally non-singular.
void check_square(const NumberedModel& model, const BipartiteGraph& structure,
                  const Matching& matching, std::vector<Finding>& findings) {
    if (structure.rows == structure.columns) {
        return;
    }
    const int freedom = structure.columns - structure.rows;
    const bool matched = matching.size == std::min(structure.rows, structure.columns);
    std::string advice;
    std::vector<std::string> names;
    if (freedom > 0) {
        names = symbols(names_of(model), unmatched(matching.row_of_column));
        advice = matched ? "fixing " + listed_names(names) +
                               " leaves a square system that the structure can solve"
                         : "fix that many variables to solve";
    } else {
        names = equation_names(names_of(model), unmatched(matching.column_of_row));
        advice = matched ? "dropping " + listed_names(names) +
                               " leaves a square system that the structure can solve"
                         : "the system has more equations than variables";
    }
    Finding finding =
        Finding(FindingKind::not_square,
                counted(structure.rows, "equation") + " in " +
                    counted(structure.columns, "variable") + ": " +
                    (freedom > 0 ? counted(freedom, "degree of freedom", "degrees of freedom")
                                 : counted(-freedom, "equation") + " too many") +
                    "; " + advice);
    finding.detail("equations") = structure.rows;
    finding.detail("variables") = structure.columns;
    finding.detail("degrees_of_freedom") = freedom;
    if (matched) {
        finding.detail(freedom > 0 ? "fix" : "drop") = names;
    }
    findings.push_back(std::move(finding));
}

// "no variable", "1 variable (x)", "2 variables (x and y)".
std::string named_set(const std::string& noun, const std::vector<std::string>& names) {
    if (names.empty()) {
        return "no " + noun;
    }
    return counted(static_cast<long long>(names.size()), noun) + " (" + listed_names(names) + ")";
}

// Equations that more of them constrain than they have variables to give.
void report_overdetermined(const NumberedModel& model, const StructuralDefects& defects,
                           std::vector<Finding>& findings) {
    const std::string set =
        named_set("equation", equation_names(names_of(model), defects.overdetermined_rows)) +
        " in " + (defects.overdetermined_columns.empty() ? "" : "only ") +
        named_set("variable", symbols(names_of(model), defects.overdetermined_columns));
    for (const int row : defects.overdetermined_rows) {
        Finding finding = Finding(FindingKind::structurally_singular,
                                  "equation " + model.equation_name(row + 1) + " is one of " + set);
        finding.equation = row + 1;
        finding.detail("equations_in_set") = defects.overdetermined_rows.size();
        finding.detail("variables_in_set") = defects.overdetermined_columns.size();
        findings.push_back(std::move(finding));
    }
}

// Variables that the equations using them cannot all determine.
void report_underdetermined(const NumberedModel& model, const StructuralDefects& defects,
                            std::vector<Finding>& findings) {
    const std::string set =
        named_set("variable", symbols(names_of(model), defects.underdetermined_columns)) +
        " that " + (defects.underdetermined_rows.empty() ? "" : "only ") +
        named_set("equation", equation_names(names_of(model), defects.underdetermined_rows)) +
        " can determine";
    for (const int column : defects.underdetermined_columns) {
        Finding finding = Finding(FindingKind::structurally_singular,
                                  "variable " + model.symbol(column + 1) + " is one of " + set);
        finding.variable = column + 1;
        finding.symbol = model.symbol(column + 1);
        finding.detail("equations_in_set") = defects.underdetermined_rows.size();
        finding.detail("variables_in_set") = defects.underdetermined_columns.size();
        findings.push_back(std::move(finding));
    }
}

// A system is structurally singular when its equations cannot be matched to
// as many distinct variables as the smaller of the two counts. The surplus of
// a system that is not square is its degrees of freedom, not a defect, so
// only the deficient side is reported.
void check_matching(const NumberedModel& model, const BipartiteGraph& structure,
                    const Matching& matching, std::vector<Finding>& findings) {
    if (matching.size >= std::min(structure.rows, structure.columns)) {
        return;
    }
    const StructuralDefects defects = structural_defects(structure, matching);
    if (structure.rows <= structure.columns) {
        report_overdetermined(model, defects, findings);
    }
    if (structure.columns <= structure.rows) {
        report_underdetermined(model, defects, findings);
    }
}

}  // namespace

BipartiteGraph host_structure(const ModelSession& session) {
    BipartiteGraph graph(session.equation_count(), session.variable_count());
    for (int number = 1; number <= session.nonzero_count(); ++number) {
        const rt_nz_t& nonzero = session.nonzero(number);
        if (nonzero.equation > 0 && nonzero.variable > 0) {
            graph.connect(nonzero.equation - 1, nonzero.variable - 1);
        }
    }
    return graph;
}

void check_structure(const NumberedModel& model, const BipartiteGraph& structure,
                     std::vector<Finding>& findings) {
    check_duplicate_symbols(model, findings);
    const Matching matching = maximum_matching(structure);
    check_square(model, structure, matching, findings);
    check_matching(model, structure, matching, findings);
}
