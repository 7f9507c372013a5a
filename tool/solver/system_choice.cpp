#include "system_choice.h"

#include "name_resolver.h"
#include "structural_matching.h"
#include "text_table.h"
#include "usage_error.h"

namespace {

std::set<int> freed_equations(const ModelFileScan& scan, const std::vector<std::string>& names,
                              const std::string& option) {
    const NameResolver resolver(scan.equation_names, "equation");
    std::set<int> freed;
    for (const std::string& name : names) {
        for (const std::size_t index : resolver.resolve(name, option + " " + name)) {
            freed.insert(static_cast<int>(index) + 1);
        }
    }
    return freed;
}

// An output typed where a variable is wanted says what it is.
void note_outputs(VariableSymbols& symbols, const ModelExtras& extras) {
    for (const std::string& output : extras.output_symbols()) {
        symbols.note_other_name(output, "an output, computed from the solution, not a variable");
    }
}

template <typename Keep>
std::vector<int> numbers_kept(int count, Keep keep) {
    std::vector<int> numbers;
    for (int number = 1; number <= count; ++number) {
        if (keep(number)) {
            numbers.push_back(number);
        }
    }
    return numbers;
}

// The kept equations (rows) against every model variable (columns, by host
// number - 1), fixed ones included: the suggestions need both.
BipartiteGraph full_structure(const ModelSession& session, const std::vector<int>& row_of_equation,
                              int rows) {
    BipartiteGraph graph(rows, session.variable_count());
    for (int number = 1; number <= session.nonzero_count(); ++number) {
        const rt_nz_t& nonzero = session.nonzero(number);
        const int row = row_of_equation[static_cast<std::size_t>(nonzero.equation)];
        if (row >= 0 && nonzero.variable > 0) {
            graph.connect(row, nonzero.variable - 1);
        }
    }
    return graph;
}

class SquareCheck {
  public:
    SquareCheck(const LoadedModel& loaded, const ModelFileScan& scan, const SystemChoice& choice,
                const ChoiceWording& wording)
        : loaded_(loaded), scan_(scan), choice_(choice), wording_(wording) {}

    void require() const {
        const auto rows = static_cast<long long>(choice_.equations.size());
        const auto columns = static_cast<long long>(choice_.unknowns.size());
        if (rows == columns) {
            return;
        }
        std::string text =
            "the system is not square: " + counted(loaded_.session.equation_count(), "equation") +
            (choice_.freed.empty() ? "" : ", " + std::to_string(choice_.freed.size()) + " freed") +
            ", " + counted(loaded_.session.variable_count(), "variable") + ", " +
            std::to_string(choice_.fixed.size()) + " fixed, so " + counted(rows, "equation") +
            " for " + counted(columns, "unknown");
        throw UsageError(
            text + "; " +
            (columns > rows ? too_few_fixed(columns - rows) : too_many_fixed(rows - columns)));
    }

  private:
    std::string too_few_fixed(long long missing) const {
        const Analysis analysis = analyse();
        std::vector<std::string> candidates;
        for (const int column : analysis.defects.underdetermined_columns) {
            candidates.push_back(loaded_.symbols.symbol(choice_.unknowns[at(column)]));
        }
        std::string text = "fix " + counted(missing, "more variable") + " with " +
                           wording_.fix_usage + among(candidates);
        if (!choice_.freed.empty()) {
            text += ", or free fewer equations";
        }
        return text;
    }

    std::string too_many_fixed(long long surplus) const {
        const Analysis analysis = analyse();
        std::vector<std::string> equations;
        std::set<int> unfixable;
        for (const int row : analysis.defects.overdetermined_rows) {
            const int number = choice_.equations[at(row)];
            equations.push_back(scan_.equation_names[at(number - 1)]);
            for (const int column : analysis.full.row_columns[at(row)]) {
                if (choice_.fixed.count(column + 1) > 0) {
                    unfixable.insert(column + 1);
                }
            }
        }
        std::string text = "free " + counted(surplus, "more equation") + " with " +
                           wording_.free_usage + among(equations);
        if (!choice_.fixed.empty()) {
            std::vector<std::string> symbols;
            for (const int number : unfixable) {
                symbols.push_back(loaded_.symbols.symbol(number));
            }
            text += ", or fix fewer variables" + among(symbols);
        }
        return text;
    }

    struct Analysis {
        BipartiteGraph full;
        StructuralDefects defects;
    };

    // A maximum matching of the kept equations to the unknowns, and the parts
    // it leaves over- and underdetermined.
    Analysis analyse() const {
        std::vector<int> row_of_equation(
            static_cast<std::size_t>(loaded_.session.equation_count()) + 1, -1);
        for (std::size_t row = 0; row < choice_.equations.size(); ++row) {
            row_of_equation[at(choice_.equations[row])] = static_cast<int>(row);
        }
        const auto rows = static_cast<int>(choice_.equations.size());
        BipartiteGraph full = full_structure(loaded_.session, row_of_equation, rows);
        std::vector<int> column_of_variable(
            static_cast<std::size_t>(loaded_.session.variable_count()), -1);
        for (std::size_t column = 0; column < choice_.unknowns.size(); ++column) {
            column_of_variable[at(choice_.unknowns[column] - 1)] = static_cast<int>(column);
        }
        BipartiteGraph unknowns(rows, static_cast<int>(choice_.unknowns.size()));
        for (int row = 0; row < rows; ++row) {
            for (const int variable : full.row_columns[at(row)]) {
                if (column_of_variable[at(variable)] >= 0) {
                    unknowns.connect(row, column_of_variable[at(variable)]);
                }
            }
        }
        const Matching matching = maximum_matching(unknowns);
        return {std::move(full), structural_defects(unknowns, matching)};
    }

    static std::size_t at(int index) { return static_cast<std::size_t>(index); }

    static std::string among(const std::vector<std::string>& names) {
        return names.empty() ? "" : " (among " + listed_names(names) + ")";
    }

    const LoadedModel& loaded_;
    const ModelFileScan& scan_;
    const SystemChoice& choice_;
    const ChoiceWording& wording_;
};

}  // namespace

SystemChoice choose_system(LoadedModel& loaded, const ModelFileScan& scan,
                           const std::vector<Assignment>& fixes,
                           const std::vector<Assignment>& varied,
                           const std::vector<std::string>& free_equations,
                           const ChoiceWording& wording) {
    const ModelExtras& extras = loaded.extras();
    note_outputs(loaded.symbols, extras);
    SystemChoice choice;
    for (const int number : apply_assignments(fixes, loaded.symbols, loaded.session, wording.fix)) {
        choice.fixed.insert(number);
    }
    for (const int number :
         apply_assignments(varied, loaded.symbols, loaded.session, wording.vary)) {
        choice.fixed.insert(number);
    }
    choice.freed = freed_equations(scan, free_equations, wording.free);
    // A parameter given a value no longer takes it from its equation.
    for (const int number : choice.fixed) {
        if (const int specification = extras.specification_of(number)) {
            choice.freed.insert(specification);
        }
    }
    choice.unknowns = numbers_kept(loaded.session.variable_count(),
                                   [&](int number) { return choice.fixed.count(number) == 0; });
    choice.equations = numbers_kept(loaded.session.equation_count(),
                                    [&](int number) { return choice.freed.count(number) == 0; });
    return choice;
}

void require_square(const LoadedModel& loaded, const ModelFileScan& scan,
                    const SystemChoice& choice, const ChoiceWording& wording) {
    SquareCheck(loaded, scan, choice, wording).require();
}
