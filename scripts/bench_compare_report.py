#!/usr/bin/env python3
"""The table scripts/bench-compare prints: the runs of both builds side by side.

Reads the JSON files bench_demo_run wrote (rev-N.json, current-N.json) in a folder. Every
repetition of the whole demo counts as one sample; a figure is shown as its range over the
samples and its median, and the ratio is current / REV of the medians.
"""
import json
import pathlib
import statistics
import sys

# (counter, label, higher is better)
FIGURES = [
    ("x_real_time", "whole demo, x real time", True),
    ("fps_intro", "intro fps", True),
    ("fps_mamma1", "mamma1 fps", True),
    ("fps_swim", "swim fps", True),
    ("fps_swam", "swam fps", True),
    ("slowest_ms", "slowest frame, ms", False),
    ("p99.9_ms", "99.9% of frames under, ms", False),
    ("startup_ms", "start-up, ms", False),
    ("loop_allocs", "allocations in the frame loop", False),
]


def samples(folder, name):
    """The whole demo's repetitions and the floor loop's CPU seconds of one build."""
    demo, floor = [], []
    for path in sorted(folder.glob(f"{name}-*.json")):
        for bench in json.loads(path.read_text())["benchmarks"]:
            if bench.get("run_type") != "iteration" or bench.get("error_occurred"):
                continue
            if bench["name"].startswith("BM_WholeDemo60Fps"):
                demo.append(bench)
            elif bench["name"].startswith("BM_ClearAndPresentOnly"):
                scale = {"ms": 1e-3, "us": 1e-6, "ns": 1e-9, "s": 1.0}[bench.get("time_unit", "ns")]
                floor.append(bench["cpu_time"] * scale)
    return demo, floor


def loop_seconds(run):
    return run["frames"] / run["fps"]


def show(values):
    if not values:
        return "-"
    lo, hi, mid = min(values), max(values), statistics.median(values)
    digits = 0 if mid >= 100 else 2 if mid < 10 else 1
    return f"{lo:.{digits}f}-{hi:.{digits}f} (median {mid:.{digits}f})"


def ratio(rev, cur):
    if not rev or not cur or statistics.median(rev) == 0:
        return "-"
    return f"{statistics.median(cur) / statistics.median(rev):.2f}x"


def main():
    folder = pathlib.Path(sys.argv[1])
    label = sys.argv[2]
    rev_demo, rev_floor = samples(folder, "rev")
    cur_demo, cur_floor = samples(folder, "current")
    if not rev_demo or not cur_demo:
        sys.exit(f"bench-compare: no whole-demo figures in {folder}")
    print(f"\nwhole demo, {len(rev_demo)} runs of {label} and {len(cur_demo)} of the current tree, interleaved")
    print(f"{'':32} {'REV':34} {'current':34} {'current / REV':>13}")
    for key, name, _ in FIGURES:
        rev = [r[key] for r in rev_demo if key in r]
        cur = [r[key] for r in cur_demo if key in r]
        print(f"{name:32} {show(rev):34} {show(cur):34} {ratio(rev, cur):>13}")
    # The floor: how many bare clear-and-present loops one demo run costs, each the best run.
    for name, demo, floor in (("REV", rev_demo, rev_floor), ("current", cur_demo, cur_floor)):
        if floor:
            best = min(loop_seconds(r) for r in demo)
            print(f"{name}: the demo loop costs {best / min(floor):.1f} bare clear-and-present loops "
                  f"({best:.3f} s against {min(floor):.3f} s of CPU, the best of each)")
    print("ratios above 1 mean the current tree is faster for fps and x real time, slower for the ms rows")


if __name__ == "__main__":
    main()
