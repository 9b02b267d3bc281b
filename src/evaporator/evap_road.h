// SPDX-License-Identifier: GPL-3.0-or-later
// The evaporator's one road from typed texts to results, taken by the
// windows, by heatx-batch and by its check: each typed line stored as an
// input box stores it, the sheet checked (lines 0-14), the tube height (line
// 15), then the model, which iterates for the heat flux.
#pragma once

#include "evaporator/evap_input.h"
#include "state/calc_state.h"
#include "state/road_outcome.h"
#include "state/trace.h"

#include <QString>
#include <functional>
#include <span>

namespace heatx {

// Lines of an evaporator row: the sheet, the tube height.
inline constexpr int kEvapRowLines = 16;

// The start of an evaporator's road: its captions stored, the print flags reset.
void BeginEvapRoad(CalcState& state);
void StoreEvapLine(CalcState& state, int line, const QString& typed);
QString& EvapValueText(CalcState& state, int line);
// The sheet check: the first bad line in BadLineIndex, CalcError set.
RoadOutcome CheckEvapSheet(CalcState& state);
// The tube height between 1 and 10 m.
RoadOutcome CheckEvapHeight(const CalcState& state);
// The model: ModelFailed when the iterations find no heat flux; beep sounds
// where the model beeps.
RoadOutcome ComputeEvap(CalcState& state, const std::function<void()>& beep = {}, Trace* trace = nullptr);
// The road on stored lines: sheet, height, model.
RoadOutcome RunEvapRoad(CalcState& state, Trace* trace = nullptr);
// The whole road from the texts of lines 0-15.
RoadOutcome RunEvapRoad(CalcState& state, std::span<const QString> texts, Trace* trace = nullptr);

}  // namespace heatx
