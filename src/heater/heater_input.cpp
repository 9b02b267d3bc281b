// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/heater_input.h"

#include <algorithm>

namespace heatx {

namespace {
constexpr Bound kNoBound = IntBound(0);
}

const InputLine kHeaterLines[17] = {
    // 0
    {u" ТЕПЛОПРОВОДНОСТЬ КОНДЕНСАТА, ВТ/(М*К)        ",
     DoubleBound(0.04), FloatBound(1), false},
    // 1
    {u" ПЛОТНОСТЬ КОНДЕНСАТА, КГ/(М^3)               ",
     IntBound(300), FloatBound(2000), false},
    // 2
    {u" УДЕЛЬНАЯ ТЕПЛОТА КОНДЕНСАЦИИ, ДЖ/КГ          ",
     DoubleBound(500000), FloatBound(2500000), false},
    // 3
    {u" ВЯЗКОСТЬ КОНДЕНСАТА, ПА*С                    ",
     DoubleBound(0.00005), FloatBound(0.1), false},
    // 4
    {u" РАСХОД ПАРА, КГ/С                            ",
     DoubleBound(0.00000001), FloatBound(200), false},
    // 5
    {u" ТЕПЛОПРОВОДНОСТЬ ЖИДКОСТИ В ТРУБАХ, ВТ/(М*К) ",
     DoubleBound(0.01), FloatBound(1), false},
    // 6
    {u" ВЯЗКОСТЬ ЖИДКОСТИ В ТРУБАХ, ПА*С            ",
     DoubleBound(0.000003), FloatBound(0.1), false},
    // 7
    {u" ТЕПЛОЁМКОСТЬ ЖИДКОСТИ В ТРУБАХ, ДЖ/(КГ*К)    ",
     IntBound(500), FloatBound(15000), false},
    // 8
    {u" СУММА ТЕРМИЧ.СОПРОТИВЛ.СТЕНКИ ТРУБ И ЗАГРЯЗНЕНИЙ, М^2*К/ВТ",
     DoubleBound(0.00005), FloatBound(0.01), false},
    // 9
    {u" СРЕДНЯЯ РАЗНОСТЬ ТЕМПЕРАТУР, ГРАД.ЦЕЛЬСИЯ   ",
     IntBound(0), FloatBound(150), true},
    // 10
    {u" РАСХОД ЖИДКОСТИ, КГ/С                       ",
     IntBound(0), FloatBound(500), true},
    // 11
    {u" ТИП ТЕПЛООБМЕННИКА   ",
     kNoBound, kNoBound, false},
    // 12
    {u" НАРУЖНЫЙ ДИАМЕТР ТРУБ, М                   ",
     FloatBound(0.019), FloatBound(0.06), false},
    // 13
    {u" ЧИСЛО ХОДОВ ПО ТРУБНОМУ ПРОСТРАНСТВУ, ШТ.  ",
     FloatBound(0.99), FloatBound(10.01), false},
    // 14
    {u" ДЛИНА ТРУБ, М                              ",
     FloatBound(0.99), FloatBound(10.01), false},
    // 15
    {u" ОБЩЕЕ ЧИСЛО ТРУБ, ШТ.                      ",
     FloatBound(9.9), FloatBound(5000), false},
    // 16
    {u" ВЫСОТА ТРУБ, М                             ",
     kNoBound, kNoBound, false},};

void FillHeaterCaptions(CalcState& state) {
    state.HeaterCaptions = Captions(kHeaterLines);
}

uint8_t CheckHeaterInput(CalcState& state) {
    return CheckSheet(state, kHeaterLines, kHeaterSheetLines, false);
}

bool HeaterConstructiveInRange(int line, float value) {
    if (line < 12 || line > 15) return false;
    return InRange(value, kHeaterLines[line].lower, kHeaterLines[line].upper);
}

QString HeaterAllowedRange(int line) {
    if (line < 0 || line > 15 || line == kHeaterTypeLine) return {};
    return AllowedRange(kHeaterLines[line]);
}

QString HeaterRefusal(const CalcState& state, int line, const QString& typed) {
    const QString caption = line == 14 ? HeaterLengthCaption(state) : Caption(kHeaterLines[std::clamp(line, 0, 16)]);
    return RefusalLine(caption, typed, HeaterAllowedRange(line));
}

QString HeaterLengthCaption(const CalcState& state) {
    return state.HeaterHorizontal != kClear ? state.HeaterCaptions[14]
                                            : state.HeaterCaptions[kHeaterHeightCaption];
}

}  // namespace heatx
