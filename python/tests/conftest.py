"""Shared helpers of the module's tests: the examples, their variants, and
the `quillon` tool of the same build to compare with."""

import json
import os
import pathlib
import re
import subprocess

import pytest

ROOT = pathlib.Path(__file__).resolve().parents[2]
EXAMPLES = ROOT / "examples"


def example(name, file="model.json"):
    return EXAMPLES / name / file


def equations(name):
    return (EXAMPLES / name / "model.eq").read_text()


def flash_with_parameters():
    """The flash drum with T and P as parameters: the equations that set
    them dropped, so that solve(fix={"T": ..., "P": ...}) is square."""
    text = equations("flash_drum")
    text, dropped = re.subn(r"^eq [TP]_spec: .*$", "", text, flags=re.MULTILINE)
    assert dropped == 2
    return text


def cstr_with_coolant():
    """The CSTR with the coolant temperature as a variable to fix."""
    text, changed = re.subn(r"^const T_coolant = 300", "var T_coolant = 300",
                            equations("cstr"), flags=re.MULTILINE)
    assert changed == 1
    return text


def heat_rod(nodes):
    text, changed = re.subn(r"^const N = \d+", f"const N = {nodes}",
                            equations("heat_rod"), flags=re.MULTILINE)
    assert changed == 1
    return text


@pytest.fixture(scope="session")
def tool():
    """Runs the build's `quillon` and answers (exit code, stdout, stderr)."""
    path = os.environ.get("QUILLON_TOOL")
    if not path:
        pytest.skip("QUILLON_TOOL names no quillon tool to compare with")

    def run(*args):
        done = subprocess.run([path, *map(str, args)], capture_output=True, text=True,
                              check=False)
        return done.returncode, done.stdout, done.stderr

    return run


@pytest.fixture(scope="session")
def tool_json(tool):
    def run(*args):
        code, out, err = tool(*args, "--format", "json")
        assert out, err
        return code, json.loads(out)

    return run
