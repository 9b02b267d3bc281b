// SPDX-License-Identifier: GPL-3.0-or-later
#include "sheets/picture_button.h"

#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace heatx {

PictureButton::PictureButton(QWidget* parent) : QPushButton(parent) {}

void PictureButton::SetPicture(const QPixmap& picture, const QString& name) {
    picture_ = picture;
    pictureName_ = name;
    update();
}

void PictureButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButtonBevel, option);
    if (picture_.isNull()) return;
    const QRect inner = rect().adjusted(2, 2, -2, -2);
    QSize size = picture_.size();
    if (size.width() > inner.width() || size.height() > inner.height())
        size.scale(inner.size(), Qt::KeepAspectRatio);
    QRect target(QPoint(0, 0), size);
    target.moveCenter(inner.center());
    if (isDown()) target.translate(1, 1);
    painter.drawPixmap(target, picture_);
    if (hasFocus()) {
        // The focus shows as a dotted frame inside the face.
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = target.adjusted(1, 1, -1, -1);
        painter.drawPrimitive(QStyle::PE_FrameFocusRect, focus);
    }
}

}  // namespace heatx
