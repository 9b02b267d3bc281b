// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/all_windows.h"

#include "cooler/cooler_window.h"
#include "evaporator/evap_window.h"
#include "heater/heater_window.h"
#include "shell/form1.h"
#include "shell/form2.h"
#include "shell/form4.h"
#include "window_base/program.h"

namespace heatx {

void RegisterAllWindows(Program& program) {
    program.RegisterForm(kStartFormName, [](Program& p) { return new Form1(p); });
    program.RegisterForm(QStringLiteral("Form2"), [](Program& p) { return new Form2(p); });
    program.RegisterForm(kMenuFormName, [](Program& p) { return new Form4(p); });
    RegisterEvaporator(program);
    RegisterHeater(program);
    RegisterCooler(program);
}

}  // namespace heatx
