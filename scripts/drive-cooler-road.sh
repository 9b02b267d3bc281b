#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Drives cooler roads of heatx under Xvfb with real mouse clicks and key
# presses (xdotool), takes screenshots of every cooler window on the way and
# checks the saved reports against an independent computation of the cooler.
#
#   scripts/drive-cooler-road.sh [SCREENSHOT_FOLDER]
#
# HEATX names the program (default build/release/src/shell/heatx). Needs
# Xvfb, openbox, xdotool, ImageMagick and poppler-utils (scripts/packages.txt).
set -euo pipefail
cd "$(dirname "$0")/.."
HEATX=${HEATX:-build/release/src/shell/heatx}
SHOTS=${1:-}
# shellcheck source=scripts/xdrive-lib.sh
source scripts/xdrive-lib.sh

BOX="^ВВОД ИСХОДНОЙ ИНФОРМАЦИИ$"
CONSTRUCTIVE="^ВВОД КОНСТРУКТИВНЫХ ОСОБЕННОСТЕЙ АППАРАТА$"
CHANGE="^ ?ИЗМЕНЕНИЕ КОНСТРУКТИВН. ОСОБЕННОСТЕЙ АППАРАТА$"
ERROR="^ОШИБКА !$"
SHEET="^ +ВВОД ИСХОДНОЙ ИНФОРМАЦИИ$"
CHECKED="^ +ПРОВЕРКА ВВОДА ИСХОДНОЙ ИНФОРМАЦИИ$"
DESIGN="^РАСЧЁТ ХОЛОДИЛЬНИКОВ$"
MENU="^Form4$"

# The sheet's buttons stay where its 10000-twip window of the load put them.
KEEP=$(centre $(((10000 - 120 - 4335) / 2)) 5520 4335 375)
END_CORRECTIONS=$(centre $((5000 - 4095 / 2)) 4800 2055 375)
YES=$(centre 960 720 1095 255)
# The design window's buttons.
PRINT=$(centre 2760 4680 5175 375)
CHANGE_CONSTRUCTION=$(centre 2760 5160 5175 375)
CHANGE_PROPERTIES=$(centre 2760 5640 5175 375)
OTHER=$(centre 2760 6120 5175 375)
END=$(centre 2760 6720 5175 375)
CALCULATE=$(centre $(((12000 - 120 - 2175) / 2)) 2400 2175 375)
# Line i of a sheet list whose top is 1200 twips (lines 195 twips apart).
sheet_line() { echo $(($1 + 1500)) $((1200 + 15 + 195 * $2 + 97)); }
# Line k of the construction list (top 1000, lines 225 twips apart).
construction_line() { echo 2000 $((1000 + 15 + 225 * $1 + 112)); }

window "^НАЧАЛО РАБОТЫ С ПРОГРАММОЙ$" >/dev/null
pause 1
click "^НАЧАЛО РАБОТЫ С ПРОГРАММОЙ$" $(centre 4793 6000 2415 615)   # ВВОД ИСХОДНОЙ ИНФОРМАЦИИ
window "^ВВОД ФАМИЛИИ$" >/dev/null
pause
# Letters outside the keyboard map are typed slowly, or xdotool loses some.
xdotool type --delay 150 "петров п.п. гр. х-11"
answer ""

# The first cooler: water in the tubes, a light oil around them. Lines 3 and
# 7 are typed wrong (a heat capacity of 100, a viscosity "abc").
window "$MENU" >/dev/null
click "$MENU" $(centre 2520 2760 3495 495)            # ХОЛОДИЛЬНИК
values=("0,6" "998" "0,001" "100" "0,0003" "14" "0,13" "abc" "2000" "5" "30" "0,0005" "350000")
for i in "${!values[@]}"; do
    window "$BOX" >/dev/null
    [ "$i" = 6 ] && { pause; xdotool type --delay 20 "${values[$i]}"; shot cooler-01-sheet-entry; answer ""; continue; }
    answer "${values[$i]}"
