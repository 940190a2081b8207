#!/usr/bin/python3
"""Generates lib/chartlib/tide/tide_tables.cpp: the tide library's built-in tables.

- Trigonometric, distance and square-root tables of the 16.16 arithmetic (exact definitions).
- Node-factor and nodal-angle tables, sampled every 2^21 s (or 2^19 s) from 2000-01-01 00:00, from the
  formulas of P. Schureman, "Manual of Harmonic Analysis and Prediction of Tides", US Coast and Geodetic
  Survey Special Publication 98 (1958); the lunar node N and perigee p from the standard polynomials in
  Julian centuries from J2000 (Meeus, Astronomical Algorithms, 2nd ed., ch. 47).
- Moon-phase corrections: the UT times of the principal lunar phases from PyEphem (Debian python3-ephem,
  libastro) minus the fixed-point approximation that the library evaluates.

Run: /usr/bin/python3 lib/chartlib/tide/gen/gen_tide_tables.py > lib/chartlib/tide/tide_tables.cpp
"""
import math
import sys

import ephem


def rnd(x):
    """Nearest integer, halves away from zero."""
    return int(math.floor(x + 0.5)) if x >= 0 else -int(math.floor(-x + 0.5))


SIN = [rnd(65536 * math.sin(2 * math.pi * k / 512)) for k in range(513)]
SIN[256] = 0
SIN[512] = 0
ATAN = [rnd(65536 * math.atan(k / 128) / (2 * math.pi)) for k in range(130)]
DIST = [rnd(65536 * math.sqrt(1 + (k / 128) ** 2)) for k in range(130)]
SQRT = [rnd(8192 * math.sqrt(k)) for k in range(257)]

# --- Astronomical arguments -------------------------------------------------------------------------
OMEGA = math.radians(23.452)
INCL = math.radians(5.145)


def astro(t):
    """Schureman's I, nu, xi, P (radians) at t seconds after 2000-01-01 00:00."""
    jd = 2451544.5 + t / 86400.0
    T = (jd - 2451545.0) / 36525.0
    N = math.radians(125.04452 - 1934.136261 * T)
    p = math.radians(83.3532465 + 4069.0137287 * T)
    cos_i = math.cos(OMEGA) * math.cos(INCL) - math.sin(OMEGA) * math.sin(INCL) * math.cos(N)
    I = math.acos(cos_i)
    half = N / 2
    c1 = math.cos((OMEGA - INCL) / 2) / math.cos((OMEGA + INCL) / 2)
    c2 = math.sin((OMEGA - INCL) / 2) / math.sin((OMEGA + INCL) / 2)
    # atan2 keeps each half-sum on the branch of N/2.
    a = math.atan2(c1 * math.sin(half), math.cos(half))  # (N - xi + nu) / 2
    b = math.atan2(c2 * math.sin(half), math.cos(half))  # (N - xi - nu) / 2
    nu = a - b
    xi = N - (a + b)
    P = p - xi
    return I, nu, xi, P


def turns(x):
    return x / (2 * math.pi)


def reduce_to(x, lo):
    """x (turns) moved by whole turns into [lo, lo + 1)."""
    return x - math.floor(x - lo)


def f73(I, nu, xi, P):
    return (2.0 / 3.0 - math.sin(I) ** 2) / 0.5021


def f75(I, nu, xi, P):
    return math.sin(I) * math.cos(I / 2) ** 2 / 0.3800


def f76(I, nu, xi, P):
    return math.sin(2 * I) / 0.7214


def f77(I, nu, xi, P):
    return math.sin(I) * math.sin(I / 2) ** 2 / 0.0164


def f78(I, nu, xi, P):
    return math.cos(I / 2) ** 4 / 0.9154


def f79(I, nu, xi, P):
    return math.sin(I) ** 2 / 0.1565


def f149(I, nu, xi, P):
    return math.cos(I / 2) ** 6 / 0.8758


def f227(I, nu, xi, P):
    s2i = math.sin(2 * I)
    return math.sqrt(0.8965 * s2i ** 2 + 0.6001 * s2i * math.cos(nu) + 0.1006)


def f235(I, nu, xi, P):
    si = math.sin(I)
    return math.sqrt(19.0444 * si ** 4 + 2.7702 * si ** 2 * math.cos(2 * nu) + 0.0981)


def xi_t(I, nu, xi, P):
    return turns(xi)


def nu_t(I, nu, xi, P):
    return turns(nu)


def minus_nu1(I, nu, xi, P):
    s2i = math.sin(2 * I)
    nu1 = math.atan2(s2i * math.sin(nu), s2i * math.cos(nu) + 0.3347)
    return reduce_to(-turns(nu1), 0.5)


