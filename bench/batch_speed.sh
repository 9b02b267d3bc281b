#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# heatx-batch as a whole process on heater tables (bench/make_rows.py: every
# row different, about one in twenty failing as in a real group): hyperfine
# on 100 000 and 1 000 000 rows against the same row processing in plain
# Python (bench/batch_rows.py), and the peak resident memory (/usr/bin/time
# style, from the kernel's rusage) of the table and of the --report text on
# 1 000 000 and 10 000 000 rows (the latter streamed through a pipe, 1.2 GB).
# Run from the repository root after `cmake --preset release && cmake --build --preset release`.
set -euo pipefail
cd "$(dirname "$0")/.."
BATCH=${BATCH:-build/release/src/batch/heatx-batch}
command -v hyperfine >/dev/null || { echo "нужен пакет hyperfine" >&2; exit 2; }
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
python3 bench/make_rows.py 100000 > "$work/100k.csv"
python3 bench/make_rows.py 1000000 > "$work/1m.csv"

# The Python script gives the same table: the comparison is fair.
cmp <("$BATCH" heater "$work/100k.csv") <(python3 bench/batch_rows.py "$work/100k.csv") ||
  { echo "bench/batch_rows.py даёт другую таблицу" >&2; exit 1; }

hyperfine -N --warmup 2 --runs 10 --export-json "$work/batch.json" \
  "$BATCH heater $work/100k.csv" "$BATCH heater $work/1m.csv" \
  "$BATCH --decimal-comma heater $work/1m.csv" >/dev/null
hyperfine -N --runs 3 --export-json "$work/python.json" \
  "python3 bench/batch_rows.py $work/100k.csv" >/dev/null
hyperfine -N --runs 1 --export-json "$work/python1m.json" \
  "python3 bench/batch_rows.py $work/1m.csv" >/dev/null 2>&1

peak() {  # peak RSS in MB of a command reading standard input
  python3 - "$@" <<'PY'
import resource, subprocess, sys
subprocess.run(sys.argv[1:], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
print(f"{resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss / 1024:.1f}")
PY
}
table1m=$(peak "$BATCH" heater "$work/1m.csv")
report1m=$(peak "$BATCH" --report heater "$work/1m.csv")
table10m=$(peak sh -c "for i in 1 2 3 4 5 6 7 8 9 10; do cat '$work/1m.csv'; done | '$BATCH' heater")
report10m=$(peak sh -c "for i in 1 2 3 4 5 6 7 8 9 10; do cat '$work/1m.csv'; done | '$BATCH' --report heater")

python3 - "$work" "$table1m" "$report1m" "$table10m" "$report10m" <<'PY'
import json, sys
work = sys.argv[1]
b = json.load(open(f"{work}/batch.json"))["results"]
p = json.load(open(f"{work}/python.json"))["results"][0]
p1 = json.load(open(f"{work}/python1m.json"))["results"][0]
rows = [100000, 1000000, 1000000]
names = ["таблица, 100 000 строк", "таблица, 1 000 000 строк", "таблица --decimal-comma, 1 000 000 строк"]
for name, n, r in zip(names, rows, b):
    cpu = r["user"] + r["system"]
    print(f"{name}: медиана {r['median']:.3f} с ({n / r['median'] / 1e6:.2f} млн строк/с), "
          f"процессор {cpu:.3f} с ({n / cpu / 1e6:.2f} млн строк/с)")
print(f"Python, 100 000 строк: медиана {p['median']:.2f} с; heatx-batch быстрее в "
      f"{p['median'] / b[0]['median']:.0f} раз (по процессорному времени в "
      f"{(p['user'] + p['system']) / (b[0]['user'] + b[0]['system']):.0f} раз)")
print(f"Python, 1 000 000 строк: {p1['median']:.1f} с; heatx-batch быстрее в "
      f"{p1['median'] / b[1]['median']:.0f} раз (по процессорному времени в "
      f"{(p1['user'] + p1['system']) / (b[1]['user'] + b[1]['system']):.0f} раз)")
print(f"Пиковая память: таблица 1 млн строк {sys.argv[2]} МБ, 10 млн {sys.argv[4]} МБ; "
      f"--report 1 млн {sys.argv[3]} МБ, 10 млн {sys.argv[5]} МБ")
PY
