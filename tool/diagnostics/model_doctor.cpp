#include "model_doctor.h"

#include <algorithm>
#include <cmath>
#include <random>

#include "jacobian_checks.h"
#include "model_format.h"
#include "structure_checks.h"
#include "tree_checks.h"

namespace {

constexpr int INTERIOR_POINTS = 3;
constexpr std::uint64_t POINT_SEED = 20240611;
// Interior points keep this share of a bounded range away from each bound.
constexpr double BOUND_MARGIN = 0.1;
// Without two bounds, a value moves by up to this share of max(|start|, 1).
constexpr double FREE_SPREAD = 0.25;

double unit_random(std::mt19937_64& random) {
    return static_cast<double>(random() >> 11) * 0x1.0p-53;
}

// A value inside the variable's bounds: spread over a bounded range, near
// the starting value otherwise.
double interior_value(double start, const rtvar_t& variable, double share) {
    const double lower = variable.lower;
    const double upper = variable.upper;
    if (std::isfinite(lower) && std::isfinite(upper)) {
        return lower + (upper - lower) * (BOUND_MARGIN + (1 - 2 * BOUND_MARGIN) * share);
    }
    const double width = std::max(std::isfinite(start) ? std::fabs(start) : 0.0, 1.0);
    double value = (std::isfinite(start) ? start : 0.0) + width * FREE_SPREAD * (2 * share - 1);
    if (value <= lower) {
        value = lower + width * FREE_SPREAD * (BOUND_MARGIN + share);
    }
    if (value >= upper) {
        value = upper - width * FREE_SPREAD * (BOUND_MARGIN + share);
    }
    return value;
}

void check_refusals(const ModelSession& session, std::vector<Finding>& findings) {
    for (const std::string& refusal : session.refusals()) {
        findings.emplace_back(FindingKind::host_refused,
                              "the host refused a registration: " + refusal);
    }
}

}  // namespace

std::vector<CheckPoint> check_points(const ModelSession& session) {
    CheckPoint start{"starting point", {}};
    for (int number = 1; number <= session.variable_count(); ++number) {
        start.values.push_back(session.value(number));
    }
    std::vector<CheckPoint> points{start};
    std::mt19937_64 random(POINT_SEED);
    for (int index = 1; index <= INTERIOR_POINTS; ++index) {
        CheckPoint point{"interior point " + std::to_string(index), {}};
        for (int number = 1; number <= session.variable_count(); ++number) {
            point.values.push_back(
                interior_value(start.values[static_cast<std::size_t>(number - 1)],
                               session.variable(number), unit_random(random)));
        }
        points.push_back(std::move(point));
    }
    return points;
}

std::vector<Finding> examine_model(ModelSession& session, const NumberedModel& model,
                                   const BipartiteGraph& structure,
                                   const JacobianValues& jacobian) {
    std::vector<Finding> findings;
    check_refusals(session, findings);
    check_structure(model, structure, findings);
    std::vector<CheckPoint> points = check_points(session);
    for (std::size_t index = 0; index < model.model().equations().size(); ++index) {
        const EquationPlace place{static_cast<int>(index) + 1,
                                  record_step(model_format::EQUATION_LIST, index)};
        const EquationScan scan = check_equation_trees(model, place, findings);
        check_equation_numbers(model, place, scan, points, findings);
    }
    check_jacobian(session, model, structure, jacobian, points, findings);
    return findings;
}

void place_findings(const std::string& model_path, std::vector<Finding>& findings) {
    const bool placed = std::any_of(findings.begin(), findings.end(), [](const Finding& finding) {
        return !finding.pointer.empty();
    });
    if (!placed) {
        return;
    }
    const ModelDocument document(model_path);
    for (Finding& finding : findings) {
        if (!finding.pointer.empty()) {
            finding.pointer = document.pointer_of(finding.pointer);
        }
    }
}
