#pragma once

#include <exception>
#include <string>
#include <vector>

#include "jacobian_assembly.h"
#include "model_session.h"
#include "nonlinear_solver.h"
#include "square_system.h"

// The host's equation system seen as a square system in the unknowns: x goes
// into the host's value vector at the unknowns' numbers (the fixed variables
// keep their values there), and the residuals and Jacobian are whatever the
// block writes into the host's vectors, of the equations kept (the rows). A
// fault the plug-in raises while evaluating (a numeric text that is no
// number) is the model's, the same at every point: fatal.
class HostSystem : public SquareSystem {
  public:
    // `unknowns`: host variable numbers, one per column in column order;
    // `equations`: host equation numbers, one per row in row order. Throws
    // std::out_of_range for a number the host does not have.
    HostSystem(ModelSession& session, std::vector<int> unknowns, std::vector<int> equations);

    const CompressedColumns& pattern() const override { return assembly_.pattern(); }
    EvaluationStatus residuals(const std::vector<double>& x, std::vector<double>& values) override;
    EvaluationStatus jacobian(const std::vector<double>& x,
                              std::vector<double>& slot_values) override;
    std::string fault() const override { return fault_text_; }

    // Writes x into the host's value vector.
    void load(const std::vector<double>& x);
    const std::vector<int>& unknowns() const { return unknowns_; }
    // Throws the exception of the last evaluation that failed.
    void rethrow_fault() const { std::rethrow_exception(fault_); }

  private:
    EvaluationStatus evaluated(void (ModelSession::*evaluation)());

    ModelSession& session_;
    std::vector<int> unknowns_;
    std::vector<int> equations_;
    // The first host number when the numbers run on without a gap (as when
    // nothing is fixed or freed), so that the values move as one block; else 0.
    int unknowns_run_;
    int equations_run_;
    JacobianAssembly assembly_;
    std::exception_ptr fault_;
    std::string fault_text_;
};

// Solves the session's `equations` (host equation numbers, one per row; the
// others are left out) for `unknowns` (host variable numbers, one per column;
// the other variables keep their values), starting from the values in the
// host's vector and keeping within the variables' bounds. Afterwards the
// host's vector holds the outcome's x and its residuals are evaluated there
// (not at the last trial point). Rows and columns in the outcome are indices
// into `equations` and `unknowns`. `observer` sees each iteration as it is made.
SolveOutcome solve_host(ModelSession& session, const std::vector<int>& unknowns,
                        const std::vector<int>& equations, const SolverSettings& settings,
                        const std::function<void(const IterationRecord&)>& observer);
