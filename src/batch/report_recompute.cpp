// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/report_recompute.h"

#include "batch/report_compare.h"
#include "cooler/cooler_road.h"
#include "evaporator/evap_road.h"
#include "heater/heater_road.h"

#include <vector>

namespace heatx::batch {

RowResult Recompute(Apparatus type, const QStringList& sheet, const QStringList& construction, bool horizontal) {
    // The texts of every line as the student typed them: the head's value
    // texts, then the construction (the heater's after its type line).
    const int first = type == Apparatus::Heater ? kHeaterTypeLine + 1 : SheetLineCount(type);
    std::vector<QString> texts(std::size_t(FieldCount(type)));
    for (int line = 0; line < SheetLineCount(type); ++line) texts[std::size_t(line)] = sheet.value(line);
    for (int k = 0; k < construction.size() && first + k < int(texts.size()); ++k)
        texts[std::size_t(first + k)] = type == Apparatus::Evaporator ? construction[k] : WithPoint(construction[k]);

    RowResult r;
    r.givenFields = FieldCount(type);
    RoadOutcome outcome;
    switch (type) {
    case Apparatus::Heater: outcome = RunHeaterRoad(r.state, texts, horizontal); break;
    case Apparatus::Cooler: outcome = RunCoolerRoad(r.state, texts, CoolerRanges::Either); break;
    case Apparatus::Evaporator: outcome = RunEvapRoad(r.state, texts); break;
    }
    TakeOutcome(r, outcome);
    return r;
}

}  // namespace heatx::batch
