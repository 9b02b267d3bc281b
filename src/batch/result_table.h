// SPDX-License-Identifier: GPL-3.0-or-later
// The answer table of heatx-batch: a header line, then one line per variant
// with its status, its first bad line and the result cells.
#pragma once

#include "batch/apparatus.h"
#include "batch/row_runner.h"
#include "batch/table_output.h"

#include <QStringView>
#include <string>
#include <string_view>

namespace heatx::batch {

// Header line of the results table and one result line (no line feed).
std::string ResultHeader(Apparatus type);
std::string ResultLine(Apparatus type, const RowResult& row);

// The same as table cells; with withId (and id) the variant's name first.
void WriteResultHeader(TableWriter& table, Apparatus type, bool withId);
// False once the output has failed.
bool WriteResultRow(TableWriter& table, Apparatus type, const RowResult& row, const std::string_view* id);

// Numbers of the results table: the 4-byte value with 9 significant digits,
// C locale.
std::string FormatNumber(float value);

// The results table of a file's text: header and one line per variant, each
// ending with a line feed.
std::string ResultsTable(Apparatus type, QStringView text);

}  // namespace heatx::batch
