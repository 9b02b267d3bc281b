// SPDX-License-Identifier: GPL-3.0-or-later
// The text of a PDF report through poppler.
#pragma once

#include <QString>
#include <QStringView>
#include <functional>

namespace heatx::batch {

// A report of the program is a few pages; an answer key of a large group some
// thousands. Anything much bigger is not one of them.
inline constexpr long long kMaxPdfBytes = 64LL * 1024 * 1024;

// The bounds of the helper program that reads the text of one PDF for
// heatx-batch check. A report is a few pages: its text takes some kilobytes,
// poppler some megabytes and a fraction of a second (1000 pages of an answer
// key: 2.2 MB of text, 13 MB and 1.5 s). A file beyond any bound is a
// decompression or drawing bomb, not a report.
inline constexpr long long kPdfMemoryBytes = 512LL * 1024 * 1024;  // address space of the helper
inline constexpr int kPdfCpuSeconds = 10;                          // processor time of the helper
inline constexpr int kPdfWallSeconds = 30;                         // time until its text is all read
inline constexpr long long kPdfTextBytes = 16LL * 1024 * 1024;     // text it may give

// The text of the PDF file open on fd (read from its start), page by page,
// in reading order with the columns kept; false with the reason when it
// cannot be read. Runs poppler in this process: heatx-batch check calls it
// only inside its confined reader (heatx-batch-pdftext).
bool PdfText(int fd, const std::function<void(QStringView)>& onLine, QString* reason);

}  // namespace heatx::batch
