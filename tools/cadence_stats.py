"""Statistics of the cadence benchmark: interval errors, a bootstrap
confidence interval for the ratio of two programs' 95th-percentile errors,
the verdict it gives, and the blocks in which the two programs take turns.

No Wine or display needed; tests/e2e/test_tools.py tests it."""

import math
import random
import statistics

# Resamples behind one confidence interval, and the interval's level.
BOOTSTRAP_RESAMPLES = 2000
CONFIDENCE = 0.95
# Fixed, so the same data always give the same interval.
BOOTSTRAP_SEED = 18
# Lateness comes in spells (a busy moment of the machine), and a timer that
# catches up after a late tick makes the next interval short by as much: the
# errors of neighbouring intervals are not independent. The bootstrap
# therefore draws runs of consecutive intervals that cover about this long,
# and at least two intervals.
CHUNK_MS = 250
MIN_CHUNK = 2

AHEAD, LEVEL, BEHIND = "ahead", "level", "behind"

# The programs take turns in blocks of about this much clicking. A busy
# spell of the machine lasts seconds; blocks shorter than a spell let it
# fall on both programs, where blocks of ten seconds gave it to one of them.
BLOCK_MS = 2500
# At least this many blocks per program, each of at least two intervals; a
# multiple of four, so each program goes first equally often (ABBA pairs).
MIN_BLOCKS = 8
MIN_BLOCK_INTERVALS = 2
BLOCK_MULTIPLE = 4


def percentile(values, fraction):
    """Nearest-rank percentile."""
    ordered = sorted(values)
    return ordered[max(0, math.ceil(fraction * len(ordered)) - 1)]


def intervals_of(runs_us):
    """The intervals (ms) between consecutive presses, one list per run;
    press times are in µs. No interval spans two runs: the pause between
    runs is the benchmark's, not the clicking program's."""
    return [[(b - a) / 1000 for a, b in zip(run, run[1:])] for run in runs_us]


def errors(intervals, delay_ms):
    """The median interval and every interval's distance from the ideal one.
    The ideal interval is the delay plus the step's own duration (the press
    and release, and for Mirvex the cursor move and settings read around
    them), which neither program reports; it is estimated as the median
    interval beyond the delay, and never below the delay."""
    median = statistics.median(intervals)
    ideal = max(median, delay_ms)
    return median, [abs(i - ideal) for i in intervals]


def interval_stats(runs_us, delay_ms):
    """Figures for one program in one cell; runs_us holds one list of press
    times (µs) per run (a flat list is one run)."""
    if runs_us and not isinstance(runs_us[0], (list, tuple)):
        runs_us = [runs_us]
    intervals = [i for run in intervals_of(runs_us) for i in run]
    span_s = sum((run[-1] - run[0]) for run in runs_us if run) / 1e6
    median, errs = errors(intervals, delay_ms)
    return {
        "median": median,
        "step": max(0.0, median - delay_ms),
        "p50err": percentile(errs, 0.50),
        "p95err": percentile(errs, 0.95),
        "p95raw": percentile([abs(i - delay_ms) for i in intervals], 0.95),
        "cps": len(intervals) / span_s if span_s > 0 else float("nan"),
        "n": sum(len(run) for run in runs_us),
        "intervals": len(intervals),
    }


def ratio(numerator, denominator):
    """numerator / denominator, where a zero denominator gives infinity (or
    1 when both are zero: two perfect programs are level)."""
    if denominator:
        return numerator / denominator
    return 1.0 if not numerator else math.inf


def chunk_length(delay_ms):
    return max(MIN_CHUNK, round(CHUNK_MS / max(delay_ms, 1)))


def chunks(interval_runs, length):
    """Consecutive intervals in pieces of `length` (the last of a run may be
    shorter); no piece spans two runs."""
    return [run[i:i + length] for run in interval_runs for i in range(0, len(run), length)]


def resample(pieces, count, rng):
    """`count` intervals made of pieces drawn with replacement."""
    drawn = []
    while len(drawn) < count:
        drawn.extend(rng.choice(pieces))
    return drawn[:count]


def p95_error(intervals, delay_ms):
    return percentile(errors(intervals, delay_ms)[1], 0.95)


def ratio_interval(runs_a_us, runs_b_us, delay_ms, seed=BOOTSTRAP_SEED,
                   resamples=BOOTSTRAP_RESAMPLES):
    """The ratio of A's to B's 95th-percentile error, and its confidence
    interval (low, high) from a block bootstrap: each resample draws both
    programs' intervals anew, in pieces of neighbouring intervals, and the
    ideal interval is estimated again from the draw."""
    rng = random.Random(seed)
    length = chunk_length(delay_ms)
    sides = []
    for runs in (runs_a_us, runs_b_us):
        interval_runs = intervals_of(runs)
        sides.append((chunks(interval_runs, length), sum(len(r) for r in interval_runs)))
    point = ratio(*(p95_error([i for piece in pieces for i in piece], delay_ms)
                    for pieces, _ in sides))
    draws = sorted(ratio(*(p95_error(resample(pieces, count, rng), delay_ms)
                           for pieces, count in sides)) for _ in range(resamples))
    tail = (1 - CONFIDENCE) / 2
    return point, (percentile(draws, tail), percentile(draws, 1 - tail))


def verdict(low, high):
    """Mirvex's standing from the interval of its error ratio to xdotool's:
    ahead when the whole interval lies below 1, behind when it lies above 1,
    level when it holds 1."""
    if high < 1:
        return AHEAD
    if low > 1:
        return BEHIND
    return LEVEL


def blocks_for(intervals, delay_ms):
    """How many blocks per program `intervals` intervals at `delay_ms` are
    split into."""
    per_block = max(MIN_BLOCK_INTERVALS, round(BLOCK_MS / max(delay_ms, 1)))
    blocks = max(MIN_BLOCKS, math.ceil(intervals / per_block))
    return math.ceil(blocks / BLOCK_MULTIPLE) * BLOCK_MULTIPLE


def block_order(first, second, blocks):
    """The order of `blocks` runs of each program in a cell: pairs that
    alternate which program goes first (ABBA), so a load that grows or fades
    through the cell falls on both alike, and neither always follows the
    other."""
    order = []
    for pair in range(blocks):
        order += [first, second] if pair % 2 == 0 else [second, first]
    return order
