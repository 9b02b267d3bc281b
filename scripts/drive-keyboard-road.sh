#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Drives the whole heater road of heatx under Xvfb and openbox from the
# keyboard alone: Tab, Shift+Tab, the arrow keys, Return, Space and typing,
# never the mouse. Every step first checks that the focus is where a student
# would expect it. Takes a few screenshots on the way (the focus on the start
# window, the error dialog over its sheet, a whole input box title, the
# results, the message about the saved report) and checks the saved reports.
#
#   scripts/drive-keyboard-road.sh [SCREENSHOT_FOLDER]
#
# HEATX names the program (default build/release/src/shell/heatx). Needs
# Xvfb, openbox, xdotool, ImageMagick (scripts/packages.txt).
set -euo pipefail
cd "$(dirname "$0")/.."
HEATX=${HEATX:-build/release/src/shell/heatx}
SHOTS=${1:-}
# shellcheck source=scripts/xdrive-lib.sh
source scripts/xdrive-lib.sh

START="^НАЧАЛО РАБОТЫ С ПРОГРАММОЙ$"
MENU="^Form4$"
BOX="^ВВОД ИСХОДНОЙ ИНФОРМАЦИИ$"
SHEET="ВВОД ИСХОДНОЙ ИНФОРМАЦИИ$"
CHECKED="ПРОВЕРКА ВВОДА ИСХОДНОЙ ИНФОРМАЦИИ$"
DESIGN="^Form9$"

# Keys pressed on the window that has the focus, a moment apart.
keys() {
    local k
    for k in "$@"; do xdotool key "$k"; pause 0.3; done
}
# The window with the keyboard focus must be the one whose title matches.
focused() {
    local name
    for _ in $(seq 50); do
        name=$(xdotool getwindowfocus getwindowname 2>/dev/null || true)
        [[ $name =~ $1 ]] && return 0
        sleep 0.1
    done
    fail "фокус не в окне «$1», а в «$name»"
}
# The screenshot of the window with the focus and what stands around it.
shot_focus() { pause; shot "$1"; }

# The start window opens with the focus on "ОКОНЧАНИЕ РАБОТЫ": Tab goes to
# "ВВОД ИСХОДНОЙ ИНФОРМАЦИИ", Return presses it.
window "$START" >/dev/null
focused "$START"
pause 1
keys Tab
shot_focus keyboard-01-start-focus
keys Return
window "^ВВОД ФАМИЛИИ$" >/dev/null
focused "^ВВОД ФАМИЛИИ$"
pause
# Letters outside the keyboard map are typed slowly, or xdotool loses some.
xdotool type --delay 150 "иванов и.и. гр. х-10"
answer ""

# The menu: the end button has the focus; Tab, Tab is the heater.
window "$MENU" >/dev/null
focused "$MENU"
keys Tab Tab Return

# The sheet, line 0 wrong (a conductivity of 0,04 is refused).
values=("0,04" "932" "2171000" "0,000212" "0,5" "0,642" "0,000549" "4180" "0,0005" "60" "5")
for i in "${!values[@]}"; do
    window "$BOX" >/dev/null
    answer "${values[$i]}"
done
# The red keep button has the focus: Return, and the error dialog opens over
# the sheet with the focus on "Да".
window "$SHEET" >/dev/null
focused "$SHEET"
keys Return
window "^Form5$" >/dev/null
focused "^Form5$"
shot_focus keyboard-02-error-dialog
keys Return
# Editing: the list has the focus, line 0 current; Return asks for it.
focused "$CHECKED"
keys Return
window "$BOX" >/dev/null
answer "0,686"
# Tab to "КОНЕЦ ИСПРАВЛЕНИЙ", Return.
keys Tab Return

# The design window: the focus on "ГОРИЗОНТАЛЬНЫЙ"; the construction.
window "$DESIGN" >/dev/null
focused "$DESIGN"
keys Return
answer "0,025"
answer "2"
window "^ВВОД КОНСТРУКТИВН" >/dev/null
pause
xdotool type --delay 20 "3"
shot_focus keyboard-03-construction-box
answer ""
answer "100"
# Results: the focus on "ПЕЧАТЬ"; after it on the change of the construction.
focused "$DESIGN"
shot_focus keyboard-04-results
keys Return Return
# The construction list: line 4 (the number of tubes) by the arrow keys.
keys Down Down Down Down Return
window "^ИЗМЕНЕНИЕ КОНСТРУКТИВН" >/dev/null
answer "120"
# Tab to "ПЕРЕХОД К РАСЧЕТУ", Return: the results again, print them.
keys Tab Return Return
# Another exchanger: from "ИЗМЕНЕНИЕ КОНСТРУКТИВНЫХ ПАРАМЕТРОВ" two Tabs.
keys Tab Tab Return
window "ОТЧЁТ СОХРАНЁН|ПЕЧАТЬ ОТЧЁТА|ОТЧЁТ НЕ НАПЕЧАТАН" >/dev/null
shot_focus keyboard-05-report-saved
keys Return

# Second pass, every line right: the green sheet has the focus on the edit
# button; Shift+Tab to the keep button, then a vertical apparatus.
window "$MENU" >/dev/null
focused "$MENU"
keys Tab Tab Return
values[0]="0,686"
for i in "${!values[@]}"; do
    window "$BOX" >/dev/null
    answer "${values[$i]}"
done
window "$SHEET" >/dev/null
focused "$SHEET"
keys shift+Tab Return
window "$DESIGN" >/dev/null
focused "$DESIGN"
keys Tab Return
for v in "0,025" "2" "3" "100"; do answer "$v"; done
focused "$DESIGN"
# Print, then from the change of the construction three Tabs to the end.
keys Return Tab Tab Tab Return
await_end

# Two reports: 120 tubes, horizontal; 100 tubes, vertical.
saved_reports 2
grep -q "Иванов И.и. Гр. Х-10" "${texts[0]}" || fail "в отчёте нет строки студента"
grep -q "ГОРИЗОНТАЛЬНЫЙ" "${texts[0]}" || fail "первый отчёт не о горизонтальном аппарате"
grep -q "ВЕРТИКАЛЬНЫЙ" "${texts[1]}" || fail "второй отчёт не о вертикальном аппарате"
[ "$(grep -c '120' "${texts[0]}")" -ge 1 ] || fail "в первом отчёте нет 120 труб"
# Screenshots kept small: 64 colours without dithering.
if [ -n "$SHOTS" ]; then
    for f in "$SHOTS"/keyboard-0*.png; do convert "$f" +dither -colors 64 "$f"; done
fi
echo "Дорога подогревателя пройдена одной клавиатурой; отчёты сохранены."
