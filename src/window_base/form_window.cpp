// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_base/form_window.h"

#include "platform/fonts.h"
#include "platform/qt_platform.h"
#include "platform/twips.h"
#include "window_base/program.h"

#include <QChildEvent>
#include <QCloseEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>
#include <QWindow>

namespace heatx {

namespace {
// The frame last learned from the window manager, twips.
QSizeF g_frame(kFrameWidthTwips, kFrameHeightTwips);
}  // namespace

QSize WindowFramePx() { return QSize(Px(g_frame.width()), Px(g_frame.height())); }
void SetWindowFramePx(QSize px) { g_frame = QSizeF(TwipsFromPx(px.width()), TwipsFromPx(px.height())); }

FormWindow::FormWindow(Program& program, const QString& name)
    : QWidget(nullptr), program_(program), name_(name), frame_(g_frame) {
    setObjectName(name);
    setWindowTitle(name);
    back_ = palette().color(QPalette::Window);
    fore_ = palette().color(QPalette::WindowText);
    ApplyGeometry();
}

FormWindow::~FormWindow() = default;

void FormWindow::ApplyGeometry(bool place) {
    if (place) move(Px(left_), Px(top_));
    // The windows are laid out absolutely: their size is the program's, only
    // wider where the title would not show whole in the manager's title bar
    // (the controls stay where they are).
    const int client = std::max(1, Px(width_ - frame_.width()));
    const int forTitle = InputBoxTitleWidth(windowTitle()) - Px(frame_.width());
    setFixedSize(std::max(client, forTitle), std::max(1, Px(height_ - frame_.height())));
}

void FormWindow::LearnFrame() {
    if (!isVisible()) return;
    const QSize px = frameGeometry().size() - size();
    // Before the manager has framed the window both sizes are the same; a
    // frame beyond any manager's is a passing state of the window system.
    if (px.width() <= 0 && px.height() <= 0) return;
    if (px.width() < 0 || px.height() < 0 || px.width() > 100 || px.height() > 200) return;
    AdoptFrame(px);
}

void FormWindow::AdoptFrame(QSize px) {
    SetWindowFramePx(px);
    const QSizeF frame = g_frame;
    if (frame == frame_) return;
    // A client area already given in twips keeps its size; an outer size
    // keeps the outer size.
    if (clientSized_) {
        width_ += frame.width() - frame_.width();
        height_ += frame.height() - frame_.height();
    }
    frame_ = frame;
    ApplyGeometry(false);
}

void FormWindow::SetWindowTwips(double left, double top, double width, double height) {
    if (left >= 0) left_ = left;
    if (top >= 0) top_ = top;
    if (width >= 0 || height >= 0) clientSized_ = false;
    if (width >= 0) width_ = std::max(width, frame_.width() + 15);
    if (height >= 0) height_ = std::max(height, frame_.height() + 15);
    ApplyGeometry();
}

void FormWindow::SetClientTwips(double width, double height) {
    SetWindowTwips(-1, -1, width + frame_.width(), height + frame_.height());
    clientSized_ = true;
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

bool FormWindow::event(QEvent* event) {
    if (event->type() == QEvent::WindowTitleChange) ApplyGeometry(false);
    // The manager frames a window after it is mapped; its frame shows in
    // the moves and the first paint that follow.
    // It is looked at once the event is handled, never in the middle of a paint.
    if ((event->type() == QEvent::Move || event->type() == QEvent::Paint || event->type() == QEvent::Show) &&
        !frameCheckPending_ && QGuiApplication::platformName() != QLatin1String("offscreen")) {
        frameCheckPending_ = true;
        QMetaObject::invokeMethod(this, [this] {
            frameCheckPending_ = false;
            LearnFrame();
        }, Qt::QueuedConnection);
    }
    // Every control of the window is watched for being hidden or disabled.
    if (event->type() == QEvent::ChildAdded) {
        QObject* child = static_cast<QChildEvent*>(event)->child();
        if (child->isWidgetType()) child->installEventFilter(this);
    }
    return QWidget::event(event);
}

bool FormWindow::Usable(const QWidget* control) const {
    return control->isVisibleTo(this) && control->isEnabled();
}

void FormWindow::MoveFocusFrom(QWidget* control) {
    QWidget* focus = focusWidget();
    if (focus == nullptr || (focus != control && !control->isAncestorOf(focus))) return;
    for (QWidget* next = control->nextInFocusChain(); next != control && next != nullptr;
         next = next->nextInFocusChain()) {
        if (next == this || !isAncestorOf(next) || control->isAncestorOf(next)) continue;
        if ((next->focusPolicy() & Qt::TabFocus) && Usable(next)) {
            next->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    focus->clearFocus();
}

bool FormWindow::eventFilter(QObject* watched, QEvent* event) {
    if (!watched->isWidgetType()) return false;
    auto* control = static_cast<QWidget*>(watched);
    switch (event->type()) {
    case QEvent::HideToParent:
    case QEvent::EnabledChange:
    case QEvent::FocusIn:
        if (!Usable(control)) MoveFocusFrom(control);
        break;
    case QEvent::KeyPress:
    case QEvent::KeyRelease:
    case QEvent::ShortcutOverride:
        if (!Usable(control)) {
            MoveFocusFrom(control);
            return true;
        }
        break;
    default: break;
    }
    return false;
}

void FormWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    program_.ClosedByUser(this);
}

void FlatButton::keyPressEvent(QKeyEvent* event) {
    // Keypad Enter comes with the keypad modifier.
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) &&
        (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
        // A held key does not press the button again and again.
        if (!event->isAutoRepeat() && isEnabled()) click();
        event->accept();
        return;
    }
    QPushButton::keyPressEvent(event);
}

void FlatButton::PaintFrame(QPainter& painter) const {
    const QRect r = rect();
    painter.fillRect(r, palette().color(QPalette::Button));
    auto ring = [&](int inset, const QColor& topLeft, const QColor& bottomRight) {
        const QRect e = r.adjusted(inset, inset, -inset, -inset);
        painter.setPen(topLeft);
        painter.drawLine(e.topLeft(), e.topRight());
        painter.drawLine(e.topLeft(), e.bottomLeft());
        painter.setPen(bottomRight);
        painter.drawLine(e.bottomLeft(), e.bottomRight());
        painter.drawLine(e.topRight(), e.bottomRight());
    };
    if (hasFocus()) {
        for (int i = 0; i < kEdge; ++i) ring(i, Qt::black, Qt::black);
    } else if (isDown()) {
        ring(0, Rgb(64, 64, 64), Qt::white);
        ring(1, Rgb(128, 128, 128), Rgb(224, 224, 224));
    } else {
        ring(0, Qt::white, Rgb(64, 64, 64));
        ring(1, Rgb(224, 224, 224), Rgb(128, 128, 128));
    }
}

void FlatButton::PaintFocusDots(QPainter& painter, const QRect& area) const {
    if (!hasFocus()) return;
    QPen dots(Qt::black);
    dots.setStyle(Qt::DotLine);
    painter.setPen(dots);
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area.adjusted(0, 0, -1, -1));
}

CaptionButton::CaptionButton(const QString& caption, QWidget* parent) : FlatButton(caption, parent) {}

void CaptionButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintFrame(painter);
    const int edge = kEdge + 2;
    QRect area = rect().adjusted(edge, edge - 2, -edge, -edge + 2);
    // The dotted rectangle only where it leaves the caption a full line.
    if (rect().height() - 2 * edge >= fontMetrics().height() + 2)
        PaintFocusDots(painter, rect().adjusted(edge, edge, -edge, -edge));
    if (isDown()) area.translate(1, 1);
    painter.setFont(font());
    painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.drawText(area, Qt::AlignCenter | Qt::TextWordWrap, text());
}

