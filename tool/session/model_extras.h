#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "language_members.h"
#include "model_file_scan.h"
#include "model_session.h"
#include "variable_symbols.h"

// What the equation language adds to a model beside its two lists
// (language_members.h), matched to the host's numbers: the parameters, each a
// variable that an equation of its own holds at its value, and the outputs,
// values computed from a solution and no part of the model.
class ModelExtras {
  public:
    // A model without either.
    ModelExtras();
    // Parameters whose variable or equation the model does not have are left
    // out; an output's references to symbols no model variable has read 0,
    // as the plug-in reads them.
    ModelExtras(LanguageMembers members, const VariableSymbols& symbols, const ModelFileScan& scan);

    // The equation (host number) that holds variable `number` at its value,
    // when the variable is a parameter; 0 otherwise.
    int specification_of(int variable_number) const;

    std::size_t output_count() const { return output_symbols_.size(); }
    const std::string& output_symbol(std::size_t index) const { return output_symbols_[index]; }
    const std::string& output_description(std::size_t index) const {
        return output_descriptions_[index];
    }
    const std::vector<std::string>& output_symbols() const { return output_symbols_; }
    // Every output that `typed` names, as a name typed on the command line
    // matches (the file's spelling, or any letter case when that is one
    // output; a pattern over a family's indices, see NameResolver); none
    // when it names no output.
    std::vector<std::size_t> outputs_named(const std::string& typed) const;
    // The first of them.
    std::optional<std::size_t> output_named(const std::string& typed) const;

    // The outputs' values at the host's current values, computed as the
    // plug-in computes a tree. A numeric-text fault raises std::runtime_error
    // naming the output.
    std::vector<double> output_values(const ModelSession& session) const;

  private:
    std::vector<int> specifications_;  // by host variable number - 1
    std::unique_ptr<ModelDefinition> outputs_;
    std::vector<std::string> output_symbols_;
    std::vector<std::string> output_descriptions_;
};
