#!/usr/bin/python3
"""A parameter study with quillon for Python: the CSTR's steady state as the
coolant temperature varies, each solve starting from the previous solution,
with the sensitivity dT/dT_coolant at each point. Saves a figure as PNG.

    PYTHONPATH=build/main/python /usr/bin/python3 examples/cstr_study.py -o cstr_study.png
"""

import argparse
import pathlib
import re

import matplotlib

matplotlib.use("Agg")
import matplotlib.pyplot as plt  # noqa: E402 (after the backend is chosen)
import numpy as np  # noqa: E402

import quillon  # noqa: E402

HERE = pathlib.Path(__file__).resolve().parent


def cstr_with_coolant_variable():
    """The CSTR's equations with the coolant temperature made a variable,
    so that each solve can fix it at another value."""
    text = (HERE / "cstr" / "model.eq").read_text()
    return re.sub(r"^const T_coolant = ", "var T_coolant = ", text, flags=re.MULTILINE)


def study(model, coolant_temperatures):
    """Solves at each coolant temperature from the previous solution; answers
    rows of (T_coolant, T, CA, dT/dT_coolant), NaN where a solve failed."""
    rows = []
    previous = None
    for coolant in coolant_temperatures:
        result = model.solve(fix={"T_coolant": coolant}, start=previous, strict=False)
        if not result.converged:
            print(f"T_coolant = {coolant:.2f} K: {result.message}")
            rows.append((coolant, np.nan, np.nan, np.nan))
            continue
        slope = model.sensitivity(result, "T", "T_coolant")[0, 0]
        rows.append((coolant, result["T"], result["CA"], slope))
        previous = result
    return np.array(rows)


def plot(rows, output):
    figure, (temperature, concentration) = plt.subplots(2, 1, sharex=True, figsize=(6, 6))
    temperature.plot(rows[:, 0], rows[:, 1], "o-")
    temperature.set_ylabel("reactor temperature / K")
    concentration.plot(rows[:, 0], rows[:, 2], "s-", color="tab:orange")
    concentration.set_ylabel("CA / (mol/m3)")
    concentration.set_xlabel("coolant temperature / K")
    figure.suptitle("CSTR steady states (warm-started continuation)")
    figure.tight_layout()
    figure.savefig(output, dpi=100)
    plt.close(figure)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("-o", "--output", default="cstr_study.png", help="PNG to write")
    parser.add_argument("--from", dest="first", type=float, default=300.0)
    parser.add_argument("--to", dest="last", type=float, default=320.0)
    parser.add_argument("--steps", type=int, default=21)
    arguments = parser.parse_args()

    model = quillon.load(cstr_with_coolant_variable())
    rows = study(model, np.linspace(arguments.first, arguments.last, arguments.steps))
    print(f"{'T_coolant':>10} {'T':>10} {'CA':>10} {'dT/dTc':>10}")
    for row in rows:
        print(" ".join(f"{value:10.4f}" for value in row))
    plot(rows, arguments.output)
    print(f"wrote {arguments.output}")


if __name__ == "__main__":
    main()
