#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# The end of a session as it really happens, tried on the real program under
# Xvfb: a student prints two results in the heater window, and then the
# session ends under the program, without the end button:
#   term   the logout's SIGTERM
#   hup    the terminal closed (SIGHUP)
#   xkill  the X server goes away
#   kill   kill -9, which no program can catch
# The text copy must hold both prints, and (after kill -9, once the program
# is started again) the PDF too; the next start must say where the report is.
# Without a case all four are tried in turn, each on a display of its own.
#
#   scripts/drive-session-end.sh [CASE|all] [SCREENSHOT_FOLDER]
#
# HEATX names the program (default build/release/src/shell/heatx). Needs
# Xvfb, openbox, xdotool, ImageMagick and poppler-utils (scripts/packages.txt).
set -euo pipefail
cd "$(dirname "$0")/.."
if [ "${1:-all}" = all ]; then
    for c in term hup xkill kill; do "$0" "$c" "${2:-}"; done
    exit 0
fi
CASE=$1
case $CASE in term | hup | xkill | kill) ;; *) echo "неизвестный случай: $CASE" >&2; exit 2 ;; esac
HEATX=${HEATX:-build/release/src/shell/heatx}
SHOTS=${2:-}
# shellcheck source=scripts/xdrive-lib.sh
source scripts/xdrive-lib.sh

START="^НАЧАЛО РАБОТЫ С ПРОГРАММОЙ$"
MENU="^Form4$"
SHEET="ВВОД ИСХОДНОЙ ИНФОРМАЦИИ$"
DESIGN="^Form9$"
SAVED="^ОТЧЁТ СОХРАНЁН$"

enter_surname "петров п.п. гр. х-11"
window "$MENU" >/dev/null
click "$MENU" $(centre 2520 2040 3495 495)            # ПОДОГРЕВАТЕЛЬ ИЛИ ДЕФЛЕГМАТОР
for v in "0,686" "932" "2171000" "0,000212" "0,5" "0,642" "0,000549" "4180" "0,0005" "60" "5"; do
    window "^ВВОД ИСХОДНОЙ ИНФОРМАЦИИ$" >/dev/null
    answer "$v"
done
pause 1
click "$SHEET" $(centre $(((10000 - 120 - 4335) / 2)) 5520 4335 375)   # НЕ ИЗМЕНЯЕТЕ
window "$DESIGN" >/dev/null
click "$DESIGN" $(centre 1000 1200 2055 375)          # ГОРИЗОНТАЛЬНЫЙ
for v in "0,025" "2" "3" "100"; do answer "$v"; done
pause
click "$DESIGN" $(centre 1920 4440 5175 375)          # ПЕЧАТЬ
click "$DESIGN" $(centre 1920 4920 5175 375)          # ИЗМЕНЕНИЕ КОНСТРУКТИВНЫХ ПАРАМЕТРОВ
click "$DESIGN" 4000 $((1000 + 60 + 4 * 195 + 90))    # line 4, the number of tubes
answer "120"
click "$DESIGN" $(centre $(((8640 - 120 - 2175) / 2)) 2400 2175 375)  # ПЕРЕХОД К РАСЧЕТУ
pause
click "$DESIGN" $(centre 1920 4440 5175 375)          # ПЕЧАТЬ
pause 1
shot "session-$CASE-1-two-prints"

# The result rows of a report file (text copy or PDF text), blanks folded.
rows() { grep -E '^ *\| +[0-9]' | tr -s ' '; }
mapfile -t texts < <(ls "$HEATX_REPORT_DIR"/*.txt 2>/dev/null)
[ "${#texts[@]}" = 1 ] || fail "после двух печатей ожидалась одна текстовая копия, найдено ${#texts[@]}"
txt=${texts[0]}
pdf=${txt%.txt}.pdf
printed=$(rows <"$txt")
[ "$(wc -l <<<"$printed")" = 2 ] || fail "в текстовой копии не две строки результатов: $printed"

case $CASE in
term) kill -TERM "$HEATX_PID" ;;
hup) kill -HUP "$HEATX_PID" ;;
xkill) kill "$XVFB"; kill "$WM" 2>/dev/null || true; XVFB= WM= ;;
kill) kill -KILL "$HEATX_PID" ;;
esac
began=$(date +%s%N)
status=0
# Quietly: the shell's own word about a job ended by a signal is expected here.
{ wait "$HEATX_PID" || status=$?; } 2>/dev/null
HEATX_PID=
echo "$CASE: программа закончилась со статусом $status через $((($(date +%s%N) - began) / 1000000)) мс"
[ "$(rows <"$txt")" = "$printed" ] || fail "текстовая копия изменилась"

# The PDF holds the same two result rows as the text copy.
check_pdf() {
    [ -f "$pdf" ] || fail "нет PDF $pdf"
    pdfinfo "$pdf" >/dev/null 2>&1 || fail "PDF не целый: $pdf"
    [ "$(pdftotext -layout "$pdf" - | rows)" = "$printed" ] || fail "в PDF не те строки результатов"
}
if [ "$CASE" = kill ]; then
    [ -e "$pdf" ] && fail "PDF после kill -9 появиться не мог"
else
    check_pdf
    grep -q "ОТЧЁТ СОХРАНЁН: .*$pdf" "$WORK/heatx.log" || fail "в сообщении нет имени PDF"
fi

# The next start: the report is finished (after kill -9) and one message says
# where it is; then the program ends by its end button.
[ "$CASE" = xkill ] && start_display
start_heatx
window "$SAVED" >/dev/null
pause 1
shot "session-$CASE-2-next-start"
check_pdf
xdotool key Return
click "$START" $(centre 8397 6000 2415 615)           # ОКОНЧАНИЕ РАБОТЫ
for _ in $(seq 50); do kill -0 "$HEATX_PID" 2>/dev/null || break; sleep 0.1; done
wait "$HEATX_PID" || fail "программа закончила работу с ошибкой"
HEATX_PID=
[ -z "$(ls -A "$XDG_STATE_HOME/heatx")" ] || fail "записи о незаконченных отчётах остались"
# No file besides the pair, no temporary left behind.
[ "$(ls -A "$HEATX_REPORT_DIR" | wc -l)" = 2 ] || fail "в папке отчётов лишние файлы: $(ls -A "$HEATX_REPORT_DIR")"
echo "$CASE: отчёт цел — $txt и его PDF; следующий запуск сказал, где он."
