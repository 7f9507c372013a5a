#!/usr/bin/python3
"""A parameter study on every core: the CSTR's steady state over a grid of
coolant and feed temperatures, each point solved in a process pool.

    PYTHONPATH=build/main/python /usr/bin/python3 examples/cstr_grid_study.py -o grid.png

Each worker of the pool gets the model once, from the pool's initializer
(a forked worker inherits it; one started afresh receives it pickled, as
the equations it was made from, and makes it again), and keeps it for
every point it is given: a pool is started once and serves any number of
studies. Every point is solved from the model's starting point, so a
point's answer is the same whichever worker solves it and in whatever
order; --jobs 1 solves them one after the other in this process.
"""

import argparse
import concurrent.futures
import multiprocessing
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


# The model this worker process received, once, from the pool's initializer.
_worker_model = None


def _receive_model(model, all_started):
    global _worker_model
    _worker_model = model
    # No worker takes a task before every one holds the model, so that each
    # of the pool's first tasks goes to a worker of its own.
    all_started.wait(timeout=600)


def _solve_chunk(points):
    return [solve_point(_worker_model, point) for point in points]


class ModelPool:
    """`jobs` worker processes that each hold `model`, all started before
    the constructor returns, so that the studies given to the pool pay
    neither for starting processes nor for loading the model."""

    def __init__(self, model, jobs):
        context = multiprocessing.get_context()
        self.jobs = jobs
        self._pool = concurrent.futures.ProcessPoolExecutor(
            max_workers=jobs, mp_context=context, initializer=_receive_model,
            initargs=(model, context.Barrier(jobs)))
        # A task for each worker, since some ways of starting processes start
        # one for each task that finds no worker idle.
        for started in [self._pool.submit(int) for _ in range(jobs)]:
            started.result()

    def solve(self, points):
        """The rows of solve_point for every point, in order. A few chunks
        of points for each worker: a task costs a round trip between
        processes, which a chunk shares out over its solves, and more
        chunks than workers even out points that take longer."""
        size = max(1, -(-len(points) // (4 * self.jobs)))
        chunks = [points[start:start + size] for start in range(0, len(points), size)]
        return [row for rows in self._pool.map(_solve_chunk, chunks) for row in rows]

    def __enter__(self):
        return self

    def __exit__(self, *exception):
        self._pool.shutdown()


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
    points = grid(coolants, feeds)
    if arguments.jobs == 1:
        started = time.perf_counter()
        rows = [solve_point(model, point) for point in points]
        seconds = time.perf_counter() - started
        how = "in this process"
    else:
        started = time.perf_counter()
        with ModelPool(model, arguments.jobs) as pool:
            ready = time.perf_counter()
            rows = pool.solve(points)
            seconds = time.perf_counter() - ready
        how = f"by {arguments.jobs} workers, started with the model in {ready - started:.3f} s"
    print(f"{'T_coolant':>10} {'T_feed':>10} {'T':>10} {'CA':>10}")
    for coolant, feed, temperature, concentration, converged in rows:
        solved = f"{temperature:10.3f} {concentration:10.3f}" if converged else "  not converged"
        print(f"{coolant:10.3f} {feed:10.3f} {solved}")
    print(f"{len(rows)} solves in {seconds:.3f} s {how}")
    if arguments.output:
        plot(rows, coolants, feeds, arguments.output)
        print(f"wrote {arguments.output}")


if __name__ == "__main__":
    main()
