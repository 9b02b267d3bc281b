#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Puts the licence line "SPDX-License-Identifier: GPL-3.0-or-later" at the top
# of every source file of the repository that has none yet: C++ sources and
# headers, CMake files, shell scripts. Safe to run again (after a merge, say):
# a file that already has the line is left as it is.
#   scripts/add-spdx.sh            all tracked files
#   scripts/add-spdx.sh --check    only list the files without the line, exit 1 if any
set -euo pipefail
cd "$(dirname "$0")/.."
tag='SPDX-License-Identifier: GPL-3.0-or-later'
check=0
[ "${1:-}" = --check ] && check=1

missing=0
while IFS= read -r -d '' f; do
  case "$f" in
    *.cpp | *.h | *.hpp) comment='//' ;;
    *.sh | *.cmake | */CMakeLists.txt | CMakeLists.txt | run | test | .ci/run) comment='#' ;;
    *) continue ;;
  esac
  head -n 3 "$f" | grep -q 'SPDX-License-Identifier:' && continue
  missing=1
  if ((check)); then echo "$f"; continue; fi
  tmp="$f.spdx.$$"
  if head -n 1 "$f" | grep -q '^#!'; then
    { head -n 1 "$f"; echo "$comment $tag"; tail -n +2 "$f"; } > "$tmp"
  else
    { echo "$comment $tag"; cat "$f"; } > "$tmp"
  fi
  chmod --reference="$f" "$tmp"
  mv "$tmp" "$f"
  echo "$f"
done < <(git ls-files -z -- src tests bench scripts packaging CMakeLists.txt run test .ci/run)

((check && missing)) && exit 1
exit 0
