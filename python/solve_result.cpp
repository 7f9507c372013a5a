#include "solve_result.h"

#include <pybind11/stl.h>

#include "json_to_python.h"
#include "module_docs.h"
#include "name_pattern.h"
#include "name_resolver.h"
#include "usage_error.h"

namespace py = pybind11;

namespace {

// The members a SolveResult reads from the solve's document, under the same
// names, with their docstrings.
struct MemberDoc {
    const char* name;
    const char* doc;
};
const MemberDoc DOCUMENT_MEMBERS[] = {
    {"status", "the block's own verdict"},
    {"stop_reason",
     "converged, not-unique, iteration-limit, non-finite-residuals, non-finite-derivatives, "
     "singular-jacobian, no-decrease or evaluation-fault"},
    {"message", "why the solve stopped, in words"},
    {"iterations", "steps taken"},
    {"residual_norm", "largest absolute residual"},
    {"scaled_residual_norm", "largest residual over its equation's scale"},
    {"largest_residual", "{'value': largest absolute residual, 'equation': its equation or None}"},
    {"largest_scaled_residual",
     "{'value': largest scaled residual, 'equation': its equation or None}"},
    {"at_bounds", "the unknowns that end on a bound: {'symbol', 'bound': 'lower' or 'upper'}"},
    {"timing",
     "seconds: evaluation_seconds, lu_seconds, other_seconds, total_seconds, "
     "last_iteration_seconds"},
    {"history",
     "one dict per iteration: iteration, residual_norm, step_norm, worst_equation, at_bounds, "
     "scaled_residual_norm, worst_scaled_equation, step_kind, trust_radius"},
    {"cause",
     "why a solve that stopped short stopped (diverging, contradicting-equations, "
     "dependent-equations, bounds, local-minimum, round-off, progressing, few-iterations, "
     "stalled, evaluation-fault), or None"},
    {"diagnosis",
     "the unknowns and equations that show the cause: growing, loop_equations, held, "
     "dependent_equations, undetermined, contradicting, at_best_point; None for a point that "
     "met the test"},
    {"continuum", "for not-unique: moving, dependent_equations, other_solution; else None"},
    {"polished", "whether x is the converged point moved by its own Newton step"},
    {"fallback_iteration", "the iteration after which Levenberg-Marquardt took over, or None"},
    {"counts", "residual_evaluations, jacobian_evaluations, rejected_trials, faulted_trials"},
    {"outputs", "{symbol: value} of the model's outputs (out statements) at x"},
};

template <typename Element>
py::array_t<Element> array_of(const std::vector<Element>& values) {
    return py::array_t<Element>(static_cast<py::ssize_t>(values.size()), values.data());
}

// The value of the model's output `symbol` (in any letter case when that is
// one output), or None.
py::object output_named(const SolveResult& result, const std::string& symbol) {
    if (!result.members.contains("outputs")) {
        return py::none();
    }
    const py::dict outputs = result.members["outputs"];
    std::vector<std::string> symbols;
    for (const auto& entry : outputs) {
        symbols.push_back(py::cast<std::string>(entry.first));
    }
    try {
        const std::size_t index = NameResolver(symbols, "output").resolve(symbol, symbol).front();
        return outputs[py::str(symbols[index])];
    } catch (const UsageError&) {
        return py::none();
    }
}

double value_of(const SolveResult& result, int number) {
    return result.x.at(static_cast<py::ssize_t>(number - 1));
}

// result[symbol]: the value of the (first) variable of a symbol; for a
// pattern over a family's indices, an array of each matching symbol's value.
py::object item(const SolveResult& result, const std::string& symbol) {
    const std::vector<int> numbers = numbers_named(result, symbol);
    if (numbers.empty()) {
        const py::object output = output_named(result, symbol);
        if (output.is_none()) {
            throw py::key_error(symbol);
        }
        return output;
    }
    if (!NamePattern::parse(symbol, symbol)) {
        return py::float_(value_of(result, numbers.front()));
    }
    std::vector<double> values;
    std::set<std::string> seen;
    for (const int number : numbers) {
        if (seen.insert(py::cast<std::string>(result.symbols[static_cast<std::size_t>(number - 1)]))
                .second) {
            values.push_back(value_of(result, number));
        }
    }
    return array_of(values);
}

py::dict as_dict(const SolveResult& result) {
    py::dict values;
    // Backwards, so that of variables sharing a symbol the first stays.
    for (std::size_t index = py::len(result.symbols); index-- > 0;) {
        values[result.symbols[index]] = result.x.at(static_cast<py::ssize_t>(index));
    }
    return values;
}

// What pickle keeps: everything but the model, which a result sent to
// another process cannot take along.
py::tuple state_of(const SolveResult& result) {
    return py::make_tuple(result.members, result.x, result.symbols, result.fixed, result.bound,
                          result.residuals, result.warnings, result.fixed_numbers,
                          result.freed_numbers);
}

SolveResult from_state(const py::tuple& state) {
    if (py::len(state) != 9) {
        throw UsageError("not the state of a pickled SolveResult");
    }
    SolveResult result;
    result.members = state[0].cast<py::dict>();
    result.x = state[1].cast<py::array_t<double>>();
    result.symbols = state[2].cast<py::list>();
    result.fixed = state[3].cast<py::array_t<bool>>();
    result.bound = state[4].cast<py::list>();
    result.residuals = state[5].cast<py::array_t<double>>();
    result.warnings = state[6].cast<py::list>();
    result.fixed_numbers = state[7].cast<std::set<int>>();
    result.freed_numbers = state[8].cast<std::set<int>>();
    return result;
}

}  // namespace

