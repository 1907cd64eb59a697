"""The soak benchmark's verdict: does a measure (memory, handles, GDI or USER
objects) grow over a long run, or stay flat?

The verdict reads the least-squares slope of the samples taken in the last
three quarters of the run, and never in its first minute: start-up work,
the first list view paint and the heap's first growth are a warm-up, not a
leak. The slope counts as growth only above a bound:

    bound = floor + NOISE_SIGMAS * standard error of the slope

The floor is the smallest growth per hour that matters for that measure; the
standard error grows with the scatter of the samples about their line and
shrinks with their number and the time they span, so a noisy or short run
needs a steeper rise before it is called growing. A falling measure is flat.

No Wine or display needed; tests/host/soak_stats_test.py tests it."""

import math

FLAT, GROWING, TOO_SHORT, NOT_GIVEN = "flat", "growing", "too short", "not given"

# Samples before this many seconds are the warm-up.
WARM_UP_S = 60
# The judged part of the run: its last three quarters.
JUDGED_FRACTION = 0.75
# Fewer samples than this leave no scatter to measure.
MIN_SAMPLES = 3
# How many standard errors of the slope the noise may account for. A
# flat measure's slope lies beyond three standard errors about once in a
# few hundred runs (beyond the floor as well, far more rarely).
NOISE_SIGMAS = 3.0
SECONDS_PER_HOUR = 3600
MIB = 1024 * 1024
# The smallest growth per hour that counts, for each measure: a megabyte an
# hour (24 a day) of memory, ten objects an hour. One object leaked per
# 10 ms step is 360,000 an hour, one per stop and start of the run about
# sixty.
MEMORY_FLOOR_PER_HOUR = 1 * MIB
OBJECT_FLOOR_PER_HOUR = 10


def judged_start(run_seconds):
    """The time from which samples count: the start of the run's last three
    quarters, and never inside the warm-up."""
    return max(WARM_UP_S, run_seconds * (1 - JUDGED_FRACTION))


def fit(times_s, values):
    """Least-squares line through (time, value): slope per second and its
    standard error (0 for fewer than three points or no scatter)."""
    n = len(times_s)
    mean_t = sum(times_s) / n
    mean_v = sum(values) / n
    sxx = sum((t - mean_t) ** 2 for t in times_s)
    if sxx == 0:
        return 0.0, 0.0
    slope = sum((t - mean_t) * (v - mean_v) for t, v in zip(times_s, values)) / sxx
    if n < MIN_SAMPLES:
        return slope, 0.0
    intercept = mean_v - slope * mean_t
    residuals = sum((v - intercept - slope * t) ** 2 for t, v in zip(times_s, values))
    return slope, math.sqrt(residuals / (n - 2) / sxx)


def judge(times_s, values, run_seconds, floor_per_hour):
    """The verdict on one measure.

    times_s: when each sample was taken (seconds from the run's start);
    values: the samples, None where the platform gave none (a sample
    without a figure is left out; a measure with none is not given).
    Returns a dict: verdict, slope and bound per hour (None when there is
    no verdict), and the number of samples judged."""
    given = [(t, v) for t, v in zip(times_s, values) if v is not None]
    if not given:
        return {"verdict": NOT_GIVEN, "slope": None, "bound": None, "samples": 0}
    start = judged_start(run_seconds)
    judged = [(t, v) for t, v in given if t >= start]
    if len(judged) < MIN_SAMPLES:
        return {"verdict": TOO_SHORT, "slope": None, "bound": None, "samples": len(judged)}
    slope, error = fit([t for t, _ in judged], [v for _, v in judged])
    slope_h = slope * SECONDS_PER_HOUR
    bound_h = floor_per_hour + NOISE_SIGMAS * error * SECONDS_PER_HOUR
    return {"verdict": GROWING if slope_h > bound_h else FLAT, "slope": slope_h,
            "bound": bound_h, "samples": len(judged)}
