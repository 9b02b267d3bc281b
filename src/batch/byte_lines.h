// SPDX-License-Identifier: GPL-3.0-or-later
// Bytes as they are read, cut into lines at the line feed, in bounded memory:
// a line longer than the limit is refused, not kept.
#pragma once

#include <QByteArray>
#include <functional>

namespace heatx::batch {

class ByteLines {
public:
    // onLine gets each line without its line feed and returns false to stop
    // the reading.
    using OnLine = std::function<bool(QByteArray& line)>;

    ByteLines(qsizetype maxLineBytes, OnLine onLine) : max_(maxLineBytes), onLine_(std::move(onLine)) {}

    // False once a line was too long or onLine asked to stop.
    bool Feed(const char* data, qsizetype size);
    // The last line when the bytes end without a line feed.
    bool Finish();
    bool Overlong() const { return overlong_; }

private:
    qsizetype max_;
    OnLine onLine_;
    QByteArray line_;
    bool overlong_ = false;
    bool stopped_ = false;
};

}  // namespace heatx::batch
