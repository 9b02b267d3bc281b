// SPDX-License-Identifier: GPL-3.0-or-later
// Rounding of a working value to the 4-byte float cell it is stored in.
#pragma once

#include <cmath>
#include <limits>

namespace heatx {

// The float nearest to v, as the store into a 4-byte cell rounds it: values
// beyond the float range become +-infinity (a plain cast of such a double is
// undefined behaviour in C++).
inline float Store(double v) {
    // Half a unit in the last place above the largest float: from here on the
    // nearest float is infinity.
    constexpr double kOverflow = 3.4028235677973366e38;
    if (v >= kOverflow) return std::numeric_limits<float>::infinity();
    if (v <= -kOverflow) return -std::numeric_limits<float>::infinity();
    return static_cast<float>(v);
}

}  // namespace heatx
