#include "solve_names.h"

#include "text_table.h"

std::string equation_name(const LoadedModel& loaded, const SystemChoice& choice, int row) {
    return loaded.equation_name(choice.equations[static_cast<std::size_t>(row)]);
}

std::vector<std::string> equation_names(const LoadedModel& loaded, const SystemChoice& choice,
                                        const std::vector<int>& rows) {
    std::vector<std::string> names;
    for (const int row : rows) {
        names.push_back(equation_name(loaded, choice, row));
    }
    return names;
}

std::string unknown_symbol(const LoadedModel& loaded, const SystemChoice& choice, int column) {
    return loaded.symbols.symbol(choice.unknowns[static_cast<std::size_t>(column)]);
}

std::vector<std::string> unknown_symbols(const LoadedModel& loaded, const SystemChoice& choice,
                                         const std::vector<int>& columns) {
    std::vector<std::string> symbols;
    for (const int column : columns) {
        symbols.push_back(unknown_symbol(loaded, choice, column));
    }
    return symbols;
}

std::string unknown_values(const std::vector<double>& x, const LoadedModel& loaded,
                           const SystemChoice& choice, const std::vector<int>& columns) {
    std::vector<std::string> values;
    for (const int column : columns) {
        values.push_back(unknown_symbol(loaded, choice, column) + " = " +
                         readable_number(x[static_cast<std::size_t>(column)]));
    }
    return listed_names(values);
}