done
pause 1
window_size "$SHEET" outer 19200 15360                # the whole screen
shot cooler-02-sheet-red
click "$SHEET" $KEEP                                  # НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ
window "$CHECKED" >/dev/null                          # the dialog, titled by the keep button
pause
shot cooler-03-error-dialog
click "$CHECKED" $YES                                 # Да: line 3 is asked for at once
window "$BOX" >/dev/null
pause
shot cooler-04-bad-line-asked
answer "4180"
pause
shot cooler-05-sheet-edit-red                         # line 7 is still wrong
click "$SHEET" $END_CORRECTIONS                       # КОНЕЦ ИСПРАВЛЕНИЙ
window "^Form14$" >/dev/null
pause
window_size "^Form14$" outer 5895 1500
shot cooler-06-sheet-error-view
click "^Form14$" $YES
answer_box "$BOX" "0,002"
pause
shot cooler-07-sheet-corrected
click "$CHECKED" $END_CORRECTIONS

# The construction; a diameter of 0,019 is refused at first entry.
answer_box "$CONSTRUCTIVE" "0,019"
window "$ERROR" >/dev/null
pause
shot cooler-08-refused-value
xdotool key Return                                    # Да: asked again
answer_box "$CONSTRUCTIVE" "0,025"
answer_box "$CONSTRUCTIVE" "2"
window "$CONSTRUCTIVE" >/dev/null
pause
xdotool type --delay 20 "0,9"
shot cooler-09-construction-entry
answer ""
answer_box "$CONSTRUCTIVE" "100"
answer_box "$CONSTRUCTIVE" "0,02"
window "$DESIGN" >/dev/null
pause
window_size "$DESIGN" outer 12000 8000
shot cooler-10-design-results
xdotool key F2                                        # ХОД РАСЧЁТА
window "^ХОД РАСЧЁТА$" >/dev/null
pause 1
shot cooler-19-trace-window
xdotool key Escape
pause
click "$DESIGN" $PRINT                                # block 1

# 120 tubes by the keyboard; in the design window 0,0005 is refused.
click "$DESIGN" $CHANGE_CONSTRUCTION
pause
shot cooler-11-construction-list
xdotool key Down Down Down Return
answer_box "$CHANGE" "120"
click "$DESIGN" $(construction_line 2)
answer_box "$CHANGE" "0,0005"
window "$ERROR" >/dev/null
pause
xdotool key Return
answer_box "$CHANGE" "0,9"
pause
shot cooler-12-construction-changed
click "$DESIGN" $CALCULATE                            # ПЕРЕХОД К РАСЧЕТУ
click "$DESIGN" $PRINT                                # block 2

# Back to the sheet: twice the load, the construction asked for again.
click "$DESIGN" $CHANGE_PROPERTIES
window "^ +ИЗМЕНЕНИЕ ИСХОДНОЙ ИНФОРМАЦИИ$" >/dev/null
pause
window_size "^ +ИЗМЕНЕНИЕ ИСХОДНОЙ ИНФОРМАЦИИ$" outer 12000 8000
shot cooler-13-sheet-reopened
click "ИЗМЕНЕНИЕ ИСХОДНОЙ ИНФОРМАЦИИ$" $(sheet_line 940 12)
answer_box "$BOX" "700000"
click "ИЗМЕНЕНИЕ ИСХОДНОЙ ИНФОРМАЦИИ$" $END_CORRECTIONS
for v in "0,025" "2" "0,9" "100" "0,02"; do answer_box "$CONSTRUCTIVE" "$v"; done
window "$DESIGN" >/dev/null
pause
click "$DESIGN" $PRINT                                # head 2, block 3
click "$DESIGN" $OTHER                                # ПЕРЕХОД К РАСЧЁТУ ДРУГОГО ТЕПЛООБМЕННИКА
window "ОТЧЁТ СОХРАНЁН|ПЕЧАТЬ ОТЧЁТА|ОТЧЁТ НЕ НАПЕЧАТАН" >/dev/null
pause
shot cooler-14-report-saved
xdotool key Return
pause

# The second cooler: 1 kg/s in one pass, laminar in the tubes; the sheet is
# right the first time.
window "$MENU" >/dev/null
click "$MENU" $(centre 2520 2760 3495 495)
values[3]="4180"; values[5]="1"; values[7]="0,002"
for i in "${!values[@]}"; do answer_box "$BOX" "${values[$i]}"; done
pause 1
shot cooler-15-sheet-green
click "$SHEET" $KEEP
answer_box "$CONSTRUCTIVE" "0,025"
answer_box "$CONSTRUCTIVE" "1"
window "$CONSTRUCTIVE" >/dev/null
pause
shot cooler-16-sheet-construction
for v in "0,9" "100" "0,02"; do answer_box "$CONSTRUCTIVE" "$v"; done
window "$DESIGN" >/dev/null
pause
shot cooler-17-design-results-laminar
click "$DESIGN" $PRINT
click "$DESIGN" $END                                  # ОКОНЧАНИЕ РАБОТЫ С ПРОГРАММОЙ
await_end

