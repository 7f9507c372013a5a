#pragma once

// The equation language: model files written from equations in text, and
// model files read back as text. The README's section "The equation
// language" describes it; derivative.h states the derivative conventions.

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "build_limits.h"
#include "lang_error.h"
#include "language_members.h"
#include "model_definition.h"
#include "tree_printer.h"

namespace lang {

// The model file, as JSON text, for the statements in `equations_text`: one
// model variable per declared variable, and per equation its residual
// lhs - rhs with one entry per variable it uses, in order of first
// appearance, each with the exact partial derivative. Faults in the text
// raise LangError, whose what() begins with `source_name`, and so does a
// build that goes beyond one of the `limits`.
std::string build_model_json(std::string_view equations_text, const std::string& source_name,
                             const BuildLimits& limits = BuildLimits());

// The model file, and the constants the text declares, in order, with their
// values: no part of the file, but what the tool names when one is typed
// where a variable is wanted.
struct BuiltModel {
    std::string json;
    std::vector<std::pair<std::string, double>> constants;
};
BuiltModel build_model(std::string_view equations_text, const std::string& source_name,
                       const BuildLimits& limits = BuildLimits());

// A loaded model as equation text: its variables as var statements (and its
// parameters, `members` says which, as param statements), then each equation
// as `eq NAME: RESIDUAL = 0` followed by its entries' derivatives as
// comments, `  # d/d SYMBOL = TREE`, then its outputs as out statements, each
// tree shown as `showing` says. A model built from this language shows
// exactly as text that builds the same trees again.
std::string show_model(const ModelDefinition& model, const LanguageMembers& members,
                       Showing showing);

// The equations named `equation_name` (byte for byte), shown the same way;
// none when the model has no such equation.
std::optional<std::string> show_equation(const ModelDefinition& model,
                                         std::string_view equation_name, Showing showing);

}  // namespace lang
