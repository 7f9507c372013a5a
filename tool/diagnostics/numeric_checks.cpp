#include "numeric_checks.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <set>
#include <unordered_map>

#include "derivative_check.h"
#include "evaluate_expression.h"
#include "json_output.h"
#include "text_table.h"

namespace {

// Disagreement a row tolerates, as a share of its largest term |d/dx_j| * x_j.
constexpr double ROW_SCALE_SHARE = 1e-9;
// Comparing each of an equation's variables alone evaluates the whole residual
// for each, which grows with the square of the equation's size. So the
// variables are first compared together, along one direction that moves them
// all; only when that disagrees are they split into halves, and groups this
// small compared one by one.
constexpr std::size_t ALONE_LIMIT = 4;
// A finding lists the values of at most this many variables of its equation.
constexpr std::size_t LISTED_VALUES_LIMIT = 16;
constexpr std::uint64_t DIRECTION_SEED = 20261208;

// The entries of one model variable in an equation.
struct EntryGroup {
    std::string symbol;
    int variable;
    std::vector<std::size_t> entries;
};

double scale_of(double value) {
    return std::max(std::fabs(value), 1.0);
}

class EquationNumerics {
  public:
    EquationNumerics(const NumberedModel& model, const EquationPlace& place,
                     const EquationScan& scan, std::vector<Finding>& findings)
        : model_(model),
          place_(place),
          scan_(scan),
          equation_(model.model().equations()[static_cast<std::size_t>(place.number - 1)]),
          findings_(findings),
          evaluator_(model.model()),
          groups_(comparable_groups()) {}

    void run(std::vector<CheckPoint>& points) {
        if (!scan_.residual_evaluable) {
            return;
        }
        for (std::size_t index = 0; index < points.size(); ++index) {
            std::vector<double>& values = points[index].values;
            const double residual = evaluate(equation_, values);
            if (index == 0) {
                check_finite(residual, values);
            }
            if (std::isfinite(residual)) {
                compare_derivatives(points[index].label, residual, values);
            }
        }
    }

  private:
    double evaluate(const ExprNode& tree, const std::vector<double>& values) {
        return evaluator_.evaluate(OneBasedValues(values.data(), values.size()), tree);
    }

    bool derivative_usable(std::size_t entry) const {
        return equation_.variables()[entry].differential && scan_.derivative_evaluable[entry];
    }

    // Variables whose derivative can be judged: a model variable of a symbol
    // no other model variable has, each of whose entries has a derivative.
    std::vector<EntryGroup> comparable_groups() const {
        std::vector<EntryGroup> groups;
        std::set<std::string> unusable;
        std::unordered_map<std::string, std::size_t> group_of_symbol;
        for (std::size_t entry = 0; entry < equation_.variables().size(); ++entry) {
            const std::string symbol(equation_.variables()[entry].variable_symbol);
            const std::vector<int>& numbers = model_.variables_with_symbol(symbol);
            if (numbers.size() != 1 || !derivative_usable(entry)) {
                unusable.insert(symbol);
                continue;
            }
            const auto [group, added] = group_of_symbol.emplace(symbol, groups.size());
            if (added) {
                groups.push_back({symbol, numbers.front(), {entry}});
            } else {
                groups[group->second].entries.push_back(entry);
            }
        }
        groups.erase(
            std::remove_if(groups.begin(), groups.end(),
                           [&](const EntryGroup& g) { return unusable.count(g.symbol) > 0; }),
            groups.end());
        return groups;
    }

    Finding& add(FindingKind kind, int variable, std::string pointer, std::string message) {
        Finding finding(kind, std::move(message));
        finding.equation = place_.number;
        finding.variable = variable;
        finding.symbol = variable > 0 ? model_.symbol(variable) : "";
        finding.pointer = std::move(pointer);
        findings_.push_back(std::move(finding));
        return findings_.back();
    }

