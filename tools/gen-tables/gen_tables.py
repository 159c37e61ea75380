#!/usr/bin/env python3
"""Writes the triode transfer tables of both voicings as C++ source.

    tools/gen-tables/gen_tables.py OUTDIR      -> OUTDIR/TablesLum.cpp, OUTDIR/TablesDar.cpp  (OUTDIR: amp/)

Each table is the plate current I_p(V_gk) of one stage, sampled from +4 V down to -10 V in
steps of 10 mV (1401 entries, seven significant digits).  The curve is a Koren triode
evaluated on the stage's DC load line (V_p = B - I_p * R_p, solved for I_p), fitted to the
measured rows of the voicing, plus the tube's constant leakage floor.  A smooth correction
(monotone cubic in log space) makes the curve pass through every measured row and through
the landmarks of the curve exactly: the first index below half of entry 0, the first index
below 1 % of entry 0, and the first index of the constant floor.

The build does not run this program; its output is committed under amp/.
Pure Python 3 (no numpy), deterministic.
"""

import math
import sys

N = 1401
B_SUPPLY = 300.0

# Measured rows: index -> plate current (A).  Index i is V_gk = 4 - i/100.
ROWS_I = [0, 100, 200, 250, 300, 350, 400, 450, 500, 550, 600, 650, 700, 800, 1000, 1400]
ROWS = {
    "A Lum": [0.002866946, 0.002813188, 0.002670458, 0.002482292, 0.002164306, 0.001784713,
              0.001395362, 0.001013729, 0.0006529284, 0.0003375513, 0.0001132279, 1.881726e-05,
              2.006356e-06, 2.168901e-07, 2.04417e-07, 2.044165e-07],
    "A Dar": [0.00291244, 0.002881124, 0.002809765, 0.00272132, 0.002507261, 0.00211451,
              0.001661901, 0.001213458, 0.0007970882, 0.0004419362, 0.0001831402, 4.817382e-05,
              8.277362e-06, 3.504179e-07, 2.047039e-07, 2.046629e-07],
    "B":     [0.0008887061, 0.0008822236, 0.0008692701, 0.0008561154, 0.0008287373,
              0.0007500699, 0.0005770134, 0.0003792987, 0.0001972218, 6.122138e-05, 6.32156e-06,
              4.139003e-07, 1.632674e-07, 1.53732e-07, 1.537194e-07, 1.537194e-07],
    "C Lum": [0.002869754, 0.002817034, 0.002676552, 0.002490388, 0.002175435, 0.001799851,
              0.001414602, 0.001036613, 0.0006782871, 0.0003623076, 0.0001306327, 2.435226e-05,
              2.768086e-06, 2.289915e-07, 2.090486e-07, 2.090475e-07],
    "C Dar": [0.002918784, 0.002889648, 0.002822978, 0.002739629, 0.002535196, 0.002159177,
              0.001726704, 0.001296941, 0.0008938159, 0.0005403644, 0.0002635268, 9.082915e-05,
              2.061338e-05, 7.593847e-07, 2.213137e-07, 2.210358e-07],
    "D Lum": [0.002775208, 0.00268978, 0.002485373, 0.002251846, 0.00187295, 0.001408593,
              0.0009326242, 0.0004847122, 0.000129164, 6.026979e-06, 2.028204e-07, 1.181832e-07,
              1.170673e-07, 1.170525e-07, 1.170525e-07, 1.170525e-07],
    "D Dar": [0.002843711, 0.002789635, 0.002671612, 0.002537029, 0.002248839, 0.001737759,
              0.001140084, 0.0005745599, 0.0001548663, 1.099861e-05, 4.22207e-07, 1.202945e-07,
              1.126899e-07, 1.124952e-07, 1.124951e-07, 1.124951e-07],
}
# (half, one percent, floor from)
LANDMARKS = {
    "A Lum": (396, 640, 1015), "A Dar": (423, 666, 1122), "B": (434, 594, 869),
    "C Lum": (398, 646, 1032), "C Dar": (431, 690, 1182),
    "D Lum": (353, 530, 751), "D Dar": (377, 535, 796),
}
# Plate resistor of the stage that reads the table (its DC load line).
PLATE_R = {"A": 100000.0, "B": 330000.0, "C": 100000.0, "D": 100000.0}


def unit7(x):
    """One unit of the seventh significant digit of x."""
    return 10.0 ** (math.floor(math.log10(abs(x))) - 6)


def round7(x):
    return float("%.7g" % x)


# --- the triode --------------------------------------------------------------------------

