#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Writes N variants of one apparatus to standard output: the rows of a
heatx-batch input file (comments skipped) taken in turn, every number varied
by up to ±15 % and written out with six significant digits and a decimal
comma; a number written without a comma (passes, tubes, 932) stays whole. Text fields (the heater's
Г/В) stay as they are; about one row in forty gets a number far out of range,
so that bad lines and model failures are in the mix.

    bench/vary_rows.py FILE N [SEED] > rows.csv"""
import math
import random
import re
import sys

NUMBER = re.compile(r"^[0-9]+(?:,[0-9]+)?$")


def vary(text, rng, whole):
    value = float(text.replace(",", "."))
    value *= rng.uniform(0.85, 1.15)
    if rng.random() < 1 / 40:
        value *= rng.choice([1e-3, 1e3])
    if whole:
        return str(max(1, round(value)))
    decimals = max(0, 5 - math.floor(math.log10(value)))
    return ("%.*f" % (decimals, value)).rstrip("0").rstrip(".").replace(".", ",")


def main():
    path, rows = sys.argv[1], int(sys.argv[2])
    rng = random.Random(int(sys.argv[3]) if len(sys.argv) > 3 else 19)
    base = [line.rstrip("\n").split(";") for line in open(path, encoding="utf-8")
            if line.strip() and not line.startswith("#")]
    out = []
    for i in range(rows):
        fields = base[i % len(base)]
        out.append(";".join(vary(f, rng, "," not in f) if NUMBER.match(f) else f for f in fields))
    sys.stdout.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
