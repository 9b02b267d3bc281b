// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/report_recompute.h"

#include "batch/report_compare.h"
#include "cooler/cooler_input.h"
#include "cooler/cooler_model.h"
#include "evaporator/evap_input.h"
#include "evaporator/evap_model.h"
#include "heater/heater_input.h"
#include "heater/heater_model.h"

namespace heatx::batch {

Recomputed Recompute(Apparatus type, const QStringList& sheet, const QStringList& construction, bool horizontal) {
    Recomputed r;
    CalcState& s = r.s;
    const auto reject = [&r](int line) {
        r.status = Status::Input;
        r.badLine = line;
    };
    switch (type) {
    case Apparatus::Heater: {
        for (int i = 0; i < kHeaterSheetLines; ++i) StoreTypedLine(s.HeaterValueTexts[i], s.InputValues[i], sheet[i]);
        for (int i = 0; i < 4; ++i) StoreTypedLine(s.HeaterValueTexts[12 + i], s.InputValues[12 + i], WithPoint(construction[i]));
        s.BadLineIndex = CheckHeaterInput(s);
        if (s.CalcError != kClear) { reject(s.BadLineIndex); return r; }
        s.HeaterHorizontal = horizontal ? kSet : kClear;
        for (int i = 12; i <= 15; ++i)
            if (!HeaterConstructiveInRange(i, s.InputValues[i])) { reject(i); return r; }
        HeaterModel(s);
        break;
    }
    case Apparatus::Cooler: {
        for (int i = 0; i < kCoolerSheetLines; ++i) StoreTypedLine(s.CoolerValueTexts[i], s.InputValues[i], sheet[i]);
        for (int i = 0; i < 5; ++i) StoreTypedLine(s.CoolerValueTexts[13 + i], s.InputValues[13 + i], WithPoint(construction[i]));
        s.BadLineIndex = CheckCoolerInput(s);
        if (s.CalcError != kClear) { reject(s.BadLineIndex); return r; }
        for (int i = kCoolerFirstConstructive; i <= kCoolerLastConstructive; ++i)
            if (!CoolerFirstEntryInRange(i, s.InputValues[i]) && !CoolerChangeInRange(i, s.InputValues[i])) {
                reject(i);
                return r;
            }
        CoolerModel(s);
        break;
    }
    case Apparatus::Evaporator: {
        for (int i = 0; i < kEvapSheetLines; ++i) StoreTypedLine(s.EvapValueTexts[i], s.InputValues[i], sheet[i]);
        StoreTypedLine(s.EvapValueTexts[kEvapHeightLine], s.InputValues[kEvapHeightLine], construction[0]);
        s.BadLineIndex = CheckEvapInput(s);
        if (s.CalcError != kClear) { reject(s.BadLineIndex); return r; }
        if (!EvapHeightInRange(s.InputValues[kEvapHeightLine])) { reject(kEvapHeightLine); return r; }
        EvapModel(s);
        break;
    }
    }
    r.status = s.CalcError != kClear ? Status::Model : Status::Ok;
    return r;
}

}  // namespace heatx::batch
