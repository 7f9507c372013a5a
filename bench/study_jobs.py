#!/usr/bin/python3
"""Studies on every core against one core, in the same run, taking turns:

- the grid study of examples/cstr_grid_study.py, solved in this process
  against a pool of N workers that each hold the model (its ModelPool,
  started once, before the clock, as a study on a cluster finds its workers
  running), at 64 points and at 1024; and the pool's own start apart;
- the CSTR swept by `quillon sweep --jobs N` against `--jobs 1`, the whole
  process, at 64 values and at 4096; and a sweep of two values, nearly all
  of it the process's start and the model's loading.

The table gives wall-clock medians and their ratio, and the machine's load
average as the run began and ended (the cores are shared).

    /usr/bin/python3 bench/study_jobs.py --tool build/bench/bin/quillon \\
        --python-path build/bench/python [--jobs 2] [--repeat 9]
"""

import argparse
import os
import pathlib
import statistics
import subprocess
import sys
import tempfile
import time

ROOT = pathlib.Path(__file__).resolve().parents[1]


def seconds_of(run):
    started = time.perf_counter()
    run()
    return time.perf_counter() - started


def row(name, one, many=None):
    one = statistics.median(one)
    if many is None:
        print(f"| {name} | {one:.4f} | | |", flush=True)
        return
    many = statistics.median(many)
    print(f"| {name} | {one:.4f} | {many:.4f} | {many / one:.2f} |", flush=True)


def taking_turns(alone, shared, repeat):
    ones, manys = [], []
    for _ in range(repeat):
        ones.append(alone())
        manys.append(shared())
    return ones, manys


def pool_studies(arguments):
    sys.path[:0] = [arguments.python_path, str(ROOT / "examples")]
    import numpy as np

    import quillon
    from cstr_grid_study import ModelPool, grid, solve_point, cstr_with_parameters

    model = quillon.load(cstr_with_parameters())
    starts = []
    for _ in range(arguments.repeat):
        started = time.perf_counter()
        with ModelPool(model, arguments.jobs):
            starts.append(time.perf_counter() - started)
    with ModelPool(model, arguments.jobs) as pool:
        for size in (8, 32):
            points = grid(np.linspace(290, 320, size), np.linspace(330, 370, size))
            alone, shared = taking_turns(
                lambda: seconds_of(lambda: [solve_point(model, point) for point in points]),
                lambda: seconds_of(lambda: pool.solve(points)), arguments.repeat)
            row(f"grid study, {len(points)} points (pool started)", alone, shared)
    row(f"start of the pool of {arguments.jobs}, each with the model", starts)


def sweep_seconds(tool, model, values, jobs):
    # Coolant temperatures where the ignited steady state continues.
    command = [tool, "sweep", model, "--vary", f"T_coolant=290:302:{values - 1}", "--output", "T",
               "--jobs", str(jobs)]
    started = time.perf_counter()
    done = subprocess.run(command, capture_output=True, text=True, check=False)
    seconds = time.perf_counter() - started
    if done.returncode not in (0, 1):
        sys.exit(f"{' '.join(command)} failed:\n{done.stderr}")
    return seconds


def sweeps(arguments, folder):
    text = (ROOT / "examples" / "cstr" / "model.eq").read_text()
    text = text.replace("\nconst T_coolant = ", "\nvar T_coolant = ", 1)
    model = str(pathlib.Path(folder) / "cstr.json")
    subprocess.run([arguments.tool, "build", "-", "-o", model], input=text, text=True, check=True)
    for values in (64, 4096):
        alone, shared = taking_turns(lambda: sweep_seconds(arguments.tool, model, values, 1),
                                     lambda: sweep_seconds(arguments.tool, model, values,
                                                           arguments.jobs), arguments.repeat)
        row(f"quillon sweep, {values} values (whole process)", alone, shared)
    row("quillon sweep, 2 values: the start and the loading",
        [sweep_seconds(arguments.tool, model, 2, 1) for _ in range(arguments.repeat)])


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--tool", default=str(ROOT / "build/bench/bin/quillon"))
    parser.add_argument("--python-path", default=str(ROOT / "build/bench/python"))
    parser.add_argument("--jobs", type=int, default=2)
    parser.add_argument("--repeat", type=int, default=9)
    arguments = parser.parse_args()

    print(f"load average at the start: {' '.join(f'{x:.2f}' for x in os.getloadavg())}")
    print(f"| study | one core s | {arguments.jobs} jobs s | ratio |")
    print("|---|---:|---:|---:|")
    pool_studies(arguments)
    with tempfile.TemporaryDirectory() as folder:
        sweeps(arguments, folder)
    print(f"load average at the end: {' '.join(f'{x:.2f}' for x in os.getloadavg())}")


if __name__ == "__main__":
    main()
