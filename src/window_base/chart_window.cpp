// SPDX-License-Identifier: GPL-3.0-or-later
#include "window_base/chart_window.h"

#include "platform/fonts.h"
#include "platform/qt_report_printer.h"
#include "platform/safe_output.h"
#include "platform/sweep_chart.h"
#include "platform/twips.h"
#include "window_base/form_window.h"
#include "window_base/program.h"

#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QDir>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineSeries>
#include <QScatterSeries>
#include <QScreen>
#include <QShortcut>
#include <QThread>
#include <QToolTip>
#include <QVBoxLayout>

namespace heatx {

namespace {

const char kChartName[] = "ChartWindow";

QFont SansFont(bool bold = false) { return ProgramFont(QStringLiteral("MS Sans Serif"), 8.25, bold); }

// The chart button's watch over the results: it shows and hides with them,
// and a chart of results no longer shown is closed.
class ResultsWatch : public QObject {
public:
    ResultsWatch(QWidget* results, QPushButton* button, FormWindow* design)
        : QObject(button), button_(button), design_(design) {
        results->installEventFilter(this);
        design->installEventFilter(this);
        button_->setVisible(results->isVisibleTo(design));
    }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // The design window put away (another exchanger, the sheet): its chart goes.
        if (watched == design_) {
            if (event->type() == QEvent::Hide) CloseChart();
            return false;
        }
        if (event->type() == QEvent::ShowToParent) button_->show();
        if (event->type() == QEvent::HideToParent) {
            button_->hide();
            CloseChart();
        }
        return false;
    }

private:
    void CloseChart() {
        if (ChartWindow* chart = OpenChart(design_)) chart->deleteLater();
    }

    QPushButton* button_;
    FormWindow* design_;
};

}  // namespace

ChartWindow::ChartWindow(FormWindow* design, const CalcState& state, SweepMaker sweep)
    : QWidget(design, Qt::Window), design_(design), make_(std::move(sweep)),
      input_(std::make_unique<CalcState>(state)) {
    setObjectName(QLatin1String(kChartName));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("ГРАФИК"));
    QPalette colours = palette();
    colours.setColor(QPalette::Window, design->BackColor());
    setPalette(colours);
    setAutoFillBackground(true);

    auto* layout = new QVBoxLayout(this);
    Own = new QLabel(this);
    Own->setObjectName(QStringLiteral("Own"));
    Own->setFont(SansFont(true));
    Own->setText(QStringLiteral("РАСЧЁТ КРИВЫХ..."));
    Own->setWordWrap(true);
    layout->addWidget(Own);

    auto* charts = new QHBoxLayout;
    SurfaceView = new QChartView(this);
    ReynoldsView = new QChartView(this);
    for (QChartView* view : {SurfaceView, ReynoldsView}) {
        view->setRenderHint(QPainter::Antialiasing);
        view->setMinimumSize(320, 260);
        charts->addWidget(view, 1);
    }
    layout->addLayout(charts, 1);

    Hover = new QLabel(this);
    Hover->setObjectName(QStringLiteral("Hover"));
    Hover->setFont(SansFont());
    Hover->setText(QStringLiteral("Наведите указатель на кривую: n, z, Re, K и F этой точки."));
    layout->addWidget(Hover);
    Saved = new QLabel(this);
    Saved->setObjectName(QStringLiteral("Saved"));
    Saved->setFont(SansFont(true));
    Saved->setWordWrap(true);
    Saved->setTextInteractionFlags(Qt::TextSelectableByMouse);
    layout->addWidget(Saved);

    auto* buttons = new QHBoxLayout;
    SaveButton = MakeButton(this, "SaveButton", QStringLiteral("СОХРАНИТЬ РИСУНОК (PNG И SVG)"), Rgb(0, 255, 255), 0, 0,
                            3600, 375);
    ReportButton = MakeButton(this, "ReportButton", QStringLiteral("ДОБАВИТЬ ГРАФИК В ОТЧЁТ"), Rgb(0, 255, 0), 0, 0,
                              3600, 375);
    CloseButton = MakeButton(this, "CloseButton", QStringLiteral("ЗАКРЫТЬ"), Rgb(255, 192, 128), 0, 0, 1800, 375);
    for (QPushButton* b : {SaveButton, ReportButton, CloseButton}) {
        b->setMinimumSize(b->size());
        b->setEnabled(b == CloseButton);
        buttons->addWidget(b);
    }
    buttons->addStretch(1);
    layout->addLayout(buttons);
    connect(SaveButton, &QPushButton::clicked, this, [this] { SavePictures(); });
    connect(ReportButton, &QPushButton::clicked, this, [this] { AddToReport(); });
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
    auto* escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
    connect(escape, &QShortcut::activated, this, &QWidget::close);

    // Large enough to read, never larger than the screen.
    const QRect screen = design->screen() ? design->screen()->availableGeometry() : QRect(0, 0, 1024, 768);
    resize(std::min(1100, screen.width() - 40), std::min(640, screen.height() - 60));
    move(screen.left() + (screen.width() - width()) / 2, screen.top() + (screen.height() - height()) / 2);

    // The curves away from the window's thread: a copy of the state in, the
    // sweep out; the window draws them when the thread has finished.
    worker_.reset(QThread::create([this] { sweep_ = make_(*input_); }));
    connect(worker_.get(), &QThread::finished, this, [this] { Computed(); });
    worker_->start();
}

