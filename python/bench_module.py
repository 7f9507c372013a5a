#!/usr/bin/python3
"""Times the Python module against `quillon bench` on the same model, in one
run: loading, and one residual and one Jacobian evaluation, each the median
over repeats of many calls. The module's calls include everything a caller
pays: the values copied in, the arrays made, the CSR matrix built. The
machine's load drifts, so the two take turns: each round runs the tool's
bench, then the module's, and the medians over the rounds are compared.

    PYTHONPATH=build/bench/python /usr/bin/python3 python/bench_module.py MODEL \\
        --tool build/bench/bin/quillon [--rounds 5] [--repeat 3]

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


def module_figures(path, calls, repeat):
    loads = []
    for _ in range(repeat):
        began = time.perf_counter()
        model = quillon.load(path)
        loads.append(time.perf_counter() - began)
    x = model.start
    return {
        "load_s": statistics.median(loads),
        "residual_s": median_per_call(lambda: model.residuals(x), calls, repeat),
        "jacobian_s": median_per_call(lambda: model.jacobian(x), calls, repeat),
    }


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("model")
    parser.add_argument("--tool", required=True, help="the quillon tool of the same build")
    parser.add_argument("--rounds", type=int, default=5)
    parser.add_argument("--repeat", type=int, default=3)
    arguments = parser.parse_args()

    tool_rounds, module_rounds = [], []
    for _ in range(arguments.rounds):
        tool_rounds.append(tool_figures(arguments.tool, arguments.model, arguments.repeat))
        module_rounds.append(module_figures(arguments.model, tool_rounds[-1]["evaluations"],
                                            arguments.repeat))
    for rounds in (tool_rounds, module_rounds):
        for figures in rounds:
            figures["both_s"] = figures["residual_s"] + figures["jacobian_s"]
    first = tool_rounds[0]
    print(f"model: {arguments.model}: {first['equations']} equations, {first['nonzeros']} "
          f"nonzeros; medians of {arguments.rounds} rounds")
    print(f"{'figure':<22} {'quillon bench':>14} {'module':>14} {'module / tool':>14}")
    for key, name in [("load_s", "load s"), ("residual_s", "residuals s"),
                      ("jacobian_s", "jacobian s"), ("both_s", "residuals+jacobian s")]:
        theirs = statistics.median(figures[key] for figures in tool_rounds)
        ours = statistics.median(figures[key] for figures in module_rounds)
        print(f"{name:<22} {theirs:14.6g} {ours:14.6g} {ours / theirs:14.3f}")


if __name__ == "__main__":
    main()
