// SPDX-License-Identifier: GPL-3.0-or-later
// Lays report lines out on pages of a paged device (a PDF file or a real
// printer): A4, a fixed-pitch font with Cyrillic glyphs, one text line per
// printed line, a new page when a page is full.
//
// A document is laid out when it ends, so that its pages can carry their
// numbers ("стр. 2 из 3" at the foot) and its blocks stay whole: the lines
// between two ends of a block (a head and its first block, one more block, an
// evaporator's table header with its first row) start a new page rather than
// break across one, unless they are longer than a page. A line wider than the
// page goes on over further rows, indented as the line itself. Only the
// document being printed is held in memory.
#pragma once

#include "report/printer.h"

#include <QFont>
#include <QByteArray>
#include <QList>
#include <QPagedPaintDevice>
#include <QPainter>
#include <QStringList>
#include <memory>

namespace heatx {

// The installed fixed-pitch family with Cyrillic glyphs that stands for the
// program's "Courier New Cyr", "Courier New" and "Courier".
QString FixedPitchFamily();

// The foot line of page `page` of `pages` (both from 1).
QString PageFoot(int page, int pages);

class PagedTextPrinter : public Printer {
public:
    // The device must outlive the printer. Nothing is drawn (and no page or
    // file is made) until a document with a line ends.
    explicit PagedTextPrinter(QPagedPaintDevice* device);
    ~PagedTextPrinter() override;

    void SetFontName(const QString& name) override;
    void SetFontSize(double points) override;
    void PrintLine(const QString& line) override;
    // The lines since the last end of a block form one block.
    void EndBlock() override;
    // A picture (PNG) on a page of its own after the lines printed so far,
    // which end a block; it is scaled to the page, its proportions kept.
    void AddPicture(const QByteArray& png);
    // Ends one report: it is laid out and painted; its successor starts on a
    // new page.
    void EndDocument() override;

    // Paints a document not yet ended and ends the painting (the file or
    // print job is written). False when the device could not be opened or
    // written.
    bool Finish();
    // False when the device refused to start painting.
    bool IsOpen() const { return !failed_; }
    // Lines printed since construction.
    int LineCount() const { return lineCount_; }

private:
    bool Begin();
    QFont FontOf(double points) const;
    // A page of the pending document: rows of text, or one picture.
    struct Page {
        QStringList rows;
        qsizetype picture = -1;  // index into pictures_
    };
    QList<Page> Pages(const QFontMetricsF& metrics) const;
    void PaintPicture(const QByteArray& png, double height);

    QPagedPaintDevice* device_;
    std::unique_ptr<QPainter> painter_;
    QString fontName_;
    double fontSize_ = 9;
    // The document being printed: its lines, the line counts at each end of
    // a block, and the font size its first line was printed in.
    QStringList lines_;
    QList<qsizetype> blockEnds_;
    // Pictures of the document: the line count they follow, the PNG.
    QList<std::pair<qsizetype, QByteArray>> pictures_;
    double documentFontSize_ = 9;
    bool anyPage_ = false;
    bool failed_ = false;
    int lineCount_ = 0;
};

}  // namespace heatx
