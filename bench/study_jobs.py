#!/usr/bin/python3
"""Studies on every core against one core, in the same run: the CSTR swept
by `quillon sweep --jobs N` against `--jobs 1`, and the CSTR's grid study
(examples/cstr_grid_study.py) in a process pool of N workers against one
process, each at two sizes: 64 solves, the size of a small study, and a
larger one where the work outweighs starting processes. Runs take turns;
the table gives wall-clock medians and their ratio, and the machine's load
as the run began and ended.

    /usr/bin/python3 bench/study_jobs.py --tool build/bench/bin/quillon \\
        --python-path build/bench/python [--jobs 2] [--repeat 9]
"""

import argparse
import os
import pathlib
import re
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = pathlib.Path(__file__).resolve().parents[1]


def cstr_with_coolant():
    text = (ROOT / "examples" / "cstr" / "model.eq").read_text()
    return re.sub(r"^const T_coolant = ", "var T_coolant = ", text, flags=re.MULTILINE)


def timed(command, environment=None):
    started = time.perf_counter()
    done = subprocess.run(command, capture_output=True, text=True, env=environment, check=False)
    seconds = time.perf_counter() - started
    if done.returncode not in (0, 1):
        sys.exit(f"{' '.join(command)} failed:\n{done.stderr}")
    return seconds, done.stdout


def sweep_seconds(tool, model, values, jobs):
    # Coolant temperatures where the ignited steady state continues.
    return timed([tool, "sweep", model, "--vary", f"T_coolant=290:302:{values - 1}",
                  "--output", "T", "--jobs", str(jobs)])[0]


def study_seconds(python_path, size, jobs):
    # The study's own clock: the pool's start and every solve, not Python's.
    environment = dict(os.environ, PYTHONPATH=python_path)
    _, out = timed([sys.executable, str(ROOT / "examples" / "cstr_grid_study.py"),
                    "--size", str(size), "--jobs", str(jobs)], environment)
    return float(re.search(r"solves in ([0-9.]+) s", out).group(1))


def compare(name, run, repeat, jobs):
    alone, shared = [], []
    for _ in range(repeat):
        alone.append(run(1))
        shared.append(run(jobs))
    one, many = statistics.median(alone), statistics.median(shared)
    print(f"| {name} | {one:.4f} | {many:.4f} | {many / one:.2f} |", flush=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tool", default=str(ROOT / "build/bench/bin/quillon"))
    parser.add_argument("--python-path", default=str(ROOT / "build/bench/python"))
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--repeat", type=int, default=9)
    arguments = parser.parse_args()

    with tempfile.TemporaryDirectory() as folder:
        model = str(pathlib.Path(folder) / "cstr.json")
        built = subprocess.run([arguments.tool, "build", "-", "-o", model],
                               input=cstr_with_coolant(), text=True, check=False)
        if built.returncode != 0:
            sys.exit("cannot build the CSTR")
        print(f"load average at the start: {os.getloadavg()[0]:.1f}")
        print(f"| study | one core s | {arguments.jobs} jobs s | ratio |")
        print("|---|---:|---:|---:|")
        for values in (64, 4096):
            compare(f"quillon sweep, {values} values",
                    lambda jobs: sweep_seconds(arguments.tool, model, values, jobs),
                    arguments.repeat, arguments.jobs)
        for size in (8, 32):
            compare(f"process pool, {size * size} points",
                    lambda jobs: study_seconds(arguments.python_path, size, jobs),
                    arguments.repeat, arguments.jobs)
        print(f"load average at the end: {os.getloadavg()[0]:.1f}")


if __name__ == "__main__":
    main()
