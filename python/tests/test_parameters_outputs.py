"""Parameters and outputs of the equation language in the module: a
parameter changed by solve(fix=...) without editing the model, outputs
computed from each solution, and a constant that says what it is."""

import math

import pytest

import quillon

HEATED = """
const c = 25
param Ua = 250 in [0, ] "heat transfer / (W/K)"
var T = 300
var w
eq duty: T = 290 + Ua/c
eq scaled: w = T/100
out n = exp(w) "moles"
"""


def test_a_parameter_is_held_by_its_equation_until_fixed():
    model = quillon.load(HEATED)
    assert list(model.variables.parameters) == [True, False, False]
    assert model.solve()["T"] == pytest.approx(300)
    fixed = model.solve(fix={"Ua": 500})
    assert fixed["T"] == pytest.approx(310)
    assert list(fixed.fixed) == [True, False, False]


def test_a_fixed_parameter_has_sensitivities():
    model = quillon.load(HEATED)
    result = model.solve(fix={"Ua": 250})
    assert model.sensitivity(result, ["T", "w"], "Ua")[:, 0] == pytest.approx([1 / 25, 1 / 2500])


def test_outputs_come_with_each_solution():
    model = quillon.load(HEATED)
    assert model.outputs.symbols == ["n"]
    assert model.outputs.descriptions == ["moles"]
    result = model.solve(fix={"Ua": 0})
    assert result.outputs == {"n": pytest.approx(math.exp(2.9))}
    assert result["n"] == result.outputs["n"] and "n" in result
    # An earlier result starts a solve by its variables alone.
    assert model.solve(start=result.as_dict()).converged


@pytest.mark.parametrize("fix, message", [
    ({"c": 30}, "c is a constant of the equations (const c = 25), not a variable"),
    ({"n": 3}, "n is an output, computed from the solution, not a variable"),
])
def test_a_name_that_is_no_variable_says_what_it_is(fix, message):
    with pytest.raises(quillon.UsageError, match=message.replace("(", r"\(").replace(")", r"\)")):
        quillon.load(HEATED).solve(fix=fix)
