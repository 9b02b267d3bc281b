// SPDX-License-Identifier: GPL-3.0-or-later
// A push button whose face is a picture: the words of the button drawn in
// its colours. The picture is centred on the button inside its bevel (or its
// focus frame).
#pragma once

#include "window_base/form_window.h"

#include <QPixmap>

namespace heatx {

class PictureButton : public FlatButton {
public:
    explicit PictureButton(QWidget* parent);
    // name: the picture's file name, or a name of the built-in face.
    void SetPicture(const QPixmap& picture, const QString& name);
    const QPixmap& Picture() const { return picture_; }
    const QString& PictureName() const { return pictureName_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QPixmap picture_;
    QString pictureName_;
};

}  // namespace heatx
