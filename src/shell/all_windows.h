// SPDX-License-Identifier: GPL-3.0-or-later
// Every window of the program made known to it: the start window, the
// description and the library menu of the shell, then each apparatus with
// its sheet, error dialog, design window and menu entry.
#pragma once

namespace heatx {

class Program;

void RegisterAllWindows(Program& program);

}  // namespace heatx
