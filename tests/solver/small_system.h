#pragma once

// Square systems held in memory for the solver's tests: residuals and
// Jacobian values from functions, the pattern from a list of (row, column)
// entries gathered by the same assembly the host-backed system uses.

#include <functional>
#include <limits>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "jacobian_assembly.h"
#include "nonlinear_solver.h"
#include "square_system.h"

using Vector = std::vector<double>;

// Thrown by a test's residual or derivative function where the system cannot
// evaluate: the evaluation then answers `status` with the fault's text.
struct EvaluationFault : std::runtime_error {
    EvaluationFault(EvaluationStatus fault_status, const std::string& text)
        : std::runtime_error(text), status(fault_status) {}
    EvaluationStatus status;
};

class SmallSystem : public SquareSystem {
  public:
    using Residuals = std::function<Vector(const Vector&)>;
    // One value per entry, in the entries' order.
    using Derivatives = std::function<Vector(const Vector&)>;

    SmallSystem(int size, std::vector<NonzeroPlace> entries, Residuals residuals,
                Derivatives derivatives)
        : assembly_(size, entries),
          residuals_(std::move(residuals)),
          derivatives_(std::move(derivatives)) {}

    const CompressedColumns& pattern() const override { return assembly_.pattern(); }
    EvaluationStatus residuals(const Vector& x, Vector& values) override {
        return evaluated([&] { values = residuals_(x); });
    }
    EvaluationStatus jacobian(const Vector& x, Vector& slot_values) override {
        return evaluated([&] { assembly_.assemble(derivatives_(x).data(), slot_values); });
    }
    std::string fault() const override { return fault_; }

  private:
    template <typename Evaluation>
    EvaluationStatus evaluated(Evaluation evaluation) {
        try {
            evaluation();
        } catch (const EvaluationFault& fault) {
            fault_ = fault.what();
            return fault.status;
        }
        return EvaluationStatus::ok;
    }

    JacobianAssembly assembly_;
    Residuals residuals_;
    Derivatives derivatives_;
    std::string fault_;
};

// Every (row, column) of an n x n matrix, row by row.
inline std::vector<NonzeroPlace> dense_entries(int size) {
    std::vector<NonzeroPlace> entries;
    for (int row = 0; row < size; ++row) {
        for (int column = 0; column < size; ++column) {
            entries.push_back({row, column});
        }
    }
    return entries;
}

// A dense 2 x 2 system: f(x) and its Jacobian's rows {{df1/dx1, df1/dx2},
// {df2/dx1, df2/dx2}} flattened row by row.
inline SmallSystem two_by_two(SmallSystem::Residuals residuals,
                              SmallSystem::Derivatives derivatives) {
    return SmallSystem(2, dense_entries(2), std::move(residuals), std::move(derivatives));
}

// Freudenstein and Roth's function: from (0.5, -2) every method that asks
// each step to lower the merit ends in its local minimum near
// (11.41, -0.8968), where the Jacobian's rows line up (though they do not at
// the start), no root.
inline SmallSystem freudenstein_roth() {
    return two_by_two(
        [](const Vector& x) {
            return Vector{-13 + x[0] + ((5 - x[1]) * x[1] - 2) * x[1],
                          -29 + x[0] + ((x[1] + 1) * x[1] - 14) * x[1]};
        },
        [](const Vector& x) {
            return Vector{1, 10 * x[1] - 3 * x[1] * x[1] - 2, 1, 3 * x[1] * x[1] + 2 * x[1] - 14};
        });
}

// Solves `system` from `start`; the unknowns are free but where `lower` and
// `upper` (either may be shorter than the start, or empty) bound them.
inline SolveOutcome solve(SquareSystem& system, Vector start, const SolverSettings& settings = {},
                          Vector lower = {}, Vector upper = {}) {
    constexpr double infinity = std::numeric_limits<double>::infinity();
    lower.resize(start.size(), -infinity);
    upper.resize(start.size(), infinity);
    return solve_system(system, std::move(start), lower, upper, settings,
                        [](const IterationRecord&) {});
}
