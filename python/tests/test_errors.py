"""Errors are Python exceptions with the tool's texts, never a crash."""

import json
import re

import numpy as np
import pytest

import quillon
from conftest import example

PREFIX = "quillon: error: "

BROKEN_MODELS = {
    "not json": "{",
    "empty": "",
    "number missing": json.dumps({"Variables": [{"VariableSymbol": "x"}],
                                  "EquationList": [{"Type": 2}]}),
    "list of a number": json.dumps({"Variables": 5, "EquationList": []}),
}


@pytest.mark.parametrize("text", BROKEN_MODELS.values(), ids=BROKEN_MODELS.keys())
def test_model_file_faults_keep_the_plugins_text(tmp_path, tool, text):
    path = tmp_path / "broken.json"
    path.write_text(text)
    code, _, err = tool("eval", path)
    with pytest.raises(quillon.ModelError) as raised:
        model = quillon.load(path)
        model.residuals(model.start)
        model.jacobian(model.start)
    # The tool puts the file's place before the plug-in's text; the module
    # keeps the plug-in's text alone.
    assert code == 2 and err.startswith(PREFIX) and err.endswith(": " + str(raised.value) + "\n")


def test_evaluation_faults_raise_model_errors(tmp_path, tool):
    document = json.loads(quillon.build("var x = 1\neq e: x = 2"))
    document["EquationList"][0]["SubExpressions"][1] = {"Type": 3, "StringValue": "abc"}
    path = tmp_path / "text.json"
    path.write_text(json.dumps(document))
    model = quillon.load(path)
    with pytest.raises(quillon.ModelError) as raised:
        model.residuals(model.start)
    code, _, err = tool("eval", path)
    assert code == 2 and err == PREFIX + str(raised.value) + "\n"
    with pytest.raises(quillon.ModelError):
        model.solve()


@pytest.mark.parametrize("call, error, message", [
    (lambda: quillon.load("var x = 1\neq e: x = (2"), quillon.ModelError,
     r"^<text>:2:11: error: this '\(' is not closed: expected an operator or '\)'"),
    (lambda: quillon.build("eq e: y = 1"), quillon.ModelError,
     r"^<text>:1:7: error: y is not declared"),
    (lambda: quillon.load("no_such_model.json"), quillon.UsageError,
     r"^File does not exist: no_such_model.json$"),
    (lambda: quillon.load(example("flash_drum").parent), quillon.UsageError,
     r"^File is actually a directory"),
    (lambda: quillon.load(example("cstr"), plugin="/nonexistent/libquillon.so"),
     quillon.UsageError, r"/nonexistent/libquillon.so"),
    (lambda: quillon.show(example("cstr"), equation="nope"), quillon.UsageError,
     r"^equation: the model has no equation 'nope'"),
    (lambda: quillon.load(example("cstr")).residuals([1, 2]), quillon.UsageError,
     r"^x holds 2 values; the model has 6 variables$"),
    (lambda: quillon.load(example("cstr")).jacobian(np.zeros((6, 1))), quillon.UsageError,
     r"^x holds 6 values; the model has 6 variables$"),
])
def test_faults_of_use_and_of_text(call, error, message):
    with pytest.raises(error) as raised:
        call()
    assert re.search(message, str(raised.value)), str(raised.value)


def test_the_errors_form_one_hierarchy():
    for error in (quillon.ModelError, quillon.UsageError, quillon.SolveError):
        assert issubclass(error, quillon.Error)
    assert not issubclass(quillon.ModelError, quillon.UsageError)


def test_python_errors_pass_through_as_python_errors():
    model = quillon.load(example("cstr"))
    with pytest.raises(ValueError):
        model.residuals(["a"] * 6)
    with pytest.raises(TypeError):
        model.solve(fix={"T": "hot"})
