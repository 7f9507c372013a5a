#!/usr/bin/env python3
"""Writes the isothermal flash drum model (model.json) and its solution
(expected.json), the latter worked out directly from the physics by bisection
on the Rachford-Rice function, not from the model file.

Usage: generate.py [FOLDER]   (default: this script's folder)
"""

import json
import math
import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), ".."))
from model_builder import Model, ln  # noqa: E402

# Antoine constants: log10(p / mmHg) = A - B / (t / degC + C).
COMPONENTS = [
    ("C5", "n-pentane", 6.87632, 1075.78, 233.205),
    ("C6", "n-hexane", 6.87601, 1171.17, 224.408),
    ("C7", "n-heptane", 6.89677, 1264.90, 216.544),
]
# Rough starting guesses of the K-values, as an engineer would make them.
K_GUESS = {"C5": 2.0, "C6": 0.8, "C7": 0.3}
FEED = {"C5": 0.3, "C6": 0.4, "C7": 0.3}
TEMPERATURE = 340.0  # K
PRESSURE = 120000.0  # Pa
FEED_FLOW = 100.0  # mol/s
MMHG = 133.322368  # Pa


def antoine_si(a, b, c):
    """The same law as ln(p / Pa) = A' - B' / (T / K + C')."""
    ln10 = math.log(10.0)
    return math.log(MMHG) + ln10 * a, ln10 * b, c - 273.15


def build_model():
    m = Model()
    t = m.variable("T", "temperature / K", TEMPERATURE, 200, 600)
    p = m.variable("P", "pressure / Pa", PRESSURE, 1e3, 1e7)
    f = m.variable("F", "feed flow / (mol/s)", FEED_FLOW, 0, None)
    v = m.variable("V", "vapour flow / (mol/s)", 50, 0, None)
    liquid = m.variable("L", "liquid flow / (mol/s)", 50, 0, None)
    psi = m.variable("psi", "vapour fraction V/F", 0.5, 0, 1)
    parts = {}
    for key, name, *_ in COMPONENTS:
        z = FEED[key]
        parts[key] = (
            m.variable("Psat_" + key, name + " vapour pressure / Pa", K_GUESS[key] * PRESSURE, 1,
                       None),
            m.variable("K_" + key, name + " K-value", K_GUESS[key], 0, None),
            m.variable("x_" + key, name + " liquid mole fraction", z, 0, 1),
            m.variable("y_" + key, name + " vapour mole fraction", z, 0, 1),
        )
    m.equation("T_spec", t - TEMPERATURE)
    m.equation("P_spec", p - PRESSURE)
    m.equation("F_spec", f - FEED_FLOW)
    for key, _, a, b, c in COMPONENTS:
        psat, k, x, y = parts[key]
        a_si, b_si, c_si = antoine_si(a, b, c)
        m.equation("Antoine_" + key, ln(psat) - a_si + b_si / (t + c_si))
        m.equation("K_" + key, k - psat / p)
    rachford_rice = 0
    for key, *_ in COMPONENTS:
        _, k, _, _ = parts[key]
        rachford_rice = rachford_rice + FEED[key] * (k - 1) / (1 + psi * (k - 1))
    m.equation("Rachford_Rice", rachford_rice)
    for key, *_ in COMPONENTS:
        _, k, x, y = parts[key]
        m.equation("x_" + key, x * (1 + psi * (k - 1)) - FEED[key])
        m.equation("y_" + key, y - k * x)
    m.equation("V_split", v - psi * f)
    m.equation("L_split", liquid - (1 - psi) * f)
    return m


def solution():
    values = {"T": TEMPERATURE, "P": PRESSURE, "F": FEED_FLOW}
    k = {}
    for key, _, a, b, c in COMPONENTS:
        a_si, b_si, c_si = antoine_si(a, b, c)
        values["Psat_" + key] = math.exp(a_si - b_si / (TEMPERATURE + c_si))
        k[key] = values["Psat_" + key] / PRESSURE
        values["K_" + key] = k[key]

    def rachford_rice(psi):
        return sum(FEED[c] * (k[c] - 1) / (1 + psi * (k[c] - 1)) for c in k)

    low, high = 0.0, 1.0
    for _ in range(200):
        middle = 0.5 * (low + high)
        low, high = (middle, high) if rachford_rice(middle) > 0 else (low, middle)
    psi = 0.5 * (low + high)
    values["psi"] = psi
    values["V"] = psi * FEED_FLOW
    values["L"] = (1 - psi) * FEED_FLOW
    for c in k:
        values["x_" + c] = FEED[c] / (1 + psi * (k[c] - 1))
        values["y_" + c] = k[c] * values["x_" + c]
    return values


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.dirname(os.path.abspath(__file__))
    with open(os.path.join(folder, "model.json"), "w") as out:
        build_model().write(out, indent=1)
    with open(os.path.join(folder, "expected.json"), "w") as out:
        json.dump({"tolerance": {"relative": 1e-8, "absolute": 1e-10}, "values": solution()},
                  out, indent=2)
        out.write("\n")


if __name__ == "__main__":
    main()
