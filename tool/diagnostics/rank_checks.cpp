#include "rank_checks.h"

#include <algorithm>
#include <cmath>

#include "dependence_checks.h"
#include "rank_findings.h"
#include "text_table.h"

namespace {

// A combination of residuals whose terms cancel to within this share of
// their size is 0, as round-off leaves it.
constexpr double CONTRADICTION_SHARE = 1e-8;
// Combinations at different points agree within this share of their size.
constexpr double AGREEMENT_SHARE = 1e-6;
// Residuals this small a share of their equations' scales are too near 0 for
// their cancelling to mean anything.
constexpr double RESIDUAL_SHARE = 1e-6;
// The step along a null direction that tells restating equations from an
// accident of the point, as a share of the unknowns' magnitudes, and the
// share of the residuals' changes there that their combination may keep.
constexpr double RESTATING_STEP = 1e-3;
constexpr double RESTATING_SHARE = 1e-2;

std::size_t at(int index) {
    return static_cast<std::size_t>(index);
}

// A point and the system's rank there.
struct Judged {
    const SystemPoint* point;
    SystemRank rank;
};

// An equation's scale at a point: the largest change of its residual for a
// relative change of one unknown, |dF/dx| max(|x|, 1).
double equation_scale(const SystemPoint& point, int row) {
    double scale = 0.0;
    for (const auto& [column, value] : point.jacobian.row_entries[at(row)]) {
        scale =
            std::max(scale, std::fabs(value) * std::max(std::fabs(point.values[at(column)]), 1.0));
    }
    return scale;
}

struct Combined {
    double value = 0.0;
    double size = 0.0;   // of its terms: weights times the equations' scales
    double terms = 0.0;  // of its terms: weights times the residuals
};

Combined combined(const DependentSet& set, const SystemPoint& point) {
    Combined sum;
    for (const auto& [row, weight] : set.combination) {
        const double residual = point.residuals[at(row)];
        sum.value += weight * residual;
        sum.terms += std::fabs(weight * residual);
        sum.size += std::fabs(weight) * std::max(equation_scale(point, row), std::fabs(residual));
    }
    return sum;
}

// The set's combination of residuals, where it stays the same value other
// than 0 at every point (at least two): the equations contradict each other.
// A combination whose derivatives vanish everywhere is a constant; one that
// varies from point to point says nothing either way.
bool contradicts(const DependentSet& set, const std::vector<Judged>& judged, double& value) {
    if (judged.size() < 2) {
        return false;
    }
    const Combined first = combined(set, *judged.front().point);
    for (const Judged& each : judged) {
        const Combined here = combined(set, *each.point);
        if (std::fabs(here.value) <= CONTRADICTION_SHARE * here.size ||
            std::fabs(here.value - first.value) >
                AGREEMENT_SHARE * std::max(std::fabs(here.value), std::fabs(first.value))) {
            return false;
        }
    }
    value = first.value;
    return true;
}

// The set's residuals are not 0 at `point` but cancel in its combination.
bool cancels(const DependentSet& set, const SystemPoint& point) {
    const Combined sum = combined(set, point);
    return sum.terms > RESIDUAL_SHARE * sum.size &&
           std::fabs(sum.value) <= CONTRADICTION_SHARE * sum.terms;
}

// Whether the set's equations restate each other, as an identity does, and
// not by an accident of the point: their residuals cancel at `point`, and
// still cancel a step along `free` (a direction in which no residual
// changes to first order), where each may change to second order. At a
// point where the combination merely has a critical point, as (x - 1)(y - 1)
// at x = y = 1, it changes to second order as the residuals do.
bool restates(const DependentSet& set, const NullDirection& free, const SystemPoint& point,
              const RankSubject& subject) {
    if (!cancels(set, point)) {
        return false;
    }
    double longest = 0.0;
    for (std::size_t k = 0; k < free.columns.size(); ++k) {
        const double x = point.values[at(free.columns[k])];
        longest = std::max(longest, std::fabs(free.weights[k]) / std::max(std::fabs(x), 1.0));
    }
    if (!(longest > 0.0) || !std::isfinite(longest)) {
        return false;
    }
    std::vector<double> moved = point.values;
    for (std::size_t k = 0; k < free.columns.size(); ++k) {
        moved[at(free.columns[k])] += RESTATING_STEP / longest * free.weights[k];
    }
    const SystemPoint there = subject.evaluate(moved);
    if (!there.usable) {
        return false;
    }
    double change = 0.0;
    double changes = 0.0;
    for (const auto& [row, weight] : set.combination) {
        const double moved_by = weight * (there.residuals[at(row)] - point.residuals[at(row)]);
        change += moved_by;
        changes += std::fabs(moved_by);
    }
    return std::fabs(change) <=
           RESTATING_SHARE * changes + CONTRADICTION_SHARE * combined(set, point).terms;
}

bool shared(const DependentSet& set, const SystemRank& rank) {
    return std::any_of(rank.dependent.begin(), rank.dependent.end(),
                       [&](const DependentSet& other) { return other.rows == set.rows; });
}

// "at the starting point", "at the starting point and at 3 points inside
// the bounds".
std::string where(const std::vector<Judged>& judged) {
    const std::string start = "at the " + judged.front().point->label;
    return judged.size() == 1
               ? start
               : start + " and at " + counted(static_cast<long long>(judged.size() - 1), "point") +
                     " inside the bounds";
}

// The unknowns that set `index` of the ranks lost leaves free, when known.
const NullDirection* free_with(const SystemRank& rank, std::size_t index) {
    return rank.complete && index < rank.free.size() ? &rank.free[index] : nullptr;
}

// The point of least rank lost, the start first among equals.
const Judged& least_lost(const std::vector<Judged>& judged) {
    return *std::min_element(judged.begin(), judged.end(), [](const Judged& a, const Judged& b) {
        return a.rank.shortfall() < b.rank.shortfall();
    });
}

}  // namespace

