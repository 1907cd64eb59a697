"""The pure parts of the helper tools: what the benchmark computes, how the
harness names things for Wine and how ./dev waits for the package manager.
No Wine or display needed."""

import fcntl
import select
import subprocess
import sys
import tempfile
import unittest
from pathlib import Path

TOOLS = Path(__file__).resolve().parents[2] / "tools"
sys.path.insert(0, str(TOOLS))

import bench  # noqa: E402
import cadence_stats as cs  # noqa: E402
from harness import windows_path  # noqa: E402


class DelayTextTest(unittest.TestCase):
    def test_milliseconds_to_delay_text(self):
        cases = [
            (10, "00:00:00.10"),
            (99, "00:00:00.99"),
            (100, None),  # the last field holds 0-99 ms, not hundredths
            (250, None),
            (999, None),
            (1000, "00:00:01.00"),
            (1050, "00:00:01.50"),
            (1100, None),
            (61_005, "00:01:01.05"),
            (3_600_000, "01:00:00.00"),
            (99 * 3_600_000 + 59 * 60_000 + 59_099, "99:59:59.99"),
            (100 * 3_600_000, None),
            (0, "00:00:00.00"),
            (-1, None),
        ]
        for ms, text in cases:
            with self.subTest(ms=ms):
                self.assertEqual(bench.delay_text(ms), text)


class StatisticsTest(unittest.TestCase):
    def test_nearest_rank_percentile(self):
        values = list(range(1, 21))  # 1..20
        self.assertEqual(cs.percentile(values, 0.95), 19)
        self.assertEqual(cs.percentile(values, 1.0), 20)
        self.assertEqual(cs.percentile([7], 0.95), 7)
        self.assertEqual(cs.percentile([3, 1, 2], 0.5), 2)

    def test_interval_stats_against_the_ideal(self):
        # Presses 10, 12, 10, 30 ms apart (microsecond stamps) at a 10 ms delay:
        # the median 11 ms puts the step at 1 ms and the ideal at 11 ms.
        times = [0, 10_000, 22_000, 32_000, 62_000]
        stats = cs.interval_stats(times, delay_ms=10)
        self.assertEqual(stats["median"], 11.0)
        self.assertEqual(stats["step"], 1.0)
        self.assertEqual(stats["p95err"], 19.0)  # the 30 ms gap, 19 ms off the ideal
        self.assertEqual(stats["p95raw"], 20.0)  # and 20 ms off the bare delay
        self.assertAlmostEqual(stats["cps"], 4 / 0.062)
        self.assertEqual(stats["n"], 5)

    def test_a_run_faster_than_its_delay_has_no_negative_step(self):
        stats = cs.interval_stats([0, 9_000, 18_000], delay_ms=10)
        self.assertEqual(stats["step"], 0.0)
        self.assertEqual(stats["p95err"], 1.0)


    def test_no_interval_spans_two_runs(self):
        # Two blocks 10 ms apart within, five seconds between them.
        stats = cs.interval_stats([[0, 10_000, 20_000], [5_000_000, 5_010_000]], delay_ms=10)
        self.assertEqual(stats["intervals"], 3)
        self.assertEqual(stats["p95err"], 0.0)


