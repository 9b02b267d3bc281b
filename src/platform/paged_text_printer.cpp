// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/paged_text_printer.h"

#include <QImage>

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>
#include <algorithm>
#include <cmath>

namespace heatx {

QString FixedPitchFamily() {
    static const QString family = [] {
        const QStringList families = QFontDatabase::families(QFontDatabase::Cyrillic);
        for (const char* candidate : {"Liberation Mono", "DejaVu Sans Mono", "FreeMono", "Noto Sans Mono"}) {
            const QString name = QString::fromLatin1(candidate);
            if (families.contains(name)) return name;
        }
        return QFontDatabase::systemFont(QFontDatabase::FixedFont).family();
    }();
    return family;
}

QString PageFoot(int page, int pages) { return QStringLiteral("стр. %1 из %2").arg(page).arg(pages); }

namespace {

// Rows kept free at the foot of a page: one blank, one for the page number.
constexpr int kFootRows = 2;

// The rows of one line on a page `width` wide: the line itself when it fits,
// else as many characters as fit on each row, the rows after the first
// indented by the line's own leading blanks (at most half a row).
void WrapInto(QStringList& rows, const QString& line, const QFontMetricsF& metrics, double width) {
    if (line.isEmpty() || metrics.horizontalAdvance(line) <= width) {
        rows.append(line);
        return;
    }
    const double blank = std::max(1.0, metrics.horizontalAdvance(QLatin1Char(' ')));
    qsizetype indent = 0;
    while (indent < line.size() && line[indent] == QLatin1Char(' ')) ++indent;
    indent = std::min<qsizetype>(indent, qsizetype(width / blank / 2));
    const QString indentText(indent, QLatin1Char(' '));
    QString row;
    double used = 0;
    for (qsizetype i = 0; i < line.size();) {
        // A surrogate pair stays together on one row.
        const qsizetype n = line[i].isHighSurrogate() && i + 1 < line.size() ? 2 : 1;
        const QString piece = line.mid(i, n);
        const double advance = metrics.horizontalAdvance(piece);
        if (used + advance > width && !row.trimmed().isEmpty()) {
            rows.append(row);
            row = indentText;
            used = blank * double(indent);
        }
        row += piece;
        used += advance;
        i += n;
    }
    if (!row.isEmpty()) rows.append(row);
}

}  // namespace

PagedTextPrinter::PagedTextPrinter(QPagedPaintDevice* device) : device_(device) {
    // A4 with a modest margin; the report's own left margin of 12 blanks
    // comes on top of it.
    device_->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                       QMarginsF(10, 12, 10, 12), QPageLayout::Millimeter));
}

PagedTextPrinter::~PagedTextPrinter() { Finish(); }

QFont PagedTextPrinter::FontOf(double points) const {
    QFont font(FixedPitchFamily());
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    // Sizes outside what a page can hold a line in fall back to the report's 9 pt.
    font.setPointSizeF(points > 0 && points <= 72 ? points : 9);
    return font;
}

void PagedTextPrinter::SetFontName(const QString& name) { fontName_ = name; }

void PagedTextPrinter::SetFontSize(double points) { fontSize_ = points; }

bool PagedTextPrinter::Begin() {
    if (painter_) return true;
    if (failed_) return false;
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(device_)) {
        painter_.reset();
        failed_ = true;
        return false;
    }
    painter_->setPen(Qt::black);
    return true;
}

void PagedTextPrinter::PrintLine(const QString& line) {
    if (lines_.isEmpty()) documentFontSize_ = fontSize_;
    lines_.append(line);
    ++lineCount_;
}

void PagedTextPrinter::EndBlock() {
    if (!lines_.isEmpty() && (blockEnds_.isEmpty() || blockEnds_.last() != lines_.size()))
        blockEnds_.append(lines_.size());
}

QList<PagedTextPrinter::Page> PagedTextPrinter::Pages(const QFontMetricsF& metrics) const {
    const double width = device_->width();
    const int rowsPerPage = std::max(1, int(std::floor(device_->height() / metrics.lineSpacing())) - kFootRows);
    QList<Page> pages(1);
    qsizetype from = 0;
    qsizetype nextPicture = 0;
    QList<qsizetype> ends = blockEnds_;
    if (ends.isEmpty() || ends.last() != lines_.size()) ends.append(lines_.size());
    for (const qsizetype to : ends) {
        QStringList rows;
        for (qsizetype i = from; i < to; ++i) WrapInto(rows, lines_[i], metrics, width);
        from = to;
        // A block that does not fit in the rest of the page but fits on a
        // page of its own starts one.
        if (!pages.last().rows.isEmpty() && pages.last().rows.size() + rows.size() > rowsPerPage &&
            rows.size() <= rowsPerPage)
            pages.append(Page());
        for (const QString& row : rows) {
            if (pages.last().rows.size() >= rowsPerPage) pages.append(Page());
            // A page after the first does not begin with empty rows.
            if (pages.size() > 1 && pages.last().rows.isEmpty() && row.trimmed().isEmpty()) continue;
            pages.last().rows.append(row);
        }
        // The pictures after this block, each on its page; the text goes on
        // on the next.
        for (; nextPicture < pictures_.size() && pictures_[nextPicture].first <= to; ++nextPicture) {
            if (pages.last().rows.isEmpty() && pages.last().picture < 0) pages.removeLast();
            pages.append(Page{{}, nextPicture});
            pages.append(Page());
        }
    }
    if (pages.last().rows.isEmpty() && pages.last().picture < 0 && pages.size() > 1) pages.removeLast();
    return pages;
}

void PagedTextPrinter::AddPicture(const QByteArray& png) {
    EndBlock();
    pictures_.append({lines_.size(), png});
}

void PagedTextPrinter::PaintPicture(const QByteArray& png, double height) {
    QImage image;
    if (!image.loadFromData(png, "PNG") || image.isNull()) return;
    const QSizeF room(device_->width(), height);
    const QSizeF size = QSizeF(image.size()).scaled(room, Qt::KeepAspectRatio);
    painter_->drawImage(QRectF(QPointF((room.width() - size.width()) / 2, 0), size), image);
}

void PagedTextPrinter::EndDocument() {
    if (lines_.isEmpty()) return;
    if (Begin()) {
        painter_->setFont(FontOf(documentFontSize_));
        const QFontMetricsF metrics(painter_->font(), device_);
        const QList<Page> pages = Pages(metrics);
        const double footY = device_->height() - metrics.descent();
        for (qsizetype p = 0; p < pages.size(); ++p) {
            if (anyPage_) device_->newPage();
            anyPage_ = true;
            if (pages[p].picture >= 0)
                PaintPicture(pictures_[pages[p].picture].second, device_->height() - kFootRows * metrics.lineSpacing());
            double y = metrics.ascent();
            for (const QString& row : pages[p].rows) {
                painter_->drawText(QPointF(0, y), row);
                y += metrics.lineSpacing();
            }
            const QString foot = PageFoot(int(p + 1), int(pages.size()));
            painter_->drawText(QPointF((device_->width() - metrics.horizontalAdvance(foot)) / 2, footY), foot);
        }
    }
    lines_.clear();
    blockEnds_.clear();
    pictures_.clear();
}

bool PagedTextPrinter::Finish() {
    EndDocument();
    if (!painter_) return !failed_;
    const bool ok = painter_->end();
    painter_.reset();
    return ok;
}

}  // namespace heatx
