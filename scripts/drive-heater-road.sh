#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Drives a whole heater road of heatx under Xvfb with real mouse clicks and
# key presses (xdotool), takes screenshots of every window on the way and
# checks the saved report against an independent computation of the heater.
#
#   scripts/drive-heater-road.sh [SCREENSHOT_FOLDER]
#
# HEATX names the program (default build/release/src/shell/heatx). Needs
# Xvfb, openbox, xdotool, ImageMagick and poppler-utils (scripts/packages.txt).
set -euo pipefail
cd "$(dirname "$0")/.."
HEATX=${HEATX:-build/release/src/shell/heatx}
SHOTS=${1:-}
# shellcheck source=scripts/xdrive-lib.sh
source scripts/xdrive-lib.sh

START="^НАЧАЛО РАБОТЫ С ПРОГРАММОЙ$"
window "$START" >/dev/null
pause 1
window_size "$START" outer 12000 9000
shot 01-start

click "$START" $(centre 1189 6000 2415 615)           # ОПИСАНИЕ ПРОГРАММЫ
window_size "^Описание программы$" client 8820 6960
shot 02-description
click "^Описание программы$" $(centre 1920 5640 4095 375)   # ПРОДОЛЖЕНИЕ РАБОТЫ

click "$START" $(centre 4793 6000 2415 615)           # ВВОД ИСХОДНОЙ ИНФОРМАЦИИ
window "^ВВОД ФАМИЛИИ$" >/dev/null
pause
# Letters outside the keyboard map are typed slowly, or xdotool loses some.
xdotool type --delay 150 "иванов и.и. гр. х-10"
shot 03-surname
answer ""

MENU="^Form4$"
window "$MENU" >/dev/null
window_size "$MENU" client 8985 5325
shot 04-menu
click "$MENU" $(centre 2520 2040 3495 495)            # ПОДОГРЕВАТЕЛЬ ИЛИ ДЕФЛЕГМАТОР

# First pass with a wrong line 0 (a conductivity of 0,04 is refused).
values=("0,04" "932" "2171000" "0,000212" "0,5" "0,642" "0,000549" "4180" "0,0005" "60" "5")
for i in "${!values[@]}"; do
    window "^ВВОД ИСХОДНОЙ ИНФОРМАЦИИ$" >/dev/null
    [ "$i" = 5 ] && { pause; xdotool type --delay 20 "${values[$i]}"; shot 05-sheet-entry; answer ""; continue; }
    answer "${values[$i]}"
done
SHEET="ВВОД ИСХОДНОЙ ИНФОРМАЦИИ$"
pause 1
window_size "$SHEET" outer 12000 8000
shot 06-sheet-red
# The keep button is centred on the inner width of a 10000-twip window.
click "$SHEET" $(centre $(((10000 - 120 - 4335) / 2)) 5520 4335 375)   # НЕ ИЗМЕНЯЕТЕ
window "^Form5$" >/dev/null
pause
window_size "^Form5$" outer 5895 1500
shot 07-error-dialog
click "^Form5$" $(centre 960 720 1095 255)            # Да
shot 08-sheet-edit
click "ПРОВЕРКА ВВОДА" 1500 $((1200 + 195 / 2))       # line 0 of the list
answer "0,686"
shot 09-sheet-corrected
click "ПРОВЕРКА ВВОДА" $(centre $((9285 / 2 - 2055 / 2)) 4800 2055 375)   # КОНЕЦ ИСПРАВЛЕНИЙ

DESIGN="^Form9$"
window "$DESIGN" >/dev/null
pause
# The window grows below its buttons to hold «ГРАФИК»: a client area of 7710
# twips in this manager's frame (21 pixels of title bar and border).
window_size "$DESIGN" outer 8640 8025
shot 10-design-type-choice
click "$DESIGN" $(centre 1000 1200 2055 375)          # ГОРИЗОНТАЛЬНЫЙ
answer "0,025"
answer "2"
window "^ВВОД КОНСТРУКТИВН" >/dev/null
pause
xdotool type --delay 20 "3"
shot 11-design-construction-entry
answer ""
answer "100"
pause
shot 12-design-results
click "$DESIGN" $(centre 1920 4440 5175 375)          # ПЕЧАТЬ
click "$DESIGN" $(centre 1920 5880 5175 375)          # ПЕРЕХОД К РАСЧЁТУ ДРУГОГО ТЕПЛООБМЕННИКА
window "ОТЧЁТ СОХРАНЁН|ПЕЧАТЬ ОТЧЁТА|ОТЧЁТ НЕ НАПЕЧАТАН" >/dev/null
pause
shot 13-report-saved
xdotool key Return
pause

