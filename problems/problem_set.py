"""The published test problems: their files, known solutions, expected outcomes,
and one quillon solve of each. Standard library only, so that the CI check needs
nothing but the built tool; bench/problems_run.py adds SciPy's solvers."""

import json
import math
import os
import subprocess
import time

HERE = os.path.dirname(os.path.abspath(__file__))


def read_outcomes(path=os.path.join(HERE, "outcomes.tsv")):
    """The table of expected outcomes: problem -> (in_ci, expected, newton),
    newton being full Newton's iterations or None where it does not converge."""
    table = {}
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            fields = line.split()
            if len(fields) != 4:
                raise ValueError(f"outcomes.tsv: bad row {line!r}")
            problem, ci, expected, newton = fields
            if (ci not in ("yes", "no") or expected not in ("solved", "stopped", "wrong")
                    or not (newton == "-" or newton.isdigit())):
                raise ValueError(f"outcomes.tsv: bad row {line!r}")
            table[problem] = (ci == "yes", expected, None if newton == "-" else int(newton))
    return table


def read_solutions(path=os.path.join(HERE, "solutions.json")):
    with open(path, encoding="utf-8") as text:
        return json.load(text)


def bratu_solution(lam, points):
    """The continuous solution of u'' + lam exp(u) = 0, u(0) = u(1) = 0 (the
    lower branch): u(t) = -2 ln(cosh((t - 1/2) theta / 2) / cosh(theta / 4)),
    where theta = sqrt(2 lam) cosh(theta / 4), found by fixed-point iteration."""
    theta = 1.0
    for _ in range(200):
        theta = math.sqrt(2 * lam) * math.cosh(theta / 4)
    return [-2 * math.log(math.cosh((t - 0.5) * theta / 2) / math.cosh(theta / 4)) for t in points]


def known_values(solution, symbols):
    """The known solution as a value per symbol, in the order of `symbols`."""
    if "bratu" in solution:
        n = len(symbols)
        values = bratu_solution(solution["bratu"], [(i + 1) / (n + 1) for i in range(n)])
        return dict(zip(symbols, values))
    return solution["values"]


def distance(values, known):
    """The largest difference from the known solution, relative to max(1, |known|)."""
    worst = 0.0
    for symbol, target in known.items():
        value = values.get(symbol, float("nan"))
        gap = abs(value - target) / max(1.0, abs(target))
        worst = max(worst, gap if not math.isnan(gap) else math.inf)
    return worst


def build_model(tool, problem, directory):
    """Builds problems/PROBLEM.eq into DIRECTORY/PROBLEM.json and answers its path."""
    model = os.path.join(directory, problem + ".json")
    subprocess.run([tool, "build", os.path.join(HERE, problem + ".eq"), "-o", model], check=True)
    return model


def quillon_solve(tool, model, extra=()):
    """Solves with quillon (JSON output): (exit code, document or None, seconds)."""
    started = time.perf_counter()
    run = subprocess.run([tool, "solve", model, "--format", "json", *extra],
                         capture_output=True, text=True)
    seconds = time.perf_counter() - started
    document = json.loads(run.stdout) if run.stdout.strip() else None
    return run.returncode, document, seconds


def outcome(converged, gap, tolerance):
    """solved: converged near the known solution; wrong: converged elsewhere;
    stopped: did not converge."""
    if not converged:
        return "stopped"
    return "solved" if gap <= tolerance else "wrong"


def problems():
    """Every problem of the set, in name order."""
    return sorted(name[:-3] for name in os.listdir(HERE) if name.endswith(".eq"))
