#!/bin/sh
# SPDX-License-Identifier: GPL-3.0-or-later
# Writes the Russian manual page of a program from its --help with help2man,
# with Russian section names and the date of the release, and with every line
# of an indented block (the calls, the examples) kept on its own line, and a
# break point after each semicolon so that a long table header can wrap (left
# aligned, without hyphenation, as the lines of the help are).
#   help2man-ru.sh PROGRAM INCLUDE.h2m VERSION DATE OUTPUT
set -eu
program=$1 include=$2 version=$3 date=$4 output=$5
tmp="$output.tmp"
trap 'rm -f "$tmp"' EXIT
ASAN_OPTIONS=detect_leaks=0 help2man --no-info --locale=C.UTF-8 --section=1 \
  --version-string="$(basename "$program") $version" \
  --include="$include" --output="$tmp" "$program"
name=$(basename "$program" | tr '[:lower:]' '[:upper:]')
awk -v th=".TH $name 1 \"$date\" \"heatx $version\" \"Команды пользователя\"" '
  /^\.TH / { print th; print ".ad l"; print ".nh"; next }
  /^\.SH NAME$/ { print ".SH ИМЯ"; next }
  /^\.SH SYNOPSIS$/ { print ".SH ОБЗОР"; next }
  /^\.SH DESCRIPTION$/ { print ".SH ОПИСАНИЕ"; next }
  /^\.SH "SEE ALSO"$/ { print ".SH \"СМ. ТАКЖЕ\""; next }
  /^\.IP$/ { block = 1; first = 1; print; next }
  /^\./ { block = 0; print; next }
  !/^\./ { gsub(/;/, ";\\:") }
  block { if (!first) print ".br"; first = 0; print; next }
  { print }' "$tmp" > "$output"
