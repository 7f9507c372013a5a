#include "jacobian_values.h"

#include <algorithm>
#include <cmath>

namespace {

std::size_t at(int index) {
    return static_cast<std::size_t>(index);
}

}  // namespace

JacobianValues jacobian_values(ModelSession& session) {
    JacobianValues jacobian;
    jacobian.rows = session.equation_count();
    jacobian.columns = session.variable_count();
    jacobian.row_entries.resize(at(jacobian.rows));
    session.evaluate_jacobian();
    for (int number = 1; number <= session.nonzero_count(); ++number) {
        const rt_nz_t& nonzero = session.nonzero(number);
        if (nonzero.equation > 0 && nonzero.variable > 0) {
            const double value = session.jacobian_value(number);
            jacobian.finite = jacobian.finite && std::isfinite(value);
            jacobian.row_entries[at(nonzero.equation - 1)].emplace_back(nonzero.variable - 1,
                                                                        value);
        }
    }
    for (auto& entries : jacobian.row_entries) {
        std::sort(entries.begin(), entries.end(),
                  [](const auto& a, const auto& b) { return a.first < b.first; });
        std::vector<std::pair<int, double>> summed;
        for (const auto& entry : entries) {
            if (!summed.empty() && summed.back().first == entry.first) {
                summed.back().second += entry.second;
            } else {
                summed.push_back(entry);
            }
        }
        entries = std::move(summed);
    }
    return jacobian;
}
