// SPDX-License-Identifier: GPL-3.0-or-later
// heatx-pictures FOLDER: writes the picture files of the program (button
// faces and the error icon) into FOLDER. Run at build time.
#include "platform/fonts.h"
#include "platform/pictures.h"

#include <QDir>
#include <QGuiApplication>
#include <cstdio>

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "heatx-pictures: укажите папку для рисунков\n");
        return 2;
    }
    heatx::MapProgramFonts();
    const QDir folder(QString::fromLocal8Bit(argv[1]));
    if (!QDir().mkpath(folder.path())) {
        std::fprintf(stderr, "heatx-pictures: не удаётся создать папку %s\n", argv[1]);
        return 1;
    }
    for (heatx::Picture picture : heatx::kAllPictures) {
        const auto& look = heatx::LookOf(picture);
        const QString path = folder.filePath(QString::fromLatin1(look.fileName));
        const QImage image = heatx::DrawPicture(picture);
        const char* format = picture == heatx::Picture::ErrorIcon ? "ICO" : "BMP";
        if (!image.save(path, format)) {
            std::fprintf(stderr, "heatx-pictures: не удаётся записать %s\n", qPrintable(path));
            return 1;
        }
    }
    return 0;
}
