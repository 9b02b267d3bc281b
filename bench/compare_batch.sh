#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Runs two builds of heatx-batch over the same inputs and says whether every
# output is the same byte for byte: the tables (decimal point and comma), the
# --report texts, the PDF's text (pdftotext), variants, and check with its
# details over the old build's own reports. Inputs: the example files and
# ROWS generated variants of each type (bench/vary_rows.py).
#
#   bench/compare_batch.sh OLD_HEATX_BATCH NEW_HEATX_BATCH [ROWS]
#
# Exit status 0 when all are the same, 1 with the differing outputs named.
set -euo pipefail
cd "$(dirname "$0")/.."
OLD=$(realpath "$1") NEW=$(realpath "$2") ROWS=${3:-100000}
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT
export LC_ALL=C.UTF-8 QT_QPA_PLATFORM=offscreen
DATE="2026-12-09 10:00:00" STUDENT="Иванов И.И. гр. Х-21"
differ=0 same=0

# Runs both builds with the same arguments (ARGS... with @OUT@ for an output
# file of each build's own) and compares standard output, the exit status and
# the output file.
both() {
  local name=$1; shift
  for build in old new; do
    local bin=$OLD; [[ $build == new ]] && bin=$NEW
    local args=("${@//@OUT@/$WORK/$name.$build.out}")
    set +e; "$bin" "${args[@]}" >"$WORK/$name.$build.stdout" 2>"$WORK/$name.$build.stderr"
    echo "exit $?" >>"$WORK/$name.$build.stdout"; set -e
    if [[ -f $WORK/$name.$build.out && $* == *.pdf* ]]; then
      pdftotext -layout "$WORK/$name.$build.out" "$WORK/$name.$build.out.txt"
      rm "$WORK/$name.$build.out"
    fi
  done
  for part in stdout stderr out.txt out; do
    [[ -e $WORK/$name.old.$part || -e $WORK/$name.new.$part ]] || continue
    if cmp -s "$WORK/$name.old.$part" "$WORK/$name.new.$part"; then
      same=$((same + 1))
    else
      differ=$((differ + 1)); echo "РАЗЛИЧАЕТСЯ: $name ($part)"
      diff "$WORK/$name.old.$part" "$WORK/$name.new.$part" | head -6 || true
    fi
  done
}

for type in heater cooler evaporator; do
  python3 bench/vary_rows.py "examples/$type.csv" "$ROWS" >"$WORK/$type-rows.csv"
  for input in "examples/$type.csv" "$WORK/$type-rows.csv"; do
    tag=$type-$(basename "$input" .csv)
    both "$tag-table" "$type" "$input"
    both "$tag-comma" --decimal-comma "$type" "$input"
    both "$tag-report" --report --date "$DATE" --student "$STUDENT" "$type" "$input"
  done
  both "$type-pdf" --report --date "$DATE" --student "$STUDENT" --pdf @OUT@.pdf "$type" "examples/$type.csv"
  both "$type-variants" variants "$type" --from "examples/base-$type.csv" --count 25 --seed 7
  both "$type-variants-comma" variants "$type" --from "examples/base-$type.csv" --count 25 --decimal-comma
  # The old build's reports of the example rows, checked by both.
  mkdir -p "$WORK/reports-$type"
  "$OLD" --report --date "$DATE" --student "$STUDENT" "$type" "examples/$type.csv" >"$WORK/reports-$type/$type.txt" || true
  "$OLD" --report --date "$DATE" --student "$STUDENT" --pdf "$WORK/reports-$type/$type.pdf" "$type" "examples/$type.csv" || true
  both "$type-check" check --details "$WORK/reports-$type"
done
echo "одинаковых выводов: $same; различных: $differ ($ROWS строк каждого типа)"
[[ $differ -eq 0 ]]
