// SPDX-License-Identifier: GPL-3.0-or-later
// Lays report lines out on pages of a paged device (a PDF file or a real
// printer): A4, a fixed-pitch font with Cyrillic glyphs, one text line per
// printed line, never wrapped, a new page when a page is full.
#pragma once

#include "report/printer.h"

#include <QFont>
#include <QPagedPaintDevice>
#include <QPainter>
#include <memory>

namespace heatx {

// The installed fixed-pitch family with Cyrillic glyphs that stands for the
// program's "Courier New Cyr", "Courier New" and "Courier".
QString FixedPitchFamily();

class PagedTextPrinter : public Printer {
public:
    // The device must outlive the printer. Nothing is drawn (and no page or
    // file is made) until the first line.
    explicit PagedTextPrinter(QPagedPaintDevice* device);
    ~PagedTextPrinter() override;

    void SetFontName(const QString& name) override;
    void SetFontSize(double points) override;
    void PrintLine(const QString& line) override;
    // Ends one report: its successor starts on a new page.
    void EndDocument() override;

    // Ends the painting (the file or print job is written). False when the
    // device could not be opened or written.
    bool Finish();
    // False when the device refused to start painting.
    bool IsOpen() const { return !failed_; }
    // Lines printed since construction.
    int LineCount() const { return lineCount_; }

private:
    bool Begin();
    QFont CurrentFont() const;

    QPagedPaintDevice* device_;
    std::unique_ptr<QPainter> painter_;
    QString fontName_;
    double fontSize_ = 9;
    double y_ = 0;
    bool newPagePending_ = false;
    bool failed_ = false;
    int lineCount_ = 0;
};

}  // namespace heatx
