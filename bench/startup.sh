#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Start-up of heatx under Xvfb: the time from process start to the first
# painted start window (hyperfine over whole processes; the program leaves
# right after its first paint when HEATX_QUIT_AFTER_FIRST_PAINT is set), and
# the resident memory after a whole heater road driven by real clicks.
# Run from the repository root after `cmake --preset release && cmake --build --preset release`.
set -euo pipefail
cd "$(dirname "$0")/.."
HEATX=${HEATX:-build/release/src/shell/heatx}
command -v hyperfine >/dev/null || { echo "нужен пакет hyperfine" >&2; exit 2; }

Xvfb :93 -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null || true' EXIT
sleep 1
json=$(mktemp)
DISPLAY=:93 HEATX_QUIT_AFTER_FIRST_PAINT=1 XDG_RUNTIME_DIR=$(mktemp -d) \
  hyperfine -N --warmup 5 --runs 50 --export-json "$json" "$HEATX" >/dev/null
python3 - "$json" <<'PY'
import json, sys
r = json.load(open(sys.argv[1]))["results"][0]
print(f"Запуск до первой отрисовки окна: медиана {r['median']*1000:.0f} мс "
      f"(min {r['min']*1000:.0f}, max {r['max']*1000:.0f}, {len(r['times'])} запусков)")
PY
rm -f "$json"
kill $xvfb 2>/dev/null || true
trap - EXIT

# The memory figure comes from the heater road driven with xdotool.
HEATX="$HEATX" scripts/drive-heater-road.sh "$(mktemp -d)" | grep -E 'память'
