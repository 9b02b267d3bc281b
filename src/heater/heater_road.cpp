// SPDX-License-Identifier: GPL-3.0-or-later
#include "heater/heater_road.h"

#include "heater/heater_model.h"

namespace heatx {

void BeginHeaterRoad(CalcState& s) {
    FillHeaterCaptions(s);
    s.ResetPrintFlags();
}

QString& HeaterValueText(CalcState& s, int line) { return s.HeaterValueTexts[line]; }

void StoreHeaterLine(CalcState& s, int line, const QString& typed) {
    StoreTypedLine(s.HeaterValueTexts[line], s.InputValues[line], typed);
}

RoadOutcome CheckHeaterSheet(CalcState& s) {
    return SheetOutcome(s, CheckHeaterInput(s));
}

RoadOutcome CheckHeaterConstruction(const CalcState& s) {
    for (int line = kHeaterTypeLine + 1; line < kHeaterRowLines; ++line)
        if (!HeaterConstructiveInRange(line, s.InputValues[line])) return RoadOutcome::Bad(line);
    return RoadOutcome::Computed();
}

RoadOutcome ComputeHeater(CalcState& s, Trace* trace) {
    HeaterModel(s, trace);
    return ModelOutcome(s);
}

RoadOutcome RunHeaterRoad(CalcState& s, std::optional<bool> horizontal, Trace* trace) {
    if (const RoadOutcome sheet = CheckHeaterSheet(s); !sheet.Ok()) return sheet;
    if (!horizontal) return RoadOutcome::Bad(kHeaterTypeLine);
    s.HeaterHorizontal = *horizontal ? kSet : kClear;
    if (const RoadOutcome construction = CheckHeaterConstruction(s); !construction.Ok()) return construction;
    return ComputeHeater(s, trace);
}

RoadOutcome RunHeaterRoad(CalcState& s, std::span<const QString> texts, bool horizontal, Trace* trace) {
    for (int line = 0; line < kHeaterRowLines && line < int(texts.size()); ++line)
        if (line != kHeaterTypeLine) StoreHeaterLine(s, line, texts[std::size_t(line)]);
    return RunHeaterRoad(s, std::optional<bool>(horizontal), trace);
}

}  // namespace heatx
