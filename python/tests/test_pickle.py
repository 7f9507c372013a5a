"""Studies on every core: a Model pickles by its source and a SolveResult by
its members, so process pools and clusters ship them; the example grid
study gives one process's answers."""

import concurrent.futures
import multiprocessing
import pickle
import shutil
import subprocess
import sys

import numpy as np
import pytest

import quillon
from conftest import EXAMPLES, cstr_with_coolant, example

COOLANTS = [295.0, 300.0, 305.0, 310.0]


def solve_at(model, coolant):
    """A point of the study, as a process pool's worker solves it."""
    return model.solve(fix={"T_coolant": coolant}, strict=False)


def same_solve(mine, theirs):
    np.testing.assert_array_equal(mine.x, theirs.x)
    np.testing.assert_array_equal(mine.residuals, theirs.residuals)
    assert mine.symbols == theirs.symbols and mine.bound == theirs.bound
    assert (mine.status, mine.stop_reason, mine.message) == \
        (theirs.status, theirs.stop_reason, theirs.message)
    assert mine.history == theirs.history


@pytest.mark.parametrize("source", [
    example("flash_drum"),             # a model file
    example("cstr", "model.eq"),       # an equation file
    cstr_with_coolant(),               # equation text
])
def test_a_model_pickles_by_its_source_and_solves_the_same(source):
    model = quillon.load(source)
    again = pickle.loads(pickle.dumps(model))
    assert repr(again) == repr(model) and again.path == model.path
    assert again.plugin == model.plugin
    assert again.variables.symbols == model.variables.symbols
    fix = {"T_coolant": 300} if isinstance(source, str) else None
    same_solve(again.solve(fix=fix), model.solve(fix=fix))


def test_a_pickled_model_needs_neither_its_file_nor_the_default_plugin_path(tmp_path):
    file = tmp_path / "model.json"
    shutil.copy(example("cstr"), file)
    plugin = tmp_path / "libquillon.so"
    shutil.copy(quillon.default_plugin(), plugin)
    model = quillon.load(file, plugin=str(plugin))
    reference = model.solve()
    shipped = pickle.dumps(model)
    file.unlink()
    again = pickle.loads(shipped)
    assert again.plugin == str(plugin)  # given explicitly, so it travels
    same_solve(again.solve(), reference)
    # The default plug-in is the receiving module's own.
    assert pickle.loads(pickle.dumps(quillon.load(example("cstr")))).plugin == \
        quillon.default_plugin()


def test_a_result_pickles_by_its_members_and_belongs_to_no_model_after():
    model = quillon.load(cstr_with_coolant())
    result = model.solve(fix={"T_coolant": 300})
    again = pickle.loads(pickle.dumps(result))
    same_solve(again, result)
    assert again["T"] == result["T"] and again.as_dict() == result.as_dict()
    assert list(again.fixed) == list(result.fixed) and again.timing == result.timing
    assert again.converged and repr(again) == repr(result)
    # A warm start by its values; a sensitivity needs the model it came from.
    assert model.solve(fix={"T_coolant": 300}, start=again).iterations == 0
    with pytest.raises(quillon.UsageError, match="came through pickle"):
        model.sensitivity(again, "T", "T_coolant")


@pytest.mark.parametrize("method", ["fork", "forkserver", "spawn"])
def test_models_and_results_cross_a_process_pool(method):
    model = quillon.load(cstr_with_coolant())
    alone = [solve_at(model, coolant) for coolant in COOLANTS]
    context = multiprocessing.get_context(method)
    with concurrent.futures.ProcessPoolExecutor(max_workers=2, mp_context=context) as pool:
        pooled = list(pool.map(solve_at, [model] * len(COOLANTS), COOLANTS))
    for mine, theirs in zip(pooled, alone):
        same_solve(mine, theirs)


def test_a_dask_cluster_solves_as_this_process_does():
    distributed = pytest.importorskip("distributed")
    model = quillon.load(cstr_with_coolant())
    alone = [solve_at(model, coolant).x for coolant in COOLANTS]

    def solved(shipped, coolant):  # local, so that Dask ships it by value
        return shipped.solve(fix={"T_coolant": coolant}, strict=False).x

    with distributed.LocalCluster(n_workers=2, threads_per_worker=1, processes=True,
                                  dashboard_address=None) as cluster, \
            distributed.Client(cluster) as client:
        shipped = client.scatter(model, broadcast=True)
        on_cluster = client.gather(client.map(solved, [shipped] * len(COOLANTS), COOLANTS))
    for mine, theirs in zip(on_cluster, alone):
        np.testing.assert_array_equal(mine, theirs)


def test_the_grid_study_gives_one_processs_answers_on_every_core():
    def study(jobs):
        done = subprocess.run([sys.executable, str(EXAMPLES / "cstr_grid_study.py"), "--size", "4",
                               "--jobs", str(jobs)], capture_output=True, text=True, check=False)
        assert done.returncode == 0, done.stderr
        lines = done.stdout.splitlines()
        assert lines[-1].startswith("16 solves in "), lines[-1]
        return lines[:-1]

    rows = study(1)
    assert len(rows) == 17 and sum("not converged" in row for row in rows) < 8
    # More workers than cores, and a pool that starts them all at once.
    assert study(2) == rows and study(5) == rows
