#pragma once

#include <string>
#include <vector>

#include "finding.h"
#include "system_names.h"
#include "system_point.h"
#include "system_rank.h"

// The findings of the system's rank, in words: what check_rank judged, with
// the equations and variables named as the model names them. `columns` are
// the system's unknowns (host numbers from 0, ascending); `place` says where
// a finding holds ("at the starting point and at 3 points inside the
// bounds").
class RankFindings {
  public:
    RankFindings(const SystemNames& names, const std::vector<int>& columns,
                 std::vector<Finding>& findings)
        : names_(names), columns_(columns), findings_(findings) {}

    // dependent-equations: `set` adds nothing at `point`; `free`, when not
    // null, the unknowns its loss leaves free; `cancelling`, whether the
    // set's residuals, though not 0, cancel in its combination there.
    void dependent(const DependentSet& set, const NullDirection* free, const SystemPoint& point,
                   bool cancelling, const std::string& place);
    // contradicting-equations: the set's combination of residuals is `value`
    // at every point.
    void contradicting(const DependentSet& set, const SystemPoint& point, double value,
                       const std::string& place);
    // singular-start for the start's dependent `rows` (ascending), not
    // dependent at the point labelled `elsewhere`.
    void singular_start(const std::vector<int>& rows, const SystemPoint& start,
                        const std::string& elsewhere);
    // singular-start for the derivatives that vanish at the start, where
    // the structure needs them.
    void zeros_at_start(const JacobianValues& jacobian);
    // ill-conditioned, from the start's analysis.
    void ill_conditioned(const SystemRank& start);
    // Replaces not-square's structural advice by the numerical one of
    // `rank`: the sets to drop one of each, or the directions to fix one of
    // each; the square system left is regular `regular_where` ("at the
    // starting point").
    void advise_not_square(Finding& not_square, const SystemRank& rank,
                           const std::string& regular_where);

  private:
    const SystemNames& names_;
    const std::vector<int>& columns_;
    std::vector<Finding>& findings_;
};
