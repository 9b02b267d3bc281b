// SPDX-License-Identifier: GPL-3.0-or-later
// The tables heatx-batch writes a row a variant into: the results table, and
// the table of the traces (heatx-batch trace), one column a step of the
// model's run, for a spreadsheet beside a hand calculation.
#pragma once

#include "batch/apparatus.h"
#include "batch/input_reader.h"
#include "batch/row_runner.h"
#include "batch/table_output.h"
#include "state/trace.h"

#include <QString>
#include <functional>
#include <vector>

namespace heatx::batch {

struct RowTable {
    bool traced = false;  // the rows need the trace of their run
    std::function<void(TableWriter&)> header;
    // False once the output has failed.
    std::function<bool(TableWriter&, const RowResult&, const Trace&, const Record&)> row;
};

RowTable ResultTableWriter(Apparatus type, bool withId);
// message tells of a variant whose loop ran longer than the table has
// columns for (its first passes and its end are in the row).
RowTable TraceTableWriter(Apparatus type, bool withId, std::function<void(const QString&)> message);

// One column of the trace table: the value stored under symbol by the step
// key, or, with an empty symbol, the choice the step made.
struct TraceColumn {
    QString header;
    QString key;
    QString symbol;
};
// The columns of an apparatus: its steps in the order of the run, the loop's
// steps for as many passes as the table holds.
std::vector<TraceColumn> TraceColumns(Apparatus type);
// Passes of a loop (evaporator iterations, cooler corrections) with columns.
int TraceTablePasses(Apparatus type);

}  // namespace heatx::batch
