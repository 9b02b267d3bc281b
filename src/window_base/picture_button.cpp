// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_base/picture_button.h"

#include <QPainter>

namespace heatx {

PictureButton::PictureButton(QWidget* parent) : FlatButton(parent) {}

void PictureButton::SetPicture(const QPixmap& picture, const QString& name) {
    picture_ = picture;
    pictureName_ = name;
    update();
}

void PictureButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintFrame(painter);
    if (picture_.isNull()) return;
    const QRect inner = rect().adjusted(kEdge, kEdge, -kEdge, -kEdge);
    QSize size = picture_.size();
    if (size.width() > inner.width() || size.height() > inner.height())
        size.scale(inner.size(), Qt::KeepAspectRatio);
    QRect target(QPoint(0, 0), size);
    target.moveCenter(inner.center());
    if (isDown()) target.translate(1, 1);
    painter.drawPixmap(target, picture_);
    PaintFocusDots(painter, target.adjusted(2, 2, -2, -2));
}

}  // namespace heatx