SolveRecord record_of(const std::vector<JsonMember>& document, const LoadedModel& loaded,
                      const SystemChoice& choice, const ModelSolution& solution) {
    std::vector<JsonMember> rest;
    for (const JsonMember& member : document) {
        if (member.key != "variables" && member.key != "equations") {
            rest.push_back(member);
        }
    }
    SolveRecord record;
    record.members = json_object(rest);
    const ModelSession& session = loaded.session;
    for (int number = 1; number <= session.variable_count(); ++number) {
        record.symbols.push_back(loaded.symbols.symbol(number));
        record.x.push_back(session.value(number));
        record.fixed.push_back(choice.fixed.count(number) > 0);
        record.bounds.push_back(solution.bound_of_variable[static_cast<std::size_t>(number)]);
    }
    record.residuals.assign(session.residuals(), session.residuals() + session.equation_count());
    return record;
}

SolveResult result_of(SolveRecord record, std::shared_ptr<PythonModel> model) {
    SolveResult result;
    result.members = to_python(record.members);
    result.x = array_of(record.x);
    result.residuals = array_of(record.residuals);
    result.fixed = py::array_t<bool>(static_cast<py::ssize_t>(record.fixed.size()));
    for (std::size_t index = 0; index < record.symbols.size(); ++index) {
        result.symbols.append(record.symbols[index]);
        result.fixed.mutable_at(static_cast<py::ssize_t>(index)) = record.fixed[index] != 0;
        result.bound.append(record.bounds[index].empty()
                                ? py::object(py::none())
                                : py::object(py::str(record.bounds[index])));
        if (record.fixed[index]) {
            result.fixed_numbers.insert(static_cast<int>(index) + 1);
        }
    }
    result.model = std::move(model);
    return result;
}

bool SolveResult::converged() const {
    return py::cast<std::string>(members["stop_reason"]) == "converged";
}

std::vector<int> numbers_named(const SolveResult& result, const std::string& symbol) {
    const NameResolver resolver(py::cast<std::vector<std::string>>(result.symbols), "variable");
    try {
        std::vector<int> numbers;
        for (const std::size_t index : resolver.resolve(symbol, symbol)) {
            numbers.push_back(static_cast<int>(index) + 1);
        }
        return numbers;
    } catch (const UsageError&) {
        return {};
    }
}

void add_solve_result(py::module_& module) {
    py::class_<SolveResult> type(module, "SolveResult", SOLVE_RESULT_DOC);
    for (const MemberDoc& member : DOCUMENT_MEMBERS) {
        const std::string name = member.name;
        type.def_property_readonly(
            member.name, [name](const SolveResult& result) { return result.members[name.c_str()]; },
            member.doc);
    }
    type.def_readonly("x", &SolveResult::x, "every variable's value at the end, in host order")
        .def_readonly("symbols", &SolveResult::symbols, "the variables' symbols, in host order")
        .def_readonly("fixed", &SolveResult::fixed, "True for each variable that was fixed")
        .def_readonly("residuals", &SolveResult::residuals, "the residuals at x")
        .def_readonly("bound", &SolveResult::bound,
                      "per variable, host order: 'lower' or 'upper' where it ends on that "
                      "bound as an unknown, else None")
        .def_readonly("warnings", &SolveResult::warnings, "what the solve warned of")
        .def_property_readonly("converged", &SolveResult::converged)
        .def("__getitem__", &item, py::arg("symbol"),
             "the value of the (first) variable of that symbol, or of the output; for a "
             "pattern over a family's indices (x[*]), an array of one value per matching "
             "symbol")
        .def("__contains__",
             [](const SolveResult& result, const std::string& symbol) {
                 return !numbers_named(result, symbol).empty() ||
                        !output_named(result, symbol).is_none();
             })
        .def("as_dict", &as_dict, "{symbol: value}; of variables sharing a symbol, the first")
        .def(py::pickle(&state_of, &from_state))
        .def("__repr__", [](const SolveResult& result) {
            return "<quillon.SolveResult " + py::cast<std::string>(result.members["status"]) +
                   ": " + py::cast<std::string>(result.members["message"]) + ">";
        });
}
