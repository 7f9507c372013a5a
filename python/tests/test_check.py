"""Model.check is `quillon check`: the same findings, as dicts."""

import json

import pytest

import quillon
from conftest import example


def wrong_derivative(tmp_path):
    document = json.loads(quillon.build("var x = 1 in [0, 10]\neq sq: x^2 = 4\n"))
    document["EquationList"][0]["Variables"][0]["Differential"] = {"Type": 4,
                                                                   "StringValue": "x"}
    path = tmp_path / "sq.json"
    path.write_text(json.dumps(document))
    return path


@pytest.mark.parametrize("at, arguments", [(None, []), ({"x": 3}, ["--at", "x=3"])])
def test_findings_are_the_tools(tmp_path, tool_json, at, arguments):
    path = wrong_derivative(tmp_path)
    findings = quillon.load(path).check(at=at)
    code, checked = tool_json("check", path, *arguments)
    assert code == 1 and findings == checked["findings"]
    assert findings[0]["kind"] == "derivative-mismatch"
    assert findings[0]["pointer"] == "/EquationList/0/Variables/0"


def test_a_sound_model_has_no_findings():
    assert quillon.load(example("flash_drum")).check() == []