def press_runs(delay_ms, spread_ms, count=400, runs=4, late_ms=0):
    """Press times (µs) in `runs` blocks: intervals off the delay by 0 to 19
    steps of `spread_ms`, alternately early and late; `late_ms` adds one
    late wake-up to the first block."""
    offsets = [(k % 20) * spread_ms * (1 if k % 2 else -1) for k in range(count)]
    intervals = [delay_ms + o for o in offsets]
    intervals[count // 2] += late_ms
    per_run = count // runs
    result = []
    for r in range(runs):
        times = [0.0]
        for interval in intervals[r * per_run:(r + 1) * per_run]:
            times.append(times[-1] + interval * 1000)
        result.append([round(t) for t in times])
    return result


class CadenceVerdictTest(unittest.TestCase):
    RESAMPLES = 400  # enough for these clear-cut cases, and quick

    def test_verdict_from_the_interval(self):
        cases = [
            ((0.40, 0.90), cs.AHEAD),
            ((0.80, 1.00), cs.LEVEL),  # touches 1: not shown to be ahead
            ((0.95, 1.05), cs.LEVEL),
            ((1.00, 1.30), cs.LEVEL),
            ((1.01, 3.00), cs.BEHIND),
        ]
        for (low, high), expected in cases:
            with self.subTest(low=low, high=high):
                self.assertEqual(cs.verdict(low, high), expected)

    def test_bootstrap_interval_and_verdict(self):
        cases = [
            # name, Mirvex (spread, late wake-up), xdotool spread, verdict
            ("tighter", (0.1, 0), 0.3, cs.AHEAD),
            ("looser", (0.3, 0), 0.1, cs.BEHIND),
            ("alike", (0.2, 0), 0.2, cs.LEVEL),
            ("one late wake-up does not flip it", (0.2, 400), 0.2, cs.LEVEL),
            ("xdotool exact", (0.1, 0), 0.0, cs.BEHIND),
            ("both exact", (0.0, 0), 0.0, cs.LEVEL),
        ]
        for name, (spread, late), other, expected in cases:
            with self.subTest(name):
                point, (low, high) = cs.ratio_interval(
                    press_runs(50, spread, late_ms=late), press_runs(50, other), 50,
                    resamples=self.RESAMPLES)
                self.assertLessEqual(low, point)
                self.assertLessEqual(point, high)
                self.assertEqual(cs.verdict(low, high), expected)

    def test_the_same_data_give_the_same_interval(self):
        mirvex, xdotool = press_runs(10, 0.2, late_ms=30), press_runs(10, 0.25)
        first = cs.ratio_interval(mirvex, xdotool, 10, resamples=self.RESAMPLES)
        self.assertEqual(cs.ratio_interval(mirvex, xdotool, 10, resamples=self.RESAMPLES),
                         first)
        self.assertLess(first[1][0], first[1][1])  # drawn anew, not the point repeated

    def test_blocks_take_turns_in_balance(self):
        for blocks in (2, 4, 6):
            with self.subTest(blocks=blocks):
                order = cs.block_order("M", "X", blocks)
                self.assertEqual(order.count("M"), blocks)
                self.assertEqual(order.count("X"), blocks)
                # Each program leads as often, and the two sit at the same
                # mean place: a load that grows through the cell hits both
                # alike.
                self.assertEqual(sum(i for i, p in enumerate(order) if p == "M"),
                                 sum(i for i, p in enumerate(order) if p == "X"))
                self.assertNotIn("MMM", "".join(order))
                self.assertNotIn("XXX", "".join(order))


    def test_blocks_are_short_balanced_and_hold_every_interval(self):
        # (intervals, delay ms, blocks): blocks of about 2.5 s of clicking,
        # eight at least, a multiple of four, two intervals each at least.
        cases = [(1000, 10, 8), (1000, 50, 20), (760, 99, 32), (184, 1000, 92),
                 (30, 1000, 16), (5, 50, 8)]
        for intervals, delay, blocks in cases:
            with self.subTest(intervals=intervals, delay=delay):
                self.assertEqual(cs.blocks_for(intervals, delay), blocks)
                per_block = -(-intervals // blocks)
                self.assertGreaterEqual(blocks * per_block, intervals)


class WindowsPathTest(unittest.TestCase):
    def test_host_paths_map_to_drive_z(self):
        self.assertEqual(windows_path("/tmp/a b/clicks.log"), r"Z:\tmp\a b\clicks.log")


class AptLockWaitTest(unittest.TestCase):
    """./dev's wait for another installation's locks (tools/apt-lock.sh), on
    a lock file of the test's own that this process locks as apt does."""

    LINE_TIMEOUT = 30
    # Several of the wait's polls: it must not end while the lock is held.
    STILL_WAITING = 6

    def setUp(self):
        folder = tempfile.TemporaryDirectory()
        self.addCleanup(folder.cleanup)
        self.lock = Path(folder.name) / "lock-frontend"
        self.lock.touch()

    def wait_for_apt(self, bound):
        script = 'APT_LOCKS=("$1"); APT_LOCK_WAIT=$2; source "$3"; wait_for_apt'
        process = subprocess.Popen(
            ["bash", "-c", script, "bash", str(self.lock), str(bound),
             str(TOOLS / "apt-lock.sh")], stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        def stop():
            process.kill()
            process.communicate()
        self.addCleanup(stop)
        return process

    def held(self):
        handle = open(self.lock, "r+")
        self.addCleanup(handle.close)
        fcntl.lockf(handle, fcntl.LOCK_EX)
        return handle

    def test_held_lock_is_waited_for_until_released_saying_so_once(self):
        free = self.wait_for_apt(900)
        self.assertEqual(free.wait(self.LINE_TIMEOUT), 0)
        self.assertEqual(free.stderr.read(), b"", "waited for a free lock")

        handle = self.held()
        waiter = self.wait_for_apt(900)
        ready, _, _ = select.select([waiter.stderr], [], [], self.LINE_TIMEOUT)
        self.assertTrue(ready, "the wait said nothing")
        self.assertIn(str(self.lock), waiter.stderr.readline().decode())
        with self.assertRaises(subprocess.TimeoutExpired):
            waiter.wait(self.STILL_WAITING)
        fcntl.lockf(handle, fcntl.LOCK_UN)
        self.assertEqual(waiter.wait(self.LINE_TIMEOUT), 0)
        self.assertEqual(waiter.stderr.read(), b"", "said more than once")

    def test_a_lock_held_past_the_bound_fails_the_wait(self):
        self.held()
        waiter = self.wait_for_apt(1)
        self.assertEqual(waiter.wait(self.LINE_TIMEOUT), 1)
        self.assertIn(b"still holds", waiter.stderr.read())


if __name__ == "__main__":
    unittest.main()
