"""Model.solve is `quillon solve`: same solver, same options, same answers."""

import concurrent.futures
import re

import numpy as np
import pytest

import quillon
from conftest import cstr_with_coolant, example


# The members of `quillon solve --format json` that a SolveResult has under
# the same name, each compared bit for bit (the JSON's "inf"/"nan" strings
# stand for non-finite numbers); the message names Model.solve's options
# where the tool's names its own.
SHARED_MEMBERS = ["status", "stop_reason", "message", "iterations", "residual_norm",
                  "scaled_residual_norm", "largest_residual", "largest_scaled_residual",
                  "at_bounds", "cause", "diagnosis", "continuum", "polished",
                  "fallback_iteration", "counts"]
PYTHON_WORDS = [("quillon check --start on this result", "model.check(at=result.as_dict())"),
                ("--max-iter", "max_iter="), ("--abs-tol", "abs_tol="), ("--tol", "tol="),
                ("--at", "start="), ("--fix", "fix=")]


def in_python_words(text):
    """The tool's message as Model.solve words it."""
    for tool_word, python_word in PYTHON_WORDS:
        text = text.replace(tool_word, python_word)
    return text
TIMING = {"evaluation_seconds", "lu_seconds", "other_seconds", "total_seconds",
          "last_iteration_seconds"}


def as_json(value):
    if isinstance(value, float) and not np.isfinite(value):
        return "nan" if np.isnan(value) else ("inf" if value > 0 else "-inf")
    if isinstance(value, dict):
        return {key: as_json(member) for key, member in value.items()}
    if isinstance(value, list):
        return [as_json(member) for member in value]
    return value


def assert_same_as_tool(result, solved):
    np.testing.assert_array_equal(result.x, [v["value"] for v in solved["variables"]])
    assert result.symbols == [v["symbol"] for v in solved["variables"]]
    assert list(result.fixed) == [v["fixed"] for v in solved["variables"]]
    assert result.bound == [v["bound"] for v in solved["variables"]]
    for member in SHARED_MEMBERS:
        expected = solved[member]
        if member == "message":
            expected = in_python_words(expected)
        assert as_json(getattr(result, member)) == expected, member
    assert as_json(result.history) == solved["history"]
    assert set(result.timing) == set(solved["timing"]) == TIMING
    assert all(result.timing[key] >= 0 for key in TIMING - {"other_seconds"})


@pytest.mark.parametrize("name, options, arguments", [
    ("flash_drum", {}, []),
    ("cstr", {}, []),
    ("cstr", {"tol": 1e-6, "max_iter": 50}, ["--tol", "1e-6", "--max-iter", "50"]),
    ("cstr", {"tol": 1e-3, "abs_tol": 1e-10}, ["--tol", "1e-3", "--abs-tol", "1e-10"]),
    ("flash_drum", {"start": {"psi": 0.2}}, ["--at", "psi=0.2"]),
])
def test_solve_gives_the_tools_values_bit_for_bit(tool_json, name, options, arguments):
    path = example(name)
    result = quillon.load(path).solve(**options)
    code, solved = tool_json("solve", path, *arguments)
    assert code == 0 and result.converged
    assert_same_as_tool(result, solved)
    # Equations are named as the file writes them, as the tool names them.
    labels = set(quillon.load(path).equations.labels)
    assert {row["worst_equation"] for row in result.history} <= labels
    assert result.largest_scaled_residual["equation"] in labels


def test_a_freed_set_value_equation_solves_as_the_tool_solves_it(tool_json):
    # The equation that sets the temperature freed, the vapour fraction fixed in its
    # place: the same system as `--free T_spec --fix psi=0.4`.
    path = example("flash_drum")
    model = quillon.load(path)
    result = model.solve(free=["T_spec"], fix={"psi": 0.4})
    code, solved = tool_json("solve", path, "--free", "T_spec", "--fix", "psi=0.4")
    assert code == 0 and result.converged
    assert_same_as_tool(result, solved)
    assert [e["freed"] for e in solved["equations"]].count(True) == 1
    # The system that left T_spec out is square, so it has sensitivities: V = psi*F.
    assert model.sensitivity(result, ["V"], ["psi"])[0, 0] == pytest.approx(100)


def test_abs_tol_takes_further_iterations_where_the_scaled_test_alone_stops():
    model = quillon.load(example("cstr"))
    scaled_only = model.solve(tol=1e-3)
    both = model.solve(tol=1e-3, abs_tol=1e-10)
    assert scaled_only.residual_norm > 1e-10 >= both.residual_norm
    assert both.iterations > scaled_only.iterations


