#pragma once

// The members the equation language adds to a model file for the tool, beside
// the model's two lists: its parameters and its outputs. The plug-in's loader
// passes them over, as it passes over every member it does not know, so a
// host reads such a file as any other: a parameter is a model variable with
// an equation of its own that holds it at its value, and an output is no
// part of the model at all.
//
//   "Parameters": [{"VariableSymbol": "Ua", "EquationName": "Ua"}, ...]
//       the variable, and the equation that specifies it
//   "Outputs": [{"EquationName": "n[1]", "EquationString": "exp(w[1])",
//                "VariableName": "moles / mol", <the members of a node>}, ...]
//       the output's symbol, its text and description, and its tree, a node
//       of the model file's kinds

#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model_definition.h"

namespace language_members {

inline constexpr std::string_view PARAMETERS = "Parameters";
inline constexpr std::string_view OUTPUTS = "Outputs";

inline bool is_language_member(std::string_view name) {
    return name == PARAMETERS || name == OUTPUTS;
}

}  // namespace language_members

struct ParameterRecord {
    std::string symbol;
    std::string equation_name;
};

struct LanguageMembers {
    std::vector<ParameterRecord> parameters;
    // The outputs' trees, read as the plug-in reads equations: each root's
    // equation_name is the output's symbol, its equation_string its text.
    // The model has no variables of its own.
    std::unique_ptr<ModelDefinition> outputs = std::make_unique<ModelDefinition>();
    std::vector<std::string> output_descriptions;  // by output; empty: none
};

// Reads the members from the model file at `path`, its lines joined as the
// plug-in reads them; a file without them has none. Raises
// std::runtime_error naming the member for one that is not as the language
// writes it, and the JSON library's parse error for text that is no JSON.
LanguageMembers read_language_members(const std::string& path);
