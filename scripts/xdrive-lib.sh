# SPDX-License-Identifier: GPL-3.0-or-later
# Shared by the drive scripts: a display of its own under Xvfb with a window
# manager (HEATX_SCREEN pixels, 1280x1024 unless set), heatx started on it, and the helpers that click and type as a
# person would. Source it after `cd` to the repository root, with HEATX and
# SHOTS set; it leaves HEATX_PID, WORK and the report folder in the environment.
WORK=$(mktemp -d)
export HEATX_REPORT_DIR="$WORK/reports"
export XDG_RUNTIME_DIR="$WORK/xdg"
# The notes of open reports for the next start: the drive's own, never the user's.
export XDG_STATE_HOME="$WORK/state"
mkdir -p "$XDG_RUNTIME_DIR" && chmod 700 "$XDG_RUNTIME_DIR"
# Russian regional settings: a decimal comma and day-first dates.
export LANG=ru_RU.UTF-8 LC_ALL=ru_RU.UTF-8
export ASAN_OPTIONS=detect_leaks=0

cleanup() {
    [ -n "${HEATX_PID:-}" ] && kill "$HEATX_PID" 2>/dev/null || true
    [ -n "${WM:-}" ] && kill "$WM" 2>/dev/null || true
    [ -n "${XVFB:-}" ] && kill "$XVFB" 2>/dev/null || true
    [ -n "${KEEP_WORK:-}" ] && echo "Рабочая папка: $WORK" || rm -rf "$WORK"
}
trap cleanup EXIT
# A display of its own: Xvfb picks a free number and writes it to fd 3, so
# two drives (or another X server) on one machine never share a screen.
start_display() {
    rm -f "$WORK/display"
    Xvfb -displayfd 3 -screen 0 "${HEATX_SCREEN:-1280x1024}x24" -nolisten tcp 3>"$WORK/display" >/dev/null 2>&1 &
    XVFB=$!
    for _ in $(seq 100); do [ -s "$WORK/display" ] && break; sleep 0.1; done
    export DISPLAY=":$(head -n 1 "$WORK/display")"
    for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    openbox >/dev/null 2>&1 &
    WM=$!
    sleep 1
}
# heatx on that display, its messages in heatx.log (appended: a second start
# keeps what the first one said).
start_heatx() {
    "$HEATX" >>"$WORK/heatx.log" 2>&1 &
    HEATX_PID=$!
}
start_display
start_heatx

fail() { echo "ОШИБКА: $*" >&2; cat "$WORK/heatx.log" >&2; exit 1; }
pause() { sleep "${1:-0.6}"; }
# The screen, trimmed of the empty desktop around the windows.
shot() { [ -n "$SHOTS" ] && import -window root -trim +repage "$SHOTS/$1.png"; return 0; }

# The visible window whose title matches the regular expression.
window() {
    local id
    # Up to ten seconds: the program may be slow under the sanitizers.
    for _ in $(seq 100); do
        id=$(xdotool search --onlyvisible --name "$1" 2>/dev/null | tail -1) && [ -n "$id" ] && { echo "$id"; return; }
        sleep 0.1
    done
    fail "нет окна «$1»"
}
# Clicks the point x, y twips from the client corner of a window.
click() {
    local id X Y
    id=$(window "$1")
    eval "$(xwininfo -id "$id" | awk '/Absolute upper-left X/ {print "X=" $4} /Absolute upper-left Y/ {print "Y=" $4}')"
    xdotool mousemove $((X + $2 / 15)) $((Y + $3 / 15)) click 1
    pause
}
# Types an answer into the input box that has the focus and confirms it.
answer() {
    pause 0.4
    [ -n "$1" ] && xdotool type --delay 20 "$1"
    xdotool key Return
    pause 0.4
}
# Waits for an input box with that title, then answers it.
answer_box() {
    window "$1" >/dev/null
    answer "$2"
}
# From the start window through the surname entry to the library menu.
enter_surname() {
    window "^НАЧАЛО РАБОТЫ С ПРОГРАММОЙ$" >/dev/null
    pause 1
    click "^НАЧАЛО РАБОТЫ С ПРОГРАММОЙ$" $(centre 4793 6000 2415 615)   # ВВОД ИСХОДНОЙ ИНФОРМАЦИИ
    window "^ВВОД ФАМИЛИИ$" >/dev/null
    pause
    # Letters outside the keyboard map are typed slowly, or xdotool loses some.
    xdotool type --delay 150 "$1"
    answer ""
}
# Left, top, width, height in twips: the centre of that control.
centre() { echo $(($1 + $3 / 2)) $(($2 + $4 / 2)); }
# The program's message about the saved report is confirmed; the program
# must then end by itself, without an error.
await_end() {
    window "ОТЧЁТ СОХРАНЁН|ПЕЧАТЬ ОТЧЁТА|ОТЧЁТ НЕ НАПЕЧАТАН" >/dev/null
    xdotool key Return
    for _ in $(seq 50); do kill -0 "$HEATX_PID" 2>/dev/null || break; sleep 0.1; done
    kill -0 "$HEATX_PID" 2>/dev/null && fail "программа не закончила работу"
    wait "$HEATX_PID" || fail "программа закончила работу с ошибкой"
    HEATX_PID=
}
# The saved text reports, oldest first, into the array `texts`; there must be
# N of them, each with its PDF.
saved_reports() {
    mapfile -t texts < <(ls "$HEATX_REPORT_DIR"/*.txt | sort)
    [ "${#texts[@]}" = "$1" ] || fail "ожидалось отчётов: $1, найдено ${#texts[@]}"
    local t
    for t in "${texts[@]}"; do [ -f "${t%.txt}.pdf" ] || fail "нет PDF для $t"; done
}
# Checks the size of a window as the window manager frames it, in twips as
# the program gives it: "outer" counts the frame (the manager's borders and
# title bar, from _NET_FRAME_EXTENTS), "client" the area inside it.
window_size() {
    local id w h l r t b
    id=$(window "$1")
    w=$(xwininfo -id "$id" | awk '/^  Width/ {print $2}')
    h=$(xwininfo -id "$id" | awk '/^  Height/ {print $2}')
    read -r l r t b < <(xprop -id "$id" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')
    [ "$2" = outer ] && { w=$((w + l + r)); h=$((h + t + b)); }
    # 15 twips a pixel, to the nearest pixel.
    local want_w=$((($3 + 7) / 15)) want_h=$((($4 + 7) / 15))
    [ "$w" = "$want_w" ] && [ "$h" = "$want_h" ] ||
        fail "окно «$1»: $2 ${w}x${h} пикселей вместо ${want_w}x${want_h} ($3 x $4 твипов)"
    echo "Окно «$1»: $2 ${w}x${h} пикселей = $3 x $4 твипов"
}
