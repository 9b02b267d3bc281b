// SPDX-License-Identifier: GPL-3.0-or-later
// The printer the reports write to: plain lines of text in a fixed-pitch
// font. The program never starts a page itself; the printer starts a new page
// when one is full. Implementations: the real printer or PDF of the windows
// program, the text and PDF output of heatx-batch, and a recording printer in
// tests.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace heatx {

class Printer {
public:
    virtual ~Printer() = default;
    virtual void SetFontName(const QString& name) = 0;
    virtual void SetFontSize(double points) = 0;
    // One line; the printer moves to the next line after it.
    virtual void PrintLine(const QString& line) = 0;
    // The document is complete: the pages go out.
    virtual void EndDocument() = 0;
    // One printed block (a head and its rows, or one more row) is complete.
    // A printer that keeps a copy on disk writes the block now, so a crash
    // after a print loses no printed line.
    virtual void EndBlock() {}
    // The program ends: an open document is ended as by EndDocument, and
    // whatever the printer still holds (a report it could not send or save
    // before) must go out now, because nothing is kept after this call.
    virtual void EndSession() { EndDocument(); }
    // A picture (a chart) on a page of its own after the current block: png
    // is what the page shows, svg is kept beside it. The document gets one
    // line naming the picture file. The picture file's path, or empty with
    // *error when the printer holds no printed block to put it after, keeps
    // no files, or could not save it.
    virtual QString PrintPicture(const QByteArray& png, const QByteArray& svg, QString* error) {
        (void)png;
        (void)svg;
        *error = QStringLiteral("этот принтер не печатает рисунков");
        return {};
    }
    // The path of the open document's text copy on disk; empty before its
    // first block (and for a printer that keeps none).
    virtual QString CopyPath() const { return {}; }
};

// Keeps every printed line; a finished document is moved to documents.
class RecordingPrinter : public Printer {
public:
    void SetFontName(const QString& name) override { fontName = name; }
    void SetFontSize(double points) override { fontSize = points; }
    void PrintLine(const QString& line) override { lines.append(line); }
    void EndDocument() override {
        documents.append(lines);
        lines.clear();
    }
    void EndBlock() override { blockEnds.append(lines.size()); }
    void EndSession() override {
        if (!lines.isEmpty()) EndDocument();
        ++sessionEnds;
    }

    QString fontName;
    double fontSize = 0;
    QStringList lines;               // lines of the open document
    QList<QStringList> documents;    // ended documents
    QList<qsizetype> blockEnds;      // lines of the open document at each end of a block
    int sessionEnds = 0;
};

}  // namespace heatx
