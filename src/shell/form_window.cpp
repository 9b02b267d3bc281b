// SPDX-License-Identifier: GPL-3.0-or-later
#include "shell/form_window.h"

#include "platform/fonts.h"
#include "platform/twips.h"
#include "shell/program.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QPainter>
#include <QStyleOptionButton>
#include <QStylePainter>

namespace heatx {

FormWindow::FormWindow(Program& program, const QString& name)
    : QWidget(nullptr), program_(program), name_(name) {
    setObjectName(name);
    setWindowTitle(name);
    back_ = palette().color(QPalette::Window);
    fore_ = palette().color(QPalette::WindowText);
    ApplyGeometry();
}

FormWindow::~FormWindow() = default;

void FormWindow::ApplyGeometry() {
    move(Px(left_), Px(top_));
    // The windows are laid out absolutely: their size is the program's.
    setFixedSize(std::max(1, Px(width_ - kFrameWidthTwips)), std::max(1, Px(height_ - kFrameHeightTwips)));
}

void FormWindow::SetWindowTwips(double left, double top, double width, double height) {
    if (left >= 0) left_ = left;
    if (top >= 0) top_ = top;
    if (width >= 0) width_ = std::max(width, kFrameWidthTwips + 15);
    if (height >= 0) height_ = std::max(height, kFrameHeightTwips + 15);
    ApplyGeometry();
}

void FormWindow::SetClientTwips(double width, double height) {
    SetWindowTwips(-1, -1, width + kFrameWidthTwips, height + kFrameHeightTwips);
}

void FormWindow::SetBackColor(const QColor& color) {
    back_ = color;
    update();
}

void FormWindow::SetForeColor(const QColor& color) {
    fore_ = color;
    update();
}

void FormWindow::PrintAt(double x, double y, const QString& text) {
    surface_.append({x, y, text});
    update();
}

void FormWindow::ClearSurface() {
    surface_.clear();
    update();
}

QStringList FormWindow::SurfaceLines() const {
    QStringList lines;
    for (const SurfaceText& t : surface_) lines.append(t.text);
    return lines;
}

void FormWindow::PaintBackground(QPainter& painter) { painter.fillRect(rect(), back_); }

void FormWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintBackground(painter);
    if (surface_.isEmpty()) return;
    painter.setFont(font());
    painter.setPen(fore_);
    const int ascent = painter.fontMetrics().ascent();
    for (const SurfaceText& t : surface_) painter.drawText(Px(t.x), Px(t.y) + ascent, t.text);
}

void FormWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    program_.ClosedByUser(this);
}

CaptionButton::CaptionButton(const QString& caption, QWidget* parent) : QPushButton(caption, parent) {}


void CaptionButton::paintEvent(QPaintEvent*) {
    QStylePainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    const QString caption = option.text;
    option.text.clear();
    painter.drawControl(QStyle::CE_PushButton, option);
    QRect area = rect().adjusted(3, 2, -3, -2);
    if (isDown()) area.translate(1, 1);
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, caption);
}

void BringToFront(QWidget* window) {
    // Window systems without a stacking order (the offscreen one of the
    // tests) have nothing to raise.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) window->raise();
    window->activateWindow();
}

CaptionButton* MakeButton(QWidget* parent, const char* name, const QString& caption, const QColor& face,
                          double left, double top, double width, double height) {
    auto* b = new CaptionButton(caption, parent);
    b->setObjectName(QLatin1String(name));
    b->setFont(ProgramFont(QStringLiteral("MS Sans Serif"), 8.25));
    if (face.isValid()) SetFaceColor(b, face);
    SetTwips(b, left, top, width, height);
    return b;
}

void SetFaceColor(QWidget* button, const QColor& color) {
    QPalette p = button->palette();
    p.setColor(QPalette::Button, color);
    button->setPalette(p);
}

QColor FaceColor(const QWidget* button) { return button->palette().color(QPalette::Button); }

void SetLabelColors(QWidget* label, const QColor& back, const QColor& text) {
    QPalette p = label->palette();
    p.setColor(QPalette::Window, back);
    p.setColor(QPalette::WindowText, text);
    label->setPalette(p);
    label->setAutoFillBackground(true);
}

}  // namespace heatx
