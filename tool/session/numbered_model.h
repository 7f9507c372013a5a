#pragma once

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "model_definition.h"
#include "model_session.h"

// The model file as the model library reads it, numbered the way the block
// numbers it: in a fresh container the block registers the file's variables,
// equations and equation entries in file order from 1, so host number n is the
// file's n-th of each. Only `check` reads the file itself, to look inside the
// trees and name what it finds as the file writes it.
class NumberedModel {
  public:
    // Reads `model_path`, numbers every record, and makes sure the counts and
    // the upper-cased names agree with what `session` registered.
    NumberedModel(const std::string& model_path, const ModelSession& session);
    NumberedModel(const NumberedModel&) = delete;
    NumberedModel& operator=(const NumberedModel&) = delete;

    const ModelDefinition& model() const { return model_; }

    // By host number (1-based); copies of the model's texts.
    std::string symbol(int variable_number) const;
    std::string equation_name(int equation_number) const;
    const VariableDef& entry(int nonzero_number) const;
    // The equation (1-based) that owns nonzero `nonzero_number`.
    int entry_equation(int nonzero_number) const;

    // Every variable number whose symbol is `symbol`, in file order.
    const std::vector<int>& variables_with_symbol(std::string_view symbol) const;

  private:
    void number_records();
    void verify_against(const ModelSession& session) const;

    ModelDefinition model_;
    std::vector<const VariableDef*> entries_;
    std::vector<int> entry_equations_;
    std::map<std::string, std::vector<int>, std::less<>> numbers_by_symbol_;
};
