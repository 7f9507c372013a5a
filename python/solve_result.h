#pragma once

#include <memory>
#include <set>
#include <string>
#include <vector>

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include "json_output.h"
#include "model_solve.h"
#include "python_model.h"

// A solve's document (solve_document: what `quillon solve --format json`
// writes) taken apart without Python, under the model's lock: the lists of
// variables and equations as columns, every other member as it is. The
// columns are read from the host's vectors and the solve as the lists'
// entries read them (a test holds them to the tool's), since making an
// entry of JSON for each of 10^5 variables would cost more than the solve.
struct SolveRecord {
    nlohmann::ordered_json members = nlohmann::ordered_json::object();
    std::vector<std::string> symbols;
    std::vector<double> x;
    std::vector<char> fixed;
    std::vector<std::string> bounds;  // "" for none
    std::vector<double> residuals;
};

SolveRecord record_of(const std::vector<JsonMember>& document, const LoadedModel& loaded,
                      const SystemChoice& choice, const ModelSolution& solution);

// Model.solve's answer: the members of the solve's document under the same
// names, the variables' values and residuals as arrays. One that came
// through pickle belongs to no model.
struct SolveResult {
    pybind11::dict members;  // the document's, but its lists of variables and equations
    pybind11::array_t<double> x;
    pybind11::list symbols;
    pybind11::array_t<bool> fixed;
    pybind11::list bound;
    pybind11::array_t<double> residuals;
    pybind11::list warnings;
    // For sensitivities and warm starts: the model it belongs to and what
    // the solve fixed and freed.
    std::shared_ptr<PythonModel> model;
    std::set<int> fixed_numbers;
    std::set<int> freed_numbers;  // the equations the solve left out

    bool converged() const;
};

// The result of a solve of `model` recorded in `record`; needs the GIL.
SolveResult result_of(SolveRecord record, std::shared_ptr<PythonModel> model);

// The class quillon.SolveResult on `module`: the members from the document,
// values by symbol, as_dict, and pickling (without the model).
void add_solve_result(pybind11::module_& module);

// The variables a symbol names in `result`'s model, resolved as the tool
// resolves typed names (any letter case when unique, patterns over
// indices); none for a symbol the model lacks. By symbol alone for a result
// that belongs to no model.
std::vector<int> numbers_named(const SolveResult& result, const std::string& symbol);
