// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_base/print_note.h"

#include "platform/fonts.h"
#include "platform/twips.h"

#include <QEvent>
#include <QFontMetrics>

namespace heatx {

namespace {
const QString kAdded = QStringLiteral("БЛОК ДОБАВЛЕН В ОТЧЁТ: ");
const QString kAddedNoCopy = QStringLiteral("БЛОК ДОБАВЛЕН В ОТЧЁТ. КУДА ВЫЙДЕТ ОТЧЁТ, ПРОГРАММА СООБЩИТ В КОНЦЕ.");
// Margin of the note from the window's sides, twips.
constexpr double kSide = 100;
}  // namespace

PrintNote::PrintNote(QWidget* window, QWidget* printButton, QWidget* results)
    : QLabel(window), printButton_(printButton), results_(results) {
    setObjectName(QStringLiteral("PrintNote"));
    setTextFormat(Qt::PlainText);
    setAlignment(Qt::AlignCenter);
    setFont(ProgramFont(QStringLiteral("MS Sans Serif"), 8.25, true));
    QPalette colours = palette();
    colours.setColor(QPalette::WindowText, QColor(0, 0, 128));
    setPalette(colours);
    hide();
    printButton_->installEventFilter(this);
    results_->installEventFilter(this);
}

void PrintNote::Tell(const QString& copyPath) {
    const TwipsRect button = Twips(printButton_);
    const double clientWidth = TwipsFromPx(parentWidget()->width());
    SetTwips(this, kSide, button.top, std::max(kSide, clientWidth - 2 * kSide), button.height);
    if (copyPath.isEmpty()) {
        setText(kAddedNoCopy);
        setToolTip(QString());
    } else {
        // A long path loses its middle on the screen; the tip shows it whole.
        const QFontMetrics metrics(font());
        const int room = width() - metrics.horizontalAdvance(kAdded) - 8;
        setText(kAdded + metrics.elidedText(copyPath, Qt::ElideMiddle, std::max(room, 40)));
        setToolTip(copyPath);
    }
    show();
    raise();
}

bool PrintNote::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == printButton_ && event->type() == QEvent::ShowToParent) ||
        (watched == results_ && event->type() == QEvent::HideToParent))
        hide();
    return false;
}

}  // namespace heatx
