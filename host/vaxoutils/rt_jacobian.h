#pragma once

#include <string>
#include <vector>

#include "vaxo_export.h"

// One Jacobian nonzero: the equation and the variable it derives; 0 while not
// declared.
struct rt_nz_t {
    int equation = 0;
    int variable = 0;
};

// The host's sparse Jacobian of an m x n system: nonzeros numbered 1..size(),
// each declared by its block's pattern, and their values in one contiguous
// array (element number - 1), written by the blocks, read by the solver.
//
// Refused, with the Jacobian unchanged and a diagnostic recorded: a nonzero
// outside 1..size(), an equation outside 1..m, a variable outside 0..n.
// Variable number 0 is taken as declared (a block may derive an equation by
// something that is no variable), but it is noted in the diagnostics and the
// nonzero is listed by incomplete_nonzeros() for the solver to set aside.
struct VAXO_API rt_jac_t {
  public:
    // Throws std::invalid_argument when a count is negative.
    rt_jac_t(int nonzeros, int equations, int variables);

    int size() const { return static_cast<int>(nonzeros_.size()); }
    int equation_count() const { return equation_count_; }
    int variable_count() const { return variable_count_; }
    // Nonzero `number`, or null when it is outside 1..size().
    const rt_nz_t* find(int number) const;
    // The values; null when there are no nonzeros.
    double* values() { return values_.data(); }
    const double* values() const { return values_.data(); }
    // One message per refused call or variable number 0, oldest first.
    const std::vector<std::string>& diagnostics() const { return diagnostics_; }
    // The nonzeros, in number order, whose equation or variable is still 0.
    std::vector<int> incomplete_nonzeros() const;

    // What rtojac_set_nz_eqnnum and rtojac_set_nz_varnum do: 0, or -1 when refused.
    int set_equation(int nonzero, int equation);
    int set_variable(int nonzero, int variable);

  private:
    rt_nz_t* nonzero_at(int nonzero);
    int refuse(int nonzero, const std::string& reason);

    std::vector<rt_nz_t> nonzeros_;
    std::vector<double> values_;
    int equation_count_;
    int variable_count_;
    std::vector<std::string> diagnostics_;
};