    void check_finite(double residual, const std::vector<double>& values) {
        const std::string name(equation_.equation_name());
        if (!std::isfinite(residual)) {
            add(FindingKind::non_finite, 0, place_.place,
                "the residual of equation " + name + " is " + readable_number(residual) +
                    " at the starting point")
                .detail("residual") = json_number(residual);
        }
        for (std::size_t entry = 0; entry < equation_.variables().size(); ++entry) {
            if (!derivative_usable(entry)) {
                continue;
            }
            const double value = evaluate(*equation_.variables()[entry].differential, values);
            if (!std::isfinite(value)) {
                const std::string symbol(equation_.variables()[entry].variable_symbol);
                const std::vector<int>& numbers = model_.variables_with_symbol(symbol);
                add(FindingKind::non_finite, numbers.empty() ? 0 : numbers.front(),
                    scan_.entry_places[entry],
                    "the derivative of equation " + name + " by " + symbol + " is " +
                        readable_number(value) + " at the starting point")
                    .detail("derivative") = json_number(value);
            }
        }
    }

    double group_derivative(const EntryGroup& group, const std::vector<double>& values) {
        double sum = 0.0;
        for (const std::size_t entry : group.entries) {
            sum += evaluate(*equation_.variables()[entry].differential, values);
        }
        return sum;
    }

    // The values of the equation's variables; of `group`'s alone in an
    // equation too wide to list (an ordered JSON object also finds each key
    // by a scan, so listing thousands would cost their square).
    nlohmann::ordered_json point_values(const EntryGroup& finding_group,
                                        const std::vector<double>& values) const {
        nlohmann::ordered_json at = nlohmann::ordered_json::object();
        if (groups_.size() > LISTED_VALUES_LIMIT) {
            at[finding_group.symbol] =
                json_number(values[static_cast<std::size_t>(finding_group.variable - 1)]);
            return at;
        }
        for (const EntryGroup& group : groups_) {
            at[group.symbol] = json_number(values[static_cast<std::size_t>(group.variable - 1)]);
        }
        return at;
    }

    void compare_derivatives(const std::string& label, double residual,
                             std::vector<double>& values) {
        std::vector<double> derivatives;
        double row_size = 0.0;
        for (const EntryGroup& group : groups_) {
            derivatives.push_back(group_derivative(group, values));
            const double x = values[static_cast<std::size_t>(group.variable - 1)];
            if (std::isfinite(derivatives.back())) {
                row_size = std::max(row_size, std::fabs(derivatives.back()) * scale_of(x));
            }
        }
        std::vector<std::size_t> members;
        for (std::size_t index = 0; index < groups_.size(); ++index) {
            if (mismatched_.count(groups_[index].symbol) == 0 &&
                std::isfinite(derivatives[index])) {
                members.push_back(index);
            }
        }
        const Comparing comparing{label, residual, derivatives, row_size};
        compare_members(comparing, members.begin(), members.end(), values);
    }

    // What the comparisons of one equation at one point share.
    struct Comparing {
        const std::string& label;
        double residual;
        const std::vector<double>& derivatives;  // one per group
        double row_size;
    };
    using Members = std::vector<std::size_t>::const_iterator;

    // Splitting halves the members each time, so this recurses at most about
    // log2 of the equation's variables deep.
    void compare_members(const Comparing& comparing, Members first, Members last,
                         std::vector<double>& values) {
        const auto count = static_cast<std::size_t>(last - first);
        if (count == 0) {
            return;
        }
        const DerivativeVerdict together =
            count == 1 ? DerivativeVerdict::mismatch
                       : compare_along_direction(comparing, first, last, values);
        if (together == DerivativeVerdict::agrees) {
            return;
        }
        if (count <= ALONE_LIMIT) {
            for (Members member = first; member != last; ++member) {
                compare_alone(comparing, *member, values);
            }
            return;
        }
        // Beyond the limit, members that no difference can judge together are
        // left unjudged rather than compared one by one at quadratic cost.
        if (together == DerivativeVerdict::undecided) {
            return;
        }
        const Members middle = first + static_cast<std::ptrdiff_t>(count / 2);
        compare_members(comparing, first, middle, values);
        compare_members(comparing, middle, last, values);
    }

