#!/usr/bin/env python3
"""Speed of the Python module: prints three figures, times nothing as a test.

    PYTHONPATH=build/release python3 bench/python_speed.py [build/release/rdsim-batch]

1. sim.run(K) on a 128 x 128 square against rdsim-batch on the same case,
   measured alternately; the ratio of steps per second (median of rounds).
2. The cost of the call sim.run(1) in a Python loop, the step itself taken off.
3. Two threads each running its own Simulation against one thread.
"""

import os
import re
import statistics
import subprocess
import sys
import threading
import time

import rdsim

BATCH = sys.argv[1] if len(sys.argv) > 1 else os.environ.get("RDSIM_BATCH", "build/release/rdsim-batch")
PARAMS = ",".join(rdsim.Simulation().params)
STEPS, ROUNDS = 3000, 7


def python_rate(steps):
    sim = rdsim.Simulation("2d", 128)
    sim.random(1)
    start = time.perf_counter()
    sim.run(steps)
    return steps / (time.perf_counter() - start)


def batch_rate(steps):
    out = subprocess.run([BATCH, "--mode", "2d", "--size", "128", "--steps", str(steps), "--params", PARAMS,
                          "--random", "1"], check=True, capture_output=True, text=True).stdout
    return float(re.search(r"steps_per_second=([0-9.]+)", out).group(1))


def run_against_batch():
    ratios, ours, theirs = [], [], []
    for _ in range(ROUNDS):
        theirs.append(batch_rate(STEPS))
        ours.append(python_rate(STEPS))
        ratios.append(ours[-1] / theirs[-1])
    print(f"1. sim.run({STEPS}), 2d N=128: {statistics.median(ours):.0f} steps/s, rdsim-batch "
          f"{statistics.median(theirs):.0f} steps/s: {100 * statistics.median(ratios):.1f}% "
          f"(rounds {min(ratios) * 100:.1f}% to {max(ratios) * 100:.1f}%; target >= 97%)")


def call_cost():
    sim = rdsim.Simulation("1d", 2)
    sim.random(1)
    steps = 2_000_000
    start = time.perf_counter()
    sim.run(steps)
    per_step = (time.perf_counter() - start) / steps
    calls = 200_000
    run = sim.run
    best = float("inf")
    for _ in range(5):
        start = time.perf_counter()
        for _ in range(calls):
            run(1)
        best = min(best, (time.perf_counter() - start) / calls)
    print(f"2. sim.run(1) in a loop, 1d N=2: {best * 1e6:.2f} us a call, of which the step {per_step * 1e9:.0f} ns: "
          f"the call costs {(best - per_step) * 1e6:.2f} us (target <= 2 us)")


def threads_speedup():
    steps = 2000

    def timed(count):
        sims = [rdsim.Simulation("2d", 128) for _ in range(count)]
        for sim in sims:
            sim.random(1)
        threads = [threading.Thread(target=sim.run, args=(steps,)) for sim in sims]
        start, cpu = time.perf_counter(), time.process_time()
        for thread in threads:
            thread.start()
        for thread in threads:
            thread.join()
        wall = time.perf_counter() - start
        return count * steps / wall, (time.process_time() - cpu) / wall

    speedups, busy = [], []
    for _ in range(3):
        one, _ = timed(1)
        two, cores = timed(2)
        speedups.append(two / one)
        busy.append(cores)
    # Cores busy: CPU time over wall time of the two threads; above 1 only
    # when both step at once, whatever else the machine is doing.
    print(f"3. two threads, each its own 2d N=128 Simulation, against one: {statistics.median(speedups):.2f}x "
          f"(rounds {min(speedups):.2f}x to {max(speedups):.2f}x; target >= 1.8x on {os.cpu_count()} cores); "
          f"cores busy meanwhile {statistics.median(busy):.2f}; load average {os.getloadavg()[0]:.2f}")


if __name__ == "__main__":
    run_against_batch()
    call_cost()
    threads_speedup()
