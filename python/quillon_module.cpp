// quillon for Python: models loaded through the plug-in into the stand-in
// host, as the `quillon` tool loads them, handed to Python as NumPy arrays
// and SciPy sparse matrices; solves, checks and sensitivities by the tool's
// own code.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <cmath>
#include <memory>
#include <numeric>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "json_to_python.h"
#include "model_check.h"
#include "model_definition.h"
#include "model_file_scan.h"
#include "model_language.h"
#include "model_solve.h"
#include "model_sweep.h"
#include "module_docs.h"
#include "module_errors.h"
#include "name_resolver.h"
#include "output_choice.h"
#include "plugin_search.h"
#include "python_model.h"
#include "python_wording.h"
#include "sensitivity.h"
#include "solve_document.h"
#include "solve_report.h"
#include "solve_result.h"
#include "solve_stop.h"
#include "usage_error.h"

namespace py = pybind11;

namespace {

using Values = py::array_t<double, py::array::c_style | py::array::forcecast>;

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

// A Model pickles as what it was made from (see ModelSource::origin) and
// the plug-in it was given, None for the default, so that a process
// elsewhere (a process pool, a cluster's worker) makes it again with its own.
py::tuple model_state(const PythonModel& model) {
    ModelSource::Origin origin;
    {
        py::gil_scoped_release unlocked;
        origin = model.source().origin();
    }
    const bool default_plugin = model.plugin_path() == module_plugin_path();
    return py::make_tuple(
        origin.equations ? "equations" : "model", py::bytes(origin.text), model.source().name(),
        default_plugin ? py::object(py::none()) : py::object(py::str(model.plugin_path())));
}

ModelPointer model_from_state(const py::tuple& state) {
    if (py::len(state) != 4) {
        throw UsageError("not the state of a pickled Model");
    }
    const bool equations = py::cast<std::string>(state[0]) == "equations";
    const std::string text = py::cast<std::string>(state[1]);
    const std::string name = py::cast<std::string>(state[2]);
    const std::string plugin_path =
        state[3].is_none() ? module_plugin_path() : py::cast<std::string>(state[3]);
    py::gil_scoped_release unlocked;
    ModelSource source = equations ? ModelSource::from_equations(text, name)
                                   : ModelSource::from_model_text(text, name);
    return std::make_shared<PythonModel>(std::move(source), plugin_path);
}

py::object variables_table(PythonModel& model) {
    std::lock_guard<std::mutex> hold(model.lock());
    const LoadedModel& loaded = model.loaded();
    const int count = loaded.session.variable_count();
    py::list symbols, names, descriptions;
    py::array_t<double> lower(count), upper(count), start(count);
    py::array_t<bool> parameters(count);
    for (int number = 1; number <= count; ++number) {
        const rtvar_t& variable = loaded.session.variable(number);
        symbols.append(loaded.symbols.symbol(number));
        names.append(variable.name);
        descriptions.append(loaded.description(number));
        lower.mutable_at(number - 1) = variable.lower;
        upper.mutable_at(number - 1) = variable.upper;
        start.mutable_at(number - 1) = model.start()[static_cast<std::size_t>(number - 1)];
        parameters.mutable_at(number - 1) = loaded.extras().specification_of(number) > 0;
    }
    py::object table = py::module_::import("types").attr("SimpleNamespace")(
        py::arg("symbols") = symbols, py::arg("names") = names,
        py::arg("descriptions") = descriptions, py::arg("lower") = lower, py::arg("upper") = upper,
        py::arg("start") = start, py::arg("parameters") = parameters);
    return table;
}

py::object outputs_table(PythonModel& model) {
    std::lock_guard<std::mutex> hold(model.lock());
    const ModelExtras& extras = model.loaded().extras();
    py::list symbols, descriptions;
    for (std::size_t index = 0; index < extras.output_count(); ++index) {
        symbols.append(extras.output_symbol(index));
        descriptions.append(extras.output_description(index));
    }
    return py::module_::import("types").attr("SimpleNamespace")(
        py::arg("symbols") = symbols, py::arg("descriptions") = descriptions);
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
        if (!earlier.model) {
            // Sent here through pickle: its values by symbol, as a dict would give them.
            request.assignments = assignments(start.attr("as_dict")());
        } else if (earlier.model.get() != &model) {
            throw UsageError(
                "start: the result belongs to another model; pass start=result.as_dict()");
        } else {
            request.values.assign(earlier.x.data(), earlier.x.data() + earlier.x.size());
        }
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

// {symbol: value} of the model's outputs at the host's values, as the
// solve's document gives numbers.
nlohmann::ordered_json output_members(const LoadedModel& loaded) {
    const ModelExtras& extras = loaded.extras();
    const std::vector<double> values = extras.output_values(loaded.session);
    nlohmann::ordered_json members = nlohmann::ordered_json::object();
    for (std::size_t index = 0; index < values.size(); ++index) {
        members[extras.output_symbol(index)] = json_number(values[index]);
    }
    return members;
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
    SolveRecord record;
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
        const ModelSolution solution = solve_model(
            loaded, choice, settings, unknown_values(loaded.session, choice),
            [](const IterationRecord&) {}, python_stop_wording());
        std::vector<int> every(static_cast<std::size_t>(loaded.session.variable_count()));
        std::iota(every.begin(), every.end(), 1);
        record =
            record_of(solve_document(loaded, choice, solution, every), loaded, choice, solution);
        record.members["outputs"] = output_members(loaded);
    }
    SolveResult result = result_of(std::move(record), model);
    result.freed_numbers = choice.freed;
    if (!faults.empty()) {
        const py::object warn = py::module_::import("warnings").attr("warn");
        for (const std::string& warning : faults) {
            result.warnings.append(warning);
            warn(warning, py::arg("stacklevel") = 2);
        }
    }
    py::object answer = py::cast(std::move(result));
    if (strict && !py::cast<const SolveResult&>(answer).converged()) {
        const std::string text = "solve stopped: " + py::cast<std::string>(answer.attr("message"));
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
    if (!result.model) {
        throw UsageError(
            "the result came through pickle and belongs to no model here; solve it again in "
            "this process");
    }
    if (result.model.get() != &model) {
        throw UsageError("the result belongs to another model");
    }
    if (!result.converged()) {
        throw SolveFailure("sensitivities need a converged solution; the solve stopped: " +
                           py::cast<std::string>(result.members["message"]));
    }
    // A pattern among the outputs gives a row for each symbol it matches.
    const std::vector<std::string> output_symbols =
        chosen_outputs(model.loaded().symbols, nullptr, symbol_list(outputs), {}, "outputs")
            .symbols;
    const std::vector<std::string> input_symbols = symbol_list(inputs);
    const std::vector<double> x(result.x.data(), result.x.data() + result.x.size());
    std::vector<double> table;
    {
        py::gil_scoped_release unlocked;
        std::lock_guard<std::mutex> hold(model.lock());
        table = sensitivities(model.loaded(), x, result.fixed_numbers, result.freed_numbers,
                              output_symbols, input_symbols);
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
        return lang::show_model(model, read_language_members(source.path()), showing);
    }
    std::vector<std::string> names;
    for (const ExprNode& node : model.equations()) {
        names.emplace_back(node.equation_name());
    }
    std::string shown;
    for (const std::string& name :
         NameResolver(names, "equation").distinct_names(*equation, "equation")) {
        shown += lang::show_equation(model, name, showing).value_or("");
    }
    return shown;
}

}  // namespace

PYBIND11_MODULE(quillon, module) {
    module.doc() = MODULE_DOC;
    module.attr("__version__") = QUILLON_VERSION;
    add_errors(module);

    add_solve_result(module);

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
        .def_property_readonly("outputs", &outputs_table, OUTPUTS_DOC)
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
        .def(py::pickle(&model_state, &model_from_state))
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
