#!/usr/bin/env python3
"""Writes N heater variants (semicolon-separated, decimal comma, UTF-8) to
standard output: the example variant with every property varied a little, so
that no two rows are alike; about one row in twenty fails a check or the
Reynolds test, as in a real group."""
import math
import random
import sys

BASE = [0.686, 932, 2171000, 0.000212, 0.5, 0.642, 0.000549, 4180, 0.0005, 60, 5]
CONSTRUCTION = [0.025, 2, 3, 100]


def field(value):
    # Six significant digits written out in full, as a spreadsheet shows them.
    decimals = max(0, 5 - math.floor(math.log10(abs(value))))
    text = ("%.*f" % (decimals, value)).rstrip("0").rstrip(".") if decimals else "%.0f" % value
    return text.replace(".", ",")


def main():
    rows = int(sys.argv[1]) if len(sys.argv) > 1 else 100000
    rng = random.Random(int(sys.argv[2]) if len(sys.argv) > 2 else 11)
    out = sys.stdout
    lines = []
    for i in range(rows):
        values = [v * rng.uniform(0.9, 1.1) for v in BASE]
        kind = rng.choice("ГВHV")
        d, z, length, n = CONSTRUCTION
        d = rng.choice([0.02, 0.025, 0.038, 0.057])
        z = rng.choice([1, 2, 4, 6])
        length = rng.choice([1, 2, 3, 4, 6])
        n = rng.randint(50, 400)
        roll = rng.random()
        if roll < 0.03:
            values[0] = 1.5          # conductivity beyond its bound: input;0
        elif roll < 0.05:
            values[10] = 0.05        # tiny liquid flow: Re below 2300, model
        fields = [field(v) for v in values] + [kind, field(d), str(z), str(length), str(n)]
        lines.append(";".join(fields))
        if len(lines) == 10000:
            out.write("\n".join(lines) + "\n")
            lines = []
    if lines:
        out.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    main()
