#!/usr/bin/python3
"""Turns the results that bench/side-by-side.sh collected into the tables of bench/README.md.

usage: side-by-side.py WORK_FOLDER
"""
import glob
import json
import os
import statistics
import sys

BUILDS = ("before", "after")


def repetitions(work, build):
    """{(benchmark, N): [(wall ms, processor ms, bytes), ...]} over every round's repetitions."""
    found = {}
    for path in sorted(glob.glob(os.path.join(work, f"{build}-*.json"))):
        with open(path) as f:
            for run in json.load(f)["benchmarks"]:
                if run.get("run_type") != "iteration":
                    continue
                name, copies = run["run_name"].split("/")[:2]
                found.setdefault((name, int(copies)), []).append(
                    (run["real_time"], run["cpu_time"], run.get("bytes", 0)))
    return found


def median(runs, which):
    return statistics.median(run[which] for run in runs)


def ms(value):
    return f"{value:.3f} ms" if value < 1 else f"{value:.1f} ms"


def main():
    work = sys.argv[1]
    results = {build: repetitions(work, build) for build in BUILDS}
    sizes = sorted({copies for (_, copies) in results["after"]})

    print("| N | build | Load | Read same bytes | Load ÷ read | Resave (wall / processor) "
          "| Safe copy (wall / processor) | Resave ÷ safe copy (wall / processor) |")
    print("|---|---|---|---|---|---|---|---|")
    for copies in sizes:
        for build in BUILDS:
            r = results[build]
            load, read = (median(r[(n, copies)], 0) for n in ("Load", "ReadSameBytes"))
            resave, copy = r[("Resave", copies)], r[("SafeCopy", copies)]
            rw, rp, cw, cp = median(resave, 0), median(resave, 1), median(copy, 0), median(copy, 1)
            print(f"| {copies} | {build} | {ms(load)} | {ms(read)} | {load / read:.1f} "
                  f"| {ms(rw)} / {ms(rp)} | {ms(cw)} / {ms(cp)} | {rw / cw:.1f} / {rp / cp:.1f} |")

    print()
    print("| build | peak memory of `resave`, N = 100 | wall / user / system | installation's bytes "
          "| limit (2 × bytes + 40 MiB) |")
    print("|---|---|---|---|---|")
    for build in BUILDS:
        times = []
        for path in sorted(glob.glob(os.path.join(work, f"{build}-time-*"))):
            with open(path) as f:
                times.append([float(x) for x in f.read().split()[-4:]])
        peak = statistics.median(t[0] for t in times) / 1024
        wall, user, system = (statistics.median(t[i] for t in times) for i in (1, 2, 3))
        size = results[build][("Load", 100)][0][2]
        limit = 2 * size / 2**20 + 40
        print(f"| {build} | {peak:.0f} MiB | {wall:.2f} s / {user:.2f} s / {system:.2f} s "
              f"| {size / 2**20:.1f} MiB | {limit:.0f} MiB |")


if __name__ == "__main__":
    main()
