#pragma once

#include <string>
#include <vector>

#include <nlohmann/json.hpp>

#include "finding.h"
#include "json_output.h"
#include "model_session.h"
#include "numbered_model.h"
#include "structural_matching.h"

// One run of the model doctor on a loaded model: the file read and numbered
// as the block numbers it, the host's structure, and every finding. Both
// `quillon check` and the Python module check a model through this.
class ModelCheck {
  public:
    // check alone reads the file besides the plug-in: the host cannot show
    // which variables a tree references, nor where in the file a node lies.
    // The session's Jacobian is evaluated at its current values.
    ModelCheck(ModelSession& session, const std::string& model_path);

    const NumberedModel& model() const { return model_; }
    const BipartiteGraph& structure() const { return structure_; }
    const std::vector<Finding>& findings() const { return findings_; }
    int errors() const;
    int warnings() const;

    // The equation's name as the file writes it, empty when the finding
    // concerns none.
    std::string equation_text(const Finding& finding) const;
    // {"severity", "kind", "equation", "variable", "message", "pointer", ...}
    nlohmann::ordered_json finding_document(const Finding& finding) const;
    // {"findings": [...], "errors": N, "warnings": N}, the findings made as
    // they are written; the check must outlive the writing.
    std::vector<JsonMember> members() const;
    // The same document whole.
    nlohmann::ordered_json document() const;

  private:
    NumberedModel model_;
    BipartiteGraph structure_;
    std::vector<Finding> findings_;
};

const char* severity_text(Severity severity);
