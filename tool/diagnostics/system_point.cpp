#include "system_point.h"

#include <algorithm>
#include <cmath>

namespace {

std::size_t at(int index) {
    return static_cast<std::size_t>(index);
}

// The residuals at the session's values; false when the block faulted or
// one is not finite.
bool read_residuals(ModelSession& session, std::vector<double>& residuals) {
    try {
        session.evaluate_residuals();
    } catch (const ModelFault&) {
        return false;
    }
    residuals.assign(at(session.equation_count()), 0.0);
    for (int number = 1; number <= session.equation_count(); ++number) {
        residuals[at(number - 1)] = session.residual(number);
    }
    return std::all_of(residuals.begin(), residuals.end(),
                       [](double value) { return std::isfinite(value); });
}

std::vector<double> session_values(const ModelSession& session) {
    std::vector<double> values(at(session.variable_count()));
    for (int number = 1; number <= session.variable_count(); ++number) {
        values[at(number - 1)] = session.value(number);
    }
    return values;
}

// Puts `values` into the session for its lifetime, and the session's own
// back afterwards, also when an evaluation throws.
class ValuesHeld {
  public:
    ValuesHeld(ModelSession& session, const std::vector<double>& values)
        : session_(session), held_(session_values(session)) {
        place(values);
    }
    ~ValuesHeld() { place(held_); }
    ValuesHeld(const ValuesHeld&) = delete;
    ValuesHeld& operator=(const ValuesHeld&) = delete;

  private:
    void place(const std::vector<double>& values) {
        for (int number = 1; number <= session_.variable_count(); ++number) {
            session_.value(number) = values[at(number - 1)];
        }
    }

    ModelSession& session_;
    std::vector<double> held_;
};

}  // namespace

SystemPoint system_point(ModelSession& session, std::string label,
                         const std::vector<double>& values) {
    const ValuesHeld held(session, values);
    SystemPoint point{std::move(label), values, {}, {}, false};
    if (!read_residuals(session, point.residuals)) {
        return point;
    }
    try {
        point.jacobian = jacobian_values(session);
    } catch (const ModelFault&) {
        return point;
    }
    point.usable = point.jacobian.finite;
    return point;
}

SystemPoint current_point(ModelSession& session, std::string label, JacobianValues jacobian) {
    SystemPoint point{std::move(label), session_values(session), {}, std::move(jacobian), false};
    point.usable = point.jacobian.finite && read_residuals(session, point.residuals);
    return point;
}
