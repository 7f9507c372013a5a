#pragma once

#include <memory>
#include <string>
#include <vector>

namespace mu {
class Parser;
}

// The bench model's formulas in muparser's bytecode: the formulas are parsed
// in groups, each group one comma-separated expression of one parser, as long as
// muparser allows (a
// parser per formula would cost more memory than the model), with each
// variable bound to its element of the value vector.
class MuparserModel {
  public:
    // `values` must outlive the model and keep its address.
    MuparserModel(const std::vector<std::string>& formulas, std::vector<double>& values);
    ~MuparserModel();
    MuparserModel(const MuparserModel&) = delete;
    MuparserModel& operator=(const MuparserModel&) = delete;

    // Writes every formula's value into `out`, in order.
    void evaluate(double* out) const;

  private:
    std::vector<std::unique_ptr<mu::Parser>> parsers_;
};
