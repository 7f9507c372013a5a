#!/usr/bin/env python3
"""The heat rod: steady conduction along a thin rod that loses heat by
radiation, discretised on N nodes; a model of any size for benchmarks.

Usage:
  generate.py N              writes the model with N equations on stdout
  generate.py --profile [N]  writes expected.json's content on stdout: the
                             temperature at tenths of the length, from a
                             tridiagonal Newton solve with N nodes (default
                             100000) that does not use the model file

Each balance is written in kelvin, scaled by the square of the node spacing,
so its residuals shrink as N grows while the system's conditioning grows as
N^2: at 10^5 nodes a largest residual of 1e-9 still leaves the temperatures
some 0.01 K off. The solver's step test (the Newton step from a converged
point must be small against the temperatures) is what meets expected.json's
tolerance with the default options at every size up to 10^5.
"""

import json
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from model_builder import Model  # noqa: E402

LENGTH = 0.3  # m
DIAMETER = 0.01  # m
CONDUCTIVITY = 200.0  # W/(m K), aluminium
EMISSIVITY = 0.8
STEFAN_BOLTZMANN = 5.670374419e-8  # W/(m2 K4)
T_BASE = 600.0  # K, held at x = 0
T_AMBIENT = 300.0  # K; the tip at x = LENGTH is insulated


def radiation_factor(nodes):
    """beta in T[i-1] - 2 T[i] + T[i+1] - beta (T[i]^4 - Ta^4) = 0."""
    step = LENGTH / nodes
    return step * step * EMISSIVITY * STEFAN_BOLTZMANN * 4 / (DIAMETER * CONDUCTIVITY)


def symbol(i):
    return "T_%d" % i


def build_model(nodes):
    m = Model()
    beta = radiation_factor(nodes)
    temperatures = [None] + [m.variable(symbol(i), "temperature at node %d / K" % i, T_BASE,
                                        T_AMBIENT, T_BASE)
                             for i in range(1, nodes + 1)]
    for i in range(1, nodes + 1):
        left = T_BASE if i == 1 else temperatures[i - 1]
        right = temperatures[i - 1] if i == nodes else temperatures[i + 1]
        t = temperatures[i]
        m.equation("balance_%d" % i,
                   left - 2 * t + right - beta * (t ** 4 - T_AMBIENT ** 4))
    return m


def solve_reference(nodes):
    """Newton's method on the same equations with a tridiagonal solver."""
    beta = radiation_factor(nodes)
    t = [T_BASE] * (nodes + 1)  # t[0] is the base
    for _ in range(50):
        lower, diagonal, upper, rhs = [], [], [], []
        for i in range(1, nodes + 1):
            left = t[i - 1]
            right = t[i - 1] if i == nodes else t[i + 1]
            rhs.append(-(left - 2 * t[i] + right - beta * (t[i] ** 4 - T_AMBIENT ** 4)))
            diagonal.append(-2 - 4 * beta * t[i] ** 3)
            lower.append(0.0 if i == 1 else (2.0 if i == nodes else 1.0))
            upper.append(0.0 if i == nodes else 1.0)
        for i in range(1, nodes):
            factor = lower[i] / diagonal[i - 1]
            diagonal[i] -= factor * upper[i - 1]
            rhs[i] -= factor * rhs[i - 1]
        step = [0.0] * nodes
        step[-1] = rhs[-1] / diagonal[-1]
        for i in range(nodes - 2, -1, -1):
            step[i] = (rhs[i] - upper[i] * step[i + 1]) / diagonal[i]
        for i in range(nodes):
            t[i + 1] += step[i]
        if max(abs(s) for s in step) < 1e-11:
            break
    return t


def profile(nodes):
    t = solve_reference(nodes)
    return {"tolerance": {"absolute": 1e-3},
            "profile": [{"fraction": tenth / 10, "temperature": t[nodes * tenth // 10]}
                        for tenth in range(11)]}


def main():
    if len(sys.argv) >= 2 and sys.argv[1] == "--profile":
        nodes = int(sys.argv[2]) if len(sys.argv) > 2 else 100000
        json.dump(profile(nodes), sys.stdout, indent=2)
        sys.stdout.write("\n")
    elif len(sys.argv) == 2 and sys.argv[1].isdigit() and int(sys.argv[1]) >= 1:
        build_model(int(sys.argv[1])).write(sys.stdout)
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main()
