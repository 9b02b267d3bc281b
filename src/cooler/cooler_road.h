// SPDX-License-Identifier: GPL-3.0-or-later
// The cooler's one road from typed texts to results, taken by the windows, by
// heatx-batch and by its check: each typed line stored as an input box
// stores it, the sheet checked (lines 0-12), the constructive lines 13-17 in
// the order they are asked for, then the model.
#pragma once

#include "cooler/cooler_input.h"
#include "state/calc_state.h"
#include "state/road_outcome.h"
#include "state/trace.h"

#include <QString>
#include <span>

namespace heatx {

// Lines of a cooler row: the sheet, the construction.
inline constexpr int kCoolerRowLines = 18;

// The ranges a constructive value is held to: those of its first entry after
// the sheet, those of a change in the design window, or either (a printed
// block may come from both).
enum class CoolerRanges { FirstEntry, Change, Either };

// The start of a cooler's road: its captions stored, the print flags reset.
void BeginCoolerRoad(CalcState& state);
void StoreCoolerLine(CalcState& state, int line, const QString& typed);
QString& CoolerValueText(CalcState& state, int line);
// The sheet check: the first bad line in BadLineIndex, CalcError set.
RoadOutcome CheckCoolerSheet(CalcState& state);
// One constructive line (13-17) within its ranges.
bool CoolerConstructiveInRange(int line, float value, CoolerRanges ranges);
// The constructive lines in prompt order: the first outside its ranges.
RoadOutcome CheckCoolerConstruction(const CalcState& state, CoolerRanges ranges);
// The model on a checked sheet: ModelFailed when a result is not a number.
RoadOutcome ComputeCooler(CalcState& state, Trace* trace = nullptr);
// The road on stored lines: sheet, construction, model.
RoadOutcome RunCoolerRoad(CalcState& state, CoolerRanges ranges, Trace* trace = nullptr);
// The whole road from the texts of lines 0-17.
RoadOutcome RunCoolerRoad(CalcState& state, std::span<const QString> texts, CoolerRanges ranges,
                          Trace* trace = nullptr);

}  // namespace heatx
