// SPDX-License-Identifier: GPL-3.0-or-later
// The teacher's commands of heatx-batch beside the answer table:
//   heatx-batch check ...     checks a class's saved reports;
//   heatx-batch variants ...  makes individual variants from base rows;
//   heatx-batch chart ...     draws the design space of one variant.
// Each takes the arguments after "heatx-batch" (argv[0] is the command word)
// and returns the exit status: 0 done, 1 not all well (or the output could
// not be written), 2 usage or input error.
#pragma once

namespace heatx::batch {

int RunCheckCommand(int argc, char** argv);
int RunVariantsCommand(int argc, char** argv);
int RunChartCommand(int argc, char** argv);

}  // namespace heatx::batch
