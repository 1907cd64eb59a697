#!/usr/bin/env python3
"""Benchmarks of Mirvex.exe under Wine in a private Xvfb.

    python3 tools/bench.py --build build startup [--runs N]
    python3 tools/bench.py --build build cadence [--short] [--delays 10,50,99,1000]
                                               [--loaded 50] [--blocks N] [--intervals N]
                                               [--seed N] [--raw FILE]
    python3 tools/bench.py --build build records
    python3 tools/bench.py --build build idle [--seconds 60]
    python3 tools/bench.py --build build soak [--minutes 60]

startup  time from process start to the window being mapped on the X
         display, for Mirvex.exe, for BareWindow.exe (the same controls
         alone: the floor of this window) and for MinimalWindow.exe (the cost
         of any window program under the same Wine and display), medians and
         ratios; Mirvex's start by phase, from MirvexTraced.exe (the same
         program with its start-up marks recorded); the working set of each
         after start and the size of Mirvex.exe.
cadence  Mirvex clicking in plain mode at each delay, beside xdotool clicking
         the same target at the same delay, the two taking turns in blocks;
         then the same at one delay while CPU-bound processes keep every
         core busy (the loaded row). Each row gives the ratio of the two
         programs' 95th-percentile errors with a bootstrap confidence
         interval and a verdict; plus the time from the F3 key press to the
         first click. A full run takes about 16 minutes (19 on a busy
         machine); --short takes a fifth of the intervals in fewer blocks
         (about 3 minutes), for trying the benchmark out, not for verdicts;
         --raw FILE keeps every block's press times, to recompute the table.
records  RecordBench.exe: loading and saving a large record file.
idle     CPU time Mirvex.exe (and the Wine server) spend while Mirvex waits
         with its window open and its update check retrying against a
         closed loopback port: the difference of two readings of
         /proc/PID/stat taken a minute apart, after the start has settled.
soak     record mode at 10 ms for a long run, with a stop, an added and a
         deleted row and a start once a minute; memory, handles and GDI and
         USER objects sampled every 30 s, a verdict per measure (flat or
         growing), clicks against steps due (tools/soak_bench.py).

Clocks: ClickTarget stamps each press with QueryPerformanceCounter, which
Wine counts from the host's CLOCK_MONOTONIC_RAW. Key presses are sent from
this process through XTEST, stamped with CLOCK_MONOTONIC_RAW just before the
press. The two are compared directly once a check at the start confirms that
a WinCtl reading of the counter falls between two host readings; otherwise
the offset found by that check is applied and its uncertainty printed.
"""

import argparse
import contextlib
import json
import math
import os
import shutil
import statistics
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
sys.path.insert(0, str(ROOT / "tests" / "e2e"))
sys.path.insert(0, str(ROOT / "tools"))

from apps import ClickTarget, Mirvex  # noqa: E402
from cadence_stats import (BLOCK_MS, BOOTSTRAP_RESAMPLES, BOOTSTRAP_SEED,  # noqa: E402
                           CONFIDENCE, MIN_BLOCKS, blocks_for,
                           block_order, interval_stats, percentile, ratio_interval, verdict)
from harness import Session, find_tools_dir, wait_until  # noqa: E402
import soak_bench  # noqa: E402
from xclient import XClient, now_us  # noqa: E402

MIRVEX_TITLE = "Mirvex"  # English locale
MIRVEX_CLASS = "TFrmMain"
BARE_TITLE = "Bare Window"
BARE_CLASS = "MirvexBareWindow"
MINIMAL_TITLE = "Minimal Window"
MINIMAL_CLASS = "MirvexMinimalWindow"
LOCALE = "en_US.UTF-8"
MAP_TIMEOUT = 60
EXIT_TIMEOUT = 30
PAUSE_BETWEEN_RUNS = 0.3
CLOCK_CHECKS = 3
RECORDS_TIMEOUT = 600
TRACE_FILE = "startup-trace.txt"  # written by MirvexTraced.exe beside itself
TRACE_TIMEOUT = 30
SETTLE_SECONDS = 1.0  # after the window is mapped, before the working set is read
# The marks MirvexTraced.exe records, in order, and what ends at each.
PHASES = [
    ("entry", "process start to entry"),
    ("set-up", "single instance, common controls, catalogue"),
    ("window-created", "window and controls created"),
    ("translated", "translation, titles, status panel"),
    ("hotkeys-set", "settings and hotkeys"),
    ("records-loaded", "record list"),
    ("update-started", "update check started (worker thread)"),
    ("shown", "show and first paint"),
]
STARTUP_TOOLS = ("MirvexTraced.exe", "BareWindow.exe")
# Start-up times under Wine spread by a tenth either way from run to run;
# twenty rounds keep the medians to a few milliseconds.
STARTUP_RUNS = 20
MIB = 1024 * 1024
RATIO_GOAL = 1.15
WORKING_SET_GOAL_MIB = 8
FILE_GOAL_MIB = 1

