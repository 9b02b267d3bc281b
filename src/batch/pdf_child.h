// SPDX-License-Identifier: GPL-3.0-or-later
// The text of a PDF read by the helper program heatx-batch-pdftext in a
// process of its own: poppler runs with bounded memory and processor time,
// its text comes through a pipe, bounded in size and in time, line by line,
// and a helper beyond a bound is killed. A PDF that takes more than a report
// ever does is not a report, and the check goes on with the next file.
#pragma once

#include "batch/report_check.h"

namespace heatx::batch {

// The reader for SetPdfTextReader, running the helper program at helperPath.
// A stop signal (stop_signals.h) ends the reading at once.
PdfTextReader ConfinedPdfReader(QString helperPath);

}  // namespace heatx::batch
