// SPDX-License-Identifier: GPL-3.0-or-later
// The five pictures of the program's folder: the red and green faces of the
// keep-data and end-of-corrections buttons of an input sheet, and the icon of
// the input error dialogs. They are made at build time by heatx-pictures from
// the same drawing code that stands in for a file that is missing or cannot
// be read, so a face always carries the button's words in its colours.
#pragma once

#include <QColor>
#include <QIcon>
#include <QImage>
#include <QPixmap>
#include <QSize>
#include <QString>

namespace heatx {

enum class Picture { KeepRed, KeepGreen, EndRed, EndGreen, ErrorIcon };

struct PictureLook {
    Picture picture;
    const char* fileName;  // in the program's folder
    QString words;         // empty for the icon
    QColor text;
    QColor back;
    QSize pixels;
};

const PictureLook& LookOf(Picture picture);
inline constexpr Picture kAllPictures[] = {Picture::KeepRed, Picture::KeepGreen, Picture::EndRed,
                                           Picture::EndGreen, Picture::ErrorIcon};

// The picture drawn by the program itself.
QImage DrawPicture(Picture picture);

// A face with given words and colours, the words in the bold button font,
// centred; used for the built-in faces of the sheet buttons too.
QImage DrawFace(const QString& words, const QColor& text, const QColor& back, QSize pixels);

// The program's icon, square, pixels wide: a shell-and-tube exchanger (the
// shell, three tubes, two nozzles on a blue tile), the same drawing as
// packaging/heatx.svg, whose 64-unit grid it scales.
QImage DrawProgramIcon(int pixels);
// The icon of every window of the program: that drawing at the sizes window
// systems ask for (16 to 64 pixels). Drawn, not read, so it needs no file and
// no image plugin.
QIcon ProgramIcon();

// The picture read from folder; null when the file is missing or unreadable.
QPixmap ReadPictureFile(const QString& folder, Picture picture);

// The folder of the pictures for a program in executableFolder: the folder
// itself when it holds them, else ../share/heatx beside it, else the folder.
QString PictureFolderFor(const QString& executableFolder);

}  // namespace heatx
