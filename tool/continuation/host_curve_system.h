#pragma once

#include <vector>

#include "curve_system.h"
#include "host_system.h"
#include "model_session.h"

// The host's equation system as a curve in its unknowns and one varied
// variable, the parameter: the kept equations (the rows) over the unknowns
// and the varied variable (the last column). Every host variable in
// `varied` (variables that share the varied symbol) takes the parameter's
// value; derivatives are taken by the first's nonzeros, which the
// equations' references name.
class HostCurveSystem : public CurveSystem {
  public:
    HostCurveSystem(ModelSession& session, const std::vector<int>& unknowns,
                    const std::vector<int>& varied, const std::vector<int>& equations);

    const CompressedColumns& pattern() const override { return host_.pattern(); }
    void residuals(const std::vector<double>& y, std::vector<double>& values) override;
    void jacobian(const std::vector<double>& y, std::vector<double>& slot_values) override;

    // Writes y into the host's value vector.
    void load(const std::vector<double>& y);
    // The point the host's value vector holds: the unknowns, then the parameter.
    std::vector<double> point() const;

  private:
    void load_shared(const std::vector<double>& y);

    ModelSession& session_;
    std::vector<int> varied_;
    HostSystem host_;  // over the unknowns and the first varied variable
};
