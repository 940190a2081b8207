#!/usr/bin/env python3
"""Writes src/sonar/analysis/tvg_curves.cpp and src/sonar/analysis/matched_filter_weights.cpp.

Gain curves. Each curve is a run-length table of (attenuation, run length in microseconds) pairs; the attenuation
in force at time t is the pair whose cumulative run length first reaches t. Rule:
  1. The curve starts with its fixed first pairs (the measured near-field steps).
  2. The tabled points after those pairs become pair ends. Between two neighbouring points (t0, v0) and (t1, v1)
     the segment gets n pairs: at least enough that no run exceeds 136,000 us, at most as many as keep every run
     at 8 us or more; within those bounds the pairs go one at a time to the segment with the most change left per
     pair, (|v0 - v1| + 1) / n.
  3. Inside a segment, pair end k (1..n) lies at t0 * (t1 / t0)^(k / n) (geometric spacing, the last exactly t1)
     and its attenuation is v0 + (v1 - v0) * k / n rounded: linear in log time, so the curve falls smoothly and
     every tabled point is met exactly.
  4. One last pair from the last tabled point to the curve's total length holds the last tabled value.

Matched-filter weights. Row r is the filter of a pulse of d = r + 1 samples, 64 signed taps summing to 128:
  - the rows the design fixes (d = 1, 2, 3, 9, 127) are kept exactly, their unlisted taps 0 (row 127: 2s; these
    sum to 126-131); row d = 33 keeps its nine listed taps and takes the rest from the general rule, scaled to 128;
  - any other row: a lobe of L = min(d, 64) taps shaped exp(-2k / d) (k = 0..L-1), and, when taps remain, a
    negative tail over the next min(ceil(d / 3), 64 - L) taps holding -6 in all (spread as evenly as integers
    allow); the lobe is scaled to sum to 128 + 6 (128 without a tail) and rounded by largest remainder (so the
    row sums to exactly 128), its taps in falling order.
"""
import math
import pathlib

ROOT = pathlib.Path(__file__).resolve().parent.parent
MIN_RUN_US, MAX_RUN_US = 8, 136000
TIMES = [0, 500, 1000, 2000, 5000, 10000, 20000, 50000, 100000, 200000, 500000, 1000000]
CURVES = [
    # name, pairs, total us, tabled values, fixed first pairs
    ("50kHz", 198, 1011759, [200, 200, 200, 186, 146, 131, 117, 95, 78, 61, 42, 20],
     [(200, 40), (200, 68), (200, 34), (200, 34)]),
    ("83kHz", 198, 1011759, [195, 175, 133, 114, 93, 78, 64, 45, 31, 17, 4, 4],
     [(195, 40), (195, 68), (194, 34), (193, 34)]),
    ("200kHz", 198, 1011759, [200, 200, 139, 120, 99, 84, 67, 48, 34, 24, 16, 12],
     [(200, 40), (200, 68), (200, 34), (200, 34)]),
    ("455kHz", 121, 55114, [210, 193, 143, 110, 71, 49, 22, 5, 5, 5, 5, 5],
     [(210, 408), (210, 34), (201, 34), (193, 34)]),
    ("800kHz", 121, 55114, [210, 193, 143, 118, 62, 33, 16, 5, 5, 5, 5, 5],
     [(210, 408), (210, 34), (201, 34), (193, 34)]),
]


def attenuation_at(pairs, t):
    end = 0
    for value, run in pairs:
        end += run
        if end >= t:
            return value
    return pairs[-1][0]


