#include "jacobian_checks.h"

#include <algorithm>

#include "rank_checks.h"
#include "scaling_checks.h"
#include "system_names.h"

namespace {

Finding* not_square_finding(std::vector<Finding>& findings) {
    const auto found = std::find_if(findings.begin(), findings.end(), [](const Finding& finding) {
        return finding.kind().kind == FindingKind::not_square;
    });
    return found == findings.end() ? nullptr : &*found;
}

// The system's rank at the start and, when asked, at the other points;
// answers what the start's ill-conditioning involves.
IllConditioned check_system(ModelSession& session, const SystemNames& names,
                            const JacobianValues& jacobian, const std::vector<CheckPoint>& points,
                            std::vector<Finding>& findings) {
    const SystemPoint start = current_point(session, points.front().label, jacobian);
    if (!start.usable) {
        return {};
    }
    std::vector<SystemPoint> interior;
    bool evaluated = false;
    const auto interior_points = [&]() -> const std::vector<SystemPoint>& {
        if (!evaluated) {
            for (std::size_t index = 1; index < points.size(); ++index) {
                interior.push_back(
                    system_point(session, points[index].label, points[index].values));
            }
            evaluated = true;
        }
        return interior;
    };
    const auto evaluate = [&](const std::vector<double>& values) {
        return system_point(session, "moved point", values);
    };
    const RankSubject subject{names,  all_rows(jacobian), all_columns(jacobian),
                              &start, interior_points,    evaluate};
    const SystemRank rank = check_rank(subject, not_square_finding(findings), findings);
    const bool ill = std::any_of(findings.begin(), findings.end(), [](const Finding& finding) {
        return finding.kind().kind == FindingKind::ill_conditioned;
    });
    return ill ? IllConditioned{rank.involved_rows, rank.involved_columns} : IllConditioned{};
}

}  // namespace

void check_jacobian(ModelSession& session, const NumberedModel& model,
                    const BipartiteGraph& structure, const JacobianValues& jacobian,
                    const std::vector<CheckPoint>& points, std::vector<Finding>& findings) {
    if (!jacobian.finite) {
        return;
    }
    const SystemNames names = names_of(model);
    const bool trusted = std::none_of(findings.begin(), findings.end(), [](const Finding& finding) {
        return finding.severity() == Severity::error;
    });
    const Matching structural = maximum_matching(structure);
    IllConditioned ill;
    if (trusted && structural.size == std::min(structure.rows, structure.columns)) {
        ill = check_system(session, names, jacobian, points, findings);
    }
    check_scaling(names, jacobian, ill, findings);
}
