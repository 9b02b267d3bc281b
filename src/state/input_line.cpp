// SPDX-License-Identifier: GPL-3.0-or-later
#include "state/input_line.h"

#include "state/calc_state.h"

namespace heatx {

uint8_t CheckSheet(CalcState& state, const InputLine* lines, int count, bool positivesInFirstPass) {
    state.CalcError = kClear;
    const auto fail = [&state](int i) {
        state.CalcError = kSet;
        return static_cast<uint8_t>(i);
    };
    for (int i = 0; i < count; ++i) {
        if (lines[i].positive && !positivesInFirstPass) continue;
        if (!InRange(state.InputValues[i], lines[i].lower, lines[i].upper)) return fail(i);
    }
    for (int i = 0; i < count; ++i) {
        if (!lines[i].positive) continue;
        const float v = state.InputValues[i];
        if (!(v > 0.0f) || AboveBound(v, lines[i].upper)) return fail(i);
    }
    return 0;
}

}  // namespace heatx
