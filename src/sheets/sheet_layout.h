// SPDX-License-Identifier: GPL-3.0-or-later
// Where the input sheets put their lines, in twips. One sheet line is 195
// twips high on the list, on the window surface and down the column of
// input boxes.
#pragma once

namespace heatx::sheet_layout {

inline constexpr double kLineStep = 195;
inline constexpr double kSurfaceLeft = 530;  // lines printed on the surface
inline constexpr double kSurfaceTop = 1210;  // line 0 printed on the surface
inline constexpr double kListTop = 1200;     // the list, and the bad-line marker over line 0
inline constexpr double kPromptTop = 1680;   // the input box of line 0 on first entry

// The input box that asks for line i on first entry; an edit of line i asks
// one line lower.
constexpr int FirstEntryPromptY(int line) { return static_cast<int>(kPromptTop + kLineStep * line); }
constexpr int EditPromptY(int line) { return FirstEntryPromptY(line + 1); }
// Line i printed on the surface, and the marker laid over it in the list.
constexpr double SurfaceY(int line) { return kSurfaceTop + kLineStep * line; }
constexpr double MarkerY(int line) { return kListTop + kLineStep * line; }

}  // namespace heatx::sheet_layout
