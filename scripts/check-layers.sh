#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Checks that the folders of src/ depend one way: every #include "..." of a
# file names a header of its own folder or of a layer below it. Low to high:
#   text; state; report; the apparatus core (heater, cooler, evaporator
#   without their *_window files); platform; window_base; sheets; the
#   apparatus windows (*_window); shell.
# batch stands over the core, report and platform and under every window.
# Prints each include that goes the wrong way and exits 1 if there is one.
set -euo pipefail
cd "$(dirname "$0")/../src"

# The layer of a file or header path, as a number; batch is 4.5.
layer() {
  local path=$1 folder=${1%%/*}
  case $folder in
    text) echo 0 ;;
    state) echo 1 ;;
    report) echo 2 ;;
    heater | cooler | evaporator) [[ $path == *_window.* ]] && echo 7 || echo 3 ;;
    platform) echo 4 ;;
    batch) echo 4.5 ;;
    window_base) echo 5 ;;
    sheets) echo 6 ;;
    shell) echo 8 ;;
    *) echo unknown ;;
  esac
}

bad=0
while IFS= read -r -d '' file; do
  own=$(layer "$file")
  while IFS= read -r header; do
    [[ ${header%%/*} == "${file%%/*}" && $(layer "$header") == "$own" ]] && continue
    theirs=$(layer "$header")
    if [[ $own == unknown || $theirs == unknown ]] || ! awk -v a="$theirs" -v b="$own" 'BEGIN { exit !(a < b) }'; then
      echo "src/$file: #include \"$header\" is not below it"
      bad=1
    fi
  done < <(sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)".*/\1/p' "$file")
done < <(find . \( -name '*.h' -o -name '*.cpp' \) -printf '%P\0')
exit $bad
