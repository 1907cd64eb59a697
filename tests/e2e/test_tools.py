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
        self.assertEqual(bench.percentile(values, 0.95), 19)
        self.assertEqual(bench.percentile(values, 1.0), 20)
        self.assertEqual(bench.percentile([7], 0.95), 7)
        self.assertEqual(bench.percentile([3, 1, 2], 0.5), 2)

    def test_interval_stats_against_the_ideal(self):
        # Presses 10, 12, 10, 30 ms apart (microsecond stamps) at a 10 ms delay:
        # the median 11 ms puts the step at 1 ms and the ideal at 11 ms.
        times = [0, 10_000, 22_000, 32_000, 62_000]
        stats = bench.interval_stats(times, delay_ms=10)
        self.assertEqual(stats["median"], 11.0)
        self.assertEqual(stats["step"], 1.0)
        self.assertEqual(stats["p95err"], 19.0)  # the 30 ms gap, 19 ms off the ideal
        self.assertEqual(stats["p95raw"], 20.0)  # and 20 ms off the bare delay
        self.assertAlmostEqual(stats["cps"], 4 / 0.062)
        self.assertEqual(stats["n"], 5)

    def test_a_run_faster_than_its_delay_has_no_negative_step(self):
        stats = bench.interval_stats([0, 9_000, 18_000], delay_ms=10)
        self.assertEqual(stats["step"], 0.0)
        self.assertEqual(stats["p95err"], 1.0)


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
