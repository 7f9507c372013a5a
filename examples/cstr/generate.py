#!/usr/bin/env python3
"""Writes the CSTR model (model.json) and its steady state (expected.json).

The steady states are worked out directly from the physics: the mole balance
gives CA as a function of T, which leaves one energy balance in T, whose
roots are bracketed by a scan and refined by bisection. These conditions have
three steady states; the model starts near the upper (ignited) one, and
expected.json holds it, with the other two listed for reference.

Usage: generate.py [FOLDER]   (default: this script's folder)
"""

import json
import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from model_builder import Model, exp  # noqa: E402

VOLUME = 0.1  # m3
FLOW = 100e-3 / 60  # m3/s (100 L/min)
CA_FEED = 1000.0  # mol/m3
T_FEED = 350.0  # K
K0 = 7.2e10 / 60  # 1/s
E_OVER_R = 8750.0  # K
HEAT_OF_REACTION = -5e4  # J/mol
DENSITY = 1000.0  # kg/m3
HEAT_CAPACITY = 239.0  # J/(kg K)
UA = 5e4 / 60  # W/K
T_COOLANT = 300.0  # K


def build_model():
    m = Model()
    ca = m.variable("CA", "concentration of A / (mol/m3)", 200, 0, CA_FEED)
    cb = m.variable("CB", "concentration of B / (mol/m3)", 800, 0, CA_FEED)
    t = m.variable("T", "reactor temperature / K", 370, 250, 600)
    k = m.variable("k", "rate constant / (1/s)", 0.05, 0, None)
    r = m.variable("r", "reaction rate / (mol/(m3 s))", 10, 0, None)
    q = m.variable("Q", "heat removed by the jacket / W", 5e4, None, None)
    m.equation("Arrhenius", k - K0 * exp(-E_OVER_R / t))
    m.equation("rate", r - k * ca)
    m.equation("A_balance", FLOW * (CA_FEED - ca) - VOLUME * r)
    m.equation("B_balance", VOLUME * r - FLOW * cb)
    m.equation("energy_balance",
               FLOW * DENSITY * HEAT_CAPACITY * (T_FEED - t) - HEAT_OF_REACTION * VOLUME * r - q)
    m.equation("jacket", q - UA * (t - T_COOLANT))
    return m


def concentration(t):
    return FLOW * CA_FEED / (FLOW + VOLUME * K0 * math.exp(-E_OVER_R / t))


def heat_balance(t):
    rate = K0 * math.exp(-E_OVER_R / t) * concentration(t)
    return (FLOW * DENSITY * HEAT_CAPACITY * (T_FEED - t) - HEAT_OF_REACTION * VOLUME * rate
            - UA * (t - T_COOLANT))


def steady_states():
    grid = [250 + 0.1 * i for i in range(3501)]
    roots = []
    for low, high in zip(grid, grid[1:]):
        if heat_balance(low) * heat_balance(high) <= 0:
            for _ in range(200):
                middle = 0.5 * (low + high)
                low, high = (middle, high) if heat_balance(low) * heat_balance(middle) > 0 \
                    else (low, middle)
            roots.append(0.5 * (low + high))
    return roots


def state_at(t):
    k = K0 * math.exp(-E_OVER_R / t)
    ca = concentration(t)
    return {"CA": ca, "CB": CA_FEED - ca, "T": t, "k": k, "r": k * ca,
            "Q": UA * (t - T_COOLANT)}


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(folder, "model.json"), "w") as out:
        build_model().write(out, indent=1)
    roots = steady_states()
    if len(roots) != 3:
        raise SystemExit("expected three steady states, found %d" % len(roots))
    with open(os.path.join(folder, "expected.json"), "w") as out:
        json.dump({"tolerance": {"relative": 1e-8, "absolute": 1e-9},
                   "values": state_at(roots[2]),
                   "other_steady_states": [state_at(roots[0]), state_at(roots[1])]},
                  out, indent=2)
        out.write("\n")


if __name__ == "__main__":
    main()
