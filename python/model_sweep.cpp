// Model.sweep: the sweeps of `quillon sweep` and `quillon sweep --follow`, by
// the same code, as NumPy arrays.
#include "model_sweep.h"

#include <pybind11/numpy.h>
#include <pybind11/stl.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "followed_curve.h"
#include "model_solve.h"
#include "python_model.h"
#include "python_wording.h"
#include "starting_point.h"
#include "sweep_docs.h"
#include "sweep_watch.h"
#include "usage_error.h"

namespace py = pybind11;

namespace {

using ModelPointer = std::shared_ptr<PythonModel>;

// How the sweep's options read in messages.
const ChoiceWording& sweep_wording() {
    static const ChoiceWording wording{"fix", "fix={SYMBOL: VALUE}", "vary", "free",
                                       "free=[EQUATION]"};
    return wording;
}

const CurveWording& curve_wording() {
    static const CurveWording wording{"follow=True", "start and stop", "min_step", "max_step",
                                      "max_points"};
    return wording;
}

// What a sweep found, gathered while Python waits: every variable's value
// at each point, and per point what the sweep's kind tells of it.
struct Gathered {
    std::vector<double> values;
    std::vector<double> x;  // point by point, every variable
    std::vector<bool> converged;
    std::vector<int> iterations;
    std::vector<int> solves;
    // A plain sweep's
    std::vector<std::string> status;
    std::vector<std::string> stop_reason;
    std::vector<std::string> message;
    std::vector<std::optional<SweepNote>> notes;
    // A followed curve's
    std::optional<FollowedCurve> curve;
};

struct SweepResult {
    std::string vary;
    bool follow = false;
    py::list symbols;
    py::array_t<double> values;
    py::array_t<double> x;
    py::array_t<bool> converged;
    py::array_t<int> iterations;
    py::array_t<int> solves;
    py::object status = py::none();
    py::object stop_reason = py::none();
    py::object message = py::none();
    py::object note = py::none();
    py::object arc_length = py::none();
    py::object point = py::none();
    py::object turning_points;
    py::object branch_points;
    py::object end = py::none();
    ModelPointer model;
};

std::vector<double> all_values(ModelSession& session) {
    return {session.values(), session.values() + session.variable_count()};
}

// The rows of `x` (`width` values each) as a NumPy matrix.
py::array_t<double> matrix(const std::vector<double>& x, std::size_t width) {
    const std::size_t rows = width == 0 ? 0 : x.size() / width;
    py::array_t<double> array({static_cast<py::ssize_t>(rows), static_cast<py::ssize_t>(width)});
    std::copy(x.begin(), x.end(), array.mutable_data());
    return array;
}

template <typename Value>
py::array_t<Value> vector_array(const std::vector<Value>& values) {
    py::array_t<Value> array(static_cast<py::ssize_t>(values.size()));
    std::copy(values.begin(), values.end(), array.mutable_data());
    return array;
}

py::list string_list(const std::vector<std::string>& texts) {
    py::list list;
    for (const std::string& text : texts) {
        list.append(text);
    }
    return list;
}

// values, x and arc_length of the curve's points of `kind`.
py::object marked(const Gathered& gathered, std::size_t width, CurvePointKind kind) {
    std::vector<double> values;
    std::vector<double> x;
    std::vector<double> arc_length;
    if (gathered.curve) {
        const std::vector<FollowedPoint>& points = gathered.curve->points;
        for (std::size_t index = 0; index < points.size(); ++index) {
            if (points[index].kind == kind) {
                values.push_back(points[index].value);
                arc_length.push_back(points[index].arc_length);
                x.insert(x.end(), points[index].outputs.begin(), points[index].outputs.end());
            }
        }
    }
    return py::module_::import("types").attr("SimpleNamespace")(
        py::arg("values") = vector_array(values), py::arg("x") = matrix(x, width),
        py::arg("arc_length") = vector_array(arc_length));
}

void gather_plain(const ModelSystem& model, const std::vector<int>& varied, const SweepRange& range,
                  Gathered& gathered) {
    SweepWatch watch(model, varied, range, curve_wording());
    const std::size_t width = static_cast<std::size_t>(model.loaded.session.variable_count());
    run_continuation(model, varied, range, 0, range.steps, std::nullopt,
                     [&](const SweepPoint& point) {
                         gathered.values.push_back(point.value);
                         const bool converged = point.result.converged();
                         if (converged) {
                             const std::vector<double> x = all_values(model.loaded.session);
                             gathered.x.insert(gathered.x.end(), x.begin(), x.end());
                         } else {
                             gathered.x.insert(gathered.x.end(), width,
                                               std::numeric_limits<double>::quiet_NaN());
                         }
                         gathered.converged.push_back(converged);
                         gathered.iterations.push_back(point.iterations);
                         gathered.solves.push_back(point.solves);
                         gathered.status.push_back(point.result.verdict);
                         gathered.stop_reason.push_back(stop_code(point.result.outcome.stop));
                         gathered.message.push_back(point.result.stop_message);
                         gathered.notes.push_back(watch.observe(point));
                     });
}

void gather_followed(const ModelSystem& model, const std::vector<int>& varied,
                     const SweepRange& range, const FollowRequest& request, Gathered& gathered) {
    const CurveSettings settings = follow_settings(model, range, request, curve_wording());
    std::vector<std::string> symbols;
    for (int number = 1; number <= model.loaded.session.variable_count(); ++number) {
        symbols.push_back(model.loaded.symbols.symbol(number));
    }
    gathered.curve = follow_model_curve(
        model, varied, range, settings, symbols, [&] { return all_values(model.loaded.session); },
        curve_wording());
    for (const FollowedPoint& point : gathered.curve->points) {
        gathered.values.push_back(point.value);
        gathered.x.insert(gathered.x.end(), point.outputs.begin(), point.outputs.end());
        gathered.converged.push_back(true);
        gathered.iterations.push_back(point.iterations);
        gathered.solves.push_back(point.solves);
    }
}

// Refuses a variable that is both fixed and varied, whatever the letter case.
void reject_fixed_and_varied(const std::vector<Assignment>& fixes, const VariableSymbols& symbols,
                             const std::string& vary, const std::vector<int>& varied) {
    for (const Assignment& fix : fixes) {
        for (const int number : symbols.numbers_named(fix.symbol, "fix")) {
            if (std::find(varied.begin(), varied.end(), number) != varied.end()) {
                throw UsageError("vary: " + vary + " is varied, so fix cannot give it a value too");
            }
        }
    }
}

std::vector<Assignment> assignments_of(const std::optional<std::map<std::string, double>>& map) {
    std::vector<Assignment> list;
    if (map) {
        for (const auto& [symbol, value] : *map) {
            list.push_back({symbol, value});
        }
    }
    return list;
}

py::object sweep(const ModelPointer& model, const std::string& vary, double start, double stop,
                 int steps, bool follow, const std::optional<std::map<std::string, double>>& fix,
                 const std::optional<std::vector<std::string>>& free,
                 const std::optional<std::map<std::string, double>>& at, double tol, int max_iter,
                 const std::optional<double>& min_step, const std::optional<double>& max_step,
                 const std::optional<int>& max_points, bool force) {
    if (steps < 1 || steps > 1000000) {
        throw UsageError("steps: " + std::to_string(steps) +
                         " is not a whole number from 1 to 1000000");
    }
    if (!std::isfinite(start) || !std::isfinite(stop)) {
        throw UsageError("start and stop must be finite numbers");
    }
    if (!(tol > 0) || max_iter < 0) {
        throw UsageError("tol must be above 0 and max_iter at least 0");
    }
    for (const auto& [name, value] :
         {std::pair<const char*, std::optional<double>>{"min_step", min_step},
          {"max_step", max_step}}) {
        if (value && !(*value > 0)) {
            throw UsageError(std::string(name) + " must be a number above 0");
        }
    }
    if (max_points && *max_points < 1) {
        throw UsageError("max_points must be at least 1");
    }
    SolverSettings settings;
    settings.tolerance = tol;
    settings.max_iterations = max_iter;
    const std::vector<Assignment> fixes = assignments_of(fix);
    const std::vector<Assignment> starts = assignments_of(at);
    const std::vector<std::string> frees = free.value_or(std::vector<std::string>());
    Gathered gathered;
    SweepRange range{vary, start, stop, steps};
    {
        py::gil_scoped_release unlocked;
        std::lock_guard<std::mutex> hold(model->lock());
        model->restore_start();
        LoadedModel& loaded = model->loaded();
        apply_assignments(starts, loaded.symbols, loaded.session, "at");
        const std::vector<int> varied = loaded.symbols.numbers_named(vary, "vary");
        reject_fixed_and_varied(fixes, loaded.symbols, vary, varied);
        const ModelFileScan& scan = loaded.file();
        const SystemChoice choice =
            choose_system(loaded, scan, fixes, {{vary, start}}, frees, sweep_wording());
        const std::vector<std::string> faults = model_faults(loaded.session, scan);
        if (!faults.empty() && !force) {
            throw UsageError("not sweeping a model with " + std::to_string(faults.size()) +
                             (faults.size() == 1 ? " fault" : " faults") +
                             ", the first: " + faults.front() + "; force=True sweeps it anyway");
        }
        require_square(loaded, scan, choice, sweep_wording());
        range.symbol = loaded.symbols.symbol(varied.front());
        const ModelSystem system{loaded, choice, settings, python_stop_wording()};
        if (follow) {
            gather_followed(
                system, varied, range,
                {min_step.value_or(0.0), max_step.value_or(0.0), max_points.value_or(0)}, gathered);
        } else {
            gather_plain(system, varied, range, gathered);
        }
    }
    const LoadedModel& loaded = model->loaded();
    const std::size_t width = static_cast<std::size_t>(loaded.session.variable_count());
    SweepResult result;
    result.vary = range.symbol;
    result.follow = follow;
    for (int number = 1; number <= loaded.session.variable_count(); ++number) {
        result.symbols.append(loaded.symbols.symbol(number));
    }
    result.values = vector_array(gathered.values);
    result.x = matrix(gathered.x, width);
    result.converged = py::array_t<bool>(static_cast<py::ssize_t>(gathered.converged.size()));
    for (std::size_t index = 0; index < gathered.converged.size(); ++index) {
        result.converged.mutable_at(static_cast<py::ssize_t>(index)) = gathered.converged[index];
    }
    result.iterations = vector_array(gathered.iterations);
    result.solves = vector_array(gathered.solves);
    if (follow) {
        std::vector<double> arc_length;
        py::list points;
        for (const FollowedPoint& point : gathered.curve->points) {
            arc_length.push_back(point.arc_length);
            points.append(point_kind_code(point.kind));
        }
        result.arc_length = vector_array(arc_length);
        result.point = points;
        py::dict end;
        end["reason"] = curve_end_code(gathered.curve->end);
        end["message"] = gathered.curve->end_message;
        result.end = end;
    } else {
        result.status = string_list(gathered.status);
        result.stop_reason = string_list(gathered.stop_reason);
        result.message = string_list(gathered.message);
        py::list notes;
        for (const std::optional<SweepNote>& note : gathered.notes) {
            if (!note) {
                notes.append(py::none());
                continue;
            }
            py::dict entry;
            entry["kind"] = note_code(note->kind);
            entry["value"] = note->value;
            entry["message"] = note->message;
            notes.append(entry);
        }
        result.note = notes;
    }
    result.turning_points = marked(gathered, width, CurvePointKind::turning_point);
    result.branch_points = marked(gathered, width, CurvePointKind::branch_point);
    result.model = model;
    return py::cast(std::move(result));
}

py::array_t<double> column(const SweepResult& result, const std::string& symbol) {
    std::vector<int> numbers;
    try {
        numbers = result.model->loaded().symbols.numbers_named(symbol, symbol);
    } catch (const UsageError&) {
        throw py::key_error(symbol);
    }
    const auto rows = result.x.shape(0);
    py::array_t<double> values(rows);
    for (py::ssize_t row = 0; row < rows; ++row) {
        values.mutable_at(row) = result.x.at(row, numbers.front() - 1);
    }
    return values;
}

}  // namespace

