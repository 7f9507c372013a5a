"""Model.solve is `quillon solve`: same solver, same options, same answers."""

import concurrent.futures
import re

import numpy as np
import pytest

import quillon
from conftest import cstr_with_coolant, example


@pytest.mark.parametrize("name, options, arguments", [
    ("flash_drum", {}, []),
    ("cstr", {}, []),
    ("cstr", {"tol": 1e-6, "max_iter": 50}, ["--tol", "1e-6", "--max-iter", "50"]),
    ("flash_drum", {"start": {"psi": 0.2}}, ["--at", "psi=0.2"]),
])
def test_solve_gives_the_tools_values_bit_for_bit(tool_json, name, options, arguments):
    path = example(name)
    result = quillon.load(path).solve(**options)
    code, solved = tool_json("solve", path, *arguments)
    assert code == 0 and result.converged
    np.testing.assert_array_equal(result.x, [v["value"] for v in solved["variables"]])
    assert result.symbols == [v["symbol"] for v in solved["variables"]]
    assert (result.status, result.stop_reason, result.message, result.iterations) == (
        solved["status"], solved["stop_reason"], solved["message"], solved["iterations"])
    assert [h["residual_norm"] for h in result.history] == [
        h["residual_norm"] for h in solved["history"]]
    assert [h["worst_equation"] for h in result.history] == [
        h["worst_equation"] for h in solved["history"]]


def test_fixed_variables_hold_their_values(tool_json):
    model = quillon.load(cstr_with_coolant())
    result = model.solve(fix={"T_coolant": 305})
    assert result["T_coolant"] == 305
    assert list(result.fixed) == [s == "T_coolant" for s in result.symbols]
    assert np.max(np.abs(result.residuals)) <= 1e-9


def test_a_warm_start_from_a_result_needs_fewer_iterations():
    model = quillon.load(cstr_with_coolant())
    cold = model.solve(fix={"T_coolant": 300})
    warm = model.solve(fix={"T_coolant": 300}, start=cold)
    assert warm.iterations == 0
    np.testing.assert_array_equal(warm.x, cold.x)
    by_array = model.solve(fix={"T_coolant": 300}, start=cold.x)
    np.testing.assert_array_equal(by_array.x, cold.x)


def test_each_solve_starts_from_the_files_starting_point():
    model = quillon.load(example("flash_drum"))
    first = model.solve()
    model.solve(start={"psi": 0.9})
    again = model.solve()
    assert again.history == first.history


def test_a_solve_that_stops_raises_with_the_tools_message_and_keeps_the_result(tool):
    path = example("flash_drum")
    with pytest.raises(quillon.SolveError) as raised:
        quillon.load(path).solve(max_iter=1)
    _, _, err = tool("solve", path, "--max-iter", "1")
    assert f"quillon: {raised.value}\n" == err
    result = raised.value.result
    assert not result.converged and result.stop_reason == "iteration-limit"
    relaxed = quillon.load(path).solve(max_iter=1, strict=False)
    np.testing.assert_array_equal(relaxed.x, result.x)


def test_results_read_by_symbol():
    result = quillon.load(example("flash_drum")).solve()
    assert result["V"] == result.x[result.symbols.index("V")]
    assert result.as_dict()["L"] == result["L"]
    assert "V" in result and "nothing" not in result
    with pytest.raises(KeyError):
        result["nothing"]


@pytest.mark.parametrize("options, message", [
    ({"fix": {"z": 1}}, "fix z: the model has no variable 'z'"),
    ({"fix": {"T": 340}}, "the system is not square: 18 equations, 18 variables, 1 fixed, "
                          "so 17 unknowns; fix fewer variables with fix={SYMBOL: VALUE}"),
    ({"start": {"z": 1}}, "start z: the model has no variable 'z'"),
    ({"start": [1.0, 2.0]}, "start holds 2 values; the model has 18 variables"),
    ({"tol": 0}, "tol: '0.0' is not a number greater than 0"),
    ({"max_iter": -1}, "max_iter: '-1' is not a number of at least 0"),
    ({"free": ["T_spec"]}, "free: dropping equations is not available"),
])
def test_wrong_options_raise_usage_errors(options, message):
    with pytest.raises(quillon.UsageError, match=re.escape(message)):
        quillon.load(example("flash_drum")).solve(**options)


def test_threads_sharing_a_model_take_turns():
    model = quillon.load(cstr_with_coolant())
    coolants = [295 + i for i in range(12)]

    def solved(coolant):
        return model.solve(fix={"T_coolant": coolant}, strict=False).x

    alone = [solved(c) for c in coolants]
    with concurrent.futures.ThreadPoolExecutor(max_workers=4) as pool:
        together = list(pool.map(solved, coolants))
        evaluated = list(pool.map(lambda x: model.residuals(x), alone))
    for mine, theirs in zip(together, alone):
        np.testing.assert_array_equal(mine, theirs)
    for residuals, x in zip(evaluated, alone):
        np.testing.assert_array_equal(residuals, model.residuals(x))