ChartWindow::~ChartWindow() {
    // The thread reads the copy and writes sweep_: it ends before they go.
    if (worker_) worker_->wait();
}

void ChartWindow::Computed() {
    worker_->wait();
    ready_ = true;
    setWindowTitle(SweepWindowTitle(sweep_.apparatus));
    Draw();
    const bool any = !sweep_.curves.empty();
    SaveButton->setEnabled(any);
    ReportButton->setEnabled(any);
}

void ChartWindow::Draw() {
    QString own = sweep_.axis == SweepAxis::Height ? QStringLiteral("ВАША КОНСТРУКЦИЯ (КРУЖОК): ")
                                                   : QStringLiteral("ВАША КОНСТРУКЦИЯ (КРУЖОК): ");
    Own->setText(own + PointText(sweep_, sweep_.ownZ, sweep_.own));
    if (sweep_.curves.empty()) {
        Saved->setText(QStringLiteral("НИ ОДНА КОНСТРУКЦИЯ ДИАПАЗОНА НЕ ДАЁТ РЕЗУЛЬТАТА."));
        return;
    }
    SweepCharts charts = MakeSweepCharts(sweep_, palette().color(QPalette::Window));
    for (QChart* chart : {charts.surface.get(), charts.reynolds.get()}) {
        for (QAbstractSeries* series : chart->series()) {
            if (auto* line = qobject_cast<QLineSeries*>(series); line && line->property("heatxCurve").isValid()) {
                const int curve = line->property("heatxCurve").toInt();
                connect(line, &QLineSeries::hovered, this, [this, curve](const QPointF& at, bool entered) {
                    if (entered) HoverAt(curve, at.x());
                });
            }
            if (auto* own = qobject_cast<QScatterSeries*>(series); own && own->property("heatxOwn").isValid()) {
                connect(own, &QScatterSeries::hovered, this, [this](const QPointF&, bool entered) {
                    if (!entered) return;
                    Hover->setText(PointText(sweep_, sweep_.ownZ, sweep_.own));
                    QToolTip::showText(QCursor::pos(), Hover->text(), this);
                });
            }
        }
    }
    // A view takes the new chart but lets go of its old (empty) one, which
    // is ours to delete.
    for (auto [view, chart] : {std::pair{SurfaceView, &charts.surface}, std::pair{ReynoldsView, &charts.reynolds}}) {
        QChart* empty = view->chart();
        view->setChart(chart->release());
        delete empty;
    }
}

void ChartWindow::HoverAt(int curve, double x) {
    if (curve < 0 || std::size_t(curve) >= sweep_.curves.size()) return;
    const SweepCurve& c = sweep_.curves[std::size_t(curve)];
    const SweepPoint* p = NearestPoint(c, x);
    if (!p) return;
    Hover->setText(PointText(sweep_, c.z, *p));
    QToolTip::showText(QCursor::pos(), Hover->text(), this);
}

// The pictures stand beside the report: under the name of its text copy
// while one is open, else in the report folder under the apparatus and time.
QString ChartWindow::PictureBase() const {
    Program& p = design_->program();
    const QString copy = p.platform().ReportPrinter().CopyPath();
    if (!copy.isEmpty()) {
        const QFileInfo info(copy);
        return info.dir().filePath(info.completeBaseName() + QStringLiteral("_график"));
    }
    const QString word = SweepApparatusName(sweep_.apparatus).section(QLatin1Char(' '), 0, 0).toLower();
    return QDir(QtReportPrinter::ReportFolder())
        .filePath(QStringLiteral("График_") + word + QLatin1Char('_') +
                  p.platform().Now().toString(QStringLiteral("yyyy-MM-dd_HH-mm-ss")));
}