TARGET_RECT = (20, 20, 600, 500)
TARGET_POINT = (300, 250)  # relative to the target
MIRVEX, XDOTOOL = "Mirvex", "xdotool"
# 99 and 1000 are the delays the editor can hold on either side of the gap
# its last field leaves (100-999 ms cannot be typed). Other delays, such as
# 100 or 250 for xdotool alone, can be asked for with --delays.
DEFAULT_DELAYS = "10,50,99,1000"
# The loaded row: its delay and the CPU-bound processes beside it (one per
# core of the two-core machines the project runs on).
LOADED_DELAY = 50
LOAD_PROCESSES = 2
# Intervals per program and cell: a minute and a quarter of clicking each,
# within these bounds. A 95th percentile of 180 intervals has nine above it;
# of 1000, fifty. With the loaded row the whole run takes about 16 minutes.
CELL_BUDGET_MS = 75_000
MIN_INTERVALS, MAX_INTERVALS = 180, 1000
# --short: a fifth of the intervals, in two blocks per program.
SHORT_DIVISOR = 5
MIN_SHORT_INTERVALS = 30
SHORT_BLOCKS = 2
# A generous bound on the benchmark's own time around one block (focus,
# status panel, reading the click log, writing out disk data).
BLOCK_OVERHEAD_S = 15
DELAY_FIELD_MAX_MS = 99  # the delay text's last field: 0-99 milliseconds
# Generous bounds on the time from the F3 press to Mirvex's first click and on
# one step's own duration, for knowing when a run's clicks are all there.
FIRST_CLICK_ALLOWANCE_MS = 50
STEP_ALLOWANCE_MS = 2
DELAY_HOURS_MAX = 99


# --- start-up ---------------------------------------------------------------

class Program:
    """A window program the start-up benchmark starts: its file, the title
    of its window, the class of that window and what it stands for."""

    def __init__(self, exe, title, window_class, role):
        self.exe, self.title, self.window_class, self.role = Path(exe), title, window_class, role


def start_program(session, xc, program):
    """Starts a program; returns its process and the times (µs) of its
    start and of its window's mapping."""
    quiet_disk()
    xc.drain()
    started = now_us()
    process = session.spawn(["wine", str(program.exe)], locale=LOCALE, cwd=program.exe.parent)
    try:
        return process, started, xc.wait_mapped(program.title, MAP_TIMEOUT)
    except BaseException:
        end_program(process)
        raise


def end_program(process):
    process.kill()
    process.wait(EXIT_TIMEOUT)
    time.sleep(PAUSE_BETWEEN_RUNS)


def time_start(session, xc, program):
    """Milliseconds from process start to the window being mapped."""
    process, started, mapped = start_program(session, xc, program)
    end_program(process)
    return (mapped - started) / 1000


def traced_start(session, xc, program, offset_us):
    """The traced program's map time and the end of each start-up phase, in
    ms from the process start."""
    trace = program.exe.parent / TRACE_FILE
    trace.unlink(missing_ok=True)
    process, started, mapped = start_program(session, xc, program)
    try:
        wait_until("the start-up trace", trace.is_file, TRACE_TIMEOUT, 0.02)
        marks = {}
        for line in trace.read_text(encoding="ascii").splitlines():
            phase, us = line.split("\t")
            marks[phase] = (int(us) - offset_us - started) / 1000
    finally:
        end_program(process)
    return (mapped - started) / 1000, marks


def working_set(session, xc, program):
    """Bytes in the program's working set once it has settled after its
    window was mapped, as Windows reports it (Wine: the resident set)."""
    process, _, _ = start_program(session, xc, program)
    try:
        time.sleep(SETTLE_SECONDS)
        windows = session.winctl("list", program.window_class)
        return session.winctl("memory", windows[0]["hwnd"])[0]["working_set"]
    finally:
        end_program(process)