def koren_current(vgk, vp, mu, ex, kg, kp, kvb):
    """Koren's plate current of a triode, A."""
    arg = kp * (1.0 / mu + vgk / math.sqrt(kvb + vp * vp))
    # softplus without overflow
    sp = arg + math.log1p(math.exp(-arg)) if arg > 30.0 else math.log1p(math.exp(arg))
    e1 = vp / kp * sp
    return (e1 ** ex) / kg if e1 > 0.0 else 0.0


def load_line_current(vgk, rp, params):
    """I_p where Koren's curve meets the load line V_p = B - I_p * R_p (bisection)."""
    lo, hi = 0.0, B_SUPPLY / rp
    for _ in range(80):
        mid = 0.5 * (lo + hi)
        if koren_current(vgk, B_SUPPLY - mid * rp, *params) > mid:
            lo = mid
        else:
            hi = mid
    return 0.5 * (lo + hi)


def nelder_mead(f, x0, steps, iterations=1500):
    n = len(x0)
    pts = [list(x0)]
    for i in range(n):
        p = list(x0)
        p[i] += steps[i]
        pts.append(p)
    vals = [f(p) for p in pts]
    for _ in range(iterations):
        order = sorted(range(n + 1), key=lambda k: vals[k])
        pts = [pts[k] for k in order]
        vals = [vals[k] for k in order]
        centre = [sum(p[i] for p in pts[:-1]) / n for i in range(n)]
        worst = pts[-1]
        refl = [centre[i] + (centre[i] - worst[i]) for i in range(n)]
        fr = f(refl)
        if fr < vals[0]:
            expd = [centre[i] + 2.0 * (centre[i] - worst[i]) for i in range(n)]
            fe = f(expd)
            pts[-1], vals[-1] = (expd, fe) if fe < fr else (refl, fr)
        elif fr < vals[-2]:
            pts[-1], vals[-1] = refl, fr
        else:
            contr = [centre[i] + 0.5 * (worst[i] - centre[i]) for i in range(n)]
            fc = f(contr)
            if fc < vals[-1]:
                pts[-1], vals[-1] = contr, fc
            else:
                best = pts[0]
                pts = [best] + [[best[i] + 0.5 * (p[i] - best[i]) for i in range(n)]
                                for p in pts[1:]]
                vals = [vals[0]] + [f(p) for p in pts[1:]]
    k = min(range(n + 1), key=lambda j: vals[j])
    return pts[k], vals[k]


def decode(x):
    """Free fit variables -> positive Koren parameters (mu, X, Kg, Kp, Kvb)."""
    return (math.exp(x[0]), 1.0 + math.exp(x[1]), math.exp(x[2]), math.exp(x[3]),
            math.exp(x[4]))


def fit_triode(knots, rp):
    """Least squares in log current over the knots (index, current above the floor)."""
    def cost(x):
        params = decode(x)
        s = 0.0
        for i, g in knots:
            m = load_line_current(4.0 - i / 100.0, rp, params)
            if m <= 0.0:
                return 1e30
            s += (math.log(m) - math.log(g)) ** 2
        return s
    # a 12AX7 to start from
    x0 = [math.log(100.0), math.log(0.4), math.log(1060.0), math.log(600.0), math.log(300.0)]
    best, _ = nelder_mead(cost, x0, [0.3, 0.3, 0.3, 0.3, 0.3])
    return decode(best)


# --- monotone cubic (Fritsch-Carlson) ------------------------------------------------------

def pchip(xs, ys):
    n = len(xs)
    h = [xs[k + 1] - xs[k] for k in range(n - 1)]
    d = [(ys[k + 1] - ys[k]) / h[k] for k in range(n - 1)]
    m = [0.0] * n
    m[0], m[-1] = d[0], d[-1]
    for k in range(1, n - 1):
        if d[k - 1] * d[k] <= 0.0:
            m[k] = 0.0
        else:
            w1 = 2.0 * h[k] + h[k - 1]
            w2 = h[k] + 2.0 * h[k - 1]
            m[k] = (w1 + w2) / (w1 / d[k - 1] + w2 / d[k])

    def at(x):
        k = 0
        while k < n - 2 and x > xs[k + 1]:
            k += 1
        t = (x - xs[k]) / h[k]
        h00 = (1 + 2 * t) * (1 - t) ** 2
        h10 = t * (1 - t) ** 2
        h01 = t * t * (3 - 2 * t)
        h11 = t * t * (t - 1)
        return h00 * ys[k] + h10 * h[k] * m[k] + h01 * ys[k + 1] + h11 * h[k] * m[k + 1]
    return at


