"""The CI check of the published problems: builds each problem the outcome table
(problems/outcomes.tsv) marks for CI, solves it with `quillon solve`, and
compares the outcome with the table's: solved (converged within the problem's
tolerance of its known solution), stopped (did not converge) or wrong
(converged elsewhere). Any difference fails, so the table stays true as the
solver changes. Where full Newton converges (the table's newton column) and
quillon converges too, quillon may take at most two iterations more: the trust
region has to take Newton's steps where Newton's steps work. Standard library
only.

    python3 problems/check.py --tool build/test/bin/quillon --work DIR [--all]"""

import argparse
import os
import sys

import problem_set

# The iterations quillon may take beyond full Newton's where both converge.
NEWTON_ALLOWANCE = 2


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tool", required=True)
    parser.add_argument("--work", required=True, help="directory for the built model files")
    parser.add_argument("--all", action="store_true", help="also the problems not run in CI")
    arguments = parser.parse_args()
    os.makedirs(arguments.work, exist_ok=True)
    outcomes = problem_set.read_outcomes()
    solutions = problem_set.read_solutions()
    missing = set(problem_set.problems()) ^ set(outcomes)
    if missing:
        print(f"problems without an outcome row, or rows without a problem: {sorted(missing)}")
        return 1
    differences = 0
    for name, (in_ci, expected, newton) in sorted(outcomes.items()):
        if not (in_ci or arguments.all):
            continue
        model = problem_set.build_model(arguments.tool, name, arguments.work)
        code, document, seconds = problem_set.quillon_solve(arguments.tool, model)
        if document is None or code not in (0, 1):
            print(f"{name}: quillon exited {code} without a result")
            differences += 1
            continue
        values = {v["symbol"]: v["value"] for v in document["variables"]}
        values = {k: v if isinstance(v, (int, float)) else float(v) for k, v in values.items()}
        solution = solutions[name]
        known = problem_set.known_values(solution, list(values))
        gap = problem_set.distance(values, known)
        got = problem_set.outcome(code == 0, gap, solution.get("tolerance", 1e-6))
        iterations = document["iterations"]
        too_many = code == 0 and newton is not None and iterations > newton + NEWTON_ALLOWANCE
        mark = "ok" if got == expected and not too_many else "DIFFERS"
        if too_many:
            mark += f" (more than full Newton's {newton} + {NEWTON_ALLOWANCE} iterations)"
        print(f"{name:30} {got:8} expected {expected:8} {iterations:4} iterations "
              f"(full Newton {'-' if newton is None else newton:>3}) "
              f"{document['stop_reason']:22} off by {gap:.1e} {seconds:.2f} s  {mark}")
        differences += got != expected or too_many
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main())
