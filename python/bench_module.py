#!/usr/bin/python3
"""Times the Python module against `quillon bench` on the same model, in one
run: loading, and one residual and one Jacobian evaluation, each the median
over repeats of many calls. The module's calls include everything a caller
pays: the values copied in, the arrays made, the CSR matrix built.

    PYTHONPATH=build/bench/python /usr/bin/python3 python/bench_module.py MODEL \\
        --tool build/bench/bin/quillon [--repeat 7]

The 10^4-equation bench model is written by the bench's generator:
    build/bench/bin/quillon_speed --plugin build/bench/bin/libquillon.so \\
        --work build/bench/work --sizes 10000 --peers-max 1 --repeat 1
"""

import argparse
import json
import statistics
import subprocess
import time

import quillon


def tool_figures(tool, model, repeat):
    done = subprocess.run([tool, "bench", model, "--repeat", str(repeat), "--format", "json"],
                          capture_output=True, text=True, check=True)
    return json.loads(done.stdout)


def median_per_call(call, calls, repeat):
    samples = []
    for _ in range(repeat):
        began = time.perf_counter()
        for _ in range(calls):
            call()
        samples.append((time.perf_counter() - began) / calls)
    return statistics.median(samples)


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("model")
    parser.add_argument("--tool", required=True, help="the quillon tool of the same build")
    parser.add_argument("--repeat", type=int, default=7)
    arguments = parser.parse_args()

    tool = tool_figures(arguments.tool, arguments.model, arguments.repeat)
    loads = []
    for _ in range(arguments.repeat):
        began = time.perf_counter()
        model = quillon.load(arguments.model)
        loads.append(time.perf_counter() - began)
    x = model.start
    calls = tool["evaluations"]
    module = {
        "load_s": statistics.median(loads),
        "residual_s": median_per_call(lambda: model.residuals(x), calls, arguments.repeat),
        "jacobian_s": median_per_call(lambda: model.jacobian(x), calls, arguments.repeat),
    }
    both_tool = tool["residual_s"] + tool["jacobian_s"]
    both_module = module["residual_s"] + module["jacobian_s"]
    print(f"model: {arguments.model}: {tool['equations']} equations, {tool['nonzeros']} nonzeros")
    print(f"{'figure':<22} {'quillon bench':>14} {'module':>14} {'module / tool':>14}")
    for name, ours, theirs in [("load s", module["load_s"], tool["load_s"]),
                               ("residuals s", module["residual_s"], tool["residual_s"]),
                               ("jacobian s", module["jacobian_s"], tool["jacobian_s"]),
                               ("residuals+jacobian s", both_module, both_tool)]:
        print(f"{name:<22} {theirs:14.6g} {ours:14.6g} {ours / theirs:14.3f}")


if __name__ == "__main__":
    main()
