#include "sweep_watch.h"

#include <algorithm>
#include <cstdio>

#include "text_table.h"

namespace {

constexpr const char* JUMPED = "jumped to another branch";

// "2.11": the place of a turning point, to the digits a person reads.
std::string near_value(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3g", value);
    return text;
}

}  // namespace

const char* note_code(SweepNote::Kind kind) {
    return kind == SweepNote::Kind::turning_point ? "turning-point" : "branch-jump";
}

SweepWatch::SweepWatch(const ModelSystem& model, const std::vector<int>& varied,
                       const SweepRange& range, const CurveWording& wording)
    : range_(range),
      wording_(wording),
      direction_(range.to >= range.from ? 1 : -1),
      system_(model.loaded.session, model.choice.unknowns, varied, model.choice.equations) {
    settings_.lower = std::min(range.from, range.to);
    settings_.upper = std::max(range.from, range.to);
    settings_.tolerance = model.settings.tolerance;
    for (const int number : model.choice.unknowns) {
        settings_.lower_bounds.push_back(model.loaded.session.variable(number).lower);
        settings_.upper_bounds.push_back(model.loaded.session.variable(number).upper);
    }
}

std::optional<SweepNote> SweepWatch::observe(const SweepPoint& point) {
    // A sweep of one value has no curve to watch.
    if (!(settings_.upper > settings_.lower)) {
        return std::nullopt;
    }
    return point.result.converged() ? after_converged(point.value) : after_failed(point.value);
}

std::optional<SweepNote> SweepWatch::after_converged(double value) {
    Solved here{system_.point(), {}};
    if (!probe_) {
        probe_.emplace(system_, here.y, settings_);
    }
    const bool has_tangent = probe_->tangent(here.y, direction_, here.tangent);
    std::optional<SweepNote> note;
    if (has_tangent && last_ && may_have_jumped(here)) {
        const CurveProbe::Course course = probe_->follow(last_->y, value);
        const std::string from =
            "the curve from " + range_.symbol + " = " + readable_number(last_->y.back());
        if (course.outcome == CurveProbe::Course::Outcome::turns) {
            note = SweepNote{SweepNote::Kind::branch_jump, value, JUMPED,
                             std::string(JUMPED) + ": " + from + " turns back near " +
                                 range_.symbol + " = " + near_value(course.point.back()) + "; `" +
                                 wording_.follow + "` traces it"};
        } else if (course.outcome == CurveProbe::Course::Outcome::reaches &&
                   !probe_->same_point(course.point, here.y, probe_->distance(last_->y, here.y))) {
            note = SweepNote{SweepNote::Kind::branch_jump, value, JUMPED,
                             std::string(JUMPED) + ": " + from + " reaches " + range_.symbol +
                                 " = " + readable_number(value) + " at another solution"};
        }
    }
    turn_after_last_.reset();
    // After a jump, the tangents before it belong to another branch.
    before_last_ = note ? std::nullopt : std::move(last_);
    last_.reset();
    if (has_tangent) {
        last_ = std::move(here);
    }
    return note;
}

bool SweepWatch::may_have_jumped(const Solved& here) const {
    if (probe_->chord_off_tangents(last_->y, last_->tangent, here.y, here.tangent)) {
        return true;
    }
    const std::optional<double> turn = turn_ahead();
    return turn && (here.y.back() - *turn) * direction_ > 0.0;
}

// Near a turn at p*, p - p* grows with the square of the parameter's tangent
// component; the last two values give the factor.
std::optional<double> SweepWatch::turn_ahead() const {
    if (!before_last_) {
        return std::nullopt;
    }
    const double earlier = before_last_->tangent.back() * before_last_->tangent.back();
    const double later = last_->tangent.back() * last_->tangent.back();
    if (!(later < earlier)) {
        return std::nullopt;
    }
    const double last = last_->y.back();
    return last + later * (last - before_last_->y.back()) / (earlier - later);
}

std::optional<SweepNote> SweepWatch::after_failed(double value) {
    if (!last_ || !probe_) {
        return std::nullopt;
    }
    // The branch turns before every later value at the place already found.
    if (!turn_after_last_) {
        const CurveProbe::Course course = probe_->follow(last_->y, value);
        if (course.outcome != CurveProbe::Course::Outcome::turns) {
            return std::nullopt;
        }
        turn_after_last_ = course.point.back();
    }
    const std::string place = range_.symbol + " = " + near_value(*turn_after_last_);
    return SweepNote{SweepNote::Kind::turning_point, *turn_after_last_,
                     "turning point near " + place,
                     "the solution curve has a turning point near " + place + "; `" +
                         wording_.follow + "` traces around it"};
}