# Second pass, every line right: the green sheet, a vertical apparatus.
window "$MENU" >/dev/null
click "$MENU" $(centre 2520 2040 3495 495)
values[0]="0,686"
for i in "${!values[@]}"; do
    window "^ВВОД ИСХОДНОЙ ИНФОРМАЦИИ$" >/dev/null
    answer "${values[$i]}"
done
pause 1
shot 14-sheet-green
click "$SHEET" $(centre $(((10000 - 120 - 4335) / 2)) 5520 4335 375)   # НЕ ИЗМЕНЯЕТЕ
click "$DESIGN" $(centre 4000 1200 2055 375)          # ВЕРТИКАЛЬНЫЙ
for v in "0,025" "2" "3" "100"; do answer "$v"; done
pause
shot 15-design-results-vertical
click "$DESIGN" $(centre 1920 4920 5175 375)          # ИЗМЕНЕНИЕ КОНСТРУКТИВНЫХ ПАРАМЕТРОВ
shot 16-design-construction-list
# The list is 7000 twips wide, centred; line 4 is the number of tubes.
click "$DESIGN" 4000 $((1000 + 60 + 4 * 195 + 90))
answer "500"
click "$DESIGN" $(centre $(((8640 - 120 - 2175) / 2)) 2400 2175 375)  # ПЕРЕХОД К РАСЧЕТУ
pause
shot 17-design-reynolds-warning
click "$DESIGN" $(centre 1920 4920 5175 375)
click "$DESIGN" 4000 $((1000 + 60 + 4 * 195 + 90))
answer "100"
click "$DESIGN" $(centre $(((8640 - 120 - 2175) / 2)) 2400 2175 375)
click "$DESIGN" $(centre 1920 4440 5175 375)          # ПЕЧАТЬ
pause
# Resident memory after the whole road, before the end of the program.
echo "Резидентная память после дороги подогревателя: $(( $(ps -o rss= -p "$HEATX_PID") / 1024 )) МБ"
click "$DESIGN" $(centre 1920 6720 5175 375)          # ОКОНЧАНИЕ РАБОТЫ С ПРОГРАММОЙ
await_end

# Two reports: a horizontal and a vertical apparatus.
saved_reports 2
if [ -n "$SHOTS" ]; then
    pdftoppm -png -r 80 -f 1 -l 1 "${texts[1]%.txt}.pdf" "$WORK/page"
    cp "$WORK"/page-1.png "$SHOTS/18-report-page.png"
fi

# The independent computation: tube side Nu = 0.023 Re^0.8 Pr^0.43 (Re above
# 10000), film condensation alpha = C lambda (rho^2 n l / (G mu))^(1/3) with
# C = 2.02 * 0.7 on a horizontal bundle (l = L) and 3.78 on vertical tubes
# (l = d), K = 1 / (1/alpha_t + sum r + 1/alpha_s), F = G r / (K dt).
expected() {
    awk -v vertical="$1" 'BEGIN {
        lc = 0.686; rho = 932; r = 2171000; muc = 0.000212; gs = 0.5
        ll = 0.642; mul = 0.000549; cl = 4180; sr = 0.0005; dt = 60; gl = 5
        d = 0.025; z = 2; len = 3; n = 100; pi = 3.14159265358979; din = d - 0.004
        re = 4 * gl * z / (pi * din * mul * n)
        at = 0.023 * exp(0.8 * log(re)) * ll / din * exp(0.43 * log(cl * mul / ll))
        if (vertical) { c = 3.78; l = d } else { c = 2.02 * 0.7; l = len }
        as = c * lc * exp(log(rho * rho * n * l / (gs * muc)) / 3)
        k = 1 / (1 / at + sr + 1 / as)
        f = gs * r / (k * dt)
        printf "%.2f %.2f %.2f %.2f %.2f\n", at, as, k, f, re
    }' | tr . ,
}
for i in 0 1; do
    want=$(expected "$i")
    got=$(grep -E '^ +\| +[0-9]' "${texts[$i]}" | tr -d '|' | awk '{print $1, $2, $3, $4, $5}')
    [ "$got" = "$want" ] || fail "отчёт $((i + 1)): в отчёте «$got», расчёт даёт «$want»"
    echo "Отчёт $((i + 1)): $got — совпадает с независимым расчётом"
done
grep -q "Иванов И.и. Гр. Х-10" "${texts[0]}" || fail "в отчёте нет строки студента"
echo "Дорога подогревателя пройдена мышью и клавиатурой; отчёты сохранены как PDF и текст."
