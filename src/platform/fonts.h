// SPDX-License-Identifier: GPL-3.0-or-later
// The fonts the windows ask for by name ("MS Sans Serif", "Courier", ...)
// are mapped once, at start, to installed fonts with Cyrillic glyphs. Lists
// and label blocks are laid out by counting characters, so every Courier
// name maps to a fixed-pitch font.
#pragma once

#include <QFont>
#include <QString>
#include <QStringList>

namespace heatx {

// Installs the substitutions; call after the application object exists.
void MapProgramFonts();

// The installed family that stands for a program font name (after
// MapProgramFonts), for tests and diagnostics.
QString MappedFamily(const QString& programName);

// A font of the program by its own name, size in points: the mapped family,
// and for the Courier names a fixed-pitch hint besides.
QFont ProgramFont(const QString& programName, double points, bool bold = false, bool italic = false);

// The font names the program uses.
QStringList ProgramFontNames();

}  // namespace heatx