    // The derivative along a direction that moves every member by its own
    // scale, one way or the other, against differences of the residual
    // along it.
    DerivativeVerdict compare_along_direction(const Comparing& comparing, Members first,
                                              Members last, std::vector<double>& values) {
        std::mt19937_64 random(DIRECTION_SEED);
        std::vector<double> held, direction;
        double along = 0.0;
        for (Members member = first; member != last; ++member) {
            const double x = values[static_cast<std::size_t>(groups_[*member].variable - 1)];
            held.push_back(x);
            direction.push_back((random() & 1U) != 0 ? scale_of(x) : -scale_of(x));
            along += comparing.derivatives[*member] * direction.back();
        }
        const auto place = [&](const auto& value_of) {
            std::size_t index = 0;
            for (Members member = first; member != last; ++member, ++index) {
                values[static_cast<std::size_t>(groups_[*member].variable - 1)] = value_of(index);
            }
        };
        const auto move_to = [&](double distance) {
            place([&](std::size_t index) { return held[index] + distance * direction[index]; });
        };
        const auto residual_at = [&](double distance) {
            move_to(distance);
            return evaluate(equation_, values);
        };
        const double floor =
            ROW_SCALE_SHARE * comparing.row_size * static_cast<double>(held.size());
        const DerivativeVerdict verdict =
            screen_derivative(residual_at, 0.0, comparing.residual, along, floor);
        place([&](std::size_t index) { return held[index]; });
        return verdict;
    }

    void compare_alone(const Comparing& comparing, std::size_t index, std::vector<double>& values) {
        const EntryGroup& group = groups_[index];
        double& x = values[static_cast<std::size_t>(group.variable - 1)];
        const double held = x;
        const auto residual_at = [&](double moved) {
            x = moved;
            return evaluate(equation_, values);
        };
        const DerivativeComparison comparison =
            compare_derivative(residual_at, held, comparing.residual, comparing.derivatives[index],
                               ROW_SCALE_SHARE * comparing.row_size / scale_of(held));
        x = held;
        report(group, comparing.derivatives[index], comparison, comparing.label, values);
    }

    void report(const EntryGroup& group, double derivative, const DerivativeComparison& comparison,
                const std::string& label, const std::vector<double>& values) {
        const std::string name(equation_.equation_name());
        const std::string pointer = scan_.entry_places[group.entries.front()];
        const std::string value_text =
            " at the " + label + " (" + group.symbol + " = " +
            readable_number(values[static_cast<std::size_t>(group.variable - 1)]) + ")";
        if (comparison.verdict == DerivativeVerdict::mismatch) {
            Finding& finding =
                add(FindingKind::derivative_mismatch, group.variable, pointer,
                    "d " + name + " / d " + group.symbol + " is " + readable_number(derivative) +
                        " by the file's derivative but " + readable_number(comparison.central) +
                        " by central differences" + value_text);
            finding.detail("derivative") = json_number(derivative);
            finding.detail("finite_difference") = json_number(comparison.central);
            finding.detail("step") = comparison.step;
            finding.detail("point") = label;
            finding.detail("at") = point_values(group, values);
            mismatched_.insert(group.symbol);
        } else if (comparison.verdict == DerivativeVerdict::kink &&
                   kinked_.insert(group.symbol).second) {
            Finding& finding =
                add(FindingKind::kink, group.variable, pointer,
                    "equation " + name + " is not smooth in " + group.symbol + value_text +
                        ": the slope is " + readable_number(comparison.forward) + " above and " +
                        readable_number(comparison.backward) + " below, the file's derivative " +
                        readable_number(derivative));
            finding.detail("derivative") = json_number(derivative);
            finding.detail("forward_difference") = json_number(comparison.forward);
            finding.detail("backward_difference") = json_number(comparison.backward);
            finding.detail("point") = label;
            finding.detail("at") = point_values(group, values);
        }
    }

    const NumberedModel& model_;
    const EquationPlace& place_;
    const EquationScan& scan_;
    const ExprNode& equation_;
    std::vector<Finding>& findings_;
    ExpressionEvaluator evaluator_;
    std::vector<EntryGroup> groups_;
    // A mismatch is reported once per variable; a kink too, and a mismatch
    // elsewhere still follows it.
    std::set<std::string> mismatched_;
    std::set<std::string> kinked_;
};

}  // namespace

void check_equation_numbers(const NumberedModel& model, const EquationPlace& place,
                            const EquationScan& scan, std::vector<CheckPoint>& points,
                            std::vector<Finding>& findings) {
    EquationNumerics(model, place, scan, findings).run(points);
}
