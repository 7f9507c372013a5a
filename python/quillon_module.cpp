// quillon for Python: models loaded through the plug-in into the stand-in
// host, as the `quillon` tool loads them, handed to Python as NumPy arrays
// and SciPy sparse matrices; solves, checks and sensitivities by the tool's
// own code.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cmath>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "model_check.h"
#include "model_definition.h"
#include "model_file_scan.h"
#include "model_language.h"
#include "model_solve.h"
#include "model_sweep.h"
#include "module_docs.h"
#include "module_errors.h"
#include "name_resolver.h"
#include "plugin_search.h"
#include "python_model.h"
#include "sensitivity.h"
#include "solve_report.h"
#include "solve_stop.h"
#include "usage_error.h"

namespace py = pybind11;

namespace {

using Values = py::array_t<double, py::array::c_style | py::array::forcecast>;

// ---- JSON documents of the tool as Python objects --------------------------

py::object to_python(const nlohmann::ordered_json& value) {
    switch (value.type()) {
        case nlohmann::ordered_json::value_t::null:
            return py::none();
        case nlohmann::ordered_json::value_t::boolean:
            return py::bool_(value.get<bool>());
        case nlohmann::ordered_json::value_t::number_integer:
        case nlohmann::ordered_json::value_t::number_unsigned:
            return py::int_(value.get<long long>());
        case nlohmann::ordered_json::value_t::number_float:
            return py::float_(value.get<double>());
        case nlohmann::ordered_json::value_t::string:
            return py::str(value.get_ref<const std::string&>());
        case nlohmann::ordered_json::value_t::array: {
            py::list list;
            for (const auto& element : value) {
                list.append(to_python(element));
            }
            return std::move(list);
        }
        case nlohmann::ordered_json::value_t::object: {
            py::dict dict;
            for (const auto& [key, member] : value.items()) {
                dict[py::str(key)] = to_python(member);
            }
            return std::move(dict);
        }
        default:
            return py::none();
    }
}

// ---- arguments --------------------------------------------------------------

// {symbol: value}; Python's own TypeError for a key that is no str or a
// value that is no real number.
std::vector<Assignment> assignments(const std::optional<py::dict>& values) {
    std::vector<Assignment> list;
    if (values) {
        for (const auto& [symbol, value] : *values) {
            if (!py::isinstance<py::str>(symbol)) {
                throw py::type_error("symbols are str, not " +
                                     py::cast<std::string>(py::repr(symbol)));
            }
            const double number = PyFloat_AsDouble(value.ptr());
            if (number == -1.0 && PyErr_Occurred()) {
                throw py::error_already_set();
            }
            list.push_back({py::cast<std::string>(symbol), number});
        }
    }
    return list;
}

// A str names one symbol; any other iterable several.
std::vector<std::string> symbol_list(const py::object& symbols) {
    if (py::isinstance<py::str>(symbols)) {
        return {py::cast<std::string>(symbols)};
    }
    return py::cast<std::vector<std::string>>(symbols);
}

// One value per variable of `model`, as a contiguous double array.
Values full_vector(PythonModel& model, const py::object& x, const char* what) {
    // Raises NumPy's own error for what is no array of numbers.
    Values values(x);
    const int count = model.loaded().session.variable_count();
    if (values.ndim() != 1 || values.shape(0) != count) {
        throw UsageError(std::string(what) + " holds " + std::to_string(values.size()) +
                         " values; the model has " + std::to_string(count) + " variables");
    }
    return values;
}

// ---- results ------------------------------------------------------------------

struct SolveResult {
    py::array_t<double> x;
    py::list symbols;
    py::array_t<bool> fixed;
    py::array_t<double> residuals;
    std::string status;
    std::string stop_reason;
    std::string message;
    int iterations = 0;
    double residual_norm = 0.0;
    double scaled_residual_norm = 0.0;
    py::dict largest_residual;
    py::dict largest_scaled_residual;
    py::list at_bounds;
    py::list bound;
    py::dict timing;
    py::list history;
    py::list warnings;
    bool converged = false;
    // For sensitivities: the model it belongs to and its fixed variables.
    std::shared_ptr<PythonModel> model;
    std::set<int> fixed_numbers;
    bool freed = false;  // whether the solve left equations out
};

// The variables a symbol names, resolved as the tool resolves typed names
// (any letter case when unique); none for a symbol the model lacks.
std::vector<int> numbers_named(const SolveResult& result, const std::string& symbol) {
    try {
        return result.model->loaded().symbols.numbers_named(symbol, symbol);
    } catch (const UsageError&) {
        return {};
    }
}

double value_of(const SolveResult& result, const std::string& symbol) {
    const std::vector<int> numbers = numbers_named(result, symbol);
    if (numbers.empty()) {
        throw py::key_error(symbol);
    }
    return result.x.at(numbers.front() - 1);
}

// The members of the history in `quillon solve --format json`.
py::list history_list(const LoadedModel& loaded, const SystemChoice& choice,
                      const std::vector<IterationRecord>& history) {
    py::list list;
    for (const IterationRecord& record : history) {
        py::dict row;
        row["iteration"] = record.iteration;
        row["residual_norm"] = record.residual_norm;
        row["step_norm"] = record.step_norm;
        row["worst_equation"] = equation_of_row(loaded, choice, record.worst_row);
        row["at_bounds"] = record.at_bounds;
        row["scaled_residual_norm"] = record.scaled_residual_norm;
        row["worst_scaled_equation"] = equation_of_row(loaded, choice, record.worst_scaled_row);
        row["step_kind"] = step_code(record.step_kind);
        row["trust_radius"] = record.trust_radius;
        list.append(std::move(row));
    }
    return list;
}

// {"value": ..., "equation": name or None}, as the tool writes it.
py::dict residual_measure(const LoadedModel& loaded, const SystemChoice& choice,
                          const ResidualMeasure& measure) {
    py::dict member;
    member["value"] = measure.value;
    member["equation"] = measure.row < 0
                             ? py::object(py::none())
                             : py::object(py::str(equation_of_row(loaded, choice, measure.row)));
    return member;
}

py::dict timing_dict(const SolveTiming& timing) {
    py::dict member;
    member["evaluation_seconds"] = timing.evaluation;
    member["lu_seconds"] = timing.lu;
    member["other_seconds"] = timing.total - timing.evaluation - timing.lu;
    member["total_seconds"] = timing.total;
    member["last_iteration_seconds"] = timing.last_iteration;
    return member;
}

py::object bound_name(const ModelSolution& solution, int number) {
    const std::string& bound = solution.bound_of_variable[static_cast<std::size_t>(number)];
    return bound.empty() ? py::object(py::none()) : py::object(py::str(bound));
}

// What a solve found beyond the values: the residual measures, the unknowns
// on a bound, the time taken and the history.
void add_outcome(SolveResult& result, const LoadedModel& loaded, const SystemChoice& choice,
                 const ModelSolution& solution) {
    const SolveOutcome& outcome = solution.outcome;
    result.scaled_residual_norm = outcome.largest_scaled.value;
    result.largest_residual = residual_measure(loaded, choice, outcome.largest_absolute);
    result.largest_scaled_residual = residual_measure(loaded, choice, outcome.largest_scaled);
    for (const BoundContact& contact : outcome.at_bounds) {
        const int number = choice.unknowns[static_cast<std::size_t>(contact.column)];
        py::dict member;
        member["symbol"] = loaded.symbols.symbol(number);
        member["bound"] = bound_name(solution, number);
        result.at_bounds.append(std::move(member));
    }
    for (int number = 1; number <= loaded.session.variable_count(); ++number) {
        result.bound.append(bound_name(solution, number));
    }
    result.timing = timing_dict(outcome.timing);
    result.history = history_list(loaded, choice, outcome.history);
}

// ---- the model --------------------------------------------------------------

using ModelPointer = std::shared_ptr<PythonModel>;

ModelPointer load(const py::object& source, const std::optional<std::string>& plugin) {
    const std::string plugin_path = plugin ? *plugin : module_plugin_path();
    std::optional<std::string> path;
    std::string text;
    if (py::hasattr(source, "__fspath__")) {
        path = py::cast<std::string>(py::module_::import("os").attr("fspath")(source));
    } else {
        text = py::cast<std::string>(source);
        // Equation text always holds an '=' or a line break; a path hardly ever.
        if (text.find_first_of("=\n") == std::string::npos) {
            path = text;
        }
    }
    py::gil_scoped_release unlocked;
    ModelSource model_source =
        path ? ModelSource::from_file(*path) : ModelSource::from_equations(text, "<text>");
    return std::make_shared<PythonModel>(std::move(model_source), plugin_path);
}

py::object variables_table(PythonModel& model) {
    std::lock_guard<std::mutex> hold(model.lock());
    const LoadedModel& loaded = model.loaded();
    const int count = loaded.session.variable_count();
    py::list symbols, names, descriptions;
    py::array_t<double> lower(count), upper(count), start(count);
    for (int number = 1; number <= count; ++number) {
        const rtvar_t& variable = loaded.session.variable(number);
        symbols.append(loaded.symbols.symbol(number));
        names.append(variable.name);
        descriptions.append(loaded.description(number));
        lower.mutable_at(number - 1) = variable.lower;
        upper.mutable_at(number - 1) = variable.upper;
        start.mutable_at(number - 1) = model.start()[static_cast<std::size_t>(number - 1)];
    }
    py::object table = py::module_::import("types").attr("SimpleNamespace")(
        py::arg("symbols") = symbols, py::arg("names") = names,
        py::arg("descriptions") = descriptions, py::arg("lower") = lower, py::arg("upper") = upper,
        py::arg("start") = start);
    return table;
}

py::object equations_table(PythonModel& model) {
    std::lock_guard<std::mutex> hold(model.lock());
    const LoadedModel& loaded = model.loaded();
    py::list labels, names, texts;
    for (int number = 1; number <= loaded.session.equation_count(); ++number) {
        labels.append(loaded.equation_name(number));
        names.append(loaded.session.equation(number).name);
        texts.append(loaded.equation_text(number));
    }
    return py::module_::import("types").attr("SimpleNamespace")(
        py::arg("labels") = labels, py::arg("names") = names, py::arg("texts") = texts);
}

py::tuple pattern(const PythonModel& model) {
    const RowPattern& rows = model.row_pattern();
    py::array_t<int> row_indices(rows.slot_count());
    py::array_t<int> column_indices(rows.slot_count());
    for (int row = 0; row < rows.rows; ++row) {
        for (int slot = rows.row_starts[static_cast<std::size_t>(row)];
             slot < rows.row_starts[static_cast<std::size_t>(row) + 1]; ++slot) {
            row_indices.mutable_at(slot) = row;
            column_indices.mutable_at(slot) = rows.column_indices[static_cast<std::size_t>(slot)];
        }
    }
    return py::make_tuple(row_indices, column_indices);
}

py::array_t<double> residuals(PythonModel& model, const py::object& x) {
    const Values values = full_vector(model, x, "x");
    py::array_t<double> out(model.loaded().session.equation_count());
    const double* in = values.data();
    double* written = out.mutable_data();
    {
        py::gil_scoped_release unlocked;
        std::lock_guard<std::mutex> hold(model.lock());
        model.set_values(in);
        model.residuals(written);
    }
    return out;
}

py::object jacobian(PythonModel& model, const py::object& x) {
    const Values values = full_vector(model, x, "x");
    const RowPattern& rows = model.row_pattern();
    py::array_t<double> data(rows.slot_count());
    py::array_t<int> indices(rows.slot_count());
    py::array_t<int> starts(static_cast<py::ssize_t>(rows.row_starts.size()));
    std::copy(rows.column_indices.begin(), rows.column_indices.end(), indices.mutable_data());
    std::copy(rows.row_starts.begin(), rows.row_starts.end(), starts.mutable_data());
    const double* in = values.data();
    double* written = data.mutable_data();
    {
        py::gil_scoped_release unlocked;
        std::lock_guard<std::mutex> hold(model.lock());
        model.set_values(in);
        model.jacobian(written);
    }
    // Looked up once and kept for the life of the process: a static py::object
    // would be released after the interpreter has ended.
    static const py::handle csr_matrix =
        py::object(py::module_::import("scipy.sparse").attr("csr_matrix")).release();
    return csr_matrix(py::make_tuple(data, indices, starts),
                      py::arg("shape") = py::make_tuple(rows.rows, rows.columns),
                      py::arg("copy") = false);
}

// Where a solve starts, read while Python is at hand: the file's starting
// point, then either every value (an array or an earlier result) or
// assignments by symbol.
struct StartRequest {
    std::vector<double> values;
    std::vector<Assignment> assignments;
};

StartRequest start_request(PythonModel& model, const py::object& start) {
    StartRequest request;
    if (start.is_none()) {
        return request;
    }
    if (py::isinstance<SolveResult>(start)) {
        const SolveResult& earlier = py::cast<const SolveResult&>(start);
        if (earlier.model.get() != &model) {
            throw UsageError(
                "start: the result belongs to another model; pass start=result.as_dict()");
        }
        request.values.assign(earlier.x.data(), earlier.x.data() + earlier.x.size());
    } else if (py::isinstance<py::dict>(start)) {
        request.assignments = assignments(py::cast<py::dict>(start));
    } else {
        const Values values = full_vector(model, start, "start");
        request.values.assign(values.data(), values.data() + values.size());
    }
    return request;
}

void apply_start(PythonModel& model, const StartRequest& request) {
    model.restore_start();
    if (!request.values.empty()) {
        model.set_values(request.values.data());
    }
    apply_assignments(request.assignments, model.loaded().symbols, model.loaded().session, "start");
}

// The options as Model.solve spells them, for its messages.
const ChoiceWording& python_wording() {
    static const ChoiceWording wording{"fix", "fix={SYMBOL: VALUE}", "fix", "free",
                                       "free=[EQUATION]"};
    return wording;
}

// Why a model with faults is not solved: every fault, and the way out.
std::string refusal(const std::vector<std::string>& faults) {
    std::string text = "not solving a model with " + std::to_string(faults.size()) +
                       (faults.size() == 1 ? " fault" : " faults") + ": ";
    for (std::size_t index = 0; index < faults.size(); ++index) {
        text += (index == 0 ? "" : "; ") + faults[index];
    }
    return text + "; force=True solves it anyway";
}

py::object solve(const ModelPointer& model, const std::optional<py::dict>& fix,
                 const py::object& free, const py::object& start, double tol,
                 const std::optional<double>& abs_tol, int max_iter, bool strict, bool force) {
    if (!(tol > 0)) {
        throw UsageError("tol: '" + py::cast<std::string>(py::str(py::float_(tol))) +
                         "' is not a number greater than 0");
    }
    if (abs_tol && !(*abs_tol > 0)) {
        throw UsageError("abs_tol: '" + py::cast<std::string>(py::str(py::float_(*abs_tol))) +
                         "' is not a number greater than 0");
    }
    if (max_iter < 0) {
        throw UsageError("max_iter: '" + std::to_string(max_iter) +
                         "' is not a number of at least 0");
    }
    SolverSettings settings;
    settings.tolerance = tol;
    if (abs_tol) {
        settings.absolute_tolerance = *abs_tol;
    }
    settings.max_iterations = max_iter;
    const std::vector<Assignment> fixes = assignments(fix);
    const std::vector<std::string> frees =
        free.is_none() ? std::vector<std::string>() : symbol_list(free);
    const StartRequest from = start_request(*model, start);
    SystemChoice choice;
    std::vector<std::string> faults;
    ModelSolution solution;
    std::vector<double> x;
    std::vector<double> final_residuals;
    {
        py::gil_scoped_release unlocked;
        std::lock_guard<std::mutex> hold(model->lock());
        apply_start(*model, from);
        LoadedModel& loaded = model->loaded();
        const ModelFileScan& scan = loaded.file();
        choice = choose_system(loaded, scan, fixes, {}, frees, python_wording());
        faults = model_faults(loaded.session, scan);
        if (!faults.empty() && !force) {
            throw UsageError(refusal(faults));
        }
        require_square(loaded, scan, choice, python_wording());
        solution = solve_model(loaded, choice, settings, unknown_values(loaded.session, choice),
                               [](const IterationRecord&) {});
        x.assign(loaded.session.values(),
                 loaded.session.values() + loaded.session.variable_count());
        final_residuals.assign(loaded.session.residuals(),
                               loaded.session.residuals() + loaded.session.equation_count());
    }
    const LoadedModel& loaded = model->loaded();
    SolveResult result;
    result.x = py::array_t<double>(static_cast<py::ssize_t>(x.size()), x.data());
    result.residuals = py::array_t<double>(static_cast<py::ssize_t>(final_residuals.size()),
                                           final_residuals.data());
    result.fixed = py::array_t<bool>(static_cast<py::ssize_t>(x.size()));
    for (int number = 1; number <= static_cast<int>(x.size()); ++number) {
        result.symbols.append(loaded.symbols.symbol(number));
        result.fixed.mutable_at(number - 1) = choice.fixed.count(number) > 0;
    }
    result.status = solution.verdict;
    result.stop_reason = stop_code(solution.outcome.stop);
    result.message = solution.stop_message;
    result.iterations = solution.outcome.history.back().iteration;
    result.residual_norm = solution.outcome.history.back().residual_norm;
    add_outcome(result, loaded, choice, solution);
    result.converged = solution.outcome.stop == SolveStop::converged;
    result.model = model;
    result.fixed_numbers = choice.fixed;
    result.freed = !choice.freed.empty();
    if (!faults.empty()) {
        const py::object warn = py::module_::import("warnings").attr("warn");
        for (const std::string& warning : faults) {
            result.warnings.append(warning);
            warn(warning, py::arg("stacklevel") = 2);
        }
    }
    py::object answer = py::cast(std::move(result));
    if (strict && !py::cast<const SolveResult&>(answer).converged) {
        const std::string text = "solve stopped: " + py::cast<const SolveResult&>(answer).message;
        py::object error = solve_error_type()(text);
        error.attr("result") = answer;
        PyErr_SetObject(solve_error_type().ptr(), error.ptr());
        throw py::error_already_set();
    }
    return answer;
}

py::list check(PythonModel& model, const std::optional<py::dict>& at) {
    const std::vector<Assignment> starts = assignments(at);
    nlohmann::ordered_json document;
    {
        py::gil_scoped_release unlocked;
        std::lock_guard<std::mutex> hold(model.lock());
        model.restore_start();
        apply_assignments(starts, model.loaded().symbols, model.loaded().session, "at");
        const ModelCheck found(model.loaded().session, model.source().path());
        document = found.document();
    }
    return py::cast<py::list>(to_python(document["findings"]));
}

py::array_t<double> sensitivity(PythonModel& model, const SolveResult& result,
                                const py::object& outputs, const py::object& inputs) {
    if (result.model.get() != &model) {
        throw UsageError("the result belongs to another model");
    }
    if (result.freed) {
        throw UsageError("sensitivities need every equation; the solve freed some");
    }
    if (!result.converged) {
        throw SolveFailure("sensitivities need a converged solution; the solve stopped: " +
                           result.message);
    }
    const std::vector<std::string> output_symbols = symbol_list(outputs);
    const std::vector<std::string> input_symbols = symbol_list(inputs);
    const std::vector<double> x(result.x.data(), result.x.data() + result.x.size());
    std::vector<double> table;
    {
        py::gil_scoped_release unlocked;
        std::lock_guard<std::mutex> hold(model.lock());
        table =
            sensitivities(model.loaded(), x, result.fixed_numbers, output_symbols, input_symbols);
    }
    py::array_t<double> answer({static_cast<py::ssize_t>(output_symbols.size()),
                                static_cast<py::ssize_t>(input_symbols.size())});
    std::copy(table.begin(), table.end(), answer.mutable_data());
    return answer;
}

std::string build(const std::string& text) {
    py::gil_scoped_release unlocked;
    return lang::build_model_json(text, "<text>");
}

std::string show(const py::object& path_like, const std::optional<std::string>& equation,
                 bool exact) {
    const std::string path =
        py::cast<std::string>(py::module_::import("os").attr("fspath")(path_like));
    py::gil_scoped_release unlocked;
    ModelSource source = ModelSource::from_file(path);
    ModelDefinition model;
    model.load_model(source.path());
    const lang::Showing showing = exact ? lang::Showing::exact : lang::Showing::readable;
    if (!equation) {
        return lang::show_model(model, showing);
    }
    std::vector<std::string> names;
    for (const ExprNode& node : model.equations()) {
        names.emplace_back(node.equation_name());
    }
    const NameResolver resolver(names, "equation");
    const std::size_t first = resolver.resolve(*equation, "equation").front();
    return lang::show_equation(model, names[first], showing).value_or("");
}

}  // namespace

