#pragma once

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

// What a solve needs of the model file beyond the host's lists: the
// equations' names as the file writes them (the host holds them upper-cased)
// and the references to symbols that are not model variables. The file is read
// with the model library and let go before the answer is returned.
struct ModelFileScan {
    std::vector<std::string> equation_names;  // by host number - 1
    std::vector<UnknownReference> unknown_references;
};

// Faults of the file raise the JSON library's exceptions, as loading does.
ModelFileScan scan_model_file(const std::string& model_path);
