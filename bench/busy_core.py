#!/usr/bin/env python3
"""Two threads against one while another process holds a processor.

Times `mibolan-convert FILE` (which takes a second thread for a large file) against
`mibolan-convert --threads 1 FILE`, by character and by word, in three settings: a quiet machine,
a busy process pinned to the last usable processor, and a busy process that the system may move.
Each round runs one thread, two, two, one (so that a drift in the machine's speed touches both
alike); the figure is the median over the rounds of one thread's time / two threads' time, with
the quartiles: above 1 the second thread pays, below 1 it costs.

    bench/busy_core.py [--build build/default] [--corpus bench/corpus/corpus.txt] [--rounds 15]
"""

import argparse
import datetime
import os
import statistics
import subprocess
import sys
import time
from pathlib import Path

from compare import commit, machine

ROOT = Path(__file__).resolve().parent.parent
BUSY_LOOP = "while True: pass"


def run_seconds(command):
    start = time.perf_counter()
    subprocess.run(command, stdout=subprocess.DEVNULL, check=True)
    return time.perf_counter() - start


def one_over_two(convert, corpus, options, rounds):
    """Per-round ratios of one thread's time to two threads'."""
    one = [str(convert), "--threads", "1", *options, str(corpus)]
    two = [str(convert), *options, str(corpus)]
    run_seconds(one)  # warm the file cache and the binary
    ratios = []
    for _ in range(rounds):
        first_one, first_two, second_two, second_one = (run_seconds(c) for c in (one, two, two, one))
        ratios.append((first_one + second_one) / (first_two + second_two))
    return ratios


def summary(ratios):
    quartiles = statistics.quantiles(ratios, n=4)
    return f"{statistics.median(ratios):.2f} ({quartiles[0]:.2f}–{quartiles[2]:.2f})"


def start_busy_process(pin_to):
    busy = subprocess.Popen([sys.executable, "-c", BUSY_LOOP])
    if pin_to is not None:
        os.sched_setaffinity(busy.pid, {pin_to})
    time.sleep(0.5)  # let the system settle where it runs
    return busy


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", type=Path, default=ROOT / "build" / "default")
    parser.add_argument("--corpus", type=Path, default=ROOT / "bench" / "corpus" / "corpus.txt")
    parser.add_argument("--rounds", type=int, default=15)
    args = parser.parse_args()

    convert = args.build / "cli" / "mibolan-convert"
    if not convert.is_file():
        sys.exit(f"busy_core: {convert} is not built; build the default preset first")
    if not args.corpus.is_file():
        sys.exit(f"busy_core: no corpus at {args.corpus}; make it with bench/make_corpus.sh")
    if args.rounds < 2:
        sys.exit("busy_core: --rounds must be at least 2")
    usable = sorted(os.sched_getaffinity(0))
    if len(usable) < 2:
        sys.exit("busy_core: this process may run on one processor only; two threads need two")

    settings = [("quiet machine", False, None),
                (f"a busy process pinned to processor {usable[-1]}", True, usable[-1]),
                ("a busy process the system may move", True, None)]
    modes = [("by character", []), ("by word (`--words`)", ["--words"])]
    print("# Two threads against one, with and without a busy processor\n")
    print(f"Date: {datetime.datetime.now(datetime.timezone.utc):%Y-%m-%d %H:%M} UTC  ")
    print(f"Commit: {commit(ROOT)}  ")
    print(f"Machine: {machine()}  ")
    print(f"Load average before: {os.getloadavg()[0]:.2f}  ")
    print(f"Input: {args.corpus.name}, {args.corpus.stat().st_size:,} bytes; {args.rounds} rounds\n")
    print("One thread's time ÷ two threads' time, median of the rounds (quartiles): "
          "above 1 the second thread pays, below 1 it costs.\n")
    print("| setting | " + " | ".join(name for name, _ in modes) + " |")
    print("|---|" + "---:|" * len(modes))
    for name, busy, pin_to in settings:
        process = start_busy_process(pin_to) if busy else None
        try:
            cells = [summary(one_over_two(convert, args.corpus, options, args.rounds)) for _, options in modes]
        finally:
            if process:
                process.kill()
                process.wait()
        print(f"| {name} | " + " | ".join(cells) + " |", flush=True)


if __name__ == "__main__":
    main()
