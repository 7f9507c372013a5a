"""Quillon models in SciPy's own solvers: the residuals and the Jacobian are
all they need."""

import numpy as np
import scipy.optimize
import scipy.sparse.linalg

import quillon
from conftest import example, heat_rod


def test_flash_drum_by_scipy_root_hybr_matches_solve():
    model = quillon.load(example("flash_drum"))
    found = scipy.optimize.root(model.residuals, model.start, method="hybr",
                                jac=lambda x: model.jacobian(x).toarray(),
                                options={"xtol": 1e-13})
    assert found.success, found.message
    solved = model.solve(tol=1e-12)
    np.testing.assert_allclose(found.x, solved.x, rtol=1e-9)


def test_heat_rod_by_sparse_newton_steps_matches_solve():
    model = quillon.load(heat_rod(200))
    x = model.start.copy()
    for _ in range(20):
        residuals = model.residuals(x)
        if np.max(np.abs(residuals)) <= 1e-12:
            break
        x -= scipy.sparse.linalg.spsolve(model.jacobian(x).tocsc(), residuals)
    else:
        raise AssertionError("Newton's method with spsolve did not converge")
    solved = model.solve(tol=1e-12)
    np.testing.assert_allclose(x, solved.x, rtol=1e-10)
    assert 300 < solved.x.min() < solved.x.max() < 600