void add_sweep(py::module_& module) {
    py::class_<SweepResult>(module, "SweepResult", SWEEP_RESULT_DOC)
        .def_readonly("vary", &SweepResult::vary, "the varied variable's symbol")
        .def_readonly("follow", &SweepResult::follow, "whether the curve was followed")
        .def_readonly("symbols", &SweepResult::symbols, "the variables' symbols, in host order")
        .def_readonly("values", &SweepResult::values, "the varied variable at each point")
        .def_readonly("x", &SweepResult::x, "every variable at each point (points by variables)")
        .def_readonly("converged", &SweepResult::converged)
        .def_readonly("iterations", &SweepResult::iterations)
        .def_readonly("solves", &SweepResult::solves)
        .def_readonly("status", &SweepResult::status)
        .def_readonly("stop_reason", &SweepResult::stop_reason)
        .def_readonly("message", &SweepResult::message)
        .def_readonly("note", &SweepResult::note)
        .def_readonly("arc_length", &SweepResult::arc_length)
        .def_readonly("point", &SweepResult::point)
        .def_readonly("turning_points", &SweepResult::turning_points)
        .def_readonly("branch_points", &SweepResult::branch_points)
        .def_readonly("end", &SweepResult::end)
        .def("__getitem__", &column, py::arg("symbol"),
             "the (first) variable of that symbol at each point")
        .def("__len__", [](const SweepResult& result) { return result.values.size(); })
        .def("__repr__", [](const SweepResult& result) {
            return "<quillon.SweepResult " + std::string(result.follow ? "curve" : "sweep") +
                   " of " + result.vary + ": " + std::to_string(result.values.size()) + " points>";
        });
    auto model =
        py::reinterpret_borrow<py::class_<PythonModel, ModelPointer>>(module.attr("Model"));
    model.def("sweep", &sweep, py::arg("vary"), py::arg("start"), py::arg("stop"), py::arg("steps"),
              py::arg("follow") = false, py::arg("fix") = py::none(), py::arg("free") = py::none(),
              py::arg("at") = py::none(), py::arg("tol") = 1e-9, py::arg("max_iter") = 100,
              py::arg("min_step") = py::none(), py::arg("max_step") = py::none(),
              py::arg("max_points") = py::none(), py::arg("force") = false, SWEEP_DOC);
}
