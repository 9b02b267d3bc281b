// SPDX-License-Identifier: GPL-3.0-or-later
// Cooler: the eighteen lines (thirteen sheet lines, five constructive lines)
// and their range checks.
#pragma once

#include "state/calc_state.h"
#include "state/input_line.h"

namespace heatx {

inline constexpr int kCoolerSheetLines = 13;
inline constexpr int kCoolerFirstConstructive = 13;
inline constexpr int kCoolerLastConstructive = 17;

// Lines 0-17; the bounds of 13-17 are those of the first entry.
extern const InputLine kCoolerLines[18];

void FillCoolerCaptions(CalcState& state);

// First failing line among 0-12, or 0; sets CalcError.
uint8_t CheckCoolerInput(CalcState& state);

// Range of a constructive line (13-17) when first entered after the sheet
// (lower bounds 8-byte floats or integers) ...
bool CoolerFirstEntryInRange(int line, float value);
// ... and when changed in the design window (4-byte floats on both sides).
bool CoolerChangeInRange(int line, float value);

// The range a line lets pass, as the student reads it (AllowedRange): lines
// 0-12 on the sheet, 13-17 at their first entry or, with change, in the
// design window.
QString CoolerAllowedRange(int line, bool change = false);
// The refusal line of a constructive value (13-17) typed so.
QString CoolerRefusal(int line, const QString& typed, bool change);

}  // namespace heatx
