#!/usr/bin/python3
"""heat_rod_scipy.py N TOL: the heat rod of examples/heat_rod as a SciPy user
would write it (vectorised residual, sparse Jacobian, spsolve), solved by
Newton's method from 600 K everywhere until the largest |residual| <= TOL.
The peer of `quillon solve` in bench/solve_compare; needs Debian's
/usr/bin/python3, which has numpy and scipy."""

import json
import sys

import numpy as np
import scipy.sparse
import scipy.sparse.linalg

LENGTH, DIAMETER, CONDUCTIVITY = 0.3, 0.01, 200.0
EMISSIVITY, STEFAN_BOLTZMANN = 0.8, 5.670374419e-8
T_BASE, T_AMBIENT = 600.0, 300.0


def main():
    n, tol = int(sys.argv[1]), float(sys.argv[2])
    step = LENGTH / n
    beta = step * step * EMISSIVITY * STEFAN_BOLTZMANN * 4 / (DIAMETER * CONDUCTIVITY)
    lower = np.ones(n - 1)
    lower[-1] = 2.0  # the insulated tip mirrors its left neighbour
    upper = np.ones(n - 1)
    t = np.full(n, T_BASE)

    def residuals(t):
        left = np.concatenate(([T_BASE], t[:-1]))
        right = np.concatenate((t[1:], [t[-2]]))
        return left - 2 * t + right - beta * (t**4 - T_AMBIENT**4)

    f = residuals(t)
    iterations = 0
    while np.max(np.abs(f)) > tol and iterations < 100:
        diagonal = -2 - 4 * beta * t**3
        jacobian = scipy.sparse.diags([lower, diagonal, upper], [-1, 0, 1], format="csc")
        t = t - scipy.sparse.linalg.spsolve(jacobian, f)
        f = residuals(t)
        iterations += 1
    largest = float(np.max(np.abs(f)))
    print(json.dumps({"n": n, "iterations": iterations, "largest_residual": largest,
                      "t_tip": float(t[-1])}))
    return 0 if largest <= tol else 1


if __name__ == "__main__":
    sys.exit(main())
