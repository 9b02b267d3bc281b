// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_platform.h"

#include "platform/click_guard.h"
#include "platform/fonts.h"
#include "platform/pictures.h"
#include "platform/twips.h"
#include "platform/xkb_layout.h"

#include <QApplication>
#include <QFontMetrics>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QStyle>
#include <QTextDocument>
#include <QTextEdit>
#include <algorithm>
#include <cmath>
#include <memory>
#include <QVBoxLayout>

namespace heatx {

InputBoxDialog::InputBoxDialog(const QString& prompt, const QString& title, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(title);
    setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    setFont(ProgramFont(QStringLiteral("MS Sans Serif"), 8.25));

    prompt_ = new QLabel(prompt, this);
    prompt_->setObjectName(QStringLiteral("Prompt"));
    prompt_->setTextFormat(Qt::PlainText);
    prompt_->setWordWrap(true);
    prompt_->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("OkButton"));
    ok->setDefault(true);
    auto* cancel = new QPushButton(QStringLiteral("Отмена"), this);
    cancel->setObjectName(QStringLiteral("CancelButton"));
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    entry_ = new QLineEdit(this);
    entry_->setObjectName(QStringLiteral("Entry"));
    entry_->setMaxLength(32767);

    auto* buttons = new QVBoxLayout;
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addStretch();
    auto* grid = new QGridLayout(this);
    grid->addWidget(prompt_, 0, 0);
    grid->addLayout(buttons, 0, 1);
    grid->addWidget(entry_, 1, 0, 1, 2);
    grid->setColumnStretch(0, 1);
    grid->setRowStretch(0, 1);
    // The size of the classic input box: 4725 x 2550 twips, the frame included.
    resize(Px(4725) - 8, Px(2550) - 28);
    // Wider where the title needs it, so that the window manager shows it
    // whole: the title in a bold face, and beside it the frame's icon and
    // buttons. The box's corner stays where the caller places it.
    if (const int titleWidth = InputBoxTitleWidth(title); width() < titleWidth) resize(titleWidth, height());
    entry_->setFocus();
}

int InputBoxTitleWidth(const QString& title) {
    QFont bold = QApplication::font();
    bold.setBold(true);
    // Title fonts of window managers run a little larger than the program's
    // 8.25 pt; the icon and three frame buttons take about 100 pixels.
    return QFontMetrics(bold).horizontalAdvance(title) * 6 / 5 + 100;
}

QString InputBoxDialog::Text() const { return entry_->text(); }

QWidget* MessageParent() {
    QWidget* active = QApplication::activeWindow();
    if (active != nullptr && active->isVisible()) return active;
    // A dialog on the screen before the window it belongs to.
    QWidget* shown = nullptr;
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (!w->isVisible() || w->windowType() == Qt::Popup || w->windowType() == Qt::ToolTip) continue;
        if (shown == nullptr || (w->windowType() == Qt::Dialog && shown->windowType() != Qt::Dialog)) shown = w;
    }
    return shown;
}

void PlaceOnScreen(QWidget* dialog, int xTwips, int yTwips) {
    QPoint corner(Px(xTwips), Px(yTwips));
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        const QSize size = dialog->frameGeometry().size().expandedTo(dialog->size());
        corner.setX(std::clamp(corner.x(), area.left(), std::max(area.left(), area.right() - size.width())));
        corner.setY(std::clamp(corner.y(), area.top(), std::max(area.top(), area.bottom() - size.height())));
    }
    dialog->move(corner);
}

QtPlatform::QtPlatform(const QString& executableFolder)
    : pictureFolder_(PictureFolderFor(executableFolder)), printer_(&QtPlatform::Inform) {}

QString QtPlatform::InputBox(const QString& prompt, const QString& title, int xTwips, int yTwips) {
    InputBoxDialog box(prompt, title, MessageParent());
    PlaceOnScreen(&box, xTwips, yTwips);
    GuardAgainstOpeningClick(&box);
    if (box.exec() != QDialog::Accepted) return QString();
    // An empty entry confirmed with OK is an answer, never taken for a cancel.
    const QString typed = box.Text();
    return typed.isNull() ? QStringLiteral("") : typed;
}

