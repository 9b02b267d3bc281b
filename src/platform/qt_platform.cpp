// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/qt_platform.h"

#include "platform/fonts.h"
#include "platform/pictures.h"
#include "platform/twips.h"
#include "state/calc_state.h"

#include <QApplication>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
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
    entry_->setFocus();
}

QString InputBoxDialog::Text() const { return entry_->text(); }

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
    InputBoxDialog box(prompt, title, QApplication::activeWindow());
    PlaceOnScreen(&box, xTwips, yTwips);
    if (box.exec() != QDialog::Accepted) return QString();
    return box.Text();
}

int QtPlatform::YesNoBox(const QString& title, const QString& text) {
    QMessageBox box(QApplication::activeWindow());
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

void QtPlatform::Beep() { QApplication::beep(); }

QSize QtPlatform::ScreenSizeTwips() {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen) return QSize(TwipsFromPx(1024), TwipsFromPx(768));
    return QSize(TwipsFromPx(screen->size().width()), TwipsFromPx(screen->size().height()));
}

void QtPlatform::Inform(const QString& title, const QString& text) {
    QMessageBox box(QApplication::activeWindow());
    box.setWindowTitle(title);
    box.setText(text);
    box.setIcon(QMessageBox::Information);
    box.setTextFormat(Qt::PlainText);
    box.addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box.exec();
}

}  // namespace heatx
