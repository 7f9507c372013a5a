"""Sensitivities from one LU against central differences of re-solved
models."""

import numpy as np
import pytest

import quillon
from conftest import cstr_with_coolant, flash_with_parameters


def central_difference(model, fix, output, input_, tol):
    # Small enough that the truncation error (the square of the step) stays
    # below 1e-8 relative on these models; the solves' own error is smaller.
    step = 1e-6 * abs(fix[input_])
    ends = []
    for sign in (1, -1):
        moved = dict(fix, **{input_: fix[input_] + sign * step})
        ends.append(model.solve(fix=moved, tol=tol)[output])
    return (ends[0] - ends[1]) / (2 * step)


CASES = [
    pytest.param(flash_with_parameters, {"T": 340, "P": 120000}, ["V", "x_C5", "K_C7"],
                 ["T", "P"], 1e-12, id="flash drum"),
    pytest.param(cstr_with_coolant, {"T_coolant": 300}, ["T", "CA", "Q"], ["T_coolant"],
                 1e-9, id="cstr"),
]


@pytest.mark.parametrize("text, fix, outputs, inputs, tol", CASES)
def test_sensitivities_match_central_differences(text, fix, outputs, inputs, tol):
    model = quillon.load(text())
    result = model.solve(fix=fix, tol=tol)
    table = model.sensitivity(result, outputs, inputs)
    assert table.shape == (len(outputs), len(inputs))
    for row, output in enumerate(outputs):
        for column, input_ in enumerate(inputs):
            expected = central_difference(model, fix, output, input_, tol)
            assert table[row, column] == pytest.approx(expected, rel=1e-6), (output, input_)


def test_a_fixed_output_moves_only_with_itself():
    model = quillon.load(flash_with_parameters())
    result = model.solve(fix={"T": 340, "P": 120000})
    np.testing.assert_array_equal(model.sensitivity(result, ["T", "P"], ["T", "P"]),
                                  np.eye(2))


def test_sensitivity_refusals():
    model = quillon.load(flash_with_parameters())
    result = model.solve(fix={"T": 340, "P": 120000})
    with pytest.raises(quillon.UsageError, match="inputs V: not fixed in the result"):
        model.sensitivity(result, "L", "V")
    with pytest.raises(quillon.UsageError, match="outputs nope: the model has no variable"):
        model.sensitivity(result, "nope", "T")
    stopped = model.solve(fix={"T": 340, "P": 120000}, max_iter=1, strict=False)
    with pytest.raises(quillon.SolveError, match="sensitivities need a converged solution"):
        model.sensitivity(stopped, "V", "T")
    other = quillon.load(flash_with_parameters())
    with pytest.raises(quillon.UsageError, match="belongs to another model"):
        other.sensitivity(result, "V", "T")


def test_a_pattern_among_the_outputs_gives_a_row_for_each_member():
    text = "var p = 2\nvar y[i] = 1 for i in 1..3\neq e[i]: y[i] = i*p^2 for i in 1..3\n"
    model = quillon.load(text)
    result = model.solve(fix={"p": 2})
    table = model.sensitivity(result, ["y[2..3]", "y[1]"], "p")
    np.testing.assert_allclose(table[:, 0], [2 * 2 * 2, 3 * 2 * 2, 1 * 2 * 2])