# --- one table -----------------------------------------------------------------------------

def build_table(name):
    rows = dict(zip(ROWS_I, ROWS[name]))
    half, pct, floor_from = LANDMARKS[name]
    floor = rows[1400]
    u = unit7(floor)
    # current above the leakage floor at every row above the floor, and at the landmarks
    knots = [(i, v - floor) for i, v in rows.items() if i < floor_from]
    knots.append((half - 0.5, 0.5 * rows[0] - floor))
    knots.append((pct - 0.5, 0.01 * rows[0] - floor))
    knots.append((floor_from - 0.5, 2.5 * u))
    knots.sort()

    rp = PLATE_R[name[0]]
    fit_knots = [(i, g) for i, g in knots if g > 1000.0 * u]
    params = fit_triode(fit_knots, rp)
    model = [load_line_current(4.0 - i / 100.0, rp, params) for i in range(N)]

    def model_at(x):  # between samples, for the half-index landmarks
        return load_line_current(4.0 - x / 100.0, rp, params)

    # multiplicative correction through the knots, smooth in log space
    corr = pchip([i for i, _ in knots], [math.log(g / model_at(i)) for i, g in knots])
    table = []
    for i in range(N):
        if i < floor_from:
            table.append(round7(floor + model[i] * math.exp(corr(i))))
        else:
            table.append(floor)
    for i, v in rows.items():  # rows inside the floor (one unit above it, for Dar's D)
        table[i] = v
    # a listed row one unit above the floor holds the floor's start up to that row
    last_raised = max([j for j in rows if j >= floor_from and rows[j] > floor] or [-1])
    for i in range(floor_from, last_raised):
        table[i] = rows[last_raised]
    return table, params


def check_table(name, t):
    rows = dict(zip(ROWS_I, ROWS[name]))
    half, pct, floor_from = LANDMARKS[name]
    assert len(t) == N
    for i, v in rows.items():
        assert t[i] == v, (name, i)
    for i in range(1, N):
        assert t[i] <= t[i - 1], (name, "rises at", i)
    u = unit7(t[-1])
    first_half = next(i for i in range(N) if t[i] < 0.5 * t[0])
    first_pct = next(i for i in range(N) if t[i] < 0.01 * t[0])
    in_floor = [abs(v - t[-1]) <= 1.5 * u for v in t]
    first_floor = N - 1
    while first_floor > 0 and in_floor[first_floor - 1]:
        first_floor -= 1
    assert (first_half, first_pct, first_floor) == (half, pct, floor_from), \
        (name, first_half, first_pct, first_floor)


def write_source(path, voicing, tables, fits):
    with open(path, "w") as f:
        f.write("// Triode transfer tables of the %s voicing: plate current (A) by grid-to-cathode\n"
                "// voltage, entry i at V_gk = 4 - i/100 V.  Written by tools/gen-tables/gen_tables.py;\n"
                "// edit the generator, not this file.\n" % voicing)
        for key in "ABCD":
            mu, ex, kg, kp, kvb = fits[key]
            f.write("// Table%s: Koren fit mu %.4g, X %.4g, Kg %.4g, Kp %.4g, Kvb %.4g on R_p %g\n"
                    % (key, mu, ex, kg, kp, kvb, PLATE_R[key]))
        f.write("\n#include \"VoicingTables.h\"\n\nnamespace ZORV {\nnamespace %s {\n" % voicing)
        for key in "ABCD":
            f.write("\nconst double kTable%s[kTriodeTableSize] = {\n" % key)
            t = tables[key]
            for start in range(0, N, 8):
                f.write("    " + ", ".join("%.7g" % v for v in t[start:start + 8]) + ",\n")
            f.write("};\n")
        f.write("\n}  // namespace %s\n}  // namespace ZORV\n" % voicing)


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "."
    built = {}
    for name in ROWS:
        t, params = build_table(name)
        check_table(name, t)
        built[name] = (t, params)
    for key in "ACD":
        lum, dar = built[key + " Lum"][0], built[key + " Dar"][0]
        same = [i for i in range(N) if lum[i] == dar[i]]
        assert not same, (key, "Lum and Dar meet at", same)
    for voicing in ("Lum", "Dar"):
        tables, fits = {}, {}
        for key in "ABCD":
            name = key if key == "B" else key + " " + voicing
            tables[key], fits[key] = built[name]
        write_source("%s/Tables%s.cpp" % (out, voicing), voicing, tables, fits)


if __name__ == "__main__":
    main()
