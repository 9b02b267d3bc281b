// SPDX-License-Identifier: GPL-3.0-or-later
// Evaporator: the fifteen sheet lines and the tube height asked for in the
// design window.
#pragma once

#include "state/calc_state.h"
#include "state/input_line.h"

namespace heatx {

inline constexpr int kEvapSheetLines = 15;
inline constexpr int kEvapHeightLine = 15;

extern const InputLine kEvapLines[15];

void FillEvapCaptions(CalcState& state);

// First failing line among 0-14, or 0; sets CalcError.
uint8_t CheckEvapInput(CalcState& state);

// Tube height between 1 and 10 m, both included.
bool EvapHeightInRange(float height);

// The range a sheet line (0-14) or the tube height (15) lets pass, as the
// student reads it (AllowedRange).
QString EvapAllowedRange(int line);
// The refusal line of a tube height typed so.
QString EvapHeightRefusal(const QString& typed);

}  // namespace heatx
