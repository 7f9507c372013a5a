"""What a loaded model shows: variables, equations, pattern, residuals and
Jacobian, against what `quillon eval` shows of the same file."""

import json

import numpy as np
import pytest
import scipy.sparse

import quillon
from conftest import equations, example


def same_model(model, reference):
    assert model.variables.symbols == reference.variables.symbols
    assert model.equations.labels == reference.equations.labels
    np.testing.assert_array_equal(model.start, reference.start)
    np.testing.assert_array_equal(model.residuals(model.start),
                                  reference.residuals(reference.start))
    assert (model.jacobian(model.start) != reference.jacobian(reference.start)).nnz == 0


def test_a_model_file_loads_alike_by_path_and_by_str():
    same_model(quillon.load(str(example("flash_drum"))), quillon.load(example("flash_drum")))


def test_equations_load_alike_from_a_file_from_text_and_from_the_built_model(tmp_path, tool):
    source = example("flash_drum", "model.eq")
    code, built, _ = tool("build", source)
    assert code == 0
    path = tmp_path / "built.json"
    path.write_text(built)
    reference = quillon.load(path)
    for model in (quillon.load(source), quillon.load(source.read_text())):
        same_model(model, reference)
    assert quillon.load(source).path == str(source)


def test_variables_carry_the_files_spelling_names_descriptions_and_bounds():
    variables = quillon.load(example("flash_drum")).variables
    assert variables.symbols[:3] == ["T", "P", "F"]
    assert variables.names[6] == "PSAT_C5" and variables.symbols[6] == "Psat_C5"
    assert variables.descriptions[0] == "temperature / K"
    np.testing.assert_array_equal(variables.lower[:3], [200, 1e3, 0])
    np.testing.assert_array_equal(variables.upper[:3], [600, 1e7, np.inf])
    assert variables.start[0] == 340


def test_equations_carry_labels_host_names_and_texts():
    eqs = quillon.load(example("cstr", "model.eq")).equations
    assert eqs.labels[0] == "Arrhenius" and eqs.names[0] == "ARRHENIUS"
    assert eqs.texts[1] == "r = k*CA"


def test_residuals_and_jacobian_are_the_blocks_values(tool_json):
    path = example("flash_drum")
    model = quillon.load(path)
    _, evaluated = tool_json("eval", path)
    np.testing.assert_array_equal(
        model.residuals(model.start), [e["residual"] for e in evaluated["equations"]])
    expected = np.zeros((len(evaluated["equations"]), len(evaluated["variables"])))
    for nonzero in evaluated["jacobian"]:
        expected[nonzero["equation"] - 1, nonzero["variable"] - 1] += nonzero["value"]
    jacobian = model.jacobian(model.start)
    assert isinstance(jacobian, scipy.sparse.csr_matrix)
    np.testing.assert_array_equal(jacobian.toarray(), expected)


DUPLICATE = """
var x = 2
var y = 3
eq twice: x*y + x = 1
"""


def test_an_entry_listed_twice_is_summed_as_the_solver_sums_it(tmp_path):
    document = json.loads(quillon.build(DUPLICATE))
    entries = document["EquationList"][0]["Variables"]
    entries.append(entries[0])  # x listed twice
    path = tmp_path / "twice.json"
    path.write_text(json.dumps(document))
    model = quillon.load(path)
    jacobian = model.jacobian(model.start).toarray()
    assert jacobian[0, 0] == 2 * (3 + 1)


def test_pattern_is_the_jacobians_structure():
    model = quillon.load(example("cstr"))
    rows, cols = model.pattern
    jacobian = model.jacobian(model.start)
    coo = jacobian.tocoo()
    assert list(zip(rows, cols)) == list(zip(coo.row, coo.col))
    assert len(rows) == jacobian.nnz


def test_evaluations_do_not_depend_on_earlier_calls():
    model = quillon.load(example("cstr"))
    first = model.residuals(model.start)
    model.jacobian(model.start * 1.1)
    model.solve()
    np.testing.assert_array_equal(model.residuals(model.start), first)
    assert model.jacobian(model.start).data.base is not model.jacobian(model.start).data.base


def test_build_and_show_match_the_tool(tool):
    code, built, _ = tool("build", example("cstr", "model.eq"))
    assert code == 0 and quillon.build(equations("cstr")) == built
    code, shown, _ = tool("show", example("cstr"))
    assert code == 0 and quillon.show(example("cstr")) == shown
    code, one, _ = tool("show", example("cstr"), "--equation", "rate")
    assert quillon.show(example("cstr"), equation="rate") == one
    code, exact, _ = tool("show", example("cstr"), "--exact")
    assert code == 0 and quillon.show(example("cstr"), exact=True) == exact
    assert quillon.show(example("cstr"), equation="RATE") == one
