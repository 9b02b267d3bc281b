// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/pictures.h"

#include "platform/fonts.h"

#include <QDir>
#include <QFileInfo>
#include <QFontMetrics>
#include <QImageReader>
#include <QPainter>

namespace heatx {

namespace {
const QColor kRed(255, 0, 0);
const QColor kGreen(0, 255, 0);
const QColor kYellow(255, 255, 0);
const QColor kBlue(0, 0, 255);
const QString kKeepWords = QStringLiteral("НЕ ИЗМЕНЯЕТЕ ИСХОДНУЮ ИНФОРМАЦИЮ");
const QString kEndWords = QStringLiteral("КОНЕЦ ИСПРАВЛЕНИЙ");
// Faces fill the buttons: 4335 x 375 and 2055 x 375 twips less the bevel.
constexpr QSize kKeepSize(285, 21);
constexpr QSize kEndSize(133, 21);
}  // namespace

const PictureLook& LookOf(Picture picture) {
    static const PictureLook looks[] = {
        {Picture::KeepRed, "ne_izm_r.bmp", kKeepWords, kYellow, kRed, kKeepSize},
        {Picture::KeepGreen, "ne_izm_g.bmp", kKeepWords, kBlue, kGreen, kKeepSize},
        {Picture::EndRed, "end_r.bmp", kEndWords, kYellow, kRed, kEndSize},
        {Picture::EndGreen, "end_g.bmp", kEndWords, kBlue, kGreen, kEndSize},
        {Picture::ErrorIcon, "error.ico", QString(), Qt::white, kRed, QSize(32, 32)},
    };
    return looks[static_cast<int>(picture)];
}

QImage DrawFace(const QString& words, const QColor& text, const QColor& back, QSize pixels) {
    QImage image(pixels, QImage::Format_RGB32);
    image.fill(back);
    QPainter p(&image);
    QFont font = ProgramFont(QStringLiteral("MS Sans Serif"), 8.25, true);
    // The words must fit the face whatever font stands in for the button font.
    while (font.pointSizeF() > 5 && QFontMetrics(font).horizontalAdvance(words) > pixels.width() - 4)
        font.setPointSizeF(font.pointSizeF() - 0.25);
    p.setFont(font);
    p.setPen(text);
    p.drawText(image.rect(), Qt::AlignCenter, words);
    return image;
}

QImage DrawPicture(Picture picture) {
    const PictureLook& look = LookOf(picture);
    if (picture != Picture::ErrorIcon) return DrawFace(look.words, look.text, look.back, look.pixels);

    // The error icon: a white cross on a red disc.
    QImage image(look.pixels, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(128, 0, 0), 1));
    p.setBrush(look.back);
    p.drawEllipse(QRectF(1, 1, look.pixels.width() - 2, look.pixels.height() - 2));
    p.setPen(QPen(look.text, 4, Qt::SolidLine, Qt::RoundCap));
    const double a = look.pixels.width() * 0.3, b = look.pixels.width() * 0.7;
    p.drawLine(QPointF(a, a), QPointF(b, b));
    p.drawLine(QPointF(a, b), QPointF(b, a));
    return image;
}

QImage DrawProgramIcon(int pixels) {
    QImage image(pixels, pixels, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(pixels / 64.0, pixels / 64.0);
    const QColor brown(0x80, 0x30, 0x00);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0x00, 0x96, 0xff));
    p.drawRoundedRect(QRectF(2, 2, 60, 60), 10, 10);
    p.setPen(QPen(brown, 2));
    p.setBrush(QColor(0xff, 0xff, 0x80));
    p.drawRoundedRect(QRectF(8, 22, 48, 22), 6, 6);
    p.setPen(QPen(QColor(0xc0, 0x40, 0x00), 2));
    for (const double y : {28.0, 33.0, 38.0}) p.drawLine(QPointF(12, y), QPointF(52, y));
    p.setPen(QPen(brown, 1.5));
    p.setBrush(QColor(0xff, 0x80, 0x80));
    p.drawRect(QRectF(16, 12, 6, 10));
    p.setBrush(QColor(0x80, 0xff, 0x80));
    p.drawRect(QRectF(42, 44, 6, 10));
    return image;
}

QIcon ProgramIcon() {
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64}) icon.addPixmap(QPixmap::fromImage(DrawProgramIcon(size)));
    return icon;
}

QPixmap ReadPictureFile(const QString& folder, Picture picture) {
    if (folder.isEmpty()) return {};
    QImageReader reader(QDir(folder).filePath(QString::fromLatin1(LookOf(picture).fileName)));
    // A face is a small picture: anything huge is not one of ours.
    const QSize size = reader.size();
    if (size.isValid() && (size.width() > 2000 || size.height() > 2000)) return {};
    const QImage image = reader.read();
    if (image.isNull()) return {};
    return QPixmap::fromImage(image);
}

QString PictureFolderFor(const QString& executableFolder) {
    const QDir here(executableFolder);
    auto holdsPictures = [](const QDir& dir) {
        return QFileInfo::exists(dir.filePath(QString::fromLatin1(LookOf(Picture::KeepRed).fileName)));
    };
    if (holdsPictures(here)) return here.absolutePath();
    const QDir shared(here.filePath(QStringLiteral("../share/heatx")));
    if (holdsPictures(shared)) return shared.absolutePath();
    return here.absolutePath();
}

}  // namespace heatx
