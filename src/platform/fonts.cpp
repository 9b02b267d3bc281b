// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/fonts.h"

#include "platform/paged_text_printer.h"

#include <QFont>
#include <QFontDatabase>
#include <QFontMetricsF>
#include <cmath>
#include <QHash>

namespace heatx {

namespace {

QHash<QString, QString>& Mapping() {
    static QHash<QString, QString> mapping;
    return mapping;
}

// The first of the candidates that is installed with Cyrillic glyphs.
QString FirstInstalled(const QStringList& candidates, const QString& fallback) {
    const QStringList families = QFontDatabase::families(QFontDatabase::Cyrillic);
    for (const QString& name : candidates) {
        // A family installed by several foundries is listed as "Name [foundry]".
        for (const QString& family : families)
            if (family == name || family.startsWith(name + QStringLiteral(" ["))) return name;
    }
    return fallback;
}

}  // namespace

QStringList ProgramFontNames() {
    return {QStringLiteral("MS Sans Serif"),   QStringLiteral("Microsoft Sans Serif"),
            QStringLiteral("Monotype Corsiva"), QStringLiteral("Times New Roman"),
            QStringLiteral("Courier"),         QStringLiteral("Courier New"),
            QStringLiteral("Courier New Cyr")};
}

void MapProgramFonts() {
    const QString sans = FirstInstalled({QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans"),
                                         QStringLiteral("Nimbus Sans")},
                                        QFontDatabase::systemFont(QFontDatabase::GeneralFont).family());
    const QString serif = FirstInstalled({QStringLiteral("Liberation Serif"), QStringLiteral("DejaVu Serif"),
                                          QStringLiteral("Nimbus Roman")},
                                         sans);
    // A chancery script for the author's credit; a serif italic where none is.
    const QString script = FirstInstalled({QStringLiteral("Z003")}, serif);
    const QString fixed = FixedPitchFamily();

    auto& m = Mapping();
    m.clear();
    m.insert(QStringLiteral("MS Sans Serif"), sans);
    m.insert(QStringLiteral("Microsoft Sans Serif"), sans);
    m.insert(QStringLiteral("Monotype Corsiva"), script);
    m.insert(QStringLiteral("Times New Roman"), serif);
    m.insert(QStringLiteral("Courier"), fixed);
    m.insert(QStringLiteral("Courier New"), fixed);
    m.insert(QStringLiteral("Courier New Cyr"), fixed);
    for (auto it = m.cbegin(); it != m.cend(); ++it) {
        QFont::removeSubstitutions(it.key());
        QFont::insertSubstitution(it.key(), it.value());
    }
}

QString MappedFamily(const QString& programName) { return Mapping().value(programName, programName); }

QFont ProgramFont(const QString& programName, double points, bool bold, bool italic) {
    QFont font(MappedFamily(programName));
    font.setPointSizeF(points);
    font.setBold(bold);
    font.setItalic(italic);
    if (programName.startsWith(QStringLiteral("Courier"))) {
        font.setStyleHint(QFont::TypeWriter);
        font.setFixedPitch(true);
        // Lines are laid out by counting characters: every character takes a
        // whole number of pixels, as on the screens the layouts were made for.
        const qreal advance = QFontMetricsF(font).horizontalAdvance(QLatin1Char('0'));
        const qreal whole = std::max<qreal>(1, std::round(advance));
        if (advance > 0 && whole != advance) font.setLetterSpacing(QFont::AbsoluteSpacing, whole - advance);
    }
    return font;
}

}  // namespace heatx
