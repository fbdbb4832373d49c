#!/usr/bin/env python3
"""Times mibolan-convert, the engine, the literal pass, the npm pinyin converters and iconv on the
benchmark corpus, and prints the results as Markdown tables. bench/compare.sh prepares everything
and runs this; see bench/README.md.

Whole-process figures are the median wall time of several runs and the peak resident memory that
GNU time reports for a warm-up run before them. In-process figures are what each program
reports about its conversion alone. Throughputs count the UTF-8 bytes of the input; 1 MB is
10^6 bytes.
"""

import argparse
import json
import os
import platform
import statistics
import subprocess
import sys
import tempfile
import time
from dataclasses import dataclass, field
from pathlib import Path

TIME = "/usr/bin/time"  # GNU time, Debian package "time"
MB = 1_000_000
MIB = 1 << 20

PEERS = [  # script in bench/peers, name shown
    ("napi-rs-pinyin.js", "@napi-rs/pinyin"),
    ("napi-rs-pinyin-array.js", "@napi-rs/pinyin (array API)"),
    ("pinyin-pro.js", "pinyin-pro"),
    ("pinyin.js", "pinyin"),
]


@dataclass
class Runs:
    """The figures of several runs of one command."""
    walls: list = field(default_factory=list)
    peaks_kib: list = field(default_factory=list)
    reports: list = field(default_factory=list)  # JSON lines the command wrote to stderr

    @property
    def wall(self):
        return statistics.median(self.walls)

    @property
    def peak_mib(self):
        return max(self.peaks_kib) / 1024

    def reported(self, key):
        return statistics.median(report[key] for report in self.reports)


def run_once(command, peak_file=None):
    """Runs `command` with standard output thrown away: (wall seconds, stderr text). With
    `peak_file`, GNU time starts the command and writes its peak resident memory (KiB) there: a
    process started from here directly would be charged with this interpreter's memory, which
    Linux carries into a child's peak through fork and exec. GNU time adds some milliseconds of
    its own, so the timed runs go without it.
    """
    launcher = [TIME, "-f", "%M", "-o", peak_file] if peak_file else []
    with tempfile.TemporaryFile() as errors:
        start = time.perf_counter()
        process = subprocess.run([*launcher, *command],
                                 stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=errors)
        wall = time.perf_counter() - start
        errors.seek(0)
        text = errors.read().decode("utf-8", "replace")
    if process.returncode != 0:
        sys.exit(f"compare: {' '.join(map(str, command))} failed ({process.returncode}):\n{text}")
    return wall, text


def measure(command, runs):
    """One warm-up run under GNU time for the peak memory, then `runs` timed runs."""
    result = Runs()
    with tempfile.NamedTemporaryFile(mode="r") as peak_file:
        run_once(command, peak_file.name)
        result.peaks_kib.append(int(peak_file.read().split()[-1]))
    for _ in range(runs):
        wall, text = run_once(command)
        result.walls.append(wall)
        result.reports.extend(json.loads(line) for line in text.splitlines() if line.startswith("{"))
    return result


def utf8_prefix(data, size):
    """The longest prefix of at most `size` bytes that ends on a character boundary."""
    while size < len(data) and size > 0 and (data[size] & 0xC0) == 0x80:
        size -= 1
    return data[:size]


def engine_figures(benchmarks, corpus):
    """bytes_per_second of each engine benchmark that compare needs, by name."""
    wanted = "BM_ConvertText/(pinyin|annotated)/|BM_ConvertUtf8Stream/pinyin/"
    out = subprocess.run([benchmarks, f"--benchmark_filter={wanted}", "--benchmark_format=json",
                          "--benchmark_repetitions=3", "--benchmark_report_aggregates_only=true", corpus],
                         check=True, capture_output=True, text=True).stdout
    figures = {}
    for entry in json.loads(out)["benchmarks"]:
        if entry.get("aggregate_name") == "median" and "error_occurred" not in entry:
            figures[entry["run_name"]] = entry["bytes_per_second"]
    return figures


def mbps(value):
    return f"{value / MB:,.1f}" if value >= 10 * MB else f"{value / MB:,.2f}"


def ratio(value):
    return f"{value:,.1f}×" if value >= 10 else f"{value:,.2f}×"


