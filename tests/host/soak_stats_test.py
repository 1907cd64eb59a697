"""The soak benchmark's verdict arithmetic (tools/soak_stats.py): flat
series stay flat, noise included, and growth of one per sample is growing.
Run by ctest in the host tier; no Wine or display needed."""

import random
import sys
import unittest
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parents[2] / "tools"))

import soak_stats as ss  # noqa: E402

SAMPLE_S = 30
HOUR_S = 3600
SHORT_S = 240  # a four-minute try-out run
BASE = 400  # handles, say
PER_SAMPLE_PER_HOUR = HOUR_S / SAMPLE_S  # one per sample, per hour
NOISE_SEEDS = range(20)


def times(run_s):
    return list(range(0, run_s + 1, SAMPLE_S))


def judge(values, run_s, floor=ss.OBJECT_FLOOR_PER_HOUR):
    return ss.judge(times(run_s), values, run_s, floor)


def noisy(run_s, sd, seed, per_sample=0.0):
    rng = random.Random(seed)
    return [BASE + per_sample * i + rng.gauss(0, sd) for i, _ in enumerate(times(run_s))]


class VerdictTest(unittest.TestCase):
    def test_series(self):
        hour, short = times(HOUR_S), times(SHORT_S)
        cases = [
            # name, values, run seconds, verdict
            ("flat", [BASE] * len(hour), HOUR_S, ss.FLAT),
            ("one per sample", [BASE + i for i in range(len(hour))], HOUR_S, ss.GROWING),
            ("one per sample, short run", [BASE + i for i in range(len(short))], SHORT_S,
             ss.GROWING),
            ("falling", [BASE - i for i in range(len(hour))], HOUR_S, ss.FLAT),
            # Fifty objects in the first minute, none after: a warm-up.
            ("warm-up", [BASE + min(t, 60) * 50 // 60 for t in short], SHORT_S, ss.FLAT),
            # One more object in the last sample only: not a slope that counts.
            ("one step at the end", [BASE] * (len(hour) - 1) + [BASE + 1], HOUR_S, ss.FLAT),
            ("noisy growth", noisy(HOUR_S, 5, 1, per_sample=1), HOUR_S, ss.GROWING),
        ]
        for name, values, run_s, verdict in cases:
            with self.subTest(name):
                self.assertEqual(judge(values, run_s)["verdict"], verdict)

    def test_one_per_sample_is_its_slope_per_hour(self):
        result = judge([BASE + i for i in range(len(times(HOUR_S)))], HOUR_S)
        self.assertAlmostEqual(result["slope"], PER_SAMPLE_PER_HOUR)
        self.assertEqual(result["bound"], ss.OBJECT_FLOOR_PER_HOUR)  # no scatter
        # The last three quarters: from 15 minutes on.
        self.assertEqual(result["samples"], len([t for t in times(HOUR_S) if t >= 900]))

    def test_judged_part_is_the_last_three_quarters_after_the_warm_up(self):
        for run_s, start in ((HOUR_S, 900), (SHORT_S, 60), (120, 60), (60, 60)):
            with self.subTest(run_s=run_s):
                self.assertEqual(ss.judged_start(run_s), start)

    def test_noisy_flat_series_stay_flat(self):
        # Scatter of two objects about a level: in a four-minute run the
        # chance slope of such noise often passes the floor; the noise's
        # own part of the bound must cover it.
        for run_s in (SHORT_S, HOUR_S):
            for seed in NOISE_SEEDS:
                with self.subTest(run_s=run_s, seed=seed):
                    result = judge(noisy(run_s, 2, seed), run_s)
                    self.assertEqual(result["verdict"], ss.FLAT, result)

    def test_missing_figures(self):
        run = times(SHORT_S)
        cases = [
            ("none given", [None] * len(run), SHORT_S, ss.NOT_GIVEN),
            ("one sample lost", [BASE] * (len(run) - 1) + [None], SHORT_S, ss.FLAT),
            # Two minutes: from 60 s, the samples at 60, 90 and 120 s.
            ("just enough", [BASE] * 5, 120, ss.FLAT),
            ("only the warm-up", [BASE] * 3, 60, ss.TOO_SHORT),
        ]
        for name, values, run_s, verdict in cases:
            with self.subTest(name):
                result = ss.judge(times(run_s)[:len(values)], values, run_s,
                                  ss.OBJECT_FLOOR_PER_HOUR)
                self.assertEqual(result["verdict"], verdict)


if __name__ == "__main__":
    unittest.main()
