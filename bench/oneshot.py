#!/usr/bin/env python3
"""Whole processes side by side: each command in turn, A B C A B C ..., so
that a machine whose speed drifts (other builds) slows all of them alike.

    bench/oneshot.py [-n RUNS] [--warmup N] -- 'COMMAND A' 'COMMAND B' ...

Each command is one string split as a shell splits words, run without a
shell, its output thrown away. Prints, per command, the median and the
minimum and maximum of wall time (ms) and of CPU time (user + system of the
process and its children, ms), then each command's wall time divided by
the last command's, pair by pair (the median and the quartiles of those
ratios), and the load average before and after. See docs/PERFORMANCE.md.
"""

import argparse
import os
import resource
import shlex
import statistics
import subprocess
import time


def run_once(argv):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    status = subprocess.run(argv, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL).returncode
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = (after.ru_utime - before.ru_utime) + (after.ru_stime - before.ru_stime)
    return wall * 1000, cpu * 1000, status


def quartiles(values):
    q = statistics.quantiles(values, n=4, method="inclusive")
    return q[0], statistics.median(values), q[2]


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("-n", "--runs", type=int, default=30)
    parser.add_argument("--warmup", type=int, default=3)
    parser.add_argument("commands", nargs="+")
    options = parser.parse_args()
    commands = [shlex.split(command) for command in options.commands]

    load_before = os.getloadavg()
    for _ in range(options.warmup):
        for argv in commands:
            run_once(argv)
    walls = [[] for _ in commands]
    cpus = [[] for _ in commands]
    statuses = [set() for _ in commands]
    for _ in range(options.runs):
        for i, argv in enumerate(commands):
            wall, cpu, status = run_once(argv)
            walls[i].append(wall)
            cpus[i].append(cpu)
            statuses[i].add(status)
    load_after = os.getloadavg()

    print(f"runs: {options.runs} each, in turn, after {options.warmup} warm-up rounds; "
          f"load average {load_before[0]:.2f} before, {load_after[0]:.2f} after")
    print("| command | wall median ms | wall min ms | wall max ms | CPU median ms | "
          "wall ÷ last, median (quartiles) | exit |")
    print("|---|---:|---:|---:|---:|---:|---|")
    last = walls[-1]
    for i, command in enumerate(options.commands):
        ratios = [a / b for a, b in zip(walls[i], last)]
        low, middle, high = quartiles(ratios)
        print(f"| `{command}` | {statistics.median(walls[i]):.1f} | {min(walls[i]):.1f} | "
              f"{max(walls[i]):.1f} | {statistics.median(cpus[i]):.1f} | "
              f"{middle:.2f} ({low:.2f}–{high:.2f}) | {','.join(map(str, sorted(statuses[i])))} |")


if __name__ == "__main__":
    main()