def startup(session, args):
    for name in STARTUP_TOOLS:
        if not Path(session.tool(name)).is_file():
            raise SystemExit(f"bench: {name} is not built")
    folder = session.folder("bench-startup")
    for exe in (session.exe, session.tool("MirvexTraced.exe")):
        shutil.copy2(exe, folder / Path(exe).name)
    mirvex = Program(folder / "Mirvex.exe", MIRVEX_TITLE, MIRVEX_CLASS, "the program")
    traced = Program(folder / "MirvexTraced.exe", MIRVEX_TITLE, MIRVEX_CLASS,
                     "the same with its start-up marks recorded")
    floor = Program(session.tool("BareWindow.exe"), BARE_TITLE, BARE_CLASS,
                    "the window's controls alone: the floor")
    minimal = Program(session.tool("MinimalWindow.exe"), MINIMAL_TITLE, MINIMAL_CLASS,
                      "one empty window")
    timed = [mirvex, floor, minimal]
    offset_us, uncertainty_us = clock_offset(session)
    times = {p.exe.name: [] for p in timed + [traced]}
    phases = {phase: [] for phase, _ in PHASES}
    with XClient(session.display_name) as xc:
        for program in timed + [traced]:  # warm-up: disk cache, first-start work
            time_start(session, xc, program)
        for _ in range(args.runs):  # interleaved, so drift hits all alike
            for program in timed:
                times[program.exe.name].append(time_start(session, xc, program))
            mapped, marks = traced_start(session, xc, traced, offset_us)
            times[traced.exe.name].append(mapped)
            for phase, _ in PHASES:
                if phase in marks:
                    phases[phase].append(marks[phase])
        memory = {p.exe.name: working_set(session, xc, p) for p in timed}
    print_startup(args.runs, times, timed + [traced], phases, memory, uncertainty_us)
    size = session.exe.stat().st_size
    print(f"file size: Mirvex.exe {size} bytes = {size / MIB:.2f} MiB "
          f"(goal {FILE_GOAL_MIB} MiB or less)")


def paired(times, numerator, denominator):
    """The ratio of two programs' times in each round (started one after the
    other, so a slow spell of the machine hits both): median and quartiles."""
    ratios = sorted(a / b for a, b in zip(times[numerator], times[denominator]))
    return (statistics.median(ratios), percentile(ratios, 0.25), percentile(ratios, 0.75))


def print_startup(runs, times, programs, phases, memory, uncertainty_us):
    median = {name: statistics.median(values) for name, values in times.items()}
    names = [p.exe.name for p in programs]
    print(f"startup: process start to window mapped, median of {runs} runs "
          "(after one warm-up each)")
    for program in programs:
        values = times[program.exe.name]
        print(f"  {program.exe.name:<18} {median[program.exe.name]:7.1f} ms   (min "
              f"{min(values):.1f}, max {max(values):.1f})  {program.role}")
    print("  ratios of the medians, and per round (median, quartiles):")
    for label, a, b, goal in (("Mirvex / floor", 0, 1, f"   goal {RATIO_GOAL} or less"),
                              ("floor / minimal", 1, 2, ""), ("Mirvex / minimal", 0, 2, "")):
        mid, low, high = paired(times, names[a], names[b])
        print(f"  {label:<18} {median[names[a]] / median[names[b]]:7.2f}   per round {mid:.2f} "
              f"({low:.2f}-{high:.2f}){goal}")
    clock = "same clock" if uncertainty_us == 0 else f"clock offset +/- {uncertainty_us} us"
    print(f"phases of Mirvex's start (MirvexTraced.exe; ms from the process start, median "
          f"of {runs}; {clock})")
    print(f"  {'phase':<44} {'ends at':>8} {'takes':>7}")
    previous = 0.0
    for phase, label in PHASES:
        if not phases[phase]:
            print(f"  {label:<44} {'(no mark)':>8}")
            continue
        end = statistics.median(phases[phase])
        print(f"  {label:<44} {end:8.1f} {end - previous:7.1f}")
        previous = end
    traced_map = statistics.median(times[programs[3].exe.name])
    print(f"  {'(window mapped, seen by the X server)':<44} {traced_map:8.1f}")
    print("working set after start (a second after the window is mapped; under Wine this is "
          "the resident set, Wine's own libraries included)")
    for program in programs[:3]:
        print(f"  {program.exe.name:<18} {memory[program.exe.name] / MIB:7.1f} MiB")
    mirvex_ws, floor_ws, minimal_ws = (memory[p.exe.name] for p in programs[:3])
    print(f"  Mirvex above the floor {(mirvex_ws - floor_ws) / MIB:5.1f} MiB, above the minimal "
          f"window {(mirvex_ws - minimal_ws) / MIB:5.1f} MiB (goal: working set "
          f"{WORKING_SET_GOAL_MIB} MiB or less)")


