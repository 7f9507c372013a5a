"""Model.sweep is `quillon sweep`: the same sweeps, plain or followed along
the curve, as NumPy arrays."""

import json

import numpy as np
import pytest

import quillon
from conftest import EXAMPLES

CSTR = EXAMPLES / "adiabatic_cstr"


@pytest.fixture(scope="module")
def cstr():
    return quillon.load(CSTR / "model.eq")


def test_followed_curve_is_the_tools_with_its_turning_points(cstr, tool):
    curve = cstr.sweep("tau", 0.2, 10, 40, follow=True)
    code, out, _ = tool("sweep", CSTR / "model.eq", "--vary", "tau=0.2:10:40", "--follow",
                        "--format", "json")
    assert code == 0
    followed = json.loads(out)
    np.testing.assert_array_equal(curve.values, [p["value"] for p in followed["points"]])
    np.testing.assert_array_equal(curve["X"], [p["outputs"]["X"] for p in followed["points"]])
    np.testing.assert_array_equal(curve.arc_length, [p["arc_length"] for p in followed["points"]])
    assert curve.point == [p["point"] for p in followed["points"]]
    assert curve.end == followed["end"]
    expected = json.loads((CSTR / "expected.json").read_text())
    turning = curve.turning_points
    np.testing.assert_allclose(turning.values,
                               [t["value"] for t in expected["turning_points"]], rtol=1e-6)
    column = curve.symbols.index("T")
    np.testing.assert_allclose(turning.x[:, column],
                               [t["outputs"]["T"] for t in expected["turning_points"]],
                               rtol=1e-6)
    assert len(curve.branch_points.values) == 0
    assert curve.converged.all() and len(curve) == len(curve.values)


def test_plain_sweep_is_the_tools_and_notes_the_turn(cstr, tool):
    plain = cstr.sweep("tau", 0.2, 10, 14)
    code, out, _ = tool("sweep", CSTR / "model.eq", "--vary", "tau=0.2:10:14", "--format", "json")
    assert code == 1
    swept = json.loads(out)["points"]
    assert plain.status == [p["status"] for p in swept]
    assert plain.stop_reason == [p["stop_reason"] for p in swept]
    assert list(plain.converged) == [p["status"] == "Converged" for p in swept]
    x = plain["X"]
    for value, point in zip(x, swept):
        assert (np.isnan(value) and point["outputs"]["X"] is None) or value == point["outputs"]["X"]
    failed = [note for note, ok in zip(plain.note, plain.converged) if not ok]
    assert failed and all(note["kind"] == "turning-point" for note in failed)
    # The note names Python's option, not the command line's.
    assert failed[0]["message"] == ("the solution curve has a turning point near tau = 5.71; "
                                    "`follow=True` traces around it")
    assert plain.arc_length is None and plain.end is None


@pytest.mark.parametrize("arguments, message", [
    (dict(vary="tau", start=1, stop=1, steps=4, follow=True),
     "follow=True: start and stop must differ; the curve is followed while tau stays between "
     "them"),
    (dict(vary="tau", start=1, stop=2, steps=4, follow=True, min_step=0.5, max_step=0.1),
     "min_step 0.5 is above max_step 0.1"),
    (dict(vary="tau", start=1, stop=2, steps=0), "steps: 0 is not a whole number from 1 to "
                                                 "1000000"),
    (dict(vary="TAU", start=1, stop=2, steps=4, fix={"tau": 3}),
     "vary: TAU is varied, so fix cannot give it a value too"),
    (dict(vary="tauu", start=1, stop=2, steps=4), "vary: the model has no variable 'tauu'"),
])
def test_usage_faults_are_named(cstr, arguments, message):
    with pytest.raises(quillon.UsageError) as raised:
        cstr.sweep(**arguments)
    assert str(raised.value).startswith(message)


def test_a_column_by_symbol_needs_a_variable(cstr):
    curve = cstr.sweep("tau", 0.2, 1, 4, follow=True)
    with pytest.raises(KeyError):
        curve["nothing"]


def test_a_failed_solve_names_pythons_options(cstr):
    # Two iterations cannot reach the ignited branch: the message says what
    # to raise as Python spells it.
    plain = cstr.sweep("tau", 0.2, 10, 2, max_iter=2)
    failed = [message for message, ok in zip(plain.message, plain.converged) if not ok]
    assert failed
    assert not any("--" in message for message in failed), failed
