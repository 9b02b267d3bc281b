// SPDX-License-Identifier: GPL-3.0-or-later
// A line on the terminal that tells how far a long run has come ("файл 3 из
// 25: …"), written over itself; nothing at all when standard error is not a
// terminal (a file, a pipe, a class's log).
#pragma once

#include <QString>

namespace heatx::batch {

class ProgressLine {
public:
    ProgressLine();
    ~ProgressLine() { Clear(); }
    ProgressLine(const ProgressLine&) = delete;
    ProgressLine& operator=(const ProgressLine&) = delete;

    // Replaces the line with text, cut to the width of the terminal.
    void Show(const QString& text);
    // Takes the line away, before anything else is written to the terminal.
    void Clear();

private:
    bool terminal_;
    bool shown_ = false;
};

}  // namespace heatx::batch
