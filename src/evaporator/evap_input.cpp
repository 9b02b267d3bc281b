// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaporator/evap_input.h"

namespace heatx {

const InputLine kEvapLines[15] = {
    // 0
    {u" ТЕПЛОПРОВОДНОСТЬ КОНДЕНСАТА, ВТ/(М*К)        ",
     DoubleBound(0.04), FloatBound(0.8), false},
    // 1
    {u" ПЛОТНОСТЬ КОНДЕНСАТА, КГ/(М^3)               ",
     IntBound(800), FloatBound(1100), false},
    // 2
    {u" УДЕЛЬНАЯ ТЕПЛОТА КОНДЕНСАЦИИ, ДЖ/КГ          ",
     IntBound(1500000), FloatBound(2500000), false},
    // 3
    {u" ВЯЗКОСТЬ КОНДЕНСАТА, ПА*С                    ",
     DoubleBound(0.00001), FloatBound(0.0015), false},
    // 4
    {u" ТЕПЛОПРОВОДНОСТЬ ЖИДКОСТИ, ВТ/(М*К)          ",
     DoubleBound(0.05), FloatBound(1), false},
    // 5
    {u" ПЛОТНОСТЬ ЖИДКОСТИ, КГ/(М^3)                 ",
     IntBound(300), FloatBound(2000), false},
    // 6
    {u" ТЕПЛОЁМКОСТЬ ЖИДКОСТИ, ДЖ/(КГ*К)             ",
     IntBound(500), FloatBound(4500), false},
    // 7
    {u" ВЯЗКОСТЬ ЖИДКОСТИ, ПА*С                      ",
     DoubleBound(0.00005), FloatBound(0.1), false},
    // 8
    {u" ПОВЕРХНОСТНОЕ НАТЯЖЕНИЕ ЖИДКОСТИ, Н/М        ",
     DoubleBound(0.001), FloatBound(0.2), false},
    // 9
    {u" ПЛОТНОСТЬ ПАРОВ ЖИДКОСТИ ПРИ ТЕМПЕРАТУРЕ КИПЕНИЯ, КГ/(М^3)",
     DoubleBound(0.01), FloatBound(100), false},
    // 10
    {u" ПЛОТНОСТЬ ПАРОВ ЖИДКОСТИ ПРИ АТМ. ДАВЛЕНИИ, КГ/(М^3)",
     DoubleBound(0.1), FloatBound(10), false},
    // 11
    {u" УДЕЛЬНАЯ ТЕПЛОТА ПАРООБРАЗОВАНИЯ ЖИДКОСТИ, ДЖ/КГ ",
     IntBound(50000), FloatBound(2500000), false},
    // 12
    {u" СРЕДНЯЯ РАЗНОСТЬ ТЕМПЕРАТУР, ГРАД.ЦЕЛЬСИЯ    ",
     IntBound(0), FloatBound(100), true},
    // 13
    {u" СУММА ТЕРМИЧ.СОПРОТИВЛ.СТЕНКИ ТРУБ И ЗАГРЯЗНЕНИЙ, М^2*К/ВТ",
     DoubleBound(0.00005), FloatBound(0.01), false},
    // 14
    {u" ТЕПЛОВАЯ НАГРУЗКА, ВТ                        ",
     IntBound(0), FloatBound(50000000), true},};

void FillEvapCaptions(CalcState& state) {
    state.EvapCaptions = Captions(kEvapLines);
}

uint8_t CheckEvapInput(CalcState& state) {
    return CheckSheet(state, kEvapLines, kEvapSheetLines, true);
}

namespace {
constexpr Bound kHeightFrom = IntBound(1);
constexpr Bound kHeightTo = IntBound(10);
}  // namespace

bool EvapHeightInRange(float height) { return InRange(height, kHeightFrom, kHeightTo); }

QString EvapAllowedRange(int line) {
    if (line == kEvapHeightLine) return AllowedRange(kHeightFrom, kHeightTo, false);
    if (line < 0 || line >= kEvapSheetLines) return {};
    return AllowedRange(kEvapLines[line]);
}

QString EvapHeightRefusal(const QString& typed) {
    return RefusalLine(QStringLiteral("ВЫСОТА ТРУБ, М"), typed, EvapAllowedRange(kEvapHeightLine));
}

}  // namespace heatx
