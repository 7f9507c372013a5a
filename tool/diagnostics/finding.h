#pragma once

#include <string>

#include <nlohmann/json.hpp>

#include "finding_kinds.h"

// One thing `check` found. Equation and variable are host numbers (0 when the
// finding concerns none); `symbol` names a variable the model does not have.
class Finding {
  public:
    Finding(FindingKind kind, std::string text);

    const FindingKindRow& kind() const { return *kind_; }
    Severity severity() const { return kind_->severity; }

    // Extra member `key`, which must be one the kind carries.
    nlohmann::ordered_json& detail(const std::string& key);
    // The extra members set, in the order they were.
    const nlohmann::ordered_json& details() const { return details_; }

    int equation = 0;
    int variable = 0;
    std::string symbol;
    std::string pointer;  // the place in the file: see place_findings
    std::string message;

  private:
    const FindingKindRow* kind_;
    nlohmann::ordered_json details_ = nlohmann::ordered_json::object();
};