def machine():
    model = "unknown processor"
    try:
        for line in Path("/proc/cpuinfo").read_text().splitlines():
            if line.startswith("model name"):
                model = line.split(":", 1)[1].strip()
                break
    except OSError:
        pass
    memory = os.sysconf("SC_PAGE_SIZE") * os.sysconf("SC_PHYS_PAGES") / (1 << 30)
    return f"{model}, {os.cpu_count()} cores, {memory:.0f} GiB, Linux {platform.release()}"


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", required=True, type=Path, help="the Release build folder")
    parser.add_argument("--corpus", required=True, type=Path)
    parser.add_argument("--peers", required=True, type=Path, help="bench/peers, with node_modules")
    parser.add_argument("--runs", type=int, default=5, help="counted runs of each command (default 5)")
    parser.add_argument("--big-runs", type=int, default=3, help="counted runs on the 1 GB input (default 3)")
    parser.add_argument("--big-copies", type=int, default=100,
                        help="copies of the corpus in the large input (default 100, about 1 GB; 0 skips it)")
    parser.add_argument("--literal-slice", type=int, default=20_000,
                        help="bytes of the corpus given to the literal pass (default 20000)")
    args = parser.parse_args()

    convert = args.build / "cli" / "mibolan-convert"
    benchmarks = args.build / "bench" / "engine_benchmarks"
    literal = args.build / "bench" / "literal_pass"
    corpus = args.corpus
    corpus_bytes = corpus.stat().st_size
    data = corpus.read_bytes()

    print(f"# Converter comparison, {time.strftime('%Y-%m-%d')}", flush=True)
    print()
    print(f"Machine: {machine()}  ")
    print(f"Corpus: {corpus_bytes:,} bytes; {args.runs} counted runs per command after one warm-up")
    print(flush=True)

    workdir = Path(tempfile.mkdtemp(prefix="mibolan-bench-"))
    try:
        small = workdir / "corpus-100k.txt"
        small.write_bytes(utf8_prefix(data, 100_000))
        slice_file = workdir / "corpus-slice.txt"
        slice_file.write_bytes(utf8_prefix(data, args.literal_slice))

        progress = lambda what: print(f"<!-- timing {what} -->", file=sys.stderr, flush=True)

        progress("the engine (engine_benchmarks)")
        engine = engine_figures(str(benchmarks), str(corpus))
        engine_10mb = engine.get("BM_ConvertText/pinyin/10000000")
        stream_10mb = engine.get("BM_ConvertUtf8Stream/pinyin/10000000")

        progress("mibolan-convert and iconv")
        ours = measure([convert, corpus], args.runs)
        iconv = measure(["iconv", "-f", "UTF-8", "-t", "UTF-16LE", corpus], args.runs)

        literal_report = None
        if literal.exists():
            progress(f"the literal pass on {slice_file.stat().st_size:,} bytes")
            literal_report = measure([literal, slice_file], max(1, min(args.runs, 3)))

        peers = {}
        for script, name in PEERS:
            progress(name)
            peers[name] = measure(["node", args.peers / script, corpus], args.runs)

        sizes = [("100 KB", small, args.runs), ("10 MB", corpus, args.runs)]
        big = None
        if args.big_copies > 0:
            progress(f"mibolan-convert and iconv on {args.big_copies} copies of the corpus")
            big = workdir / "corpus-big.txt"
            with open(big, "wb") as out:
                for _ in range(args.big_copies):
                    out.write(data)
            sizes.append((f"{big.stat().st_size / 1e9:.0f} GB", big, args.big_runs))
        linear = []
        for label, path, runs in sizes:
            size = path.stat().st_size
            mine = ours if path == corpus else measure([convert, path], runs)
            theirs = iconv if path == corpus else measure(["iconv", "-f", "UTF-8", "-t", "UTF-16LE", path], runs)
            linear.append((label, size, mine, theirs))
            if big is not None and path == big:
                big.unlink()
    finally:
        for leftover in workdir.iterdir():
            leftover.unlink()
        workdir.rmdir()

    ours_bps = corpus_bytes / ours.wall
    rows = []  # name, kind, input, throughput, peak MiB or None, speed ratio, memory ratio
    if engine_10mb:
        rows.append(("mibolan engine, ConvertText (UTF-16 in)", "in process", "10 MB", engine_10mb, None, 1.0, None))
    if stream_10mb:
        rows.append(("mibolan engine, converter path (UTF-8 in and out)", "in process", "10 MB", stream_10mb, None,
                     engine_10mb / stream_10mb if engine_10mb else None, None))
    for name, runs in peers.items():
        inproc = runs.reported("bytes_per_second")
        rows.append((name, "in process", "10 MB", inproc, None, engine_10mb / inproc if engine_10mb else None, None))
    if literal_report:
        bps = literal_report.reported("bytes_per_second")
        label = f"{literal_report.reports[0]['bytes'] / 1000:.0f} KB slice"
        rows.append(("literal pass (reference)", "in process", label, bps, None,
                     engine_10mb / bps if engine_10mb else None, None))
    rows.append(("mibolan-convert", "whole process", "10 MB", ours_bps, ours.peak_mib, 1.0, 1.0))
    rows.append(("iconv -f UTF-8 -t UTF-16LE (yardstick)", "whole process", "10 MB", corpus_bytes / iconv.wall,
                 iconv.peak_mib, iconv.wall / ours.wall, iconv.peak_mib / ours.peak_mib))
    for name, runs in peers.items():
        rows.append((name, "whole process", "10 MB", corpus_bytes / runs.wall, runs.peak_mib,
                     runs.wall / ours.wall, runs.peak_mib / ours.peak_mib))

    print("## Side by side")
    print()
    print("Speed ratio: how many times faster Mibolan is (in-process rows against the engine's ConvertText, "
          "whole-process rows against mibolan-convert). Memory ratio: this peak ÷ mibolan-convert's peak.")
    print()
    print("| converter | timed | input | MB/s | peak MiB | speed ratio | memory ratio |")
    print("|---|---|---|---:|---:|---:|---:|")
    for name, kind, size, bps, peak, speed, memory in rows:
        print(f"| {name} | {kind} | {size} | {mbps(bps)} | {'' if peak is None else f'{peak:,.1f}'} | "
              f"{'' if speed is None else ratio(speed)} | {'' if memory is None else ratio(memory)} |")
    print()

    print("## Growth with the input (whole process)")
    print()
    print("| input | bytes | mibolan-convert s | MB/s | peak MiB | iconv s | MB/s | peak MiB |")
    print("|---|---:|---:|---:|---:|---:|---:|---:|")
    for label, size, mine, theirs in linear:
        print(f"| {label} | {size:,} | {mine.wall:.3f} | {mbps(size / mine.wall)} | {mine.peak_mib:.1f} | "
              f"{theirs.wall:.3f} | {mbps(size / theirs.wall)} | {theirs.peak_mib:.1f} |")
    print()
    engine_sizes = [(label, engine.get(f"BM_ConvertText/pinyin/{size}"))
                    for label, size in (("100 KB", 100000), ("1 MB", 1000000), ("10 MB", 10000000))]
    print("Engine in process (ConvertText, pinyin style): " +
          ", ".join(f"{label} {mbps(bps)} MB/s" for label, bps in engine_sizes if bps))
    print()

    fastest_in = max(peers.items(), key=lambda item: item[1].reported("bytes_per_second"))
    fastest_whole = min(peers.items(), key=lambda item: item[1].wall)
    largest_peak = max(linear, key=lambda entry: entry[1])
    smallest_peer_peak = min(peers.items(), key=lambda item: item[1].peak_mib)
    goals = []
    if engine_10mb:
        reached = engine_10mb / fastest_in[1].reported("bytes_per_second")
        goals.append((f"engine ≥ 10× the fastest peer in process ({fastest_in[0]})", ratio(reached), reached >= 10))
    reached = fastest_whole[1].wall / ours.wall
    goals.append((f"mibolan-convert ≥ 10× the fastest peer's whole process ({fastest_whole[0]})", ratio(reached),
                  reached >= 10))
    reached = iconv.wall / ours.wall
    goals.append(("mibolan-convert no slower than iconv (iconv time ÷ ours ≥ 1)", ratio(reached), reached >= 1))
    peak = largest_peak[2].peak_mib
    goals.append((f"mibolan-convert peak under 10 MB at {largest_peak[0]}", f"{peak * MIB / MB:.1f} MB",
                  peak * MIB < 10 * MB))
    reached = smallest_peer_peak[1].peak_mib / ours.peak_mib
    goals.append((f"peak ≥ 10× below every peer's (smallest: {smallest_peer_peak[0]})", ratio(reached), reached >= 10))
    print("## Goals")
    print()
    print("| goal | reached | met |")
    print("|---|---:|---|")
    for goal, reached, met in goals:
        print(f"| {goal} | {reached} | {'yes' if met else 'no'} |")


if __name__ == "__main__":
    main()
