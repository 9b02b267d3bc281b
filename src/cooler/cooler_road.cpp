// SPDX-License-Identifier: GPL-3.0-or-later
#include "cooler/cooler_road.h"

#include "cooler/cooler_model.h"

namespace heatx {

void BeginCoolerRoad(CalcState& s) {
    FillCoolerCaptions(s);
    s.ResetPrintFlags();
}

QString& CoolerValueText(CalcState& s, int line) { return s.CoolerValueTexts[line]; }

void StoreCoolerLine(CalcState& s, int line, const QString& typed) {
    StoreTypedLine(s.CoolerValueTexts[line], s.InputValues[line], typed);
}

RoadOutcome CheckCoolerSheet(CalcState& s) {
    return SheetOutcome(s, CheckCoolerInput(s));
}

bool CoolerConstructiveInRange(int line, float value, CoolerRanges ranges) {
    switch (ranges) {
    case CoolerRanges::FirstEntry: return CoolerFirstEntryInRange(line, value);
    case CoolerRanges::Change: return CoolerChangeInRange(line, value);
    case CoolerRanges::Either: return CoolerFirstEntryInRange(line, value) || CoolerChangeInRange(line, value);
    }
    return false;
}

RoadOutcome CheckCoolerConstruction(const CalcState& s, CoolerRanges ranges) {
    for (int line = kCoolerFirstConstructive; line <= kCoolerLastConstructive; ++line)
        if (!CoolerConstructiveInRange(line, s.InputValues[line], ranges)) return RoadOutcome::Bad(line);
    return RoadOutcome::Computed();
}

RoadOutcome ComputeCooler(CalcState& s, Trace* trace) {
    // Only a checked sheet leads here, so the flag tells the model's outcome.
    s.CalcError = kClear;
    CoolerModel(s, trace);
    return ModelOutcome(s);
}

RoadOutcome RunCoolerRoad(CalcState& s, CoolerRanges ranges, Trace* trace) {
    if (const RoadOutcome sheet = CheckCoolerSheet(s); !sheet.Ok()) return sheet;
    if (const RoadOutcome construction = CheckCoolerConstruction(s, ranges); !construction.Ok()) return construction;
    return ComputeCooler(s, trace);
}

RoadOutcome RunCoolerRoad(CalcState& s, std::span<const QString> texts, CoolerRanges ranges, Trace* trace) {
    for (int line = 0; line < kCoolerRowLines && line < int(texts.size()); ++line)
        StoreCoolerLine(s, line, texts[std::size_t(line)]);
    return RunCoolerRoad(s, ranges, trace);
}

}  // namespace heatx
