// SPDX-License-Identifier: GPL-3.0-or-later
// The heater's one road from typed texts to results, taken by the windows
// (line by line, as the student types and presses the buttons), by
// heatx-batch (a row at a time) and by its check (a printed block computed
// again): each typed line stored as an input box stores it, the sheet checked
// (lines 0-10), the apparatus type (line 11), the constructive lines 12-15 in
// the order they are asked for, then the model.
#pragma once

#include "heater/heater_input.h"
#include "state/calc_state.h"
#include "state/road_outcome.h"
#include "state/trace.h"

#include <QString>
#include <optional>
#include <span>

namespace heatx {

// Lines of a heater row: the sheet, the type, the construction.
inline constexpr int kHeaterRowLines = 16;

// The start of a heater's road: its captions stored, the print flags reset.
void BeginHeaterRoad(CalcState& state);
// A typed answer for line 0-10 or 12-15: its value text and its 4-byte value.
void StoreHeaterLine(CalcState& state, int line, const QString& typed);
QString& HeaterValueText(CalcState& state, int line);
// The sheet check: the first bad line in BadLineIndex, CalcError set.
RoadOutcome CheckHeaterSheet(CalcState& state);
// The constructive lines in prompt order: the first outside its range.
RoadOutcome CheckHeaterConstruction(const CalcState& state);
// The model: ModelFailed when the tube Reynolds number is not above 2300 or a
// result is not a finite number. A trace, when given, gets the model's steps.
RoadOutcome ComputeHeater(CalcState& state, Trace* trace = nullptr);
// The road on stored lines: sheet, type (none: line 11 is bad), construction,
// model.
RoadOutcome RunHeaterRoad(CalcState& state, std::optional<bool> horizontal, Trace* trace = nullptr);
// The whole road from the texts of lines 0-15 (line 11 is not read).
RoadOutcome RunHeaterRoad(CalcState& state, std::span<const QString> texts, bool horizontal,
                          Trace* trace = nullptr);

}  // namespace heatx
