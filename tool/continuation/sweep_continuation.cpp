#include "sweep_continuation.h"

#include <cmath>
#include <cstdlib>

#include "usage_error.h"

namespace {

// Whether shorter steps toward a value whose solve failed can help: they
// mend a start too far from the solution, not equations that have none
// within the bounds there, or that contradict each other.
bool shorter_steps_may_help(const ModelSolution& result) {
    const StopCause cause = result.outcome.diagnosis.cause;
    return cause != StopCause::bounds && cause != StopCause::contradicting &&
           cause != StopCause::dependent;
}

bool read_number(const std::string& text, double& value) {
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return !text.empty() && *end == '\0' && std::isfinite(value);
}

class Continuation {
  public:
    // Until a value is solved, each solve starts from the model's starting
    // point, not from where a failed one stopped.
    Continuation(const ModelSystem& model, const std::vector<int>& varied,
                 const std::optional<SolvedValue>& from)
        : model_(model),
          varied_(varied),
          solved_(from.has_value()),
          solved_value_(from ? from->value : 0.0),
          solution_(from ? from->solution : unknown_values(model.loaded.session, model.choice)) {}

    SweepPoint reach(double target) {
        SweepPoint point;
        point.value = target;
        if (!solved_) {
            attempt(target, solution_, point);
            return point;
        }
        const double whole = target - solved_value_;
        const double smallest = std::fabs(whole) / std::ldexp(1.0, MAX_STEP_HALVINGS);
        double step = whole;
        while (true) {
            const bool last = std::fabs(step) >= std::fabs(target - solved_value_);
            if (attempt(last ? target : solved_value_ + step, solution_, point)) {
                if (last) {
                    return point;
                }
                step *= 2;
            } else if (whole == 0 || !shorter_steps_may_help(point.result) ||
                       std::fabs(step /= 2) < smallest) {
                return point;
            }
        }
    }

  private:
    // One solve at `value` from `start`; a success becomes the new start.
    bool attempt(double value, const std::vector<double>& start, SweepPoint& point) {
        for (const int number : varied_) {
            model_.loaded.session.value(number) = value;
        }
        point.result = solve_model(model_.loaded, model_.choice, model_.settings, start,
                                   [](const IterationRecord&) {}, model_.wording);
        point.iterations += point.result.outcome.history.back().iteration;
        ++point.solves;
        if (!point.result.converged()) {
            return false;
        }
        solved_ = true;
        solved_value_ = value;
        solution_ = point.result.outcome.x;
        return true;
    }

    const ModelSystem& model_;
    const std::vector<int>& varied_;
    bool solved_;
    double solved_value_;
    std::vector<double> solution_;  // of the last value solved, else the start
};

}  // namespace

double SweepRange::value(int index) const {
    // The last value is TO itself, not FROM plus a sum of rounded steps.
    return index == steps ? to : from + (to - from) * index / steps;
}

SweepRange parse_sweep_range(const std::string& text) {
    const std::size_t equals = text.rfind('=');
    const std::string fault = "--vary " + text + ": not of the form SYMBOL=FROM:TO:STEPS";
    if (equals == std::string::npos || equals == 0) {
        throw UsageError(fault);
    }
    SweepRange range;
    range.symbol = text.substr(0, equals);
    const std::string rest = text.substr(equals + 1);
    const std::size_t first = rest.find(':');
    const std::size_t second = first == std::string::npos ? first : rest.find(':', first + 1);
    if (second == std::string::npos || !read_number(rest.substr(0, first), range.from) ||
        !read_number(rest.substr(first + 1, second - first - 1), range.to)) {
        throw UsageError(fault);
    }
    double steps = 0.0;
    if (!read_number(rest.substr(second + 1), steps) || steps < 1 || steps > 1e6 ||
        steps != std::floor(steps)) {
        throw UsageError("--vary " + text + ": STEPS must be a whole number from 1 to 1000000");
    }
    range.steps = static_cast<int>(steps);
    return range;
}

void run_continuation(const ModelSystem& model, const std::vector<int>& varied,
                      const SweepRange& range, int first, int last,
                      const std::optional<SolvedValue>& from,
                      const std::function<void(const SweepPoint&)>& point) {
    Continuation continuation(model, varied, from);
    for (int index = first; index <= last; ++index) {
        point(continuation.reach(range.value(index)));
    }
}