saved_reports 2
if [ -n "$SHOTS" ]; then
    pdftoppm -png -r 80 -f 1 -l 1 "${texts[0]%.txt}.pdf" "$WORK/page"
    cp "$WORK"/page-1.png "$SHOTS/cooler-18-report-page.png"
fi

# The independent computation, in double precision. Tubes: Re1 = 4 G1 z /
# (pi n mu1 d_in), d_in = d - 0.004; Nu = 0.023 Re^0.8 Pr^0.43 above 10000,
# 0.008 Re^0.9 Pr^0.43 above 2300, else 0.15 Re^0.33 Pr^0.43 Gr^0.1 with
# Gr = d_in^3 g rho^2 beta / mu^2, corrected by (q / alpha_1)^0.1 with
# q = K eps dt while K grows by more than 10 %. Shell: Re2 = d G2 / (S mu2),
# Nu = 0.24 Re^0.6 Pr^0.36 above 1000, else 0.336 Re^0.5 Pr^0.36, on d.
# K = 1 / (1/alpha_1 + sum r + 1/alpha_2), F = Q / (eps dt K).
expected() {
    awk -v g1="$1" -v q="$2" -v z="$3" -v n="$4" 'BEGIN {
        l1 = 0.6; r1 = 998; m1 = 0.001; c1 = 4180; b = 0.0003
        l2 = 0.13; m2 = 0.002; c2 = 2000; g2 = 5; dt = 30; sr = 0.0005
        d = 0.025; e = 0.9; s = 0.02; pi = 3.14159265358979; din = d - 0.004
        re1 = 4 * g1 * z / (pi * n * m1 * din)
        pr1 = c1 * m1 / l1
        gr = din ^ 3 * 9.81 * r1 ^ 2 * b / m1 ^ 2
        if (re1 < 2300) a1 = 0.15 * l1 / din * re1 ^ 0.33 * pr1 ^ 0.43 * gr ^ 0.1
        else if (re1 < 10000) a1 = 0.008 * l1 / din * re1 ^ 0.9 * pr1 ^ 0.43
        else a1 = 0.023 * l1 / din * re1 ^ 0.8 * pr1 ^ 0.43
        re2 = d * g2 / (s * m2)
        pr2 = c2 * m2 / l2
        if (re2 <= 1000) a2 = 0.336 * l2 / d * sqrt(re2) * pr2 ^ 0.36
        else a2 = 0.24 * l2 / d * re2 ^ 0.6 * pr2 ^ 0.36
        k = 1 / (1 / a2 + sr + 1 / a1)
        if (re1 < 2300) {
            a0 = a1
            do { kp = k; a1 = a0 * (e * dt * k / a1) ^ 0.1; k = 1 / (1 / a2 + sr + 1 / a1) } while ((k - kp) / k > 0.1)
        }
        printf "%.2f %.2f %.2f %.2f %.2f %.2f\n", a1, a2, k, q / (e * dt * k), re1, re2
    }' | tr . ,
}
check() {
    local file=$1 row=$2 want got
    want=$(expected "$3" "$4" "$5" "$6")
    got=$(grep -E '^ +\| +[0-9]' "$file" | sed -n "${row}p" | tr -d '|' | awk '{print $1, $2, $3, $4, $5, $6}')
    [ "$got" = "$want" ] || fail "$(basename "$file"), строка результатов $row: в отчёте «$got», расчёт даёт «$want»"
    echo "$(basename "$file"), строка $row: $got — совпадает с независимым расчётом"
}
check "${texts[0]}" 1 14 350000 2 100
check "${texts[0]}" 2 14 350000 2 120
check "${texts[0]}" 3 14 700000 2 100
check "${texts[1]}" 1 1 350000 1 100
[ "$(grep -c 'Расчет холодильника' "${texts[0]}")" = 2 ] || fail "в первом отчёте не две шапки"
grep -q "Петров П.п. Гр. Х-11" "${texts[0]}" || fail "в отчёте нет строки студента"
echo "Дороги холодильника пройдены мышью и клавиатурой; отчёты сохранены как PDF и текст."
