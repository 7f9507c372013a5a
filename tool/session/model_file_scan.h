#pragma once

#include <atomic>
#include <cstddef>
#include <string>
#include <vector>

// A reference or an entry that names a symbol no model variable has: the
// block reads such a reference as 0 and sets such an entry's nonzero aside,
// and the host cannot show either.
struct UnknownReference {
    int equation;  // host equation number (the file's order, from 1)
    std::string symbol;
    bool entry;  // an entry of the equation, else a reference in its residual
};

// What the tool shows of a model beyond the host's lists, which hold names
// upper-cased and no descriptions: the variables' symbols and descriptions
// ("VariableName", with the units the file gives) and the equations' names
// and texts ("EquationString") as the file writes them, by host number - 1,
// and the references to symbols that are not model variables.
struct ModelFileScan {
    std::vector<std::string> variable_symbols;
    std::vector<std::string> variable_descriptions;  // empty: the file gives none
    std::vector<std::string> equation_names;
    std::vector<std::string> equation_texts;  // empty: none, or not asked for
    std::size_t entry_count = 0;              // the equations' entries: one per nonzero
    std::vector<UnknownReference> unknown_references;
    // Whether the file has members of the equation language's own, which a
    // reading of their own then takes (language_members.h).
    bool has_language_members = false;
};

// Whether to keep the equations' texts, which can take more memory than all
// the names together.
enum class ScanTexts { names_only, with_equation_texts };

// Reads the file once, as the plug-in's loader reads it (its lines joined,
// lists in the loader's order), keeping only the texts above: no trees are
// built and no derivative is looked at. The file is meant to have loaded
// through the plug-in already, which reports its faults; a text that is no
// JSON raises the JSON library's parse error. Once `stop` (when given) is
// set, the scan ends at its next object or array and returns an empty scan.
ModelFileScan scan_model_file(const std::string& model_path, ScanTexts texts,
                              const std::atomic<bool>* stop = nullptr);
