#!/usr/bin/python3
"""Solves the published test problems of problems/ with `quillon solve` and with
SciPy's root finder (MINPACK's hybrid method, hybr, and Levenberg-Marquardt,
lm), all on the same model file, and prints a table. Run with Debian's
/usr/bin/python3, which has SciPy:

    /usr/bin/python3 bench/problems_run.py [--tool build/main/bin/quillon] [--only NAME ...]
    /usr/bin/python3 bench/problems_run.py --check-newton [--tool ...]

Each problem is also solved by full Newton (plain steps, no safeguard, dense
enough for the sizes CI runs), whose iteration count outcomes.tsv records for
problems/check.py to hold quillon to; --check-newton compares the two.

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


def full_newton(functions, limit=100, tolerance=1e-9):
    """Plain Newton from the standard start, x <- x - J(x)^-1 F(x) with no
    safeguard, until the largest absolute residual is at most 1e-9 (the tool's
    test before its scaled one): the iterations, or None when it does not get
    there within `limit`, meets a singular Jacobian or a non-finite value, or
    ends outside the variables' bounds (a root of another problem)."""
    x = functions.start.copy()
    with numpy.errstate(all="ignore"):
        for iteration in range(limit + 1):
            residuals = functions.residuals(x)
            if not numpy.all(numpy.isfinite(residuals)):
                return None
            if numpy.max(numpy.abs(residuals), initial=0.0) <= tolerance:
                inside = numpy.all((functions.lower <= x) & (x <= functions.upper))
                return iteration if inside else None
            try:
                step = scipy.sparse.linalg.spsolve(functions.sparse_jacobian(x).tocsc(),
                                                   -residuals)
            except RuntimeError:  # exactly singular
                return None
            if not numpy.all(numpy.isfinite(step)):
                return None
            x = x + step
    return None


def check_newton_counts(tool, names, outcomes):
    """Full Newton's iterations on each problem against outcomes.tsv's newton
    column: 0 when all agree, else 1 (the table has to follow the problems)."""
    differences = 0
    with tempfile.TemporaryDirectory() as directory:
        for name in names:
            functions = ModelFunctions(problem_set.build_model(tool, name, directory))
            counted = full_newton(functions)
            recorded = outcomes[name][2]
            mark = "ok" if counted == recorded else "DIFFERS"
            print(f"{name:30} full Newton {counted} table {recorded}  {mark}")
            differences += counted != recorded
    return 1 if differences else 0


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
    parser.add_argument("--check-newton", action="store_true",
                        help="only compare full Newton's iterations with outcomes.tsv, on the "
                             "problems it marks for CI (or --only)")
    arguments = parser.parse_args()
    outcomes = problem_set.read_outcomes()
    if arguments.check_newton:
        names = arguments.only or [name for name, row in sorted(outcomes.items()) if row[0]]
        return check_newton_counts(arguments.tool, names, outcomes)
    solutions = problem_set.read_solutions()
    names = arguments.only or problem_set.problems()
    header = ("| problem | n | quillon | iter | newton | s | hybr | nfev | s | lm | nfev | s |\n"
              "|---|---:|---|---:|---:|---:|---|---:|---:|---|---:|---:|")
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
            newton = full_newton(functions)
            cells = [name, str(functions.size), ours["outcome"], str(ours["iterations"]),
                     "-" if newton is None else str(newton), f"{ours['seconds']:.3f}"]
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
          "solve); SciPy's the call of root alone. nfev counts residual evaluations. newton: "
          "full Newton's iterations to a largest residual of 1e-9 within the bounds "
          "(- where it does not get there).")
    return 0


if __name__ == "__main__":
    sys.exit(main())