QStringList ChartWindow::SavePictures() {
    if (!ready_ || sweep_.curves.empty() || !design_) return {};
    const QString title = windowTitle();
    const QByteArray png = SweepPng(sweep_);
    const QByteArray svg = SweepSvg(sweep_, title);
    const QString base = PictureBase();
    QString error = png.isEmpty() || svg.isEmpty() ? QStringLiteral("рисунок не удалось нарисовать") : QString();
    QStringList paths;
    // A free pair of names: base.png and base.svg, or base_2 ..., never over
    // another file.
    for (int k = 1; error.isEmpty() && paths.isEmpty() && k < 1000; ++k) {
        const QString stem = k == 1 ? base : base + QStringLiteral("_%1").arg(k);
        if (QFileInfo::exists(stem + QStringLiteral(".png")) || QFileInfo::exists(stem + QStringLiteral(".svg")))
            continue;
        MakeFolders(QFileInfo(stem).absolutePath());
        AtomicFile pngFile, svgFile;
        if (!pngFile.Open(stem + QStringLiteral(".png"), AtomicFile::Mode::Exclusive) || !pngFile.Write(png) ||
            !svgFile.Open(stem + QStringLiteral(".svg"), AtomicFile::Mode::Exclusive) || !svgFile.Write(svg) ||
            !pngFile.Commit() || !svgFile.Commit()) {
            if (pngFile.FinalNameTaken() || svgFile.FinalNameTaken()) continue;
            error = pngFile.Failed() ? pngFile.ErrorText() : svgFile.ErrorText();
            if (!pngFile.Failed() && !svgFile.Failed()) error = QStringLiteral("файл не записан");
            QFile::remove(stem + QStringLiteral(".png"));
            break;
        }
        paths << stem + QStringLiteral(".png") << stem + QStringLiteral(".svg");
    }
    QPalette colours = Saved->palette();
    colours.setColor(QPalette::WindowText, paths.isEmpty() ? Rgb(192, 0, 0) : Rgb(0, 0, 128));
    Saved->setPalette(colours);
    Saved->setText(paths.isEmpty() ? QStringLiteral("РИСУНОК НЕ СОХРАНЁН: ") +
                                         (error.isEmpty() ? QStringLiteral("нет свободного имени") : error)
                                   : QStringLiteral("РИСУНОК СОХРАНЁН: ") + paths.join(QStringLiteral(", ")));
    return paths;
}

bool ChartWindow::AddToReport() {
    if (!ready_ || sweep_.curves.empty() || !design_) return false;
    Printer& printer = design_->program().platform().ReportPrinter();
    QString error;
    const QString path = printer.PrintPicture(SweepPng(sweep_), SweepSvg(sweep_, windowTitle()), &error);
    QPalette colours = Saved->palette();
    colours.setColor(QPalette::WindowText, path.isEmpty() ? Rgb(192, 0, 0) : Rgb(0, 0, 128));
    Saved->setPalette(colours);
    Saved->setText(path.isEmpty() ? QStringLiteral("ГРАФИК НЕ ДОБАВЛЕН В ОТЧЁТ: ") + error
                                  : QStringLiteral("ГРАФИК ДОБАВЛЕН В ОТЧЁТ СТРАНИЦЕЙ ПОСЛЕ БЛОКА; РИСУНОК: ") + path);
    if (!path.isEmpty()) ReportButton->setEnabled(false);
    return !path.isEmpty();
}

ChartWindow* OpenChart(FormWindow* design) {
    return design ? design->findChild<ChartWindow*>(QLatin1String(kChartName), Qt::FindDirectChildrenOnly) : nullptr;
}

QPushButton* AddChartButton(FormWindow* design, QWidget* results, SweepMaker sweep) {
    // On the row of «ХОД РАСЧЁТА» at the window's right side, or right below
    // the lowest push button of a window without one.
    constexpr double kWidth = 2175, kHeight = 375, kGap = 120, kSide = 240;
    double top = 0;
    if (const auto* steps = design->findChild<QPushButton*>(QStringLiteral("TraceButton"), Qt::FindDirectChildrenOnly)) {
        top = Twips(steps).top;
    } else {
        for (const QPushButton* b : design->findChildren<QPushButton*>(Qt::FindDirectChildrenOnly)) {
            const TwipsRect at = Twips(b);
            top = std::max(top, at.top + at.height + kGap);
        }
    }
    // The window grows by what the button needs, its outer size given as
    // before (the frame stays the manager's).
    if (const double short_ = top + kHeight + kGap - design->ScaleHeightTwips(); short_ > 0)
        design->SetWindowTwips(-1, -1, -1, design->HeightTwips() + short_);
    QPushButton* button = MakeButton(design, "ChartButton", QStringLiteral("ГРАФИК (F3)"), Rgb(255, 255, 192),
                                     design->ScaleWidthTwips() - kWidth - kSide, top, kWidth, kHeight);
    new ResultsWatch(results, button, design);
    const auto open = [design, sweep = std::move(sweep)] {
        if (ChartWindow* chart = OpenChart(design)) {
            BringToFront(chart);
            return;
        }
        auto* chart = new ChartWindow(design, design->program().state(), sweep);
        chart->show();
        BringToFront(chart);
    };
    QObject::connect(button, &QPushButton::clicked, design, open);
    auto* f3 = new QShortcut(QKeySequence(Qt::Key_F3), design);
    QObject::connect(f3, &QShortcut::activated, design, [button, open] {
        if (button->isVisible()) open();
    });
    return button;
}

}  // namespace heatx
