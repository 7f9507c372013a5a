#include "host_curve_system.h"

#include <stdexcept>

namespace {

std::vector<int> with_parameter(std::vector<int> unknowns, const std::vector<int>& varied) {
    if (varied.empty()) {
        throw std::invalid_argument("a curve needs a varied variable");
    }
    unknowns.push_back(varied.front());
    return unknowns;
}

}  // namespace

HostCurveSystem::HostCurveSystem(ModelSession& session, const std::vector<int>& unknowns,
                                 const std::vector<int>& varied, const std::vector<int>& equations)
    : session_(session),
      varied_(varied),
      host_(session, with_parameter(unknowns, varied), equations) {}

void HostCurveSystem::load(const std::vector<double>& y) {
    host_.load(y);
    load_shared(y);
}

// The host system writes the first varied variable with the unknowns.
void HostCurveSystem::load_shared(const std::vector<double>& y) {
    for (std::size_t index = 1; index < varied_.size(); ++index) {
        session_.value(varied_[index]) = y.back();
    }
}

void HostCurveSystem::residuals(const std::vector<double>& y, std::vector<double>& values) {
    load_shared(y);
    host_.residuals(y, values);
}

void HostCurveSystem::jacobian(const std::vector<double>& y, std::vector<double>& slot_values) {
    load_shared(y);
    host_.jacobian(y, slot_values);
}

std::vector<double> HostCurveSystem::point() const {
    std::vector<double> y;
    for (const int number : host_.unknowns()) {
        y.push_back(session_.value(number));
    }
    return y;
}
