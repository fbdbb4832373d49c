#!/usr/bin/env python3
"""Times mibolan-convert, the engine, the npm pinyin converters and iconv on the benchmark corpus,
side by side, and prints the results as Markdown tables. bench/compare.sh prepares everything and
runs this; see bench/README.md.

The systems run in turn, over several rounds (A B C ... A B C ...), so that a machine that is busy
for a while slows them all alike. Each ratio is taken within a round and reported as the median
of the rounds' ratios with its spread (lowest to highest); each time is the median of its rounds.
Peak resident memory comes from a warm-up run of each command under GNU time before the rounds.
In-process figures are what each program reports about its conversion alone. Throughputs count
the UTF-8 bytes of the input; 1 MB is 10^6 bytes.

During each round the script measures how busy the machine was with other work: the processor
time that /proc/stat counts as busy, less what this script and the commands it ran used. Figures
from a machine that other work kept busy do not reproduce: when any round's other work exceeds
--max-load processors, the tables are headed "loaded, not for publication", a warning goes to
standard error and the exit status is 3, unless --allow-load. With --output the tables also go
to a file, headed with the date, the commit, the machine and the load, to be committed beside the
figures that quote them.
"""

import argparse
import contextlib
import io
import json
import os
import platform
import resource
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

# Scripts in bench/peers, the names they go by, and whether they read by word.
PEERS = [
    ("napi-rs-pinyin.js", "@napi-rs/pinyin", False),
    ("napi-rs-pinyin-array.js", "@napi-rs/pinyin (array API)", False),
    ("pinyin.js", "pinyin", False),
    ("pinyin-pro.js", "pinyin-pro (reads by word)", True),
    ("napi-rs-pinyin-phrase.js", "@napi-rs/pinyin (segment, phrase)", True),
    ("napi-rs-pinyin-jieba.js", "@napi-rs/pinyin (segment, jieba)", True),
    ("pinyin-segment-jieba.js", "pinyin (segment, @node-rs/jieba; line by line)", True),
    ("pinyin-segment.js", "pinyin (segment, Intl.Segmenter; line by line)", True),
]

IN_PROCESS = " in process"

ENGINE_BENCHMARKS = ["BM_ConvertText/pinyin/100000", "BM_ConvertText/pinyin/1000000",
                     "BM_ConvertText/pinyin/10000000", "BM_ConvertUtf8Stream/pinyin/10000000"]
# The engine's by-word cases, whatever sizes and variants the build has (patterns, not names).
BY_WORD_PREFIXES = ["BM_ConvertUtf8StreamByWord/words", "BM_ConvertTextByWord/words"]


@dataclass
class Command:
    key: str
    argv: list
    parse: object = None  # what the run printed (stdout, stderr) -> figures it reports, or None
    warm_up: bool = True  # a first run, under GNU time for the peak memory


@dataclass
class Series:
    """Every round's figures of one command."""
    walls: list = field(default_factory=list)
    reports: list = field(default_factory=list)
    peak_kib: int = 0

    @property
    def wall(self):
        return statistics.median(self.walls)

    @property
    def peak_mib(self):
        return self.peak_kib / 1024

    def reported(self, key):
        return statistics.median(report[key] for report in self.reports)


@dataclass
class Ratio:
    """The median of per-round ratios and their spread."""
    median: float
    low: float
    high: float

    @staticmethod
    def of(numerators, denominators):
        values = [a / b for a, b in zip(numerators, denominators)]
        return Ratio(statistics.median(values), min(values), max(values))

    def __str__(self):
        return f"{times(self.median)} ({number(self.low)}–{number(self.high)})"


def number(value):
    if value >= 100:
        return f"{value:,.0f}"
    return f"{value:,.1f}" if value >= 10 else f"{value:,.2f}"


def times(value):
    return number(value) + "×"


def mbps(value):
    return number(value / MB)


def size_label(size):
    return f"{size / 1e9:.0f} GB" if size >= 1e9 else f"{size / MB:.0f} MB"


