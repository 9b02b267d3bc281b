// SPDX-License-Identifier: GPL-3.0-or-later
// The text of a PDF report through poppler.
#pragma once

#include <QString>
#include <QStringView>
#include <functional>

namespace heatx::batch {

// The text of a PDF file, page by page, in reading order with the columns
// kept; false with the reason when it cannot be read.
bool PdfText(const QString& path, const std::function<void(QStringView)>& onLine, QString* reason);

}  // namespace heatx::batch

// The same, as the module heatx-batch-pdftext.so gives it to heatx-batch.
extern "C" bool HeatxBatchPdfText(const QString& path, const std::function<void(QStringView)>& onLine,
                                  QString* reason);
