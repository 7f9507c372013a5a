"""The CI check of the flowsheet models: solves each row of
problems/flowsheets/verdicts.tsv with `quillon solve --format json` and
compares the exit code, the stop reason, the diagnosis's cause and the
iterations with the table's. Any difference fails, so a change of the solver
that sends a user the wrong way on an ill-posed model (a success without a
unique solution, a cause misnamed, a slow stop) does not pass. Standard
library only.

    python3 problems/verdicts.py --tool build/test/bin/quillon"""

import argparse
import json
import os
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
TABLE = os.path.join(ROOT, "problems", "flowsheets", "verdicts.tsv")


def read_table(path=TABLE):
    """(model, arguments, exit, stop, cause or None, most) per row."""
    rows = []
    with open(path, encoding="utf-8") as lines:
        for line in lines:
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            fields = line.split()
            if len(fields) != 6 or not fields[2].isdigit() or not fields[5].isdigit():
                raise ValueError(f"verdicts.tsv: bad row {line!r}")
            model, arguments, code, stop, cause, most = fields
            rows.append((model, [] if arguments == "-" else arguments.split(","), int(code), stop,
                         None if cause == "-" else cause, int(most)))
    return rows


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tool", required=True)
    arguments = parser.parse_args()
    differences = 0
    for model, extra, code, stop, cause, most in read_table():
        run = subprocess.run([arguments.tool, "solve", os.path.join(ROOT, model), "--format",
                              "json", *extra], capture_output=True, text=True)
        try:
            document = json.loads(run.stdout)
        except json.JSONDecodeError:
            print(f"{model} {' '.join(extra)}: quillon exited {run.returncode} without a result")
            differences += 1
            continue
        got = (run.returncode, document["stop_reason"], document["cause"])
        iterations = document["iterations"]
        same = got == (code, stop, cause) and iterations <= most
        print(f"{model + ' ' + ' '.join(extra):60} exit {got[0]} {got[1]:18} {str(got[2]):24} "
              f"{iterations:3} iterations (at most {most})  {'ok' if same else 'DIFFERS'}")
        differences += not same
    return 1 if differences else 0


if __name__ == "__main__":
    sys.exit(main())
