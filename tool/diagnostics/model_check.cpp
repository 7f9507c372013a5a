#include "model_check.h"

#include <algorithm>

#include "model_doctor.h"
#include "structure_checks.h"

namespace {

// The Jacobian at the starting point, for the numeric checks of the system;
// when the plug-in cannot evaluate it (a numeric text that is no number,
// which the tree checks report), those checks are left out. Any other
// exception is no finding and goes on.
JacobianValues starting_jacobian(ModelSession& session) {
    try {
        return jacobian_values(session);
    } catch (const ModelFault&) {
        JacobianValues none;
        none.finite = false;
        return none;
    }
}

}  // namespace

ModelCheck::ModelCheck(ModelSession& session, const std::string& model_path)
    : model_(model_path, session),
      structure_(host_structure(session)),
      findings_(examine_model(session, model_, structure_, starting_jacobian(session))) {
    place_findings(model_path, findings_);
}

int ModelCheck::errors() const {
    return static_cast<int>(std::count_if(findings_.begin(), findings_.end(), [](const Finding& f) {
        return f.severity() == Severity::error;
    }));
}

int ModelCheck::warnings() const {
    return static_cast<int>(findings_.size()) - errors();
}

std::string ModelCheck::equation_text(const Finding& finding) const {
    return finding.equation > 0 ? model_.equation_name(finding.equation) : "";
}

nlohmann::ordered_json ModelCheck::finding_document(const Finding& finding) const {
    nlohmann::ordered_json document{{"severity", severity_text(finding.severity())},
                                    {"kind", finding.kind().name}};
    document["equation"] = finding.equation > 0 ? nlohmann::ordered_json(equation_text(finding))
                                                : nlohmann::ordered_json(nullptr);
    document["variable"] = finding.symbol.empty() ? nlohmann::ordered_json(nullptr)
                                                  : nlohmann::ordered_json(finding.symbol);
    document["message"] = finding.message;
    if (!finding.pointer.empty()) {
        document["pointer"] = finding.pointer;
    }
    for (const auto& [key, value] : finding.details().items()) {
        document[key] = value;
    }
    return document;
}

std::vector<JsonMember> ModelCheck::members() const {
    return {{"findings",
             elements_of(findings_,
                         [this](const Finding& finding) { return finding_document(finding); })},
            {"errors", errors()},
            {"warnings", warnings()}};
}

nlohmann::ordered_json ModelCheck::document() const {
    return json_object(members());
}

const char* severity_text(Severity severity) {
    return severity == Severity::error ? "error" : "warning";
}
