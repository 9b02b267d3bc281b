// SPDX-License-Identifier: GPL-3.0-or-later
#include "evaporator/evap_road.h"

#include "evaporator/evap_model.h"

namespace heatx {

void BeginEvapRoad(CalcState& s) {
    FillEvapCaptions(s);
    s.ResetPrintFlags();
}

QString& EvapValueText(CalcState& s, int line) { return s.EvapValueTexts[line]; }

void StoreEvapLine(CalcState& s, int line, const QString& typed) {
    StoreTypedLine(s.EvapValueTexts[line], s.InputValues[line], typed);
}

RoadOutcome CheckEvapSheet(CalcState& s) {
    return SheetOutcome(s, CheckEvapInput(s));
}

RoadOutcome CheckEvapHeight(const CalcState& s) {
    return EvapHeightInRange(s.InputValues[kEvapHeightLine]) ? RoadOutcome::Computed()
                                                             : RoadOutcome::Bad(kEvapHeightLine);
}

RoadOutcome ComputeEvap(CalcState& s, const std::function<void()>& beep, Trace* trace) {
    EvapModel(s, beep, trace);
    return ModelOutcome(s);
}

RoadOutcome RunEvapRoad(CalcState& s, Trace* trace) {
    if (const RoadOutcome sheet = CheckEvapSheet(s); !sheet.Ok()) return sheet;
    if (const RoadOutcome height = CheckEvapHeight(s); !height.Ok()) return height;
    return ComputeEvap(s, {}, trace);
}

RoadOutcome RunEvapRoad(CalcState& s, std::span<const QString> texts, Trace* trace) {
    for (int line = 0; line < kEvapRowLines && line < int(texts.size()); ++line)
        StoreEvapLine(s, line, texts[std::size_t(line)]);
    return RunEvapRoad(s, trace);
}

}  // namespace heatx
