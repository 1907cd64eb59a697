"""The soak benchmark: Mirvex clicking in record mode for a long run, its
resources sampled every 30 s, and a verdict per measure (tools/soak_stats.py).

    python3 tools/bench.py --build build soak [--minutes 60]

Mirvex walks a list of a few hundred rows at 10 ms, every row a left click
on ClickTarget, so the list view's selection moves at every step. Once a
minute it does what a user does during a long run: F3 stops it, F4 adds a
row, the list's popup menu deletes one, F3 starts it again. SoakSampler.exe,
in the same Wine session, reads Mirvex's private bytes, working set, handle
count, threads and GDI and USER objects; a figure the platform does not give is shown
as "not given". Beside them, the host's count of the process's resident
anonymous memory. The target's clicks are counted against the steps due.
"""

import json
import time
from pathlib import Path

from apps import ClickTarget, Mirvex, centre
from harness import wait_until
import soak_stats as ss

LOCALE = "en_US.UTF-8"
DEFAULT_MINUTES = 60
SAMPLE_S = 30
CYCLE_S = 60  # stop, add a row, delete a row, start again
CYCLE_OFFSET_S = 15  # the cycles fall between two samples
DELAY_MS = 10
DELAY_TEXT = "00:00:00.10"
DELAY_DIGITS = "00000010"
# The target sits in the top-left corner, clear of the centred Mirvex window.
TARGET_RECT = (20, 20, 360, 260)
# 300 rows on a grid over the target, in steps of a few pixels.
GRID_COLUMNS, GRID_ROWS = 20, 15
GRID_ORIGIN, GRID_STEP = (20, 20), (16, 14)
ADD_POINT = (340, 240)  # where F4 records its row, inside the target too
LEFT, SINGLE = 0, 0
MENU_TIMEOUT = 30
PANEL_TIMEOUT = 30
SAMPLER_TIMEOUT = 60
SAMPLER_TRIES = 3
MIB = 1024 * 1024

# (key in SoakSampler's line, column heading, bytes?, floor of the verdict)
MEASURES = [
    ("private_bytes", "private bytes", True, ss.MEMORY_FLOOR_PER_HOUR),
    ("working_set", "working set", True, ss.MEMORY_FLOOR_PER_HOUR),
    ("anon_rss", "anon RSS", True, ss.MEMORY_FLOOR_PER_HOUR),
    ("handles", "handles", False, ss.OBJECT_FLOOR_PER_HOUR),
    ("threads", "threads", False, ss.OBJECT_FLOOR_PER_HOUR),
    ("gdi_objects", "GDI objects", False, ss.OBJECT_FLOOR_PER_HOUR),
    ("user_objects", "USER objects", False, ss.OBJECT_FLOOR_PER_HOUR),
]


def anon_rss(pid):
    """The host's view of a Wine process's private memory: its resident
    anonymous pages (RssAnon in /proc/PID/status), heap and stacks, without
    the mapped program and libraries. Where Wine gives no private bytes,
    this is the figure a leak of memory or of GDI objects (which Wine keeps
    in the process's own memory) shows in. Returns (bytes, None), or (None,
    why)."""
    try:
        if b"Mirvex.exe" not in Path(f"/proc/{pid}/cmdline").read_bytes():
            return None, f"host process {pid} is not Mirvex.exe"
        for line in Path(f"/proc/{pid}/status").read_text().splitlines():
            if line.startswith("RssAnon:"):
                return int(line.split()[1]) * 1024, None
    except OSError as error:
        return None, f"/proc/{pid}: {error.strerror}"
    return None, "no RssAnon line in /proc/PID/status"


class ClickCounter:
    """Counts the left presses ClickTarget logs, reading only what was
    appended since the last count (the log grows by some 14 MB an hour)."""

    def __init__(self, log):
        self.log = Path(log)
        self.offset = 0
        self.partial = b""
        self.left = 0
        self.other = 0

    def update(self):
        with self.log.open("rb") as f:
            f.seek(self.offset)
            data = f.read()
        self.offset += len(data)
        lines = (self.partial + data).split(b"\n")
        self.partial = lines.pop()
        for line in lines:
            if line.startswith(b"left\t"):
                self.left += 1
            elif line.startswith((b"right\t", b"middle\t")):
                self.other += 1
        return self.left


class RunClock:
    """When Mirvex was running: the spans from each F3 that started it to
    the F3 that stopped it, in seconds on this process's monotonic clock."""

    def __init__(self):
        self.spans = []

    def started(self, at):
        self.spans.append([at, None])

    def stopped(self, at):
        self.spans[-1][1] = at

    def running(self, start, end):
        """Seconds of running between two moments."""
        total = 0.0
        for begin, finish in self.spans:
            finish = end if finish is None else finish
            total += max(0.0, min(finish, end) - max(begin, start))
        return total


