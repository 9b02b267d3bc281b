// SPDX-License-Identifier: GPL-3.0-or-later
// What the road of an apparatus gives, from typed texts to results: the state
// checked and computed, the first line outside its range, or a model that
// cannot run for these inputs. The program's own flags (CalcError,
// BadLineIndex) are set on the way as they always were; this is the same
// outcome as one value a front end can hand on.
#pragma once

#include "state/calc_state.h"

#include <cstdint>

namespace heatx {

struct RoadOutcome {
    enum class Kind : uint8_t { Computed, BadLine, ModelFailed };
    Kind kind = Kind::Computed;
    int line = -1;  // the first bad line when kind is BadLine

    bool Ok() const { return kind == Kind::Computed; }
    static RoadOutcome Computed() { return {}; }
    static RoadOutcome Bad(int line) { return {Kind::BadLine, line}; }
    static RoadOutcome ModelFailed() { return {Kind::ModelFailed, -1}; }
};

// The outcome of a sheet check that named badLine and set CalcError; the line
// goes into BadLineIndex, where the windows read it.
inline RoadOutcome SheetOutcome(CalcState& state, uint8_t badLine) {
    state.BadLineIndex = badLine;
    return state.CalcError != kClear ? RoadOutcome::Bad(badLine) : RoadOutcome::Computed();
}

// The outcome of a model run by the flag it leaves.
inline RoadOutcome ModelOutcome(const CalcState& state) {
    return state.CalcError != kClear ? RoadOutcome::ModelFailed() : RoadOutcome::Computed();
}

}  // namespace heatx
