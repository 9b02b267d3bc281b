// SPDX-License-Identifier: GPL-3.0-or-later
// heatx-batch-pdftext: the text of one PDF for heatx-batch check, read by
// poppler inside bounds of memory and processor time, so that a bomb among a
// class's files costs seconds and megabytes, never the whole check.
//
// Standard input: the PDF (a regular file, opened by the caller).
// Standard output: its text in UTF-8, one line per line feed.
// Exit status 0 when the text is all written; 1 with the reason in UTF-8 on
// standard error. Out of memory or time, poppler is stopped by a signal.
#include "batch/pdf_text.h"

#include <cstdio>
#include <new>
#include <sys/resource.h>
#include <unistd.h>

#if defined(__has_feature)
#if __has_feature(address_sanitizer)
#define HEATX_ADDRESS_SANITIZER 1
#endif
#endif
#if defined(__SANITIZE_ADDRESS__)
#define HEATX_ADDRESS_SANITIZER 1
#endif

namespace {

void Limit(int resource, rlim_t soft, rlim_t hard) {
    const struct rlimit limit {soft, hard};
    setrlimit(resource, &limit);
}

// Bounds set before a byte of the file is looked at.
void ConfineSelf() {
    using heatx::batch::kPdfCpuSeconds;
    Limit(RLIMIT_CORE, 0, 0);
    Limit(RLIMIT_FSIZE, 0, 0);  // writes no file
    // SIGXCPU at the soft limit, SIGKILL a second later.
    Limit(RLIMIT_CPU, kPdfCpuSeconds, kPdfCpuSeconds + 1);
#ifndef HEATX_ADDRESS_SANITIZER
    // An address sanitizer reserves terabytes of shadow memory at start; in
    // such a build only the processor time and the caller's bounds hold.
    Limit(RLIMIT_AS, heatx::batch::kPdfMemoryBytes, heatx::batch::kPdfMemoryBytes);
#endif
}

int Fail(const QString& reason) {
    const QByteArray utf8 = reason.toUtf8();
    std::fwrite(utf8.constData(), 1, static_cast<std::size_t>(utf8.size()), stderr);
    return 1;
}

}  // namespace

int main() {
    ConfineSelf();
    static char buffer[1 << 16];
    std::setvbuf(stdout, buffer, _IOFBF, sizeof buffer);
    QString reason;
    bool written = true;
    try {
        const bool read = heatx::batch::PdfText(STDIN_FILENO, [&written](QStringView line) {
            const QByteArray utf8 = line.toUtf8();
            written = written && std::fwrite(utf8.constData(), 1, static_cast<std::size_t>(utf8.size()), stdout) ==
                                     static_cast<std::size_t>(utf8.size()) &&
                      std::fputc('\n', stdout) != EOF;
        }, &reason);
        if (!read) return Fail(reason);
    } catch (const std::bad_alloc&) {
        return Fail(QStringLiteral("PDF слишком велик или сложен для отчёта: не хватило %1 МБ памяти")
                        .arg(heatx::batch::kPdfMemoryBytes / (1024 * 1024)));
    }
    if (std::fflush(stdout) != 0 || !written) return Fail(QStringLiteral("текст PDF не передан"));
    return 0;
}
