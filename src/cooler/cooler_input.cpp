// SPDX-License-Identifier: GPL-3.0-or-later
#include "cooler/cooler_input.h"

namespace heatx {

const InputLine kCoolerLines[18] = {
    // 0
    {u" ТЕПЛОПРОВОДНОСТЬ ТЕПЛОНОСИТЕЛЯ В ТРУБАХ, ВТ/(М*К)        ",
     DoubleBound(0.01), FloatBound(1), false},
    // 1
    {u" ПЛОТНОСТЬ ТЕПЛОНОСИТЕЛЯ В ТРУБАХ, КГ/(М^3)               ",
     DoubleBound(0.01), FloatBound(2000), false},
    // 2
    {u" ВЯЗКОСТЬ ТЕПЛОНОСИТЕЛЯ В ТРУБАХ, ПА*С                    ",
     DoubleBound(0.000003), FloatBound(1), false},
    // 3
    {u" ТЕПЛОЁМКОСТЬ ТЕПЛОНОСИТЕЛЯ В ТРУБАХ, ДЖ/(КГ*К)           ",
     IntBound(500), FloatBound(15000), false},
    // 4
    {u" КОЭФФИЦИЕНТ ОБЪЁМНОГО РАСШИРЕНИЯ, 1/К                    ",
     DoubleBound(0.0001), FloatBound(0.015), false},
    // 5
    {u" МАССОВЫЙ РАСХОД ТЕПЛОНОСИТЕЛЯ В ТРУБАХ, КГ/С             ",
     IntBound(0), FloatBound(500), true},
    // 6
    {u" ТЕПЛОПРОВОДНОСТЬ ТЕПЛОНОСИТЕЛЯ В МЕЖТРУБНОМ ПРОСТРАНСТВЕ, Вт/(M*К)",
     DoubleBound(0.01), FloatBound(1), false},
    // 7
    {u" ВЯЗКОСТЬ ТЕПЛОНОСИТЕЛЯ В МЕЖТРУБНОМ ПРОСТРАНСТВЕ, ПА*С    ",
     DoubleBound(0.000003), FloatBound(1), false},
    // 8
    {u" ТЕПЛОЁМКОСТЬ ТЕПЛОНОСИТЕЛЯ В МЕЖТРУБНОМ ПРОСТРАНСТВЕ, ДЖ/(КГ*К) ",
     IntBound(500), FloatBound(15000), false},
    // 9
    {u" МАССОВЫЙ РАСХОД ТЕПЛОНОСИТЕЛЯ В МЕЖТРУБНОМ ПРОСТРАНСТВЕ, КГ/С ",
     IntBound(0), FloatBound(500), true},
    // 10
    {u" СРЕДНЕЛОГАРИФМИЧЕСКАЯ РАЗНОСТЬ ТЕМПЕРАТУР, ГРАД.ЦЕЛЬСИЯ   ",
     IntBound(0), FloatBound(200), true},
    // 11
    {u" СУММА ТЕРМИЧ.СОПРОТИВЛ.СТЕНКИ ТРУБ И ЗАГРЯЗНЕНИЙ, М^2*К/ВТ",
     DoubleBound(0.00005), FloatBound(0.01), false},
    // 12
    {u" ТЕПЛОВАЯ НАГРУЗКА, ВТ  ",
     IntBound(0), FloatBound(50000000), true},
    // 13
    {u" НАРУЖНЫЙ ДИАМЕТР ТРУБ, М                   ",
     DoubleBound(0.019), FloatBound(0.06), false},
    // 14
    {u" ЧИСЛО ХОДОВ ПО ТРУБНОМУ ПРОСТРАНСТВУ, ШТ.  ",
     IntBound(1), FloatBound(10), false},
    // 15
    {u" КОЭФФИЦИЕНТ,УЧИТЫВАЮЩИЙ СНИЖЕНИЕ СРЕДН.ДВИЖ.СИЛЫ ПРИ СМЕШ.ТОКЕ(БЕЗРАЗМ)",
     DoubleBound(0.0001), FloatBound(1), false},
    // 16
    {u" ЧИСЛО ТРУБ, ШТ.                      ",
     IntBound(10), FloatBound(5000), false},
    // 17
    {u" ПЛОЩАДЬ НАИБОЛЕЕ УЗКОГО СЕЧЕНИЯ ПОТОКА В МТР. ПР-ВЕ, М^2 ",
     DoubleBound(0.001), FloatBound(0.4), false},};

namespace {
struct Range {
    Bound lower;
    Bound upper;
};
// Lines 13-17 changed in the design window.
constexpr Range kCoolerChangeRanges[5] = {
    {FloatBound(0.019), FloatBound(0.06)},  {FloatBound(1), FloatBound(10)},
    {FloatBound(0.001), FloatBound(1)},     {FloatBound(10), FloatBound(5000)},
    {FloatBound(0.001), FloatBound(0.4)},
};
bool IsConstructive(int line) {
    return line >= kCoolerFirstConstructive && line <= kCoolerLastConstructive;
}
}  // namespace

void FillCoolerCaptions(CalcState& state) {
    state.CoolerCaptions = Captions(kCoolerLines);
}

uint8_t CheckCoolerInput(CalcState& state) {
    return CheckSheet(state, kCoolerLines, kCoolerSheetLines, true);
}

bool CoolerFirstEntryInRange(int line, float value) {
    if (!IsConstructive(line)) return false;
    return InRange(value, kCoolerLines[line].lower, kCoolerLines[line].upper);
}

QString CoolerAllowedRange(int line, bool change) {
    if (line < 0 || line > kCoolerLastConstructive) return {};
    if (change && IsConstructive(line)) {
        const Range& r = kCoolerChangeRanges[line - kCoolerFirstConstructive];
        return AllowedRange(r.lower, r.upper, false);
    }
    return AllowedRange(kCoolerLines[line]);
}

QString CoolerRefusal(int line, const QString& typed, bool change) {
    if (line < 0 || line > kCoolerLastConstructive) return {};
    return RefusalLine(Caption(kCoolerLines[line]), typed, CoolerAllowedRange(line, change));
}

bool CoolerChangeInRange(int line, float value) {
    if (!IsConstructive(line)) return false;
    const Range& r = kCoolerChangeRanges[line - kCoolerFirstConstructive];
    return InRange(value, r.lower, r.upper);
}

}  // namespace heatx
