// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/paged_text_printer.h"

#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QPageLayout>
#include <QPageSize>

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

PagedTextPrinter::PagedTextPrinter(QPagedPaintDevice* device) : device_(device) {
    // A4 with a modest margin; the report's own left margin of 12 blanks
    // comes on top of it.
    device_->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), QPageLayout::Portrait,
                                       QMarginsF(10, 12, 10, 12), QPageLayout::Millimeter));
}

PagedTextPrinter::~PagedTextPrinter() { Finish(); }

QFont PagedTextPrinter::CurrentFont() const {
    QFont font(FixedPitchFamily());
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(fontSize_ > 0 ? fontSize_ : 9);
    return font;
}

void PagedTextPrinter::SetFontName(const QString& name) {
    fontName_ = name;
    if (painter_) painter_->setFont(CurrentFont());
}

void PagedTextPrinter::SetFontSize(double points) {
    fontSize_ = points;
    if (painter_) painter_->setFont(CurrentFont());
}

bool PagedTextPrinter::Begin() {
    if (painter_) return true;
    if (failed_) return false;
    painter_ = std::make_unique<QPainter>();
    if (!painter_->begin(device_)) {
        painter_.reset();
        failed_ = true;
        return false;
    }
    painter_->setFont(CurrentFont());
    painter_->setPen(Qt::black);
    y_ = 0;
    return true;
}

void PagedTextPrinter::PrintLine(const QString& line) {
    if (!Begin()) return;
    const QFontMetricsF metrics(painter_->font(), device_);
    const double height = metrics.lineSpacing();
    const double pageHeight = device_->height();  // paintable area, device pixels
    if (newPagePending_ || (y_ > 0 && y_ + height > pageHeight)) {
        device_->newPage();
        y_ = 0;
        newPagePending_ = false;
    }
    painter_->drawText(QPointF(0, y_ + metrics.ascent()), line);
    y_ += height;
    ++lineCount_;
}

void PagedTextPrinter::EndDocument() {
    if (painter_) newPagePending_ = true;
}

bool PagedTextPrinter::Finish() {
    if (!painter_) return !failed_;
    const bool ok = painter_->end();
    painter_.reset();
    return ok;
}

}  // namespace heatx