SystemRank check_rank(const RankSubject& subject, Finding* not_square,
                      std::vector<Finding>& findings) {
    std::vector<Judged> judged{
        {subject.start, system_rank(subject.start->jacobian, subject.rows, subject.columns)}};
    if (judged.front().rank.shortfall() > 0 || subject.rows.size() > subject.columns.size()) {
        for (const SystemPoint& point : subject.interior()) {
            if (point.usable) {
                judged.push_back(
                    {&point, system_rank(point.jacobian, subject.rows, subject.columns)});
            }
        }
    }
    const Judged& start = judged.front();
    const Judged& reference = least_lost(judged);
    const bool square = subject.rows.size() == subject.columns.size();
    const bool zeros = start.rank.lost_to_zeros > 0 && square;
    RankFindings report(subject.names, subject.columns, findings);
    const auto report_set = [&](const DependentSet& set, const NullDirection* free,
                                const Judged& at_point, const std::vector<Judged>& points) {
        double value = 0.0;
        if (contradicts(set, points, value)) {
            report.contradicting(set, *at_point.point, value, where(points));
        } else {
            report.dependent(set, free, *at_point.point, cancels(set, *at_point.point),
                             where(points));
        }
    };
    const SystemRank* lost = &reference.rank;
    SystemRank numerical;
    if (judged.size() == 1 && zeros) {
        // Nothing else to compare with: the vanished derivatives are the
        // start's, as far as anyone can tell, and the rest the model's.
        report.zeros_at_start(start.point->jacobian);
        numerical = start.rank;
        numerical.dependent.resize(numerical.dependent.size() - at(numerical.lost_to_zeros));
        lost = &numerical;
    }
    for (std::size_t index = 0; index < lost->dependent.size(); ++index) {
        report_set(lost->dependent[index], free_with(*lost, index), reference, judged);
    }
    if (&reference != &start) {
        // The start's own sets: the model's too where their residuals
        // restate each other (a dependence that holds only where other
        // equations are met, as a total balance beside component balances
        // and the sums of mole fractions, shows at a start that meets them
        // but not at points inside the bounds); else the start's.
        int explained = reference.rank.shortfall();
        std::vector<int> accidental;
        // In a square system the vanished derivatives are named as such; in
        // one that is not, the matching leaves rows and columns over anyway,
        // so their sets are named as the start's dependent equations.
        const std::size_t numerical_sets =
            start.rank.dependent.size() - (zeros ? at(start.rank.lost_to_zeros) : 0);
        for (std::size_t index = 0; index < numerical_sets; ++index) {
            const DependentSet& set = start.rank.dependent[index];
            if (shared(set, reference.rank)) {
                continue;
            }
            const NullDirection* free = free_with(start.rank, index);
            if (free != nullptr && restates(set, *free, *start.point, subject)) {
                report_set(set, free, start, {start});
                ++explained;
            } else {
                accidental = joined(accidental, set.rows);
            }
        }
        if (start.rank.shortfall() > explained) {
            if (zeros) {
                report.zeros_at_start(start.point->jacobian);
            } else if (!accidental.empty()) {
                report.singular_start(accidental, *start.point, reference.point->label);
            }
        }
    }
    if (start.rank.shortfall() == 0 && square &&
        start.rank.condition > SquareRank::ill_condition()) {
        report.ill_conditioned(start.rank);
    }
    if (not_square != nullptr && reference.rank.complete) {
        report.advise_not_square(*not_square, reference.rank,
                                 &reference == &start ? "at the " + start.point->label
                                                      : std::string("inside the bounds"));
        // A surplus set that contradicts is an error of its own.
        for (const DependentSet& set : reference.rank.surplus) {
            double value = 0.0;
            if (set.rows.size() > 1 && contradicts(set, judged, value)) {
                report.contradicting(set, *reference.point, value, where(judged));
            }
        }
    }
    return std::move(judged.front().rank);
}
