#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Drives heatx under Xvfb to a result of each apparatus and opens its chart
# with F3, taking screenshots of the design window with its «ГРАФИК» button
# and of the chart window; the heater's chart is added to the report after a
# printed block and the report's picture page is kept too.
#
#   scripts/drive-chart.sh SCREENSHOT_FOLDER [WIDTHxHEIGHT]
#
# HEATX names the program (default build/release/src/shell/heatx).
set -euo pipefail
cd "$(dirname "$0")/.."
HEATX=${HEATX:-build/release/src/shell/heatx}
SHOTS=${1:?папка для снимков}
export HEATX_SCREEN=${2:-1280x1024}
SIZE=$HEATX_SCREEN
export HEATX_EVAPORATOR=1
# shellcheck source=scripts/xdrive-lib.sh
source scripts/xdrive-lib.sh

MENU="^Form4$"
KEEP=$(centre $(((10000 - 120 - 4335) / 2)) 5520 4335 375)
# A button of the chart window's lower row, by its order from the left.
chart_button() {
    local id X Y H
    id=$(window "^ГРАФИК: ")
    eval "$(xwininfo -id "$id" | awk '/Absolute upper-left X/ {print "X=" $4} /Absolute upper-left Y/ {print "Y=" $4} /^  Height/ {print "H=" $2}')"
    xdotool mousemove $((X + 11 + 240 * $1 + 6 * $1 + 120)) $((Y + H - 11 - 12)) click 1
    pause
}
chart_shot() {
    window "^ГРАФИК: $1" >/dev/null
    pause 2
    shot "chart-$2-$SIZE"
}

enter_surname "иванов и.и. гр. х-10"

# Heater: horizontal, d = 25 mm, two passes, 3 m, 100 tubes; printed, then the chart.
window "$MENU" >/dev/null
click "$MENU" $(centre 2520 2040 3495 495)
for v in "0,686" "932" "2171000" "0,000212" "0,5" "0,642" "0,000549" "4180" "0,0005" "60" "5"; do
    answer_box "^ВВОД ИСХОДНОЙ ИНФОРМАЦИИ$" "$v"
done
pause 1
click "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ$" $KEEP
click "^Form9$" $(centre 1000 1200 2055 375)          # ГОРИЗОНТАЛЬНЫЙ
for v in "0,025" "2" "3" "100"; do answer "$v"; done
pause
click "^Form9$" $(centre 1920 4440 5175 375)          # ПЕЧАТЬ
shot "design-heater-$SIZE"
xdotool key F3
chart_shot "ПОДОГРЕВАТЕЛЬ" heater
chart_button 1                                        # ДОБАВИТЬ ГРАФИК В ОТЧЁТ
pause 1
shot "chart-heater-added-$SIZE"
xdotool key Escape
click "^Form9$" $(centre 1920 5880 5175 375)          # ПЕРЕХОД К РАСЧЁТУ ДРУГОГО ТЕПЛООБМЕННИКА
window "ОТЧЁТ СОХРАНЁН|ПЕЧАТЬ ОТЧЁТА|ОТЧЁТ НЕ НАПЕЧАТАН" >/dev/null
xdotool key Return
pause

# Cooler: water in the tubes, a light oil around them.
window "$MENU" >/dev/null
click "$MENU" $(centre 2520 2760 3495 495)
for v in "0,6" "998" "0,001" "4180" "0,0003" "14" "0,13" "0,002" "2000" "5" "30" "0,0005" "350000"; do
    answer_box "^ВВОД ИСХОДНОЙ ИНФОРМАЦИИ$" "$v"
done
pause 1
click "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ$" $KEEP
for v in "0,025" "2" "0,9" "100" "0,02"; do answer "$v"; done
pause
shot "design-cooler-$SIZE"
xdotool key F3
chart_shot "ХОЛОДИЛЬНИК" cooler
xdotool key Escape
click "^РАСЧЁТ ХОЛОДИЛЬНИКОВ$" $(centre 2760 6120 5175 375)   # ПЕРЕХОД К РАСЧЁТУ ДРУГОГО ТЕПЛООБМЕННИКА
pause

# Evaporator: water boiling at atmospheric pressure, 4 m tubes.
window "$MENU" >/dev/null
click "$MENU" $(centre 2520 1320 3495 495)
for v in "0,684" "923" "2141000" "0,000191" "0,683" "958" "4220" "0,000282" "0,0589" "0,598" "0,598" \
         "2256000" "43" "0,0005" "1000000"; do
    answer_box "^ВВОД ИСХОДНОЙ ИНФОРМАЦИИ$" "$v"
done
pause 1
click "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ$" $KEEP
answer "4"
pause
shot "design-evaporator-$SIZE"
xdotool key F3
chart_shot "ИСПАРИТЕЛЬ" evaporator
xdotool key Escape
click "^РАСЧЁТ ИСПАРИТЕЛЕЙ$" $(centre 2520 6240 5175 375)    # ОКОНЧАНИЕ РАБОТЫ С ПРОГРАММОЙ
pause 1

saved_reports 1
pictures=("$HEATX_REPORT_DIR"/*_график_1.png)
[ -f "${pictures[0]}" ] || fail "график не добавлен в отчёт"
grep -q "ГРАФИК: $(basename "${pictures[0]}")" "${texts[0]}" || fail "в текстовой копии нет строки графика"
pdftoppm -png -r 60 "${texts[0]%.txt}.pdf" "$SHOTS/report-page-$SIZE"
echo "Графики трёх аппаратов открыты клавишей F3; график подогревателя добавлен в отчёт."
