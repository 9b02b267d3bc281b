// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/twips.h"

#include <QVariant>

namespace heatx {

namespace {
const char kLeft[] = "heatxLeft";
const char kTop[] = "heatxTop";
const char kWidth[] = "heatxWidth";
const char kHeight[] = "heatxHeight";

void Apply(QWidget* w, const TwipsRect& r) {
    w->setProperty(kLeft, r.left);
    w->setProperty(kTop, r.top);
    w->setProperty(kWidth, r.width);
    w->setProperty(kHeight, r.height);
    w->setGeometry(PxRect(r.left, r.top, r.width, r.height));
}
}  // namespace

TwipsRect Twips(const QWidget* w) {
    const QVariant left = w->property(kLeft);
    if (!left.isValid()) {
        const QRect g = w->geometry();
        return {double(TwipsFromPx(g.x())), double(TwipsFromPx(g.y())), double(TwipsFromPx(g.width())),
                double(TwipsFromPx(g.height()))};
    }
    return {left.toDouble(), w->property(kTop).toDouble(), w->property(kWidth).toDouble(),
            w->property(kHeight).toDouble()};
}

void SetTwips(QWidget* w, double left, double top, double width, double height) {
    Apply(w, {left, top, width, height});
}

void SetLeftTwips(QWidget* w, double left) {
    TwipsRect r = Twips(w);
    r.left = left;
    Apply(w, r);
}

void SetTopTwips(QWidget* w, double top) {
    TwipsRect r = Twips(w);
    r.top = top;
    Apply(w, r);
}

void SetSizeTwips(QWidget* w, double width, double height) {
    TwipsRect r = Twips(w);
    r.width = width;
    r.height = height;
    Apply(w, r);
}

}  // namespace heatx
