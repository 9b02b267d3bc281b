// SPDX-License-Identifier: GPL-3.0-or-later
// A block of a saved report computed again: the state after the road the
// windows take for the printed texts.
#pragma once

#include "batch/apparatus.h"
#include "batch/row_runner.h"
#include "state/calc_state.h"

#include <QStringList>

namespace heatx::batch {

// sheet: the value texts of the head; construction: the printed numbers of
// the block (read with any decimal mark), the heater's type apart. Cooler
// constructive values are accepted in the range of either the first entry or
// a later change, as the design window accepts them.
RowResult Recompute(Apparatus type, const QStringList& sheet, const QStringList& construction, bool horizontal);

}  // namespace heatx::batch
