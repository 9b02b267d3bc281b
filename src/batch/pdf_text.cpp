// SPDX-License-Identifier: GPL-3.0-or-later
// The text of a PDF report through poppler: each page in its physical layout,
// so that the columns of a table stay on their lines.
#include "batch/pdf_text.h"

#include <QFile>
#include <QFileInfo>
#include <memory>
#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-page.h>

namespace heatx::batch {

namespace {
// A report of the program is a few pages; an answer key of a large group some
// thousands. Anything much bigger is not one of them.
constexpr qint64 kMaxPdfBytes = 64LL * 1024 * 1024;

void Quiet(const std::string&, void*) {}
}  // namespace

bool PdfText(const QString& path, const std::function<void(QStringView)>& onLine, QString* reason) {
    const QFileInfo info(path);
    if (info.size() > kMaxPdfBytes) {
        *reason = QStringLiteral("PDF больше %1 МБ — отчёт программы не бывает таким").arg(kMaxPdfBytes / (1024 * 1024));
        return false;
    }
    // poppler tells its own complaints on standard error; ours is enough.
    poppler::set_debug_error_function(Quiet, nullptr);
    std::unique_ptr<poppler::document> doc(poppler::document::load_from_file(QFile::encodeName(path).toStdString()));
    if (!doc) {
        *reason = QStringLiteral("PDF не читается (повреждён или пуст)");
        return false;
    }
    if (doc->is_locked()) {
        *reason = QStringLiteral("PDF защищён паролем");
        return false;
    }
    const int pages = doc->pages();
    for (int i = 0; i < pages; ++i) {
        std::unique_ptr<poppler::page> page(doc->create_page(i));
        if (!page) continue;
        const poppler::byte_array utf8 = page->text(page->page_rect(), poppler::page::physical_layout).to_utf8();
        const QString text = QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
        qsizetype start = 0;
        while (start <= text.size()) {
            qsizetype end = text.indexOf(QLatin1Char('\n'), start);
            if (end < 0) end = text.size();
            onLine(QStringView(text).mid(start, end - start));
            start = end + 1;
        }
    }
    return true;
}

}  // namespace heatx::batch

extern "C" __attribute__((visibility("default"))) bool HeatxBatchPdfText(
    const QString& path, const std::function<void(QStringView)>& onLine, QString* reason) {
    return heatx::batch::PdfText(path, onLine, reason);
}
