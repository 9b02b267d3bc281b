// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_base/trace_window.h"

#include "platform/fonts.h"
#include "platform/twips.h"
#include "report/trace_block.h"
#include "text/text_format.h"
#include "window_base/form_window.h"
#include "window_base/program.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QResizeEvent>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

namespace heatx {

using namespace Qt::Literals::StringLiterals;

namespace {

// Continuation lines of a long step start under its formula.
constexpr int kStepIndent = 30;

// The steps wrapped to the characters the text area shows across.
class StepsText : public QPlainTextEdit {
public:
    explicit StepsText(QWidget* parent) : QPlainTextEdit(parent) {}
    void SetLines(QStringList lines) {
        lines_ = std::move(lines);
        Rewrap();
    }

protected:
    void resizeEvent(QResizeEvent* event) override {
        QPlainTextEdit::resizeEvent(event);
        Rewrap();
    }

private:
    void Rewrap() {
        const int advance = std::max(1, fontMetrics().horizontalAdvance(QLatin1Char('0')));
        const int columns = std::max(40, (viewport()->width() - 8) / advance);
        if (columns == columns_ && text_ == lines_) return;
        columns_ = columns;
        text_ = lines_;
        QStringList wrapped;
        for (const QString& line : lines_) wrapped << WrapLine(line, columns, kStepIndent);
        setPlainText(wrapped.join(QLatin1Char('\n')));
    }

    QStringList lines_;
    QStringList text_;
    int columns_ = 0;
};

// The steps window goes when its design window is hidden (the student moves
// on to the menu or the sheet), so it never stands alone over another window.
class HideWithDesign : public QObject {
public:
    HideWithDesign(QWidget* design, std::function<void()> hide) : QObject(design), hide_(std::move(hide)) {
        design->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override {
        if (event->type() == QEvent::Hide) hide_();
        return false;
    }

private:
    std::function<void()> hide_;
};

}  // namespace

TraceWindow::TraceWindow(QWidget* design) : QWidget(design, Qt::Window) {
    setObjectName(u"TraceWindow"_s);
    setWindowTitle(kTraceHeading);
    const QFont fixed = ProgramFont(u"Courier New Cyr"_s, 9);
    auto* text = new StepsText(this);
    Text = text;
    Text->setObjectName(u"Text"_s);
    Text->setFont(fixed);
    Text->setReadOnly(true);
    Text->setLineWrapMode(QPlainTextEdit::NoWrap);
    Table = new QTableWidget(this);
    Table->setObjectName(u"Table"_s);
    Table->setFont(fixed);
    Table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    Table->setSelectionMode(QAbstractItemView::NoSelection);
    Table->verticalHeader()->hide();
    auto* tableTitle = new QLabel(u"КОНСТРУКЦИИ, РАССЧИТАННЫЕ ДЛЯ ЭТОГО ЛИСТА (► — ПОКАЗАННАЯ СЕЙЧАС)"_s, this);
    PrintButton = new QPushButton(u"ДОБАВИТЬ В ОТЧЁТ"_s, this);
    PrintButton->setObjectName(u"PrintButton"_s);
    CloseButton = new QPushButton(u"ЗАКРЫТЬ"_s, this);
    CloseButton->setObjectName(u"CloseButton"_s);
    Note = new QLabel(this);
    Note->setObjectName(u"Note"_s);

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(PrintButton);
    buttons->addWidget(Note, 1);
    buttons->addWidget(CloseButton);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(Text, 4);
    layout->addWidget(tableTitle);
    layout->addWidget(Table, 1);
    layout->addLayout(buttons);
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
    new QShortcut(QKeySequence(Qt::Key_Escape), this, this, &QWidget::close);
    // The whole window on the screen, 1024 x 768 included, near its corner.
    const QRect screen = design->screen()->availableGeometry();
    setGeometry(screen.left() + 20, screen.top() + 40, std::min(960, screen.width() - 40),
                std::min(640, screen.height() - 80));
}

TraceHook::TraceHook(FormWindow* design, Program& program, double left, double top, QStringList header)
    : design_(design), program_(program), header_(std::move(header)) {
    Button = MakeButton(design, "TraceButton", kTraceHeading, Rgb(255, 255, 192), left, top, 2400, 375);
    Button->setToolTip(u"Шаги расчёта с подставленными числами (F2)"_s);
    Button->hide();
    QObject::connect(Button, &QPushButton::clicked, design, [this] { Open(); });
    hideWatch_ = new HideWithDesign(design, [this] {
        if (window_) window_->hide();
    });
    auto* key = new QShortcut(QKeySequence(Qt::Key_F2), design);
    QObject::connect(key, &QShortcut::activated, design, [this] {
        if (!Button->isHidden()) Open();
    });
}

Trace* TraceHook::Fresh() {
    trace_.Clear();
    printed_ = false;
    return &trace_;
}

void TraceHook::Computed(const TriedConstruction& row) {
    tried_.push_back(row);
    Button->setVisible(row.computed);
    if (!row.computed) {
        if (window_) window_->hide();
        return;
    }
    if (window_ && window_->isVisible()) Fill();
}

void TraceHook::Hide() {
    Button->hide();
    if (window_) window_->hide();
}

void TraceHook::NewSheet() {
    tried_.clear();
    Hide();
}

void TraceHook::Open() {
    if (!window_) {
        window_ = new TraceWindow(design_);
        QObject::connect(window_->PrintButton, &QPushButton::clicked, window_, [this] { PrintIntoReport(); });
    }
    Fill();
    window_->show();
    BringToFront(window_);
    window_->CloseButton->setFocus();
}

void TraceHook::Fill() {
    static_cast<StepsText*>(window_->Text)->SetLines(TraceLines(trace_, DecimalMark()));
    QTableWidget* t = window_->Table;
    t->clear();
    t->setColumnCount(int(header_.size()) + 1);
    t->setHorizontalHeaderLabels(QStringList{QString()} + header_);
    t->setRowCount(int(tried_.size()));
    for (int r = 0; r < int(tried_.size()); ++r) {
        const bool current = r == int(tried_.size()) - 1;
        QStringList cells = tried_[std::size_t(r)].cells;
        cells.prepend(current ? u"►"_s : QString());
        for (int c = 0; c < int(cells.size()) && c < t->columnCount(); ++c) {
            auto* item = new QTableWidgetItem(cells[c]);
            item->setTextAlignment(c == 0 ? Qt::AlignCenter : Qt::AlignRight | Qt::AlignVCenter);
            if (current) {
                QFont bold = item->font();
                bold.setBold(true);
                item->setFont(bold);
            }
            t->setItem(r, c, item);
        }
    }
    t->resizeColumnsToContents();
    t->scrollToBottom();
    window_->PrintButton->setEnabled(!printed_);
    window_->Note->setText(printed_ ? u"ХОД РАСЧЁТА ЭТОГО РЕЗУЛЬТАТА УЖЕ В ОТЧЁТЕ"_s : QString());
}

void TraceHook::PrintIntoReport() {
    if (printed_ || trace_.Empty()) return;
    if (resultPrinted && printResult && !resultPrinted()) printResult();
    program_.PrintTrace(trace_);
    printed_ = true;
    const QString copy = program_.platform().ReportPrinter().CopyPath();
    window_->PrintButton->setEnabled(false);
    window_->Note->setText(copy.isEmpty() ? u"ХОД РАСЧЁТА ДОБАВЛЕН В ОТЧЁТ"_s
                                          : u"ХОД РАСЧЁТА ДОБАВЛЕН В ОТЧЁТ: "_s + copy);
    window_->CloseButton->setFocus();
}

}  // namespace heatx