def nu2x2(I, nu, xi, P):
    si2 = math.sin(I) ** 2
    return turns(math.atan2(si2 * math.sin(2 * nu), si2 * math.cos(2 * nu) + 0.0727))


def f206(I, nu, xi, P):
    c = math.cos(I)
    ch2 = math.cos(I / 2) ** 2
    qa_inv2 = 0.25 + 1.5 * (c / ch2) * math.cos(2 * P) + 2.25 * c * c / (ch2 * ch2)
    return f75(I, nu, xi, P) * math.sqrt(qa_inv2)


def f215(I, nu, xi, P):
    th2 = math.tan(I / 2) ** 2
    ra_inv2 = 1 - 12 * th2 * math.cos(2 * P) + 36 * th2 * th2
    return f78(I, nu, xi, P) * math.sqrt(ra_inv2)


def minus_nu_q(I, nu, xi, P):
    c = math.cos(I)
    k = (5 * c - 1) / (7 * c + 1)
    Q = math.atan2(k * math.sin(P), math.cos(P))
    return reduce_to(turns(-nu + (Q - P)), 0.5)


def xi_nu_r(I, nu, xi, P):
    cot2 = 1.0 / math.tan(I / 2) ** 2
    R = math.atan2(math.sin(2 * P), cot2 / 6 - math.cos(2 * P))
    return reduce_to(turns(2 * xi - 2 * nu - R), 0.5)


SHORT = [("f73_table", f73), ("f75_table", f75), ("f76_table", f76), ("f77_table", f77),
         ("f78_table", f78), ("f79_table", f79), ("f149_table", f149), ("f227_table", f227),
         ("f235_table", f235), ("xi_table", xi_t), ("ni_table", nu_t),
         ("minus_ni_1_table", minus_nu1), ("ni_2_table", nu2x2)]
LONG = [("f206_table", f206), ("f215_table", f215), ("minus_ni_q_table", minus_nu_q),
        ("xi_ni_r_table", xi_nu_r)]


def sample(fn, count, step):
    return [rnd(65536 * fn(*astro(k * step))) for k in range(count)]


# --- Moon phases ----------------------------------------------------------------------------------------
def fx_mul(a, b):
    neg = (a < 0) != (b < 0)
    a, b = abs(a), abs(b)
    p, q, r, s = a >> 8, a & 255, b >> 8, b & 255
    h = r * p + ((r * q + s * p + 128) >> 8)
    return -h if neg and h else h


def fx_sin(a):
    b = a & 0xFFFF
    i, f = b >> 7, b & 0x7F
    d = f * (SIN[i + 1] - SIN[i])
    return SIN[i] + ((d + 64) >> 7) if d >= 0 else SIN[i] - ((64 - d) >> 7)


def fx_round(a):
    return (a + 0x8000) >> 16 if a >= 0 else -((0x8000 - a) >> 16)


def approx_phase(n):
    return 637861 * n - 24 * fx_round(fx_mul(122055819, fx_sin(36694 + 17559 * n))) + 483638


PHASES = 2524
EPOCH = ephem.Date("2000/1/1 00:00:00")
NEXT = [ephem.next_new_moon, ephem.next_first_quarter_moon, ephem.next_full_moon,
        ephem.next_last_quarter_moon]


def phase_corrections():
    out = []
    for n in range(PHASES):
        a = approx_phase(n)
        start = ephem.Date(EPOCH + (a - 4 * 86400) / 86400.0)
        true = (NEXT[n % 4](start) - EPOCH) * 86400.0
        c = rnd(true - a)
        assert abs(c) < 32768
        out.append(c)
    return out


def emit(name, ctype, values, per_line=12):
    print(f"const {ctype} {name}[{len(values)}] = {{")
    for i in range(0, len(values), per_line):
        print("    " + ", ".join(str(v) for v in values[i:i + per_line]) + ",")
    print("};")
    print()


def main():
    print("// Generated by lib/chartlib/tide/gen/gen_tide_tables.py; do not edit.")
    print('#include "chartlib/tide/tide_tables.h"')
    print()
    emit("sin_array", "S32", SIN)
    emit("atan_array", "U16", ATAN)
    emit("distance_array", "S32", DIST)
    emit("sqrt_array", "S32", SQRT)
    for name, fn in SHORT:
        emit(name, "fixed", sample(fn, 769, 1 << 21))
    for name, fn in LONG:
        emit(name, "fixed", sample(fn, 3073, 1 << 19))
    emit("moon_phase_correction", "S16", phase_corrections(), 16)


if __name__ == "__main__":
    sys.exit(main())