def test_an_unknown_stopped_on_its_bound_is_named_as_the_tool_names_it(tool_json, tmp_path):
    # x = 1 lies below x's bounds: the solve ends with x on its lower bound.
    text = "var x = 5 in [2, 10]\nvar y = 1\neq e: x = 1\neq f: y = x\n"
    path = tmp_path / "bounded.json"
    path.write_text(quillon.build(text))
    result = quillon.load(path).solve(strict=False)
    code, solved = tool_json("solve", path)
    assert code != 0 and not result.converged
    assert result.at_bounds == [{"symbol": "x", "bound": "lower"}]
    assert result.bound == ["lower", None]
    assert_same_as_tool(result, solved)


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
    assert f"quillon: {raised.value}\n" == in_python_words(err)
    assert "raise max_iter=" in str(raised.value)
    result = raised.value.result
    assert not result.converged and result.stop_reason == "iteration-limit"
    relaxed = quillon.load(path).solve(max_iter=1, strict=False)
    np.testing.assert_array_equal(relaxed.x, result.x)


def test_a_solve_that_stops_on_non_finite_values_converts_them_as_the_tool_writes_them(
        tool_json, tmp_path):
    # 1/x at x = 0: residuals written "inf", the scaled measure "nan".
    path = tmp_path / "domain.eq"
    path.write_text("var x = 0\nvar y = 2\neq root: 1/x = y\neq level: y = 2\n")
    result = quillon.load(path).solve(strict=False)
    code, solved = tool_json("solve", path)
    assert code == 1 and result.stop_reason == "non-finite-residuals"
    assert result.residual_norm == np.inf and result.largest_residual["value"] == np.inf
    assert np.isnan(result.history[0]["scaled_residual_norm"])
    assert result.residuals[0] == np.inf and solved["equations"][0]["residual"] == "inf"
    assert_same_as_tool(result, solved)


def test_results_read_by_symbol():
    result = quillon.load(example("flash_drum")).solve()
    assert result["V"] == result.x[result.symbols.index("V")]
    assert result.as_dict()["L"] == result["L"]
    assert result["v"] == result["V"]  # typed names resolve as the tool's do
    assert "V" in result and "nothing" not in result
    with pytest.raises(KeyError):
        result["nothing"]


@pytest.mark.parametrize("options, message", [
    ({"fix": {"z": 1}}, "fix z: the model has no variable 'z'"),
    ({"fix": {"T": 340}}, "the system is not square: 18 equations, 18 variables, 1 fixed, "
                          "so 18 equations for 17 unknowns; free 1 more equation with "
                          "free=[EQUATION]"),
    ({"start": {"z": 1}}, "start z: the model has no variable 'z'"),
    ({"start": [1.0, 2.0]}, "start holds 2 values; the model has 18 variables"),
    ({"tol": 0}, "tol: '0.0' is not a number greater than 0"),
    ({"abs_tol": -1e-9}, "abs_tol: '-1e-09' is not a number greater than 0"),
    ({"max_iter": -1}, "max_iter: '-1' is not a number of at least 0"),
    ({"free": ["nothing"]}, "free nothing: the model has no equation 'nothing'"),
    ({"free": ["T_spec"]}, "the system is not square: 18 equations, 1 freed, 18 variables, "
                           "0 fixed, so 17 equations for 18 unknowns; fix 1 more variable "
                           "with fix={SYMBOL: VALUE}"),
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


FAMILY = """
var F = 3
var Q[i] = 1 for i in 1..3
eq feed: F = 3
eq split[i]: Q[i] = i*F for i in 1..3
"""


@pytest.mark.parametrize("options, Q", [
    ({}, [3, 6, 9]),
    ({"fix": {"Q[2..3]": 5}, "free": ["split[2..3]"]}, [3, 5, 5]),
    ({"fix": {"q[*]": 4}, "free": ["split[*]"]}, [4, 4, 4]),
    ({"start": {"Q[*]": 0.5}, "max_iter": 0, "strict": False}, [0.5, 0.5, 0.5]),
])
def test_patterns_name_families_as_on_the_command_line(options, Q):
    result = quillon.load(FAMILY).solve(**options)
    np.testing.assert_array_equal(result["Q[*]"], Q)
    np.testing.assert_array_equal(result["Q[2..3]"], Q[1:])
    assert result["Q[1]"] == Q[0] and "Q[*]" in result and "R[*]" not in result
    with pytest.raises(KeyError):
        result["Q[*,1]"]


def test_a_pattern_that_names_nothing_is_a_usage_error():
    with pytest.raises(quillon.UsageError, match=re.escape(
            "fix Q[4..5]: no variable matches Q[4..5]; the variables Q[...] run from Q[1] to "
            "Q[3]")):
        quillon.load(FAMILY).solve(fix={"Q[4..5]": 1})