def run_once(argv, parse=None):
    """Runs a command with nothing on standard input: (wall seconds, its reported figures)."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        start = time.perf_counter()
        process = subprocess.run(argv, stdin=subprocess.DEVNULL, stdout=out if parse else subprocess.DEVNULL,
                                 stderr=err)
        wall = time.perf_counter() - start
        out.seek(0)
        err.seek(0)
        stdout = out.read().decode("utf-8", "replace")
        stderr = err.read().decode("utf-8", "replace")
    if process.returncode != 0:
        sys.exit(f"compare: {' '.join(map(str, argv))} failed ({process.returncode}):\n{stderr}")
    return wall, parse(stdout, stderr) if parse else None


def peak_kib(argv):
    """The peak resident memory of one run, in KiB. GNU time starts the command: one started from
    here directly would be charged with this interpreter's memory, which Linux carries into a
    child's peak through fork and exec."""
    with tempfile.NamedTemporaryFile(mode="r") as peak_file:
        subprocess.run([TIME, "-f", "%M", "-o", peak_file.name, *argv], stdin=subprocess.DEVNULL,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
        return int(peak_file.read().split()[-1])


def read_through(argv):
    """Reads every file that the command names, so that it finds them in memory. On these virtual
    machines the pages of a file that nobody has read for half a second are slow to read again (a
    10 MB file: 20 ms more after half a second, 60 ms after four); without this, whichever command
    came first after a long one paid for it, not the others."""
    for argument in argv[1:]:
        path = Path(str(argument))
        if path.is_file():
            with open(path, "rb") as handle:
                while handle.read(MIB):
                    pass


def busy_seconds():
    """Processor seconds that /proc/stat counts as busy since boot, over every processor (steal
    time included: a hypervisor that runs another machine takes the processor as surely)."""
    fields = Path("/proc/stat").read_text().splitlines()[0].split()[1:]
    user, nice, system, _idle, _iowait, irq, softirq, steal = (int(value) for value in fields[:8])
    return (user + nice + system + irq + softirq + steal) / os.sysconf("SC_CLK_TCK")


def own_seconds():
    """Processor seconds used by this script and the commands it has run and waited for."""
    total = 0.0
    for who in (resource.RUSAGE_SELF, resource.RUSAGE_CHILDREN):
        usage = resource.getrusage(who)
        total += usage.ru_utime + usage.ru_stime
    return total


class LoadMeter:
    """How many processors, on average, other work kept busy while it was running: the machine's
    busy time less this script's and its commands', over the wall time."""

    def __enter__(self):
        self.start = (time.perf_counter(), busy_seconds(), own_seconds())
        return self

    def __exit__(self, *exception):
        wall, busy, own = (after - before for after, before in
                           zip((time.perf_counter(), busy_seconds(), own_seconds()), self.start))
        self.other = max(0.0, busy - own)
        self.wall = wall
        return False


# The kernel counts busy time in ticks of 10 ms: a start-up round of a millisecond reads as 0 or
# as several processors. Rounds are judged in windows of at least this many seconds.
LOAD_WINDOW_SECONDS = 1.0


@dataclass
class Load:
    """Other work during one phase of the timing: each round's busy seconds of other work and its
    wall time, judged in windows of consecutive rounds (`windows`), in processors kept busy."""
    phase: str
    samples: list = field(default_factory=list)  # (other work's seconds, wall seconds) per round

    @property
    def windows(self):
        windows, other, wall = [], 0.0, 0.0
        for round_other, round_wall in self.samples:
            other, wall = other + round_other, wall + round_wall
            if wall >= LOAD_WINDOW_SECONDS:
                windows.append(other / wall)
                other, wall = 0.0, 0.0
        if wall > 0:
            # A short last window joins the one before it, or stands alone if it is the only one.
            if windows and wall < LOAD_WINDOW_SECONDS:
                windows[-1] = (windows[-1] * LOAD_WINDOW_SECONDS + other) / (LOAD_WINDOW_SECONDS + wall)
            else:
                windows.append(other / wall)
        return windows


LOADS = []  # every phase's Load, in the order they ran


def idle_load(load):
    """A second of the machine with nothing of ours running, as a sample of `load`."""
    with LoadMeter() as meter:
        time.sleep(LOAD_WINDOW_SECONDS)
    load.samples.append((meter.other, meter.wall))


def interleave(commands, rounds, what, short=False):
    """One warm-up run of each command under GNU time (unless it needs none), then `rounds` rounds
    of one run each, in turn, each run just after its input files were read through. The other
    work on the machine during each round goes to LOADS; for `short` commands (start-up), during
    a second of idling before and after the rounds instead, since starting and ending thousands
    of processes costs the kernel time that no process is charged with."""
    series = {command.key: Series() for command in commands}
    for command in commands:
        if command.warm_up:
            series[command.key].peak_kib = peak_kib(command.argv)
    load = Load(what)
    LOADS.append(load)
    if short:
        idle_load(load)
    for round_number in range(1, rounds + 1):
        progress(f"{what}: round {round_number} of {rounds}")
        with LoadMeter() as meter:
            for command in commands:
                read_through(command.argv)
                wall, report = run_once(command.argv, command.parse)
                series[command.key].walls.append(wall)
                if report is not None:
                    series[command.key].reports.append(report)
        if not short:
            load.samples.append((meter.other, meter.wall))
    if short:
        idle_load(load)
    return series


def peer_report(stdout, stderr):
    return next(json.loads(line) for line in stderr.splitlines() if line.startswith("{"))


def peer_rates(series):
    """The throughput that each round's peer_report gave."""
    return [each["bytes_per_second"] for each in series.reports]


def engine_report(stdout, stderr):
    """Each benchmark's throughput over wall time, as the npm converters' figures are."""
    figures = {}
    for entry in json.loads(stdout)["benchmarks"]:
        if "error_occurred" not in entry:
            figures[entry["run_name"]] = entry["bytes_per_second"] * entry["cpu_time"] / entry["real_time"]
    return figures


def progress(what):
    print(f"compare: timing {what}", file=sys.stderr, flush=True)


def utf8_prefix(data, size):
    """The longest prefix of at most `size` bytes that ends on a character boundary."""
    while size < len(data) and size > 0 and (data[size] & 0xC0) == 0x80:
        size -= 1
    return data[:size]


def rodata_bytes(program):
    """The size of the program's read-only data: the tables compiled into it."""
    out = subprocess.run(["size", "-A", program], check=True, capture_output=True, text=True).stdout
    return next(int(line.split()[1]) for line in out.splitlines() if line.startswith(".rodata "))


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
    usable = len(os.sched_getaffinity(0))
    cores = f"{os.cpu_count()} cores" + ("" if usable == os.cpu_count() else f" ({usable} usable)")
    return f"{model}, {cores}, {memory:.0f} GiB, Linux {platform.release()}"


def commit(root):
    """The commit of the source tree, marked when the tree has changes of its own."""
    def git(*arguments):
        return subprocess.run(["git", "-C", str(root), *arguments], capture_output=True, text=True).stdout.strip()
    head = git("rev-parse", "--short=12", "HEAD")
    if not head:
        return "unknown (not a git checkout)"
    return head + (" with uncommitted changes" if git("status", "--porcelain", "--untracked-files=no") else "")


def loaded_phases(max_load):
    """The phases in which some round had more other work than `max_load` processors."""
    return [load for load in LOADS if load.windows and max(load.windows) > max_load]


def load_section(max_load):
    print("## Load during the rounds")
    print()
    print("Processors kept busy by other work, on average (the machine's busy time less this script's and "
          f"its commands'), in each window of consecutive rounds lasting at least {LOAD_WINDOW_SECONDS:g} s (the "
          f"kernel counts busy time in 10 ms ticks). A window above {max_load:g} makes the run loaded.")
    print()
    rows = []
    for load in LOADS:
        rows.append([load.phase, f"{statistics.median(load.windows):.2f}", f"{max(load.windows):.2f}",
                     " ".join(f"{value:.2f}" for value in load.windows)])
    table(["phase", "median", "highest", "each window"], rows)


def table(header, rows):
    print("| " + " | ".join(header) + " |")
    print("|" + "|".join("---" if i == 0 else "---:" for i in range(len(header))) + "|")
    for row in rows:
        print("| " + " | ".join(row) + " |")
    print()


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", required=True, type=Path, help="the Release build folder")
    parser.add_argument("--corpus", required=True, type=Path)
    parser.add_argument("--peers", required=True, type=Path, help="bench/peers, with node_modules")
    parser.add_argument("--rounds", type=int, default=5, help="rounds on the corpus (default 5)")
    parser.add_argument("--big-rounds", type=int, default=3, help="rounds on the large input (default 3)")
    parser.add_argument("--big-copies", type=int, default=100,
                        help="copies of the corpus in the large input (default 100, about 1 GB; 0 skips it)")
    parser.add_argument("--startup-rounds", type=int, default=300,
                        help="rounds of the start-up timing, empty input and 100 KB (default 300)")
    parser.add_argument("--literal-slice", type=int, default=20_000,
                        help="bytes of the corpus given to the literal pass (default 20000)")
    parser.add_argument("--max-load", type=float, default=0.25,
                        help="processors that other work may keep busy in a round before the run counts as "
                             "loaded (default 0.25)")
    parser.add_argument("--allow-load", action="store_true",
                        help="exit 0 even when the run was loaded (the tables still say so)")
    parser.add_argument("--output", type=Path,
                        help="also write the tables to this file, to be committed beside the figures")
    args = parser.parse_args()
    if args.max_load < 0:
        parser.error("--max-load must not be negative")
    started = time.strftime("%Y-%m-%d %H:%M UTC", time.gmtime())
    loadavg_before = Path("/proc/loadavg").read_text().split()[0]

    convert = str(args.build / "cli" / "mibolan-convert")
    benchmarks = str(args.build / "bench" / "engine_benchmarks")
    literal = args.build / "bench" / "literal_pass"
    corpus = str(args.corpus)
    corpus_bytes = args.corpus.stat().st_size
    data = args.corpus.read_bytes()

    workdir = Path(tempfile.mkdtemp(prefix="mibolan-bench-"))
    try:
        empty = workdir / "empty.txt"
        empty.write_bytes(b"")
        small = workdir / "corpus-100k.txt"
        small.write_bytes(utf8_prefix(data, 100_000))
        small_bytes = small.stat().st_size
        slice_file = workdir / "corpus-slice.txt"
        slice_file.write_bytes(utf8_prefix(data, args.literal_slice))

        iconv = ["iconv", "-f", "UTF-8", "-t", "UTF-16LE"]
        commands = [
            Command("engine", [benchmarks, "--benchmark_filter=^(" + "|".join(
                ENGINE_BENCHMARKS + [prefix + ".*" for prefix in BY_WORD_PREFIXES]) + ")$",
                               "--benchmark_format=json", corpus], engine_report),
            Command("ours", [convert, corpus]),
            Command("words", [convert, "--words", corpus]),
            Command("sandhi", [convert, "--words", "--tone-sandhi", corpus]),
            Command("iconv", [*iconv, corpus]),
        ]
        if literal.exists():
            commands.append(Command("literal", [str(literal), str(slice_file)], peer_report))
        # Each peer twice a round: the whole process of one conversion, and in process the second
        # of two conversions, whose memory has been had from the system once already.
        for script, name, _ in PEERS:
            commands.append(Command(name, ["node", str(args.peers / script), corpus]))
            commands.append(Command(name + IN_PROCESS, ["node", str(args.peers / script), corpus, "again"], peer_report,
                                    warm_up=False))
        tenmb = interleave(commands, args.rounds, "the 10 MB corpus")

        startup = interleave([Command("true", ["/bin/true"]), Command("version", [convert, "--version"]),
                              Command("empty", [convert, str(empty)]), Command("100 KB", [convert, str(small)]),
                              Command("iconv 100 KB", [*iconv, str(small)])],
                             args.startup_rounds, "the start-up", short=True)

        big = None
        if args.big_copies > 0:
            big_file = workdir / "corpus-big.txt"
            with open(big_file, "wb") as out:
                for _ in range(args.big_copies):
                    out.write(data)
            big_bytes = big_file.stat().st_size
            # No npm converter takes 1 GB in one string (a JavaScript string holds at most about
            # 2^29 characters): the fastest one converts the corpus in each round instead.
            fastest = min(PEERS, key=lambda peer: tenmb[peer[1]].wall)
            big = interleave([Command("ours", [convert, str(big_file)]), Command("iconv", [*iconv, str(big_file)]),
                              Command("words", [convert, "--words", str(big_file)]),
                              Command("peer", ["node", str(args.peers / fastest[0]), corpus])],
                             args.big_rounds, f"{size_label(big_bytes)} ({args.big_copies} copies of the corpus)")
            big["peer name"] = fastest[1]
            big_file.unlink()
    finally:
        for leftover in workdir.iterdir():
            leftover.unlink()
        workdir.rmdir()

    sizes = {"100 KB": small_bytes, "10 MB": corpus_bytes, "big": big_bytes if big else 0}
    loaded = loaded_phases(args.max_load)
    text = io.StringIO()
    with contextlib.redirect_stdout(text):
        title = "# Converter comparison" + (" — loaded, not for publication" if loaded else "")
        print(title)
        print()
        print(f"Date: {started}  ")
        print(f"Commit: {commit(Path(__file__).resolve().parent.parent)}  ")
        print(f"Machine: {machine()}  ")
        print(f"Load: other work kept at most {max(max(load.windows) for load in LOADS):.2f} processors busy in a "
              f"window of rounds (limit {args.max_load:g}); load average {loadavg_before} before, "
              f"{Path('/proc/loadavg').read_text().split()[0]} after  ")
        print(f"Corpus: {corpus_bytes:,} bytes. {args.rounds} rounds on the corpus, {args.big_rounds} on the large "
              f"input, {args.startup_rounds} for the start-up; in each round every system runs once, in turn. "
              "A ratio is the median of the rounds' ratios, with the lowest and highest in parentheses.")
        print()
        if loaded:
            print("**Loaded, not for publication:** other work kept the machine busy during "
                  + ", ".join(load.phase for load in loaded) + "; these figures will not reproduce on a quiet "
                  "machine.")
            print()
        report(args, tenmb, startup, big, sizes, rodata_bytes(convert))
        load_section(args.max_load)
    sys.stdout.write(text.getvalue())
    if args.output:
        args.output.write_text(text.getvalue())
    if loaded:
        print(f"compare: WARNING: the machine was loaded (other work above {args.max_load:g} processors in "
              + ", ".join(load.phase for load in loaded) + "): the figures are marked not for publication",
              file=sys.stderr)
        if not args.allow_load:
            sys.exit(3)


def report(args, tenmb, startup, big, sizes, tables_bytes):
    corpus_bytes, big_bytes = sizes["10 MB"], sizes["big"]
    ours = tenmb["ours"]
    engine = tenmb["engine"]
    engine_rates = [figures["BM_ConvertText/pinyin/10000000"] for figures in engine.reports]
    stream_rates = [figures["BM_ConvertUtf8Stream/pinyin/10000000"] for figures in engine.reports]
    peers = [(name, tenmb[name], by_word) for _, name, by_word in PEERS]

    print("## In process: the conversion alone, 10 MB")
    print()
    print("The engine's figure is `BM_ConvertText/pinyin/10000000` (input already decoded to UTF-16, as each "
          "npm converter gets a string already read and decoded, output memory reused from call to call); each "
          "npm script times the second of two calls on the whole corpus, after a warm-up call. Speed ratio: the "
          "engine's throughput ÷ the row's, round by round.")
    print()
    rows = [["mibolan engine, ConvertText (UTF-16 in)", mbps(statistics.median(engine_rates)), ""],
            ["mibolan engine, converter path (UTF-8 in and out)", mbps(statistics.median(stream_rates)),
             str(Ratio.of(engine_rates, stream_rates))]]
    for name, _, _ in peers:
        runs = tenmb[name + IN_PROCESS]
        rows.append([name, mbps(runs.reported("bytes_per_second")), str(Ratio.of(engine_rates, peer_rates(runs)))])
    if "literal" in tenmb:
        literal = tenmb["literal"]
        rows.append([f"literal pass (reference), {literal.reports[0]['bytes'] / 1000:.0f} KB slice",
                     mbps(literal.reported("bytes_per_second")), str(Ratio.of(engine_rates, peer_rates(literal)))])
    table(["converter", "MB/s", "speed ratio"], rows)

    by_word_in_process(engine, peers, tenmb)

    print("## Whole process, 10 MB")
    print()
    print("The command from start to exit, output to /dev/null. Speed ratio: the row's time ÷ mibolan-convert's "
          "(reading by word: ÷ `mibolan-convert --words`), round by round. Memory ratio: the row's peak ÷ "
          "mibolan-convert's (reading by word: ÷ `--words`).")
    print()
    words = tenmb["words"]

    def whole_row(name, runs, base):
        return [name, f"{runs.wall * 1000:,.0f}", mbps(corpus_bytes / runs.wall), f"{runs.peak_mib:,.1f}",
                str(Ratio.of(runs.walls, base.walls)), times(runs.peak_kib / base.peak_kib)]

    header = ["converter", "ms", "MB/s", "peak MiB", "speed ratio", "memory ratio"]
    rows = [whole_row("mibolan-convert", ours, ours), whole_row("iconv -f UTF-8 -t UTF-16LE (yardstick)",
                                                                tenmb["iconv"], ours)]
    rows += [whole_row(name, runs, ours) for name, runs, by_word in peers if not by_word]
    table(header, rows)
    print("Reading by word:")
    print()
    rows = [whole_row("mibolan-convert --words", words, words),
            whole_row("mibolan-convert --words --tone-sandhi", tenmb["sandhi"], words)]
    rows += [whole_row(name, runs, words) for name, runs, by_word in peers if by_word]
    table(header, rows)

    print("## Growth with the input, whole process")
    print()
    print("100 KB is the start of the corpus" + (f", {size_label(big_bytes)} the corpus {args.big_copies} times"
                                                  if big else "") +
          ". Ratio: iconv's time ÷ mibolan-convert's, round by round.")
    print()
    growth = [("100 KB", sizes["100 KB"], startup["100 KB"], startup["iconv 100 KB"]),
              ("10 MB", corpus_bytes, ours, tenmb["iconv"])]
    if big:
        growth.append((size_label(big_bytes), big_bytes, big["ours"], big["iconv"]))
    rows = []
    for label, size, mine, theirs in growth:
        rows.append([label, f"{size:,}", f"{mine.wall:.4f}", mbps(size / mine.wall), f"{mine.peak_mib:.1f}",
                     f"{theirs.wall:.4f}", mbps(size / theirs.wall), f"{theirs.peak_mib:.1f}",
                     str(Ratio.of(theirs.walls, mine.walls))])
    if big:
        rows.append([f"{size_label(big_bytes)}, --words", f"{big_bytes:,}", f"{big['words'].wall:.3f}",
                     mbps(big_bytes / big["words"].wall), f"{big['words'].peak_mib:.1f}", "", "", "", ""])
    table(["input", "bytes", "mibolan-convert s", "MB/s", "peak MiB", "iconv s", "MB/s", "peak MiB", "ratio"], rows)
    engine_sizes = [(label, statistics.median(figures[f"BM_ConvertText/pinyin/{size}"] for figures in engine.reports))
                    for label, size in (("100 KB", 100000), ("1 MB", 1000000), ("10 MB", 10000000))]
    print("Engine in process (ConvertText, pinyin style): " +
          ", ".join(f"{label} {mbps(rate)} MB/s" for label, rate in engine_sizes) + ".")
    print()

    print("## Start-up")
    print()
    print("Median and interquartile range of the wall time, as this script starts a process.")
    print()
    rows = []
    for key, label in (("true", "/bin/true (starting any process)"), ("version", "mibolan-convert --version"),
                       ("empty", "mibolan-convert, empty input"), ("100 KB", "mibolan-convert, 100 KB")):
        walls = sorted(startup[key].walls)
        quartile = len(walls) // 4
        rows.append([label, f"{statistics.median(walls) * 1000:.2f}",
                     f"{walls[quartile] * 1000:.2f}–{walls[-1 - quartile] * 1000:.2f}",
                     f"{startup[key].peak_mib:.1f}"])
    table(["command", "median ms", "IQR ms", "peak MiB"], rows)

    goals(tenmb, startup, big, peers, engine, engine_rates, sizes, tables_bytes)


def by_word_engine_figures(engine):
    """The engine's by-word figures that every round reported, by name, and the one that the peers
    are measured against: plain reading by word (no tone changes) on the largest input, through
    the UTF-8 stream (one thread: the figure per core) if the build has it, else through ConvertText."""
    names = [name for name in engine.reports[0] if any(name.startswith(prefix) for prefix in BY_WORD_PREFIXES)
             and all(name in figures for figures in engine.reports)]

    def size(name):
        last = name.rsplit("/", 1)[-1]
        return int(last) if last.isdigit() else 0

    plain = [name for name in names if "sandhi" not in name and "tone" not in name]
    for prefix in BY_WORD_PREFIXES:
        candidates = [name for name in plain if name.startswith(prefix)]
        if candidates:
            return names, max(candidates, key=size)
    return names, None


def fastest_word_aware_in_process(peers, tenmb):
    """The name of the word-aware peer with the highest throughput in process, or None."""
    word_aware = [name for name, _, by_word in peers if by_word and name + IN_PROCESS in tenmb]
    return max(word_aware, key=lambda name: tenmb[name + IN_PROCESS].reported("bytes_per_second"), default=None)


def by_word_in_process(engine, peers, tenmb):
    names, yardstick = by_word_engine_figures(engine)
    print("## In process, reading by word: the conversion alone, 10 MB")
    print()
    if yardstick is None:
        print("This build's engine benchmarks have no by-word case (" + ", ".join(BY_WORD_PREFIXES) +
              "): no figure to set beside the word-aware peers.")
        print()
        return
    fastest = fastest_word_aware_in_process(peers, tenmb)
    print(f"The engine's by-word benchmarks; the word-aware npm converters time the second of two calls as above. "
          f"For the engine's rows, the speed ratio is the row's throughput ÷ that of the fastest word-aware peer "
          f"({fastest}); for the peers' rows, `{yardstick}`'s throughput ÷ the row's; both round by round. "
          "`BM_ConvertUtf8StreamByWord` runs on one thread (the figure per core), `BM_ConvertTextByWord` on two "
          "from half a million units.")
    print()
    rates = {name: [figures[name] for figures in engine.reports] for name in names}
    fastest_rates = peer_rates(tenmb[fastest + IN_PROCESS]) if fastest else None
    rows = [[f"mibolan engine, `{name}`", mbps(statistics.median(rates[name])),
             str(Ratio.of(rates[name], fastest_rates)) if fastest_rates else ""] for name in names]
    for name, _, by_word in peers:
        if by_word:
            runs = tenmb[name + IN_PROCESS]
            rows.append([name, mbps(runs.reported("bytes_per_second")),
                         str(Ratio.of(rates[yardstick], peer_rates(runs)))])
    table(["converter", "MB/s", "speed ratio"], rows)


def goals(tenmb, startup, big, peers, engine, engine_rates, sizes, tables_bytes):
    ours, words, iconv = tenmb["ours"], tenmb["words"], tenmb["iconv"]
    every_peer = [(name, runs) for name, runs, _ in peers]
    word_aware = [(name, runs) for name, runs, by_word in peers if by_word]
    fastest_in = max(every_peer, key=lambda peer: tenmb[peer[0] + IN_PROCESS].reported("bytes_per_second"))
    fastest_whole = min(every_peer, key=lambda peer: peer[1].wall)
    fastest_word = min(word_aware, key=lambda peer: peer[1].wall)

    rows = []

    def goal(text, ratio, target):
        # A verdict that some round contradicts may well flip on the next run: it says so.
        met = ratio.median >= target
        settled = ratio.low >= target if met else ratio.high < target
        rows.append([text, str(ratio), ("yes" if met else "no") + ("" if settled else ", within the spread")])

    goal(f"engine ≥ 10× the fastest peer in process ({fastest_in[0]})",
         Ratio.of(engine_rates, peer_rates(tenmb[fastest_in[0] + IN_PROCESS])), 10)
    goal("mibolan-convert ≥ 2× faster than iconv, 10 MB", Ratio.of(iconv.walls, ours.walls), 2)
    if big:
        goal(f"mibolan-convert ≥ 2× faster than iconv, {size_label(sizes['big'])}",
             Ratio.of(big["iconv"].walls, big["ours"].walls), 2)
    goal(f"mibolan-convert ≥ 20× faster than the fastest peer, 10 MB ({fastest_whole[0]})",
         Ratio.of(fastest_whole[1].walls, ours.walls), 20)
    if big:
        # The fastest peer's time on the corpus, in the same round, times the growth of the input:
        # that favours it, whose start is counted that many times.
        growth = sizes["big"] / sizes["10 MB"]
        goal(f"mibolan-convert ≥ 20× faster than the fastest peer, {size_label(sizes['big'])} ({big['peer name']}: its "
             "10 MB time × "
             f"{growth:.0f})", Ratio.of([wall * growth for wall in big["peer"].walls], big["ours"].walls), 20)
    goal(f"--words ≥ 10× faster than the fastest word-aware peer, 10 MB ({fastest_word[0]})",
         Ratio.of(fastest_word[1].walls, words.walls), 10)
    by_word_names, _ = by_word_engine_figures(engine)
    fastest_word_in = fastest_word_aware_in_process(peers, tenmb)
    for name, text, target in (("BM_ConvertUtf8StreamByWord/words/10000000", "by word in process, one core", 3),
                               ("BM_ConvertTextByWord/words/10000000", "ConvertText by word in process", 2)):
        if name in by_word_names and fastest_word_in:
            goal(f"{text} ≥ {target}× the fastest word-aware peer ({fastest_word_in}; `{name}`)",
                 Ratio.of([figures[name] for figures in engine.reports],
                          peer_rates(tenmb[fastest_word_in + IN_PROCESS])), target)
    memory = [(f"mibolan-convert peak under 10 MB at {size_label(sizes['big']) if big else '10 MB'}",
               (big["ours"] if big else ours).peak_kib * 1024, 10 * MB)]
    if big:
        memory.append((f"--words peak at {size_label(sizes['big'])} under 10 MB + the tables ({tables_bytes / MB:.1f} MB)",
                       big["words"].peak_kib * 1024, 10 * MB + tables_bytes))
    for text, peak, limit in memory:
        rows.append([text, f"{peak / MB:.1f} MB", "yes" if peak < limit else "no"])
    for key, text, limit in (("empty", "empty input under 1.2 ms", 0.0012), ("100 KB", "100 KB under 2 ms", 0.002)):
        walls = startup[key].walls
        rows.append([text, f"{statistics.median(walls) * 1000:.2f} ms", "yes" if statistics.median(walls) < limit
                     else "no"])
    print("## Goals")
    print()
    table(["goal", "reached", "met"], rows)


if __name__ == "__main__":
    main()