PYBIND11_MODULE(quillon, module) {
    module.doc() = MODULE_DOC;
    module.attr("__version__") = QUILLON_VERSION;
    add_errors(module);

    py::class_<SolveResult>(module, "SolveResult", SOLVE_RESULT_DOC)
        .def_readonly("x", &SolveResult::x, "every variable's value at the end, in host order")
        .def_readonly("symbols", &SolveResult::symbols, "the variables' symbols, in host order")
        .def_readonly("fixed", &SolveResult::fixed, "True for each variable that was fixed")
        .def_readonly("residuals", &SolveResult::residuals, "the residuals at x")
        .def_readonly("status", &SolveResult::status, "the block's own verdict")
        .def_readonly("stop_reason", &SolveResult::stop_reason,
                      "converged, iteration-limit, non-finite-residuals, "
                      "non-finite-derivatives, singular-jacobian or no-decrease")
        .def_readonly("message", &SolveResult::message, "why the solve stopped, in words")
        .def_readonly("iterations", &SolveResult::iterations, "steps taken")
        .def_readonly("residual_norm", &SolveResult::residual_norm, "largest absolute residual")
        .def_readonly("scaled_residual_norm", &SolveResult::scaled_residual_norm,
                      "largest residual over its equation's scale")
        .def_readonly("largest_residual", &SolveResult::largest_residual,
                      "{'value': largest absolute residual, 'equation': its equation or None}")
        .def_readonly("largest_scaled_residual", &SolveResult::largest_scaled_residual,
                      "{'value': largest scaled residual, 'equation': its equation or None}")
        .def_readonly("at_bounds", &SolveResult::at_bounds,
                      "the unknowns that end on a bound: {'symbol', 'bound': 'lower' or 'upper'}")
        .def_readonly("bound", &SolveResult::bound,
                      "per variable, host order: 'lower' or 'upper' where it ends on that "
                      "bound as an unknown, else None")
        .def_readonly("timing", &SolveResult::timing,
                      "seconds: evaluation_seconds, lu_seconds, other_seconds, total_seconds")
        .def_readonly("history", &SolveResult::history,
                      "one dict per iteration: iteration, residual_norm, step_norm, "
                      "worst_equation, at_bounds, scaled_residual_norm, "
                      "worst_scaled_equation, step_kind, trust_radius")
        .def_readonly("warnings", &SolveResult::warnings, "what the solve warned of")
        .def_readonly("converged", &SolveResult::converged)
        .def("__getitem__", &value_of, py::arg("symbol"),
             "the value of the (first) variable of that symbol")
        .def("__contains__",
             [](const SolveResult& result, const std::string& symbol) {
                 return !numbers_named(result, symbol).empty();
             })
        .def(
            "as_dict",
            [](const SolveResult& result) {
                py::dict values;
                // Backwards, so that of variables sharing a symbol the first stays.
                for (std::size_t index = py::len(result.symbols); index-- > 0;) {
                    values[result.symbols[index]] = result.x.at(static_cast<py::ssize_t>(index));
                }
                return values;
            },
            "{symbol: value}; of variables sharing a symbol, the first")
        .def("__repr__", [](const SolveResult& result) {
            return "<quillon.SolveResult " + result.status + ": " + result.message + ">";
        });

    py::class_<PythonModel, ModelPointer>(module, "Model", MODEL_DOC)
        .def_property_readonly(
            "path", [](const PythonModel& model) { return model.source().name(); },
            "the file loaded, or '<text>'")
        .def_property_readonly("plugin", &PythonModel::plugin_path,
                               "the plug-in that loaded the model")
        .def_property_readonly(
            "identity", [](const PythonModel& model) { return model.loaded().session.identity(); },
            "the plug-in's identity text")
        .def_property_readonly("variables", &variables_table, VARIABLES_DOC)
        .def_property_readonly("equations", &equations_table, EQUATIONS_DOC)
        .def_property_readonly("pattern", &pattern, PATTERN_DOC)
        .def_property_readonly(
            "start",
            [](const PythonModel& model) {
                return py::array_t<double>(static_cast<py::ssize_t>(model.start().size()),
                                           model.start().data());
            },
            "the starting point: each variable's value after registration")
        .def("residuals", &residuals, py::arg("x"), RESIDUALS_DOC)
        .def("jacobian", &jacobian, py::arg("x"), JACOBIAN_DOC)
        .def("solve", &solve, py::arg("fix") = py::none(), py::arg("free") = py::none(),
             py::arg("start") = py::none(), py::arg("tol") = 1e-9, py::arg("abs_tol") = py::none(),
             py::arg("max_iter") = 100, py::arg("strict") = true, py::arg("force") = false,
             SOLVE_DOC)
        .def("check", &check, py::arg("at") = py::none(), CHECK_DOC)
        .def("sensitivity", &sensitivity, py::arg("result"), py::arg("outputs"), py::arg("inputs"),
             SENSITIVITY_DOC)
        .def("__repr__", [](const PythonModel& model) {
            const ModelSession& session = model.loaded().session;
            return "<quillon.Model " + model.source().name() + ": " +
                   std::to_string(session.equation_count()) + " equations, " +
                   std::to_string(session.variable_count()) + " variables>";
        });

    add_sweep(module);

    module.def("load", &load, py::arg("path_or_text"), py::arg("plugin") = py::none(), LOAD_DOC);
    module.def("build", &build, py::arg("text"), BUILD_DOC);
    module.def("show", &show, py::arg("path"), py::arg("equation") = py::none(),
               py::arg("exact") = false, SHOW_DOC);
    module.def("default_plugin", &module_plugin_path,
               "The plug-in load() uses when it is given none.");
}
