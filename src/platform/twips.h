// SPDX-License-Identifier: GPL-3.0-or-later
// Window positions and sizes are given in twips, 1/1440 of a logical inch.
// A logical inch is 96 device-independent pixels, so one pixel is 15 twips;
// Qt scales device-independent pixels to the screen by itself.
#pragma once

#include <QRect>
#include <QSize>
#include <QWidget>
#include <cmath>

namespace heatx {

inline constexpr int kTwipsPerInch = 1440;
inline constexpr int kPixelsPerInch = 96;

inline int Px(double twips) {
    return static_cast<int>(std::lround(twips * kPixelsPerInch / kTwipsPerInch));
}
inline int TwipsFromPx(int pixels) { return pixels * kTwipsPerInch / kPixelsPerInch; }

inline QRect PxRect(double left, double top, double width, double height) {
    const int x = Px(left), y = Px(top);
    // Right and bottom edges are rounded on their own, so that controls laid
    // edge to edge in twips stay edge to edge in pixels.
    return QRect(x, y, std::max(0, Px(left + width) - x), std::max(0, Px(top + height) - y));
}

// A control's position and size in twips: kept on the control as the program
// set them, so that layouts computed from them are exact.
void SetTwips(QWidget* w, double left, double top, double width, double height);
void SetLeftTwips(QWidget* w, double left);
void SetTopTwips(QWidget* w, double top);
void SetSizeTwips(QWidget* w, double width, double height);
struct TwipsRect {
    double left = 0, top = 0, width = 0, height = 0;
};
TwipsRect Twips(const QWidget* w);

}  // namespace heatx
