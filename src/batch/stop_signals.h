// SPDX-License-Identifier: GPL-3.0-or-later
// Ctrl+C (SIGINT), SIGTERM and a closed terminal (SIGHUP) during a long run:
// the signal is noted instead of ending the program at once, the work in
// hand is abandoned at the next safe point, what is done is written out, and
// the program then ends by the same signal.
#pragma once

namespace heatx::batch {

// From now on the three signals are noted, not fatal. A blocking wait
// (poll, a pause) is interrupted by them (no restart).
void CatchStopSignals();

// The signal that asked the run to stop, or 0.
int StopSignal();

// The signal's name for a message: "SIGINT (Ctrl+C)".
const char* StopSignalName(int signal);

// Ends the program by the noted signal with its default action, so that the
// shell that started it sees it stopped by the signal (exit status 128 + N).
[[noreturn]] void EndByStopSignal();

}  // namespace heatx::batch
