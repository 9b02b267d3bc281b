#!/usr/bin/env python3
"""The heater rows of heatx-batch in plain Python, for the speed comparison in
README: the same row processing (split at semicolons, typed text to 4-byte
value, the sheet and construction checks, the heat-transfer model, 9-digit
output), one row at a time from standard input or a file to standard output.
Quoted fields, other encodings and the other apparatus types are left out:
the comparison files hold none. The output equals heatx-batch's on them."""
import math
import re
import struct
import sys

NUMBER = re.compile(r"[ \t\r\n]*([+-]?(?:[0-9]+\.?[0-9]*|\.[0-9]+)(?:[eE][+-]?[0-9]+)?)")
F32 = struct.Struct("f")
FLOAT_MAX_HALF = 3.4028235677973366e38


def store(v):
    """A double stored in a 4-byte float cell."""
    if v >= FLOAT_MAX_HALF:
        return math.inf
    if v <= -FLOAT_MAX_HALF:
        return -math.inf
    return F32.unpack(F32.pack(v))[0]


def read_typed(text):
    """Value of a typed answer: the first comma is a point, the leading number counts."""
    m = NUMBER.match(text.replace(",", ".", 1))
    return store(float(m.group(1))) if m else 0.0


# (lower, lower is a float bound, upper, must be above 0) of sheet lines 0-10;
# upper bounds are 4-byte floats; integer and double bounds compare as doubles.
SHEET = [
    (0.04, False, 1, False), (300, False, 2000, False), (500000, False, 2500000, False),
    (0.00005, False, 0.1, False), (0.00000001, False, 200, False), (0.01, False, 1, False),
    (0.000003, False, 0.1, False), (500, False, 15000, False), (0.00005, False, 0.01, False),
    (0, False, 150, True), (0, False, 500, True),
]
CONSTRUCTION = {12: (0.019, 0.06), 13: (0.99, 10.01), 14: (0.99, 10.01), 15: (9.9, 5000)}
HORIZONTAL = {"Г": True, "г": True, "H": True, "h": True, "В": False, "в": False, "V": False, "v": False}


def check_sheet(v):
    for i, (low, _, high, positive) in enumerate(SHEET):
        if positive:
            continue
        if math.isnan(v[i]) or v[i] < low or v[i] > store(high):
            return i
    for i, (_, _, high, positive) in enumerate(SHEET):
        if positive and (not v[i] > 0 or v[i] > store(high)):
            return i
    return None


def fmt(x):
    return "%.9g" % x


def row(line):
    f = line.split(";")
    if len(f) != 16:
        return "fields;;;;;;"
    v = [read_typed(t) for t in f]
    bad = check_sheet(v)
    if bad is not None:
        return "input;%d;;;;;" % bad
    horizontal = HORIZONTAL.get(f[11])
    if horizontal is None:
        return "input;11;;;;;"
    for i in (12, 13, 14, 15):
        low, high = CONSTRUCTION[i]
        if math.isnan(v[i]) or v[i] < store(low) or v[i] > store(high):
            return "input;%d;;;;;" % i
    lam_c, rho_c, r, mu_c, gs, lam_l, mu_l, c_l, sum_r, dt, gl = v[:11]
    d, z, n = v[12], v[13], v[15]
    eps = store(0.6) if v[15] > 100 else store(0.7)
    a, m = store(0.023), store(0.8)
    d_in = d - 0.004
    re_t = store(4 * gl * z / (3.14159265358979 * d_in * mu_l * n))
    if not re_t > 2300:
        return "model;;%s;;;;" % fmt(re_t)
    if re_t < 10000:
        a, m = store(0.008), store(0.9)
    alpha_t = store(re_t ** m * (lam_l / d_in * a))
    alpha_t = store((c_l * mu_l / lam_l) ** 0.43 * alpha_t)
    if horizontal:
        c, l = store(2.02 * eps), v[14]
    else:
        c, l = store(3.78), v[12]
    alpha_s = store((rho_c * rho_c * n * l / (gs * mu_c)) ** (1.0 / 3.0) * (c * lam_c))
    k = store(1.0 / (1.0 / alpha_t + sum_r + 1.0 / alpha_s))
    surface = store(gs * r / (k * dt))
    if not all(math.isfinite(x) for x in (alpha_t, alpha_s, k, surface)):
        return "model;;%s;;;;" % fmt(re_t)
    return "ok;;%s;%s;%s;%s;%s" % (fmt(re_t), fmt(alpha_t), fmt(alpha_s), fmt(k), fmt(surface))


def main():
    source = open(sys.argv[1], encoding="utf-8") if len(sys.argv) > 1 else sys.stdin
    out = sys.stdout
    out.write("status;bad_line;ReTube;AlphaTube;AlphaShell;HeatTransferK;SurfaceF\n")
    for line in source:
        line = line.rstrip("\r\n")
        if not line.strip() or line.startswith("#"):
            continue
        out.write(row(line) + "\n")


if __name__ == "__main__":
    main()
