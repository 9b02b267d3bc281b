// SPDX-License-Identifier: GPL-3.0-or-later
// The three apparatus types of heatx-batch and the shape of their rows.
#pragma once

#include <QString>
#include <optional>

namespace heatx::batch {

enum class Apparatus { Heater, Cooler, Evaporator };

// From the word of the command line: heater, cooler or evaporator.
std::optional<Apparatus> ParseApparatus(const QString& word);
// The word of the command line.
QString TypeWord(Apparatus type);
// Russian word of an apparatus as the file names of saved reports use it.
QString ApparatusWord(Apparatus type);

// Fields per row: heater 16, cooler 18, evaporator 16.
int FieldCount(Apparatus type);
// Lines of the input sheet, the first fields of a row: 11, 13, 15.
int SheetLineCount(Apparatus type);

}  // namespace heatx::batch
