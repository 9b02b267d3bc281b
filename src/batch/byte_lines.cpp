// SPDX-License-Identifier: GPL-3.0-or-later
#include "batch/byte_lines.h"

#include <cstring>

namespace heatx::batch {

bool ByteLines::Feed(const char* data, qsizetype size) {
    qsizetype start = 0;
    while (!stopped_ && start < size) {
        const void* nl = std::memchr(data + start, '\n', static_cast<std::size_t>(size - start));
        const qsizetype end = nl ? static_cast<const char*>(nl) - data : size;
        if (line_.size() + (end - start) > max_) {
            overlong_ = stopped_ = true;
            break;
        }
        line_.append(data + start, end - start);
        if (!nl) break;
        start = end + 1;
        stopped_ = !onLine_(line_);
        line_.clear();
    }
    return !stopped_;
}

bool ByteLines::Finish() {
    if (stopped_ || line_.isEmpty()) return !stopped_;
    stopped_ = !onLine_(line_);
    line_.clear();
    return !stopped_;
}

}  // namespace heatx::batch