int QtPlatform::YesNoBox(const QString& title, const QString& text) {
    QMessageBox box(MessageParent());
    GuardAgainstOpeningClick(&box);
    box.setWindowTitle(title);
    box.setText(text);
    box.setIcon(QMessageBox::NoIcon);
    box.setTextFormat(Qt::PlainText);
    QPushButton* yes = box.addButton(QStringLiteral("Да"), QMessageBox::YesRole);
    box.addButton(QStringLiteral("Нет"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    // "Нет" ends the whole program: a stray Escape or the close box must not
    // stand for it, so they answer "Да" (go on).
    box.setEscapeButton(yes);
    box.exec();
    return box.clickedButton() == yes || box.clickedButton() == nullptr ? kAnswerYes : kAnswerNo;
}

void QtPlatform::ActivateKeyboardLayout(KeyboardLayout layout) { LockXkbLayout(layout); }

void QtPlatform::Beep() { QApplication::beep(); }

QSize QtPlatform::ScreenSizeTwips() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return QSize(TwipsFromPx(1024), TwipsFromPx(768));
    return QSize(TwipsFromPx(screen->size().width()), TwipsFromPx(screen->size().height()));
}

QDialog* MessageDialog(const QString& title, const QString& text, const QString& details, QWidget* parent) {
    auto* box = new QDialog(parent);
    box->setWindowTitle(title);
    box->setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    auto* icon = new QLabel(box);
    const QStyle::StandardPixmap kind = details.isEmpty() ? QStyle::SP_MessageBoxInformation : QStyle::SP_MessageBoxWarning;
    icon->setPixmap(box->style()->standardIcon(kind).pixmap(32, 32));
    icon->setAlignment(Qt::AlignTop);

    // The text wraps anywhere (a folder name of thousands of letters has no
    // blank to break at), can be selected and copied, and scrolls inside a
    // box that stays on a 1024 x 768 screen.
    auto* message = new QTextEdit(box);
    message->setObjectName(QStringLiteral("Message"));
    message->setReadOnly(true);
    message->setPlainText(text);
    message->setFrameShape(QFrame::NoFrame);
    message->setWordWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    message->viewport()->setAutoFillBackground(false);
    message->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    message->setFocusPolicy(Qt::ClickFocus);
    // The height the text needs at that width, measured on a copy: the
    // box's own document is laid out again at every resize of the box.
    constexpr int kTextWidth = 560;
    QTextDocument measure;
    measure.setDefaultFont(message->font());
    measure.setDocumentMargin(message->document()->documentMargin());
    measure.setDefaultTextOption(message->document()->defaultTextOption());
    measure.setPlainText(text);
    const int frame = 2 * message->frameWidth();
    measure.setTextWidth(kTextWidth - frame - message->verticalScrollBar()->sizeHint().width());
    const int wanted = int(std::ceil(measure.size().height())) + frame + 2;
    message->setFixedSize(kTextWidth, std::clamp(wanted, 40, details.isEmpty() ? 420 : 220));

    auto* ok = new QPushButton(QStringLiteral("OK"), box);
    ok->setObjectName(QStringLiteral("OkButton"));
    ok->setDefault(true);
    QObject::connect(ok, &QPushButton::clicked, box, &QDialog::accept);

    auto* grid = new QGridLayout(box);
    grid->addWidget(icon, 0, 0);
    grid->addWidget(message, 0, 1);
    if (!details.isEmpty()) {
        // The text of a report that could be saved nowhere: shown at once,
        // not behind a button, so it can be selected and copied.
        auto* copy = new QPlainTextEdit(details, box);
        copy->setObjectName(QStringLiteral("Details"));
        copy->setReadOnly(true);
        copy->setFont(ProgramFont(QStringLiteral("Courier New Cyr"), 9));
        copy->setLineWrapMode(QPlainTextEdit::NoWrap);
        copy->setFixedSize(kTextWidth, 240);
        grid->addWidget(copy, 1, 1);
    }
    grid->addWidget(ok, 2, 1, Qt::AlignRight);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    ok->setFocus();
    return box;
}

void QtPlatform::Inform(const QString& title, const QString& text, const QString& details) {
    std::unique_ptr<QDialog> box(MessageDialog(title, text, details, MessageParent()));
    GuardAgainstOpeningClick(box.get());
    box->exec();
}

}  // namespace heatx
