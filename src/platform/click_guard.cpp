// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/click_guard.h"

#include <QApplication>
#include <QCursor>
#include <QElapsedTimer>
#include <QEvent>
#include <QWidget>

namespace heatx {

namespace {

class ClickGuard : public QObject {
public:
    explicit ClickGuard(QWidget* window) : QObject(window), window_(window) { window->installEventFilter(this); }
    ~ClickGuard() override { Disarm(); }

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == window_ && event->type() == QEvent::Show) {
            // The pointer over the window or its frame as it appears.
            const QPoint pointer = QCursor::pos();
            if (window_->frameGeometry().contains(pointer) || window_->geometry().contains(pointer)) Arm();
            return false;
        }
        switch (event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            break;
        default:
            return false;
        }
        if (!armed_ || !watched->isWidgetType()) return false;
        if (shown_.elapsed() >= QApplication::doubleClickInterval()) {
            Disarm();
            return false;
        }
        return static_cast<QWidget*>(watched)->window() == window_;
    }

private:
    void Arm() {
        shown_.start();
        if (!armed_) qApp->installEventFilter(this);
        armed_ = true;
    }
    void Disarm() {
        if (armed_ && qApp) qApp->removeEventFilter(this);
        armed_ = false;
    }

    QWidget* window_;
    QElapsedTimer shown_;
    bool armed_ = false;
};

}  // namespace

void GuardAgainstOpeningClick(QWidget* window) { new ClickGuard(window); }

}  // namespace heatx
