#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# heatx-batch check of the release build on a class's folder with two PDF
# bombs between good reports, under a 2 GB address-space limit (ulimit -v) as
# on a teacher's shared machine: a 3 MB PDF with 256 MB of text inside and a
# 2 KB PDF of nested form XObjects (100 000 text draws). Each bomb must be
# «не отчёт» for its bounds, each good report «верно», every file a row.
# The test build cannot show this: its sanitizer cannot run under ulimit -v.
#
# Call: scripts/check-pdf-bombs.sh ROOT — ROOT holds usr/bin/heatx-batch and
# its helper under usr/lib (the unpacked .deb).
set -euo pipefail
root=$1
batch="$root/usr/bin/heatx-batch"
examples="$(cd "$(dirname "$0")/.." && pwd)/examples"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
dir="$work/группа"
mkdir "$dir"

# A PDF from object files 1..n (each the text between "N 0 obj" and
# "endobj"), with its cross-reference table.
make_pdf() {
  local out=$1 n=$2 i offsets=()
  printf '%%PDF-1.4\n' >"$out"
  for ((i = 1; i <= n; i++)); do
    offsets+=("$(stat -c %s "$out")")
    { printf '%d 0 obj\n' "$i"; cat "$work/obj$i"; printf '\nendobj\n'; } >>"$out"
  done
  local xref
  xref=$(stat -c %s "$out")
  {
    printf 'xref\n0 %d\n0000000000 65535 f \n' $((n + 1))
    for i in "${offsets[@]}"; do printf '%010d 00000 n \n' "$i"; done
    printf 'trailer\n<< /Size %d /Root 1 0 R >>\nstartxref\n%d\n%%%%EOF\n' $((n + 1)) "$xref"
  } >>"$out"
}

# Object N: a stream of the bytes in file data, with more dictionary entries.
stream_obj() {
  local n=$1 data=$2 dict=$3
  { printf '<< /Length %d %s >>\nstream\n' "$(stat -c %s "$data")" "$dict"; cat "$data"; printf '\nendstream'; } \
    >"$work/obj$n"
}

page_objs() {
  printf '<< /Type /Catalog /Pages 2 0 R >>' >"$work/obj1"
  printf '<< /Type /Pages /Kids [3 0 R] /Count 1 >>' >"$work/obj2"
  printf '<< /Type /Page /Parent 2 0 R /MediaBox [0 0 612 792] /Resources << /Font << /F1 4 0 R >> %s >> /Contents 5 0 R >>' \
    "$1" >"$work/obj3"
  printf '<< /Type /Font /Subtype /Type1 /BaseFont /Courier >>' >"$work/obj4"
}

# The text bomb: 256 MB of one-letter words in one content stream. A zlib
# stream (FlateDecode) is a deflate stream after a two-byte head; gzip makes
# the deflate stream, and its Adler checksum is not needed to read it.
words=$(printf 'A %.0s' {1..35})
line=""
for ((y = 10; y < 790; y += 10)); do line+="1 0 0 1 10 $y Tm ($words) Tj "; done
{ printf '\x78\x9c'; { printf 'BT /F1 6 Tf\n'; { yes "$line" || true; } | head -c $((256 * 1024 * 1024)); printf '\nET\n'; } |
  gzip -6 -c | tail -c +11 | head -c -8; } >"$work/text"
page_objs ""
stream_obj 5 "$work/text" "/Filter /FlateDecode"
make_pdf "$dir/b-текст.pdf" 5

# The nested bomb: form XObjects six deep, each drawing the next ten times.
page_objs "/XObject << /X0 6 0 R >>"
printf '/X0 Do' >"$work/draw"
stream_obj 5 "$work/draw" ""
for level in 0 1 2 3 4 5; do
  if ((level == 5)); then
    printf 'BT /F1 12 Tf 72 700 Td (Hello world) Tj ET' >"$work/draw"
    resources="<< /Font << /F1 4 0 R >> >>"
  else
    printf '/X0 Do %.0s' {1..10} >"$work/draw"
    resources="<< /XObject << /X0 $((7 + level)) 0 R >> >>"
  fi
  stream_obj $((6 + level)) "$work/draw" "/Type /XObject /Subtype /Form /BBox [0 0 612 792] /Resources $resources"
done
make_pdf "$dir/d-вложенный.pdf" 11

# The good reports around them, as text and as PDF.
export QT_QPA_PLATFORM=offscreen
for stem in a c e; do
  "$batch" --report heater "$examples/heater.csv" >"$dir/$stem-верный.txt" 2>/dev/null
  "$batch" --report --pdf "$dir/$stem-верный.pdf" heater "$examples/heater.csv" 2>/dev/null
done

status=0
out=$( (ulimit -v $((2 * 1024 * 1024)) && exec "$batch" check "$dir") 2>"$work/err") || status=$?
failed=0
fail() { echo "ОШИБКА: $1" >&2; failed=1; }
((status == 1)) || fail "heatx-batch check под ulimit -v 2 ГБ: код выхода $status, а не 1"
[ "$(printf '%s\n' "$out" | wc -l)" -eq 9 ] || fail "не у каждого файла строка: $out"
for stem in a c e; do
  for type in txt pdf; do
    grep -q "^$dir/$stem-верный.$type;.*;верно\$" <<<"$out" || fail "$stem-верный.$type не «верно»"
  done
done
for bomb in b-текст.pdf d-вложенный.pdf; do
  grep -qx "$dir/$bomb;;;;;;не отчёт" <<<"$out" || fail "$bomb не «не отчёт»"
  grep -q "$bomb: не отчёт — PDF слишком велик или сложен для отчёта: " "$work/err" || fail "$bomb: $(cat "$work/err")"
done
if ((failed)); then
  cat "$work/err" >&2
  exit 1
fi
echo "проверено: бомбы PDF среди верных отчётов под ulimit -v 2 ГБ — у каждого файла строка"
