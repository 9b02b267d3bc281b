// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/apparatus.h"

#include "cooler/cooler_input.h"
#include "evaporator/evap_input.h"
#include "heater/heater_input.h"

namespace heatx::batch {

std::optional<Apparatus> ParseApparatus(const QString& word) {
    for (const Apparatus type : {Apparatus::Heater, Apparatus::Cooler, Apparatus::Evaporator})
        if (word == TypeWord(type)) return type;
    return std::nullopt;
}

QString TypeWord(Apparatus type) {
    switch (type) {
    case Apparatus::Heater: return QStringLiteral("heater");
    case Apparatus::Cooler: return QStringLiteral("cooler");
    case Apparatus::Evaporator: return QStringLiteral("evaporator");
    }
    return {};
}

QString ApparatusWord(Apparatus type) {
    switch (type) {
    case Apparatus::Heater: return QStringLiteral("подогреватель");
    case Apparatus::Cooler: return QStringLiteral("холодильник");
    case Apparatus::Evaporator: return QStringLiteral("испаритель");
    }
    return {};
}

int FieldCount(Apparatus type) {
    switch (type) {
    case Apparatus::Heater: return 16;
    case Apparatus::Cooler: return 18;
    case Apparatus::Evaporator: return 16;
    }
    return 0;
}

int SheetLineCount(Apparatus type) {
    switch (type) {
    case Apparatus::Heater: return kHeaterSheetLines;
    case Apparatus::Cooler: return kCoolerSheetLines;
    case Apparatus::Evaporator: return kEvapSheetLines;
    }
    return 0;
}

}  // namespace heatx::batch
