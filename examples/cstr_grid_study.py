#!/usr/bin/python3
"""A parameter study on every core: the CSTR's steady state over a grid of
coolant and feed temperatures, each point solved in a process pool.

    PYTHONPATH=build/main/python /usr/bin/python3 examples/cstr_grid_study.py -o grid.png

A quillon.Model pickles as the equations it was made from, so the pool's
workers get the model once each (the pool's initializer) and make it again
in their own process. Every point is solved from the model's starting
point, so a point's answer is the same whichever worker solves it and in
whatever order; --jobs 1 solves them one after the other in this process.
"""

import argparse
import concurrent.futures
import os
import pathlib
import re
import time

import numpy as np

import quillon

HERE = pathlib.Path(__file__).resolve().parent
PARAMETERS = ("T_coolant", "T_feed")


def cstr_with_parameters():
    """The CSTR's equations with the coolant and feed temperatures made
    variables, so that each solve can fix them at other values."""
    text = (HERE / "cstr" / "model.eq").read_text()
    for name in PARAMETERS:
        text, changed = re.subn(rf"^const {name} = ", f"var {name} = ", text, flags=re.MULTILINE)
        assert changed == 1, name
    return text


def grid(coolants, feeds):
    """Every (coolant, feed) pair, the feed varying fastest."""
    return [(coolant, feed) for coolant in coolants for feed in feeds]


def solve_point(model, point):
    """(T_coolant, T_feed, T, CA, converged) at one point of the grid."""
    coolant, feed = point
    result = model.solve(fix=dict(zip(PARAMETERS, point)), strict=False)
    return coolant, feed, result["T"], result["CA"], result.converged


# The model each worker of the pool received, once, from the initializer.
_worker_model = None


def _receive_model(model):
    global _worker_model
    _worker_model = model


def _solve_in_worker(point):
    return solve_point(_worker_model, point)


def study(model, points, jobs):
    """The rows of solve_point for every point, in order, solved by `jobs`
    processes (this one alone for 1)."""
    if jobs == 1:
        return [solve_point(model, point) for point in points]
    with concurrent.futures.ProcessPoolExecutor(max_workers=jobs, initializer=_receive_model,
                                                initargs=(model,)) as pool:
        return list(pool.map(_solve_in_worker, points,
                             chunksize=max(1, len(points) // (4 * jobs))))


def plot(rows, coolants, feeds, output):
    import matplotlib

    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    temperature = np.array([row[2] if row[4] else np.nan for row in rows])
    figure, axes = plt.subplots(figsize=(6, 4.5))
    image = axes.pcolormesh(feeds, coolants, temperature.reshape(len(coolants), len(feeds)),
                            shading="nearest")
    figure.colorbar(image, label="reactor temperature / K")
    axes.set_xlabel("feed temperature / K")
    axes.set_ylabel("coolant temperature / K")
    axes.set_title("CSTR steady state from one starting point")
    figure.tight_layout()
    figure.savefig(output, dpi=100)
    plt.close(figure)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("-o", "--output", help="PNG to draw the grid into")
    parser.add_argument("--jobs", type=int, default=os.cpu_count(),
                        help="processes (default: one per core)")
    parser.add_argument("--size", type=int, default=8, help="points along each parameter")
    arguments = parser.parse_args()

    model = quillon.load(cstr_with_parameters())
    coolants = np.linspace(290.0, 320.0, arguments.size)
    feeds = np.linspace(330.0, 370.0, arguments.size)
    started = time.perf_counter()
    rows = study(model, grid(coolants, feeds), arguments.jobs)
    seconds = time.perf_counter() - started
    print(f"{'T_coolant':>10} {'T_feed':>10} {'T':>10} {'CA':>10}")
    for coolant, feed, temperature, concentration, converged in rows:
        solved = f"{temperature:10.3f} {concentration:10.3f}" if converged else "  not converged"
        print(f"{coolant:10.3f} {feed:10.3f} {solved}")
    print(f"{len(rows)} solves in {seconds:.3f} s with {arguments.jobs} jobs")
    if arguments.output:
        plot(rows, coolants, feeds, arguments.output)
        print(f"wrote {arguments.output}")


if __name__ == "__main__":
    main()
