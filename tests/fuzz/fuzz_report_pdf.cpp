// SPDX-License-Identifier: GPL-3.0-or-later
// The report printer's PDF, painted in memory, from any lines: the first
// byte gives the font size (zero, negative and very large sizes included),
// the rest is UTF-8 text, one report line per text line, with control
// characters, invalid bytes, right-to-left marks and very long lines. Every
// document must come out as one whole PDF with one to as many pages as lines.
#include "platform/qt_report_printer.h"

#include <QGuiApplication>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <cstdlib>

namespace {
void Check(bool ok) {
    if (!ok) std::abort();
}
// Bounds the work per input: lines and bytes the harness takes.
constexpr size_t kMaxBytes = 16384;
constexpr qsizetype kMaxLines = 150;
}  // namespace

extern "C" int LLVMFuzzerInitialize(int* argc, char*** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static QGuiApplication app(*argc, *argv);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    const double fontSize = (int(data[0]) - 32) / 4.0;  // -8 to 55.75 points
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data + 1),
                                           qsizetype(std::min(size - 1, kMaxBytes)));
    QStringList lines = text.split(QLatin1Char('\n'));
    if (lines.size() > kMaxLines) lines.resize(kMaxLines);

    const QByteArray pdf = heatx::PaintReportPdf(QStringLiteral("Отчёт (подогреватель)"),
                                                 QStringLiteral("Courier New Cyr"), fontSize, lines);
    Check(pdf.startsWith("%PDF-") && pdf.trimmed().endsWith("%%EOF"));
    const qsizetype pages = pdf.count("/Type /Page\n") + pdf.count("/Type /Page ");
    Check(pages >= 1 && pages <= lines.size());
    return 0;
}