def record_rows(target):
    """One row per grid point on the target: a left single click, 10 ms."""
    return [(*target.point(GRID_ORIGIN[0] + c * GRID_STEP[0], GRID_ORIGIN[1] + r * GRID_STEP[1]),
             LEFT, SINGLE, DELAY_TEXT) for r in range(GRID_ROWS) for c in range(GRID_COLUMNS)]


def overlaps(a, b):
    al, at, ar, ab = a
    bl, bt, br, bb = b
    return al < br and bl < ar and at < bb and bt < ab


class Soak:
    def __init__(self, session, minutes):
        if minutes < 1:
            raise SystemExit("soak: --minutes must be 1 or more")
        self.session = session
        self.seconds = minutes * 60
        folder = session.folder("bench-soak")
        self.target = ClickTarget(session, folder, *TARGET_RECT)
        self.app = Mirvex(session, folder)
        self.rows = record_rows(self.target)
        self.app.write_records(self.rows)
        self.clicks = ClickCounter(self.target.log)
        self.clock = RunClock()
        self.samples = []  # (seconds from the start, sampler's line, clicks, steps due)
        self.cycles = 0
        self.origin = None

    # --- Mirvex ---------------------------------------------------------------

    def prepare(self):
        window = self.app.start(LOCALE)
        x, y, width, height = TARGET_RECT
        if overlaps(window["rect"], (x, y, x + width, y + height)):
            raise SystemExit(f"soak: Mirvex's window {window['rect']} covers the click target")
        if self.app.use_record() != 1:
            raise SystemExit("soak: Use Record did not check")
        shown = self.app.set_delay(DELAY_DIGITS).replace(" ", "0")
        if shown != DELAY_TEXT:
            raise SystemExit(f"soak: the delay editor shows {shown!r}")
        self.app.wait_list_rows(len(self.rows))

    def press_run_key(self, running):
        """F3 with the target in front, as a user's hotkey; waits until the
        panel shows the new state and notes when the run started or
        stopped."""
        self.target.focus()
        pressed = time.monotonic()
        self.session.key("F3")
        if running:
            self.clock.started(pressed)
            wait_until("the run to start", lambda: self.app.panel_text() != "Waiting",
                       PANEL_TIMEOUT)
        else:
            self.clock.stopped(pressed)
            self.app.wait_panel("Waiting", PANEL_TIMEOUT)

    def user_cycle(self):
        """Stop, add the cursor position with F4, delete the selected row
        from the list's popup menu, start again."""
        self.press_run_key(False)
        rows = len(self.rows)
        self.target.focus()
        self.app.add_rows([self.target.point(*ADD_POINT)])
        menu = self.app.open_list_menu()
        self.session.click_at(centre(menu), 1)
        self.app.wait_list_rows(rows, MENU_TIMEOUT)
        self.press_run_key(True)
        self.cycles += 1

    def sample(self):
        """SoakSampler's reading of Mirvex (a dict, see SoakSampler.cpp).
        Wine now and then ends a starting program before it runs; the
        sampler is then started again, and when every try fails the sample
        has no figures (the verdict leaves it out) rather than ending the
        run."""
        for _ in range(SAMPLER_TRIES):
            result = self.session.run(["wine", self.session.tool("SoakSampler.exe"),
                                       str(self.app.window["pid"])], timeout=SAMPLER_TIMEOUT,
                                      check=False)
            parsed = [line for line in result.stdout.splitlines() if line.startswith("{")]
            if result.returncode == 0 and parsed:
                line = json.loads(parsed[-1])
                break
        else:
            why = (f"SoakSampler failed ({result.returncode}): {result.stdout.strip()} "
                   f"{result.stderr.strip()[-200:]}")
            print(f"  {why}", flush=True)
            line = {f"{key}_missing": why for key, _, _, _ in MEASURES}
        line["anon_rss"], why = anon_rss(self.app.process.pid)
        if why:
            line["anon_rss_missing"] = why
        return line

    # --- the run --------------------------------------------------------------

    def take_sample(self, now):
        line = self.sample()
        elapsed = now - self.origin
        previous = self.samples[-1] if self.samples else None
        clicks = self.clicks.update()
        due = self.clock.running(self.origin, time.monotonic()) * 1000 / DELAY_MS
        self.samples.append((elapsed, line, clicks, due))
        print_row(self.samples[-1], previous, flush=True)

    def run(self):
        self.prepare()
        self.session.move_pointer(*self.target.point(*ADD_POINT))
        self.press_run_key(True)
        self.origin = self.clock.spans[0][0]
        print_header(self.seconds)
        next_sample, next_cycle = self.origin, self.origin + CYCLE_OFFSET_S
        end = self.origin + self.seconds
        while True:
            now = time.monotonic()
            if not self.app.is_running():
                raise SystemExit(f"soak: Mirvex ended after {(now - self.origin) / 60:.1f} min "
                                 f"with exit code {self.app.process.returncode}")
            if now >= next_sample:
                self.take_sample(now)
                if next_sample >= end:
                    break
                next_sample = min(next_sample + SAMPLE_S, end)
            elif now >= next_cycle:
                if next_cycle + CYCLE_S / 2 < end:
                    self.user_cycle()
                next_cycle += CYCLE_S
            else:
                time.sleep(max(0.0, min(next_sample, next_cycle) - now))
        self.press_run_key(False)
        code = self.app.close()
        if code != 0:
            raise SystemExit(f"soak: Mirvex ended with exit code {code} on close")
        print_summary(self.samples, self.seconds, self.cycles, self.clicks)


