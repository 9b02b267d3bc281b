// SPDX-License-Identifier: GPL-3.0-or-later
// Checking a saved report against the calculation core: the text copy the
// windows program saves beside its PDF, the PDF itself (its text extracted),
// or the text and PDF reports of heatx-batch.
//
// Every head gives the input lines as printed; every block (heater, cooler)
// or table row (evaporator) gives the construction. Each block is computed
// again from those texts with the same core and printed again with the same
// report routine; the printed lines and the new ones must agree, numbers to
// one unit of their last printed digit. A line outside its range, a model
// that cannot run, a head without any block, a broken block or a line the
// program never prints is a mismatch.
#pragma once

#include "batch/apparatus.h"

#include <QString>
#include <QStringList>
#include <QStringView>
#include <functional>
#include <vector>

namespace heatx::batch {

// One value (or line) that differs from what the program prints.
struct Difference {
    int block = 0;     // 1-based number of the block or row in the file
    QString quantity;  // what differs, in Russian
    QString printed;   // as it stands in the report
    QString computed;  // what the program prints for these inputs
};

// The inputs of one complete head: the apparatus and its sheet value texts.
struct ReportHead {
    Apparatus type = Apparatus::Heater;
    QStringList texts;
    QString student;
    QString label;  // the variant name heatx-batch printed before the head, if any
};

struct ReportSummary {
    bool isReport = false;
    QString reason;  // why the file is not a report
    QString student;
    QString date;  // yyyy-MM-dd HH:mm:ss when it reads, else as printed
    QStringList apparatus;  // in order of appearance, each once
    int blocks = 0;
    int mismatches = 0;
    std::vector<Difference> differences;  // the first kMaxKeptDifferences
};

inline constexpr int kMaxKeptDifferences = 1000;

// Reads a report line by line. Memory stays bounded whatever is fed: only the
// current head and block are kept.
class ReportChecker {
public:
    // onHead is called for each complete head, in file order.
    explicit ReportChecker(std::function<void(const ReportHead&)> onHead = {});
    ~ReportChecker();
    ReportChecker(const ReportChecker&) = delete;
    ReportChecker& operator=(const ReportChecker&) = delete;

    void Line(QStringView line);
    // True once the file has gone on too long without any report head: the
    // rest need not be read.
    bool GaveUp() const;
    ReportSummary Finish();

private:
    struct Impl;
    Impl* d_;
};

// The whole check of a text already in memory (tests, small files).
ReportSummary CheckReportText(QStringView text, const std::function<void(const ReportHead&)>& onHead = {});

// Reads a file: a PDF (by its first bytes) through its extracted text, any
// other file as UTF-8 text. Never fails: a file that cannot be read or is not
// a report gives isReport false and the reason. Anything but a regular file
// (or a link to one) is refused before it is opened.
ReportSummary CheckReportFile(const QString& path, const std::function<void(const ReportHead&)>& onHead = {});

// Reads the text of the PDF open on fd line by line; false with the reason
// when it cannot be read.
using PdfTextReader =
    std::function<bool(int fd, const std::function<void(QStringView)>& onLine, QString* reason)>;
// The reader CheckReportFile uses for PDFs (poppler, in a confined helper
// program of its own: see pdf_child.h). Without one a PDF is not read and
// says so.
void SetPdfTextReader(PdfTextReader reader);

}  // namespace heatx::batch
