// SPDX-License-Identifier: GPL-3.0-or-later
// The text of a PDF report through poppler: each page in its physical layout,
// so that the columns of a table stay on their lines.
#include "batch/pdf_text.h"

#include <cerrno>
#include <memory>
#include <poppler-document.h>
#include <poppler-global.h>
#include <poppler-page.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace heatx::batch {

namespace {

void Quiet(const std::string&, void*) {}

// The whole file from its start; false with the reason.
bool ReadAll(int fd, std::vector<char>& bytes, QString* reason) {
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        *reason = QStringLiteral("PDF не читается: это не обычный файл");
        return false;
    }
    if (st.st_size > kMaxPdfBytes) {
        *reason = QStringLiteral("PDF больше %1 МБ — отчёт программы не бывает таким").arg(kMaxPdfBytes / (1024 * 1024));
        return false;
    }
    bytes.resize(static_cast<std::size_t>(st.st_size));
    std::size_t got = 0;
    while (got < bytes.size()) {
        const ssize_t n = ::pread(fd, bytes.data() + got, bytes.size() - got, static_cast<off_t>(got));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            *reason = QStringLiteral("ошибка чтения PDF");
            return false;
        }
        got += static_cast<std::size_t>(n);
    }
    return true;
}

void SplitLines(const QString& text, const std::function<void(QStringView)>& onLine) {
    qsizetype start = 0;
    while (start <= text.size()) {
        qsizetype end = text.indexOf(QLatin1Char('\n'), start);
        if (end < 0) end = text.size();
        onLine(QStringView(text).mid(start, end - start));
        start = end + 1;
    }
}

}  // namespace

bool PdfText(int fd, const std::function<void(QStringView)>& onLine, QString* reason) {
    std::vector<char> bytes;
    if (!ReadAll(fd, bytes, reason)) return false;
    // poppler tells its own complaints on standard error; ours is enough.
    poppler::set_debug_error_function(Quiet, nullptr);
    std::unique_ptr<poppler::document> doc(
        poppler::document::load_from_raw_data(bytes.data(), static_cast<int>(bytes.size())));
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
        SplitLines(QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size())), onLine);
    }
    return true;
}

}  // namespace heatx::batch
