// SPDX-License-Identifier: GPL-3.0-or-later
// Heater or dephlegmator: the seventeen lines (eleven sheet lines, the
// apparatus type, four constructive lines and the tube-height caption) and
// their range checks.
#pragma once

#include "state/calc_state.h"
#include "state/input_line.h"

namespace heatx {

inline constexpr int kHeaterSheetLines = 11;  // lines 0-10 are on the sheet
inline constexpr int kHeaterTypeLine = 11;
inline constexpr int kHeaterHeightCaption = 16;

// Lines 0-16. Lines 11 and 16 carry a caption only; 12-15 are the
// constructive lines, each checked on its own while typed.
extern const InputLine kHeaterLines[17];

// Stores the seventeen captions in HeaterCaptions.
void FillHeaterCaptions(CalcState& state);

// First failing line among 0-10, or 0; sets CalcError.
uint8_t CheckHeaterInput(CalcState& state);

// A constructive value (lines 12-15) within its range; floats on both sides.
bool HeaterConstructiveInRange(int line, float value);

// The range line (0-10 on the sheet, 12-15 constructive) lets pass, as the
// student reads it (AllowedRange).
QString HeaterAllowedRange(int line);
// The refusal line of a constructive value (12-15) typed so, under the
// caption it was asked with.
QString HeaterRefusal(const CalcState& state, int line, const QString& typed);

// Caption under which line 14 is prompted and shown: the tube length of a
// horizontal apparatus or the tube height of a vertical one.
QString HeaterLengthCaption(const CalcState& state);

}  // namespace heatx