def build_curve(count, total, values, first):
    pairs = list(first)
    t_fixed = sum(run for _, run in first)
    knots = [(t_fixed, first[-1][0])] + [(t, v) for t, v in zip(TIMES, values) if t_fixed < t <= total]
    segments = list(zip(knots, knots[1:]))
    left = count - len(first) - 1
    # Each segment needs enough pairs that no run is longer than MAX_RUN_US and may have no more than keep its
    # runs at MIN_RUN_US or longer; the rest go by |v0 - v1| + 1, largest remainder first.
    def longest(t0, t1, n):
        return t1 - t0 * (t1 / t0) ** ((n - 1) / n)

    def shortest(t0, t1, n):
        return t0 * ((t1 / t0) ** (1 / n) - 1)
    low = [next(n for n in range(1, 1000) if longest(a[0], b[0], n) <= MAX_RUN_US) for a, b in segments]
    high = [max(lo, max(n for n in range(1, 1000) if shortest(a[0], b[0], n) >= MIN_RUN_US))
            for lo, (a, b) in zip(low, segments)]
    weights = [abs(a[1] - b[1]) + 1 for a, b in segments]
    share = list(low)
    while sum(share) < left:
        open_ = [i for i in range(len(share)) if share[i] < high[i]]
        assert open_, "too many pairs for the run limits"
        j = max(open_, key=lambda i: (weights[i] / share[i], -i))
        share[j] += 1
    assert sum(share) == left, "too few pairs for the run limits"
    end = t_fixed
    for ((t0, v0), (t1, v1)), n in zip(segments, share):
        for k in range(1, n + 1):
            b = t1 if k == n else round(t0 * (t1 / t0) ** (k / n))
            v = round(v0 + (v1 - v0) * k / n)
            assert b > end, (t0, t1, n)
            pairs.append((v, b - end))
            end = b
    pairs.append((knots[-1][1], total - end))
    assert len(pairs) == count and sum(r for _, r in pairs) == total
    for t, v in zip(TIMES, values):
        assert attenuation_at(pairs, t) == v, (t, v, attenuation_at(pairs, t))
    assert all(a[0] >= b[0] for a, b in zip(pairs, pairs[1:]))
    return pairs


FIXED_ROWS = {
    0: [127],
    1: [99, 33, -6, 3, -1, 1, 0, 1],
    2: [82, 35, 16, -7, 2, 2, -1, 1, 1],
    8: [44, 25, 18, 14, 11, 9, 6, 4, 1, -6],
    32: [17, 11, 9, 8, 7, 7, 6, 6, 5],
    126: [4] + [2] * 63,
}


def largest_remainder(values, total):
    """Integers summing to total, each the floor of its value plus one for the largest remainders."""
    floors = [math.floor(v) for v in values]
    order = sorted(range(len(values)), key=lambda i: (floors[i] - values[i], i))
    for i in order[:total - sum(floors)]:
        floors[i] += 1
    return floors


def lobe(first, count, d, total):
    """count taps shaped exp(-2k / d) from k = first, summing to total, never rising."""
    shape = [math.exp(-2.0 * k / d) for k in range(first, first + count)]
    return sorted(largest_remainder([v * total / sum(shape) for v in shape], total), reverse=True)


def tail(d, lobe_len):
    n = min(math.ceil(d / 3), 64 - lobe_len)
    total = 6 if n else 0
    return [-(total // n) - (1 if i < total % n else 0) for i in range(n)], total


def filter_row(r):
    d = r + 1
    lobe_len = min(d, 64)
    neg, neg_total = tail(d, lobe_len)
    if r in FIXED_ROWS and r != 32:
        return FIXED_ROWS[r] + [0] * (64 - len(FIXED_ROWS[r]))
    if r == 32:
        # The nine listed taps, then the rest of the lobe by the general rule.
        head = FIXED_ROWS[32]
        rest = lobe(len(head), lobe_len - len(head), d, 128 + neg_total - sum(head))
        row = head + rest + neg
    else:
        row = lobe(0, lobe_len, d, 128 + neg_total) + neg
    return row + [0] * (64 - len(row))


def write_curves():
    out = ["// Generated by tools/gen_sonar_tables.py (the rule is written there). Do not edit.",
           '#include "sonar/analysis/tvg.h"', ""]
    for name, count, total, values, first in CURVES:
        pairs = build_curve(count, total, values, first)
        out.append(f"static const ATT_DEPTH_PAIR TVG_Curve{name}[{count}] = {{")
        for start in range(0, count, 6):
            out.append("    " + " ".join(f"{{{v}, {r}}}," for v, r in pairs[start:start + 6]))
        out.append("};")
        out.append(f"const RLE_TVG_DESCRIPTOR DefaultTvg{name}Table = {{{count}, TVG_Curve{name}}};")
        out.append("")
    (ROOT / "src/sonar/analysis/tvg_curves.cpp").write_text("\n".join(out))


def write_weights():
    out = ["// Generated by tools/gen_sonar_tables.py (the rule is written there). Do not edit.",
           '#include "sonar/analysis/matched_filter.h"', "",
           "const S8 as8FilterWeights[MATCHED_FILTER_ROWS][MATCHED_FILTER_TAPS] = {"]
    for r in range(127):
        row = filter_row(r)
        assert len(row) == 64 and abs(sum(row) - 128) <= 3 and all(-128 <= w <= 127 for w in row), r
        out.append("    {" + ", ".join(str(w) for w in row) + "},")
    out.append("};")
    (ROOT / "src/sonar/analysis/matched_filter_weights.cpp").write_text("\n".join(out) + "\n")


if __name__ == "__main__":
    write_curves()
    write_weights()
