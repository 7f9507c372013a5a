#pragma once

// Curve systems held in memory for the continuation's tests: n equations in
// n unknowns and a parameter (the last coordinate), residuals and Jacobian
// values from functions, the pattern gathered by the solver's assembly.

#include <cmath>
#include <functional>
#include <utility>
#include <vector>

#include "curve_system.h"
#include "jacobian_assembly.h"

using Vector = std::vector<double>;

class SmallCurve : public CurveSystem {
  public:
    using Residuals = std::function<Vector(const Vector&)>;
    // One value per entry, in the entries' order.
    using Derivatives = std::function<Vector(const Vector&)>;

    // `unknowns`: n; entries' rows from 0 to n - 1, columns from 0 to n
    // (the parameter's).
    SmallCurve(int unknowns, const std::vector<NonzeroPlace>& entries, Residuals residuals,
               Derivatives derivatives)
        : assembly_(unknowns + 1, entries),
          residuals_(std::move(residuals)),
          derivatives_(std::move(derivatives)) {}

    const CompressedColumns& pattern() const override { return assembly_.pattern(); }
    void residuals(const Vector& y, Vector& values) override {
        ++residual_calls;
        values = residuals_(y);
    }
    void jacobian(const Vector& y, Vector& slot_values) override {
        assembly_.assemble(derivatives_(y).data(), slot_values);
    }

    int residual_calls = 0;

  private:
    JacobianAssembly assembly_;
    Residuals residuals_;
    Derivatives derivatives_;
};

// The Bratu problem u'' + p exp(u) = 0 on (0, 1), u(0) = u(1) = 0, by
// central differences on n interior nodes.
inline SmallCurve bratu_curve(int nodes) {
    const double h = 1.0 / (nodes + 1);
    std::vector<NonzeroPlace> entries;
    for (int row = 0; row < nodes; ++row) {
        for (int column = row - 1; column <= row + 1; ++column) {
            if (column >= 0 && column < nodes) {
                entries.push_back({row, column});
            }
        }
        entries.push_back({row, nodes});
    }
    const auto residuals = [nodes, h](const Vector& y) {
        Vector f(static_cast<std::size_t>(nodes));
        const double p = y.back();
        for (int i = 0; i < nodes; ++i) {
            const auto at = static_cast<std::size_t>(i);
            const double left = i > 0 ? y[at - 1] : 0.0;
            const double right = i + 1 < nodes ? y[at + 1] : 0.0;
            f[at] = (left - 2 * y[at] + right) / (h * h) + p * std::exp(y[at]);
        }
        return f;
    };
    const auto derivatives = [nodes, h](const Vector& y) {
        Vector d;
        const double p = y.back();
        for (int i = 0; i < nodes; ++i) {
            const auto at = static_cast<std::size_t>(i);
            if (i > 0) {
                d.push_back(1 / (h * h));
            }
            d.push_back(-2 / (h * h) + p * std::exp(y[at]));
            if (i + 1 < nodes) {
                d.push_back(1 / (h * h));
            }
            d.push_back(std::exp(y[at]));
        }
        return d;
    };
    return SmallCurve(nodes, entries, residuals, derivatives);
}
