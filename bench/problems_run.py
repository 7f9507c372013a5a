#!/usr/bin/python3
"""Solves the published test problems of problems/ with `quillon solve` and with
SciPy's root finder (MINPACK's hybrid method, hybr, and Levenberg-Marquardt,
lm), all on the same model file, and prints a table. Run with Debian's
/usr/bin/python3, which has SciPy:

    /usr/bin/python3 bench/problems_run.py [--tool build/main/bin/quillon] [--only NAME ...]

The Jacobian SciPy gets is the model file's own derivative trees, evaluated
densely; beyond --dense-max unknowns (default 2000) SciPy is not run, since a
dense Jacobian of 10^4 unknowns would take 800 MB and minutes per step."""

import argparse
import os
import sys
import tempfile
import time

import numpy
import scipy.optimize
import scipy.sparse.linalg

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "problems"))
sys.path.insert(0, os.path.join(ROOT, "bench"))

import problem_set  # noqa: E402
from model_eval import ModelFunctions  # noqa: E402


def scipy_solve(functions, method):
    started = time.perf_counter()
    with numpy.errstate(all="ignore"):
        result = scipy.optimize.root(functions.residuals, functions.start, jac=functions.jacobian,
                                     method=method)
    seconds = time.perf_counter() - started
    return result, seconds


def judged(functions, converged, x, known, tolerance):
    """The outcome, where "wrong" is split: "other root" when one Newton step
    from x (sparse LU) is within the tolerance, so x is a root indeed, just not
    the one recorded; "wrong" when it is not, so the point is no root at all."""
    values = dict(zip(functions.symbols, x))
    verdict = problem_set.outcome(converged, problem_set.distance(values, known), tolerance)
    if verdict != "wrong":
        return verdict
    with numpy.errstate(all="ignore"):
        try:
            step = scipy.sparse.linalg.spsolve(functions.sparse_jacobian(x).tocsc(),
                                               functions.residuals(x))
        except RuntimeError:  # a singular Jacobian: no step to judge by
            return verdict
    scale = numpy.maximum(1.0, numpy.abs(x))
    return "other root" if numpy.max(numpy.abs(step) / scale) <= tolerance else verdict


def quillon_row(tool, functions, model, known, tolerance):
    code, document, seconds = problem_set.quillon_solve(tool, model)
    if document is None:
        return {"outcome": f"exit {code}", "iterations": "-", "seconds": seconds}
    values = {v["symbol"]: float(v["value"]) for v in document["variables"]}
    x = numpy.array([values[symbol] for symbol in functions.symbols])
    return {"outcome": judged(functions, code == 0, x, known, tolerance),
            "iterations": document["iterations"], "seconds": seconds}


def scipy_row(functions, method, known, tolerance):
    result, seconds = scipy_solve(functions, method)
    return {"outcome": judged(functions, bool(result.success), result.x, known, tolerance),
            "nfev": result.nfev, "seconds": seconds}


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--tool", default=os.path.join(ROOT, "build", "main", "bin", "quillon"))
    parser.add_argument("--only", nargs="*", default=None, help="problems to run")
    parser.add_argument("--dense-max", type=int, default=2000)
    arguments = parser.parse_args()
    solutions = problem_set.read_solutions()
    names = arguments.only or problem_set.problems()
    header = ("| problem | n | quillon | iter | s | hybr | nfev | s | lm | nfev | s |\n"
              "|---|---:|---|---:|---:|---|---:|---:|---|---:|---:|")
    print(header)
    counts = {"quillon": 0, "hybr": 0, "lm": 0}
    with tempfile.TemporaryDirectory() as directory:
        for name in names:
            model = problem_set.build_model(arguments.tool, name, directory)
            functions = ModelFunctions(model)
            solution = solutions[name]
            known = problem_set.known_values(solution, functions.symbols)
            tolerance = solution.get("tolerance", 1e-6)
            ours = quillon_row(arguments.tool, functions, model, known, tolerance)
            cells = [name, str(functions.size), ours["outcome"], str(ours["iterations"]),
                     f"{ours['seconds']:.3f}"]
            counts["quillon"] += ours["outcome"] == "solved"
            for method in ("hybr", "lm"):
                if functions.size > arguments.dense_max:
                    cells += ["not run (dense)", "-", "-"]
                    continue
                theirs = scipy_row(functions, method, known, tolerance)
                counts[method] += theirs["outcome"] == "solved"
                cells += [theirs["outcome"], str(theirs["nfev"]), f"{theirs['seconds']:.3f}"]
            print("| " + " | ".join(cells) + " |", flush=True)
    print(f"\nsolved (converged within tolerance of the known solution) of {len(names)}: "
          + ", ".join(f"{key} {value}" for key, value in counts.items()))
    print("quillon's time is the whole process (start, loading the plug-in and the model, "
          "solve); SciPy's the call of root alone. nfev counts residual evaluations.")


if __name__ == "__main__":
    main()