namespace {

class LineKeys : public QObject {
public:
    LineKeys(QListWidget* list, std::function<void(int)> edit) : QObject(list), list_(list), edit_(std::move(edit)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        // A hidden or disabled list edits nothing (its window drops the key).
        if (watched == list_ && event->type() == QEvent::KeyPress && list_->isVisible() && list_->isEnabled()) {
            const auto* key = static_cast<QKeyEvent*>(event);
            if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter || key->key() == Qt::Key_Space) &&
                (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier) {
                if (!key->isAutoRepeat()) edit_(list_->currentRow());
                return true;
            }
        }
        return false;
    }

private:
    QListWidget* list_;
    std::function<void(int)> edit_;
};

}  // namespace

void EditLinesOnKeys(QListWidget* list, std::function<void(int row)> edit) {
    list->installEventFilter(new LineKeys(list, std::move(edit)));
}

void BringToFront(QWidget* window) {
    // Window systems without a stacking order (the offscreen one of the
    // tests) have nothing to raise.
    if (QGuiApplication::platformName() != QLatin1String("offscreen")) window->raise();
    // Asked of the window system directly: a transient window (an error
    // dialog over its sheet) counts as active while its sheet is, and
    // activateWindow() would then leave the focus on the sheet.
    if (QWindow* handle = window->windowHandle()) handle->requestActivate();
    else window->activateWindow();
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

QLabel* MakeTextLabel(QWidget* parent, const QString& name, double left, double top, double width, double height,
                      const QFont& font, const QColor& back, const QColor& text) {
    auto* l = new QLabel(parent);
    l->setObjectName(name);
    l->setTextFormat(Qt::PlainText);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    l->setFont(font);
    SetLabelColors(l, back, text);
    SetTwips(l, left, top, width, height);
    return l;
}

}  // namespace heatx