# --- cadence ----------------------------------------------------------------

def clock_offset(session):
    """QPC minus CLOCK_MONOTONIC_RAW in µs, and its uncertainty."""
    best = None
    for _ in range(CLOCK_CHECKS):
        before = now_us()
        qpc = session.winctl("clock")[0]["qpc_us"]
        after = now_us()
        if before <= qpc <= after:
            return 0, 0
        estimate = (qpc - (before + after) // 2, (after - before) // 2)
        if best is None or estimate[1] < best[1]:
            best = estimate
    return best


def delay_text(ms):
    """The delay editor's text "HH:MM:SS.FF" for ms, or None when the text
    cannot hold it: its last field is 0-99 milliseconds, so a remainder of
    100-999 ms below the whole second cannot be written."""
    hours, rest = divmod(ms, 3_600_000)
    minutes, rest = divmod(rest, 60_000)
    seconds, rest = divmod(rest, 1000)
    if ms < 0 or rest > DELAY_FIELD_MAX_MS or hours > DELAY_HOURS_MAX:
        return None
    return f"{hours:02d}:{minutes:02d}:{seconds:02d}.{rest:02d}"


def quiet_disk():
    """Writes out pending file data before a run. The fresh Wine prefix
    leaves some hundred megabytes to write back, and the kernel does it in
    bursts that stall every process here for milliseconds at a time; one
    landing inside a run made its worst intervals that machine's, not the
    clicking tool's."""
    os.sync()


def intervals_for(delay_ms, args):
    """Intervals per program in one cell."""
    if args.intervals:
        return args.intervals
    wanted = max(MIN_INTERVALS, min(MAX_INTERVALS, CELL_BUDGET_MS // max(delay_ms, 1)))
    return max(MIN_SHORT_INTERVALS, wanted // SHORT_DIVISOR) if args.short else wanted


def click_budget(clicks, delay_ms):
    """A generous bound on the time `clicks` clicks take, in seconds."""
    return clicks * (delay_ms + 50) / 1000 * 3 + 20


def set_mirvex_delay(app, delay_ms):
    text = delay_text(delay_ms)
    shown = app.set_delay(text.replace(":", "").replace(".", "")).replace(" ", "0")
    if shown != text:
        raise RuntimeError(f"delay editor shows {shown!r} after typing {text!r}")


def run_mirvex(session, xc, app, target, delay_ms, clicks, offset_us):
    """One block of Mirvex's clicks at the delay already set: press times
    (µs) and the time (ms) from the F3 press to the first click."""
    session.move_pointer(*target.point(*TARGET_POINT))
    target.focus()
    before = len(target.presses())
    pressed = xc.key("F3")
    # Reading the click log while clicks arrive would compete with them for
    # the processor (xdotool's clicks run while this process only waits);
    # look only once they should all be there. Mirvex goes on clicking until
    # the second F3, so only the first `clicks` presses count, as many as
    # xdotool makes, none of them made while the log is read.
    time.sleep((FIRST_CLICK_ALLOWANCE_MS + (clicks - 1) * (delay_ms + STEP_ALLOWANCE_MS)) / 1000)
    wait_until(f"{clicks} clicks from Mirvex",
               lambda: len(target.presses()) - before >= clicks, click_budget(clicks, delay_ms),
               0.05)
    xc.key("F3")
    app.wait_panel("Waiting")
    times = [p.us for p in target.presses()[before:before + clicks]]
    return times, (times[0] - offset_us - pressed) / 1000


def run_xdotool(session, target, delay_ms, clicks):
    session.move_pointer(*target.point(*TARGET_POINT))
    before = len(target.presses())
    budget = click_budget(clicks, delay_ms)
    session.xdotool("click", "--repeat", clicks, "--delay", delay_ms, "1", timeout=budget)
    wait_until(f"{clicks} clicks from xdotool",
               lambda: len(target.presses()) - before >= clicks, budget, 0.05)
    return [p.us for p in target.presses()[before:]]


# One CPU-bound process: spins until its time is up.
BURN = ("import sys, time\n"
        "end = time.monotonic() + float(sys.argv[1])\n"
        "while time.monotonic() < end:\n"
        "    pass\n")


@contextlib.contextmanager
def cpu_load(processes, seconds):
    """`processes` CPU-bound processes that spin for at most `seconds` each
    (a game or a build beside the clicker); ended by their PID when the
    block of work inside the `with` ends. Yields a probe that tells
    whether all of them still run."""
    burners = [subprocess.Popen([sys.executable, "-c", BURN, str(seconds)])
               for _ in range(processes)]
    try:
        yield lambda: all(b.poll() is None for b in burners)
    finally:
        for burner in burners:
            burner.kill()
        for burner in burners:
            burner.wait(EXIT_TIMEOUT)


class Cell:
    """One row of the cadence table: a delay, idle or under load, and what
    each program's blocks gave."""

    def __init__(self, delay_ms, loaded, intervals, blocks):
        self.delay, self.loaded = delay_ms, loaded
        # `blocks` blocks per program of `clicks` clicks each (a block of n
        # clicks holds n - 1 intervals)
        self.blocks = blocks
        self.clicks = math.ceil(intervals / blocks) + 1
        self.runs = {MIRVEX: [], XDOTOOL: []}
        self.firsts_ms = []
        self.load_held = True

    @property
    def label(self):
        return f"{self.delay} ms" + (" loaded" if self.loaded else "")


def measure_cell(session, xc, app, target, cell, offset_us):
    clicks = cell.clicks
    with_mirvex = delay_text(cell.delay) is not None
    if with_mirvex:
        set_mirvex_delay(app, cell.delay)
    for program in block_order(MIRVEX, XDOTOOL, cell.blocks):
        if program == MIRVEX and not with_mirvex:
            continue
        quiet_disk()
        if program == MIRVEX:
            times, first = run_mirvex(session, xc, app, target, cell.delay, clicks, offset_us)
            cell.firsts_ms.append(first)
        else:
            times = run_xdotool(session, target, cell.delay, clicks)
        cell.runs[program].append(times)


def cell_seconds(cell):
    """A generous bound on one cell's time, for the load's own limit."""
    return 2 * cell.blocks * (click_budget(cell.clicks, cell.delay) + BLOCK_OVERHEAD_S)


def make_cell(delay_ms, loaded, args):
    intervals = intervals_for(delay_ms, args)
    if args.blocks:
        blocks = args.blocks
    elif args.short:
        blocks = SHORT_BLOCKS
    else:
        blocks = blocks_for(intervals, delay_ms)
    return Cell(delay_ms, loaded, intervals, blocks)


def cadence(session, args):
    delays = [int(d) for d in args.delays.split(",") if d.strip()]
    cells = ([make_cell(d, False, args) for d in delays] +
             ([make_cell(args.loaded, True, args)] if args.loaded else []))
    offset_us, uncertainty_us = clock_offset(session)
    folder = session.folder("bench-cadence")
    target = ClickTarget(session, folder, *TARGET_RECT)
    app = Mirvex(session, folder)
    app.start(LOCALE)
    started = time.monotonic()
    with XClient(session.display_name) as xc:
        for cell in cells:
            if not cell.loaded:
                measure_cell(session, xc, app, target, cell, offset_us)
                continue
            with cpu_load(LOAD_PROCESSES, cell_seconds(cell)) as held:
                measure_cell(session, xc, app, target, cell, offset_us)
                cell.load_held = held()
    app.close()
    if args.raw:
        save_presses(Path(args.raw), cells)
    print_cadence(cells, args.seed, offset_us, uncertainty_us, time.monotonic() - started)
    if args.short:
        print("  a short run: too few intervals for verdicts that hold; the full run gives them")


def save_presses(path, cells):
    """Every block's press times (µs, the target's clock), one JSON line per
    block in the order they ran within each cell, so anyone can recompute
    the table or look at where the worst intervals fell."""
    with path.open("w", encoding="utf-8") as out:
        for cell in cells:
            for program, runs in cell.runs.items():
                for number, times in enumerate(runs):
                    out.write(json.dumps({"cell": cell.label, "delay_ms": cell.delay,
                                          "program": program, "block": number,
                                          "presses_us": times}) + "\n")


def print_cadence(cells, seed, offset_us, uncertainty_us, seconds):
    print("cadence: plain mode, left single clicks on ClickTarget; interval = time between "
          "two presses as the target received them")
    print(f"  each cell: blocks of about {BLOCK_MS / 1000:g} s of clicking ({MIN_BLOCKS} at "
          f"least) per program, the two taking turns "
          f"({' '.join(p[0] for p in block_order(MIRVEX, XDOTOOL, 2))}...), "
          "so both meet the same background load")
    print("  blocks per program: " +
          ", ".join(f"{cell.label} {cell.blocks} x {cell.clicks - 1}" for cell in cells))
    print("  err = |interval - ideal|; ideal = delay + the step's own duration, estimated as "
          "the median interval beyond the delay")
    print(f"  ratio = Mirvex p95 err / xdotool p95 err, with its {CONFIDENCE:.0%} bootstrap "
          f"interval ({BOOTSTRAP_RESAMPLES} resamples, seed {seed})")

    def part(stats):
        if not stats:
            return f"{'n/a: delay text holds 0-99 ms':>40}"
        return (f"{stats['intervals']:6d} {stats['median']:9.2f} {stats['p50err']:8.2f} "
                f"{stats['p95err']:8.2f}")

    columns = f"{'n':>6} {'median':>9} {'p50 err':>8} {'p95 err':>8}"
    header = (f"  {'cell':<13}| {'Mirvex (ms)':^40} | {'xdotool (ms)':^40} | "
              f"{'ratio [95% interval]':<21} verdict")
    print(header)
    print(f"  {'':<13}| {columns:>40} | {columns:>40} |")
    print("  " + "-" * (len(header) - 2))
    for cell in cells:
        mirvex = interval_stats(cell.runs[MIRVEX], cell.delay) if cell.runs[MIRVEX] else None
        xdo = interval_stats(cell.runs[XDOTOOL], cell.delay)
        judged = "n/a"
        if mirvex:
            point, (low, high) = ratio_interval(cell.runs[MIRVEX], cell.runs[XDOTOOL],
                                                cell.delay, seed)
            judged = f"{point:5.2f} [{low:5.2f}-{high:5.2f}]   {verdict(low, high)}"
        note = "" if cell.load_held else "   (the load ended early)"
        print(f"  {cell.label:<13}| {part(mirvex):>40} | {part(xdo):>40} | {judged}{note}")
    print("  n = intervals; ahead: the interval lies below 1 (Mirvex keeps time better), "
          "level: it holds 1, behind: it lies above 1")
    if any(cell.loaded for cell in cells):
        print(f"  loaded: {LOAD_PROCESSES} CPU-bound processes keep both cores busy while "
              "both programs click")
    firsts = [f for cell in cells for f in cell.firsts_ms]
    if firsts:
        clock = ("same clock" if uncertainty_us == 0 else
                 f"offset {offset_us} us applied, +/- {uncertainty_us} us")
        print(f"  F3 press to first click: median {statistics.median(firsts):.2f} ms "
              f"(min {min(firsts):.2f}, max {max(firsts):.2f}; {clock})")
    print(f"  measured in {seconds / 60:.1f} min")


# --- records ----------------------------------------------------------------

def records(session, _args):
    """Runs RecordBench.exe (load and save of a large record file on the
    real window class) when the build has it."""
    program = session.tools_dir / "RecordBench.exe"
    if not program.is_file():
        print("records: not available yet")
        return
    result = session.run(["wine", str(program)], locale=LOCALE, timeout=RECORDS_TIMEOUT,
                         check=False)
    print("records: " + result.stdout.rstrip().replace("\r\n", "\n"))
    if result.returncode != 0:
        raise SystemExit(f"records: RecordBench.exe ended with exit code {result.returncode}")


# --- idle -------------------------------------------------------------------

IDLE_SETTLE_SECONDS = 5  # let the start-up work end before the first reading
CLOCK_TICKS = os.sysconf("SC_CLK_TCK")


def cpu_ms(pid):
    """User plus system CPU time of a process (all its threads) so far."""
    fields = Path(f"/proc/{pid}/stat").read_text().rsplit(")", 1)[1].split()
    user, system = int(fields[11]), int(fields[12])  # utime, stime
    return (user + system) * 1000 / CLOCK_TICKS


def session_wineserver(session):
    """The Wine server of this session's prefix, or None."""
    wanted = f"WINEPREFIX={session.prefix}".encode()
    for entry in Path("/proc").iterdir():
        if not entry.name.isdigit():
            continue
        try:
            if b"wineserver" not in (entry / "cmdline").read_bytes():
                continue
            if wanted in (entry / "environ").read_bytes().split(b"\0"):
                return int(entry.name)
        except OSError:
            continue
    return None


def idle(session, args):
    app = Mirvex(session, session.folder("bench-idle"))
    app.start(LOCALE)  # web hosts: the closed loopback port (Session.env)
    server = session_wineserver(session)
    time.sleep(IDLE_SETTLE_SECONDS)
    pids = {"Mirvex.exe": app.process.pid, "wineserver": server}
    before = {name: cpu_ms(pid) for name, pid in pids.items() if pid}
    time.sleep(args.seconds)
    after = {name: cpu_ms(pid) for name, pid in pids.items() if pid}
    if app.process.poll() is not None:
        raise SystemExit("idle: Mirvex ended during the measurement")
    app.close()
    print(f"idle: CPU time over {args.seconds} s of waiting, update service refusing "
          f"connections (tick {1000 / CLOCK_TICKS:.0f} ms)")
    for name in before:
        print(f"  {name:<12} {after[name] - before[name]:8.0f} ms")


def soak(session, args):
    soak_bench.Soak(session, args.minutes).run()


COMMANDS = {"startup": startup, "cadence": cadence, "records": records, "idle": idle,
            "soak": soak}


def parse_args():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--build", required=True, help="the build folder")
    parser.add_argument("--exe", help="Mirvex.exe (default BUILD/dist/Mirvex.exe)")
    sub = parser.add_subparsers(dest="command", required=True)
    p = sub.add_parser("startup", help="start-up time against a minimal window program")
    p.add_argument("--runs", type=int, default=STARTUP_RUNS)
    p = sub.add_parser("cadence", help="click intervals against xdotool")
    p.add_argument("--delays", default=DEFAULT_DELAYS,
                   help="milliseconds, comma-separated (empty: the loaded row only)")
    p.add_argument("--loaded", type=int, default=LOADED_DELAY,
                   help="delay of the loaded row in ms (0: no loaded row)")
    p.add_argument("--short", action="store_true",
                   help="a fifth of the intervals in fewer blocks, about 3 minutes: for "
                        "development under a busy machine; its verdicts are not the full run's")
    p.add_argument("--blocks", type=int, default=0,
                   help=f"blocks per program and cell (default: about {BLOCK_MS / 1000:g} s of "
                        f"clicking each, {MIN_BLOCKS} at least; --short {SHORT_BLOCKS})")
    p.add_argument("--intervals", type=int, default=0,
                   help="intervals per program and cell (default: about a minute's worth)")
    p.add_argument("--seed", type=int, default=BOOTSTRAP_SEED, help="seed of the bootstrap")
    p.add_argument("--raw", help="also write every block's press times to this file (JSON lines)")
    sub.add_parser("records", help="record-mode benchmark")
    p = sub.add_parser("idle", help="CPU time while waiting, update service unreachable")
    p.add_argument("--seconds", type=int, default=60)
    p = sub.add_parser("soak", help="a long record-mode run: resources over time, verdicts")
    p.add_argument("--minutes", type=int, default=soak_bench.DEFAULT_MINUTES)
    return parser.parse_args()


def main():
    args = parse_args()
    build = Path(args.build).resolve()
    if find_tools_dir(build) is None:
        raise SystemExit("bench: ClickTarget.exe, WinCtl.exe and MinimalWindow.exe are not built")
    session = Session(build, exe=args.exe, name="bench")
    if not session.exe.is_file():
        raise SystemExit(f"bench: {session.exe} is missing")
    with session:  # one Wine server for the whole run
        COMMANDS[args.command](session, args)
    return 0


if __name__ == "__main__":
    sys.exit(main())