# --- the table ----------------------------------------------------------------

COLUMN = 13


def figure(line, key, is_bytes):
    value = line.get(key)
    if value is None:
        return "not given"
    return f"{value / MIB:.2f} MiB" if is_bytes else str(value)


def print_header(seconds):
    print(f"soak: record mode at {DELAY_MS} ms over {GRID_COLUMNS * GRID_ROWS} rows on "
          f"ClickTarget for {seconds / 60:g} min; sampled every {SAMPLE_S} s; once a minute "
          "F3 stop, F4 add, delete from the popup menu, F3 start")
    heads = ["min"] + [head for _, head, _, _ in MEASURES] + ["clicks", "steps due", "clicks/due"]
    print("  " + " ".join(f"{h:>{COLUMN}}" for h in heads), flush=True)


def print_row(sample, previous, flush=False):
    elapsed, line, clicks, due = sample
    before_clicks, before_due = (previous[2], previous[3]) if previous else (0, 0.0)
    got, wanted = clicks - before_clicks, due - before_due
    share = f"{got / wanted:.1%}" if wanted >= 1 else "-"
    cells = ([f"{elapsed / 60:.1f}"] + [figure(line, key, b) for key, _, b, _ in MEASURES] +
             [str(got), f"{wanted:.0f}", share])
    print("  " + " ".join(f"{c:>{COLUMN}}" for c in cells), flush=flush)


def rate(value, is_bytes):
    return f"{value / MIB:+.2f} MiB/h" if is_bytes else f"{value:+.1f}/h"


def print_summary(samples, seconds, cycles, clicks):
    times = [s[0] for s in samples]
    start = ss.judged_start(seconds)
    print(f"verdicts: least-squares slope over the samples from {start / 60:.1f} min on (the "
          f"last three quarters, never the first minute); growing when the slope exceeds the "
          f"bound = floor + {ss.NOISE_SIGMAS:g} standard errors of the slope")
    for key, head, is_bytes, floor in MEASURES:
        values = [s[1].get(key) for s in samples]
        result = ss.judge(times, values, seconds, floor)

        if result["verdict"] == ss.NOT_GIVEN:
            why = samples[-1][1].get(f"{key}_missing", "")
            print(f"  {head:<14} not given: {why}")
        elif result["verdict"] == ss.TOO_SHORT:
            print(f"  {head:<14} too short: {result['samples']} samples in the judged part")
        else:
            print(f"  {head:<14} slope {rate(result['slope'], is_bytes):>14}   bound "
                  f"{rate(result['bound'], is_bytes):>14} (floor {rate(floor, is_bytes)})   "
                  f"{result['verdict']}   ({result['samples']} samples)")
    last = samples[-1][1]
    if last.get("handles_from", "GetProcessHandleCount") != "GetProcessHandleCount":
        print(f"  handles: counted in {last['handles_from']}, as GetProcessHandleCount gave "
              "none (it reads 0 under Wine)")
    print("  anon RSS is the host's figure for Mirvex's process (RssAnon in /proc/PID/status); "
          "the other measures are SoakSampler's, from the Windows calls")
    _, _, total, due = samples[-1]
    running = due * DELAY_MS / 1000
    share = f"{total / due:.1%}" if due >= 1 else "-"
    print(f"  clicks: {total} received by the target against {due:.0f} steps due at exactly "
          f"{DELAY_MS} ms over {running / 60:.1f} min of running ({share}); a step's own "
          f"time beyond the delay lowers the share (docs/benchmarks.md, \"Soak\")")
    if clicks.other:
        print(f"  {clicks.other} presses of another button reached the target")
    print(f"  user cycles (stop, add, delete, start): {cycles}")
