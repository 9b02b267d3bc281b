// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/sweep_chart.h"

#include "text/text_format.h"

#include <QBuffer>
#include <QChart>
#include <QGraphicsScene>
#include <QImage>
#include <QLegendMarker>
#include <QLineSeries>
#include <QLocale>
#include <QLogValueAxis>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QScatterSeries>
#include <QSvgGenerator>
#include <QValueAxis>

#include <algorithm>
#include <cmath>
#include <functional>
#include <limits>

namespace heatx {

namespace {

// Dark enough to read on white and on the yellow, cyan and grey of the windows.
const QColor kCurveColours[] = {QColor(0, 0, 192),   QColor(192, 0, 0),   QColor(0, 128, 0),
                                QColor(128, 0, 128), QColor(0, 0, 0),     QColor(160, 80, 0),
                                QColor(0, 112, 128)};
const QColor kLimitColour(96, 96, 96);
const QColor kOwnColour(255, 0, 0);

QString Number(double value, int decimals) {
    return FormatFixed(float(value), 1, uint8_t(decimals)).trimmed();
}

QString PassesText(float z) {
    // A whole number of passes as such, a student's 2.5 with the decimal mark.
    return z == std::round(z) ? QString::number(int(z)) : Number(z, 2);
}

using Value = std::function<float(const SweepPoint&)>;

struct Range {
    double low = std::numeric_limits<double>::max();
    double high = std::numeric_limits<double>::lowest();
    void Take(double v) {
        if (!std::isfinite(v) || v <= 0) return;
        low = std::min(low, v);
        high = std::max(high, v);
    }
    bool Empty() const { return low > high; }
};

Range RangeOf(const Sweep& sweep, const Value& value) {
    Range r;
    for (const SweepCurve& c : sweep.curves)
        for (const SweepPoint& p : c.points)
            if (p.computed) r.Take(value(p));
    if (sweep.own.computed) r.Take(value(sweep.own));
    if (r.Empty()) r = Range{1, 10};
    return r;
}

// A logarithmic axis where the values span more than a factor of 20, else a
// linear one, over the values with a margin.
QAbstractAxis* AxisFor(const Range& r, const QString& title, bool forceLog = false) {
    QAbstractAxis* axis;
    if (forceLog || r.high / r.low > 20) {
        auto* log = new QLogValueAxis;
        log->setBase(10);
        log->setLabelFormat(QStringLiteral("%.0f"));
        log->setMinorTickCount(8);
        log->setRange(r.low / 1.2, r.high * 1.2);
        axis = log;
    } else {
        auto* linear = new QValueAxis;
        const double margin = (r.high - r.low) * 0.05 + r.high * 1e-3;
        linear->setRange(std::max(0.0, r.low - margin), r.high + margin);
        linear->setLabelFormat(r.high >= 100 ? QStringLiteral("%.0f")
                               : r.high >= 1 ? QStringLiteral("%.1f") : QStringLiteral("%.3f"));
        linear->applyNiceNumbers();
        axis = linear;
    }
    axis->setTitleText(title);
    QFont font = axis->titleFont();
    font.setPointSizeF(9);
    font.setBold(false);
    axis->setTitleFont(font);
    return axis;
}

QAbstractAxis* XAxis(const Sweep& sweep) {
    if (sweep.axis == SweepAxis::Height) {
        auto* axis = new QValueAxis;
        axis->setRange(1, 10);
        axis->setTickCount(10);
        axis->setLabelFormat(QStringLiteral("%.0f"));
        axis->setTitleText(QStringLiteral("Высота труб H, м"));
        return axis;
    }
    Range r;
    for (const SweepCurve& c : sweep.curves)
        if (!c.points.empty()) {
            r.Take(c.points.front().x);
            r.Take(c.points.back().x);
        }
    if (r.Empty()) r = Range{10, 5000};
    auto* axis = new QLogValueAxis;
    axis->setBase(10);
    axis->setLabelFormat(QStringLiteral("%.0f"));
    axis->setMinorTickCount(8);
    axis->setRange(r.low, r.high);
    axis->setTitleText(QStringLiteral("Общее число труб n, шт."));
    return axis;
}

void Attach(QChart* chart, QAbstractSeries* series, QAbstractAxis* x, QAbstractAxis* y) {
    chart->addSeries(series);
    series->attachAxis(x);
    series->attachAxis(y);
}

// Points of a curve drawn per width of a chart: a curve of 5000 tube counts
// is drawn through about this many of them (both ends of every piece always),
// spread evenly over the axis as it is scaled, which the eye cannot tell from
// all of them and which keeps drawing fast.
constexpr double kDrawnPerCurve = 500;

// Laminar, transitional or turbulent flow in the tubes.
int Regime(const SweepPoint& p) { return p.reTube < 2300 ? 0 : p.reTube < 10000 ? 1 : 2; }

bool Drawable(const SweepPoint& p, const Value& value) {
    const float v = value(p);
    return p.computed && std::isfinite(v) && v > 0;
}

// One curve as lines between its computed points: a run of points where the
// model stops leaves a gap. Only the first piece is named in the legend.
void AddCurve(QChart* chart, const SweepCurve& curve, int index, const QString& name, const QPen& pen,
              const Value& value, QAbstractAxis* x, QAbstractAxis* y, bool inLegend) {
    QLineSeries* piece = nullptr;
    bool named = false;
    if (curve.points.empty()) return;
    const bool log = qobject_cast<QLogValueAxis*>(x) != nullptr;
    const auto place = [&](double v) { return log ? std::log(std::max(v, 1e-30)) : v; };
    const double from = place(curve.points.front().x), to = place(curve.points.back().x);
    const double step = to > from ? (to - from) / kDrawnPerCurve : 1;
    double lastBucket = -1;
    for (std::size_t i = 0; i < curve.points.size(); ++i) {
        const SweepPoint& p = curve.points[i];
        const float v = value(p);
        if (!Drawable(p, value)) {
            piece = nullptr;
            continue;
        }
        const bool pieceEnd = i + 1 == curve.points.size() || !Drawable(curve.points[i + 1], value);
        // Both sides of a change of flow regime, so that the step stays a step.
        const bool regimeEdge = (i + 1 < curve.points.size() && Regime(curve.points[i + 1]) != Regime(p)) ||
                                (i > 0 && Regime(curve.points[i - 1]) != Regime(p));
        const double bucket = std::floor((place(p.x) - from) / step);
        if (piece && !pieceEnd && !regimeEdge && bucket == lastBucket) continue;
        lastBucket = bucket;
        if (!piece) {
            piece = new QLineSeries;
            piece->setPen(pen);
            piece->setName(name);
            piece->setProperty("heatxCurve", index);
            Attach(chart, piece, x, y);
            const bool shown = inLegend && !named;
            named = true;
            for (QLegendMarker* m : chart->legend()->markers(piece)) m->setVisible(shown);
        }
        piece->append(double(p.x), double(v));
    }
}

void AddLimit(QChart* chart, const QString& name, double value, const QAbstractAxis* x0, QAbstractAxis* x,
              QAbstractAxis* y) {
    double from = 0, to = 0;
    if (const auto* log = qobject_cast<const QLogValueAxis*>(x0)) {
        from = log->min();
        to = log->max();
    } else if (const auto* linear = qobject_cast<const QValueAxis*>(x0)) {
        from = linear->min();
        to = linear->max();
    }
    auto* line = new QLineSeries;
    line->setName(name);
    QPen pen(kLimitColour, 1.5, value < 5000 ? Qt::DashDotLine : Qt::DotLine);
    line->setPen(pen);
    line->append(from, value);
    line->append(to, value);
    Attach(chart, line, x, y);
}

void AddOwn(QChart* chart, double x, double y, QAbstractAxis* xAxis, QAbstractAxis* yAxis, bool inLegend) {
    if (!std::isfinite(y) || y <= 0) return;
    auto* own = new QScatterSeries;
    own->setName(QStringLiteral("ваша конструкция"));
    own->setMarkerShape(QScatterSeries::MarkerShapeCircle);
    own->setMarkerSize(13);
    own->setColor(QColor(255, 255, 255, 0));
    own->setBorderColor(kOwnColour);
    QPen ring(kOwnColour, 3);
    own->setPen(ring);
    own->setProperty("heatxOwn", true);
    own->append(x, y);
    Attach(chart, own, xAxis, yAxis);
    for (QLegendMarker* m : chart->legend()->markers(own)) m->setVisible(inLegend);
}

QChart* NewChart(const QString& title, const QColor& back) {
    auto* chart = new QChart;
    chart->setAnimationOptions(QChart::NoAnimation);
    chart->setTitle(title);
    QFont font = chart->titleFont();
    font.setPointSizeF(10);
    font.setBold(true);
    chart->setTitleFont(font);
    chart->setBackgroundBrush(back);
    chart->setBackgroundRoundness(0);
    chart->setPlotAreaBackgroundBrush(Qt::white);
    chart->setPlotAreaBackgroundVisible(true);
    chart->setLocalizeNumbers(true);
    chart->setLocale(DecimalMark() == QLatin1Char(',') ? QLocale(QLocale::Russian, QLocale::Russia) : QLocale::c());
    chart->legend()->setAlignment(Qt::AlignBottom);
    chart->legend()->setBackgroundVisible(false);
    return chart;
}

// A curve's pen. A solid curve is drawn with one dash longer than any chart:
// it looks solid, but the chart draws it as one path rather than as a line
// per pair of points, so an SVG holds one path per curve.
QPen CurvePen(const Sweep& sweep, int index, const SweepCurve& curve, Qt::PenStyle style) {
    QPen pen(kCurveColours[std::size_t(index) % std::size(kCurveColours)], curve.z == sweep.ownZ ? 3 : 2, style);
    if (style == Qt::SolidLine) pen.setDashPattern({1e6, 1});
    return pen;
}

QString CurveName(const Sweep& sweep, const SweepCurve& curve) {
    if (sweep.axis == SweepAxis::Height) return QStringLiteral("F");
    QString name = QStringLiteral("z = ") + PassesText(curve.z);
    if (curve.z == sweep.ownZ) name += QStringLiteral(" (ваше)");
    return name;
}

}  // namespace

QString SweepApparatusName(SweepApparatus apparatus) {
    switch (apparatus) {
    case SweepApparatus::Heater: return QStringLiteral("ПОДОГРЕВАТЕЛЬ ИЛИ ДЕФЛЕГМАТОР");
    case SweepApparatus::Cooler: return QStringLiteral("ХОЛОДИЛЬНИК");
    case SweepApparatus::Evaporator: return QStringLiteral("ИСПАРИТЕЛЬ");
    }
    return {};
}

QString SweepWindowTitle(SweepApparatus apparatus) {
    return QStringLiteral("ГРАФИК: ") + SweepApparatusName(apparatus);
}

SweepCharts MakeSweepCharts(const Sweep& sweep, const QColor& back) {
    SweepCharts charts;
    const bool height = sweep.axis == SweepAxis::Height;
    const Value f = [](const SweepPoint& p) { return p.f; };
    const Value k = [](const SweepPoint& p) { return p.k; };

    // F and K: F solid on the left axis, K dashed on the right.
    QChart* surface = NewChart(height ? QStringLiteral("Поверхность F (сплошная) и коэффициент K (штриховая)")
                                      : QStringLiteral("Поверхность F (сплошные) и коэффициент K (штриховые)"),
                               back);
    charts.surface.reset(surface);
    QAbstractAxis* x = XAxis(sweep);
    QAbstractAxis* yF = AxisFor(RangeOf(sweep, f), QStringLiteral("Поверхность теплообмена F, м²"));
    QAbstractAxis* yK = AxisFor(RangeOf(sweep, k), QStringLiteral("Коэффициент теплопередачи K, Вт/(м²·К)"));
    surface->addAxis(x, Qt::AlignBottom);
    surface->addAxis(yF, Qt::AlignLeft);
    surface->addAxis(yK, Qt::AlignRight);
    for (std::size_t i = 0; i < sweep.curves.size(); ++i) {
        const SweepCurve& c = sweep.curves[i];
        AddCurve(surface, c, int(i), CurveName(sweep, c), CurvePen(sweep, int(i), c, Qt::SolidLine), f, x, yF, true);
        // One curve of the evaporator: its K in a colour of its own.
        AddCurve(surface, c, int(i), QStringLiteral("K"), CurvePen(sweep, height ? 1 : int(i), c, Qt::DashLine), k, x,
                 yK, height);
    }
    AddOwn(surface, sweep.own.x, sweep.own.f, x, yF, true);
    AddOwn(surface, sweep.own.x, sweep.own.k, x, yK, false);

    QChart* second;
    if (sweep.hasReynolds) {
        const Value re = [](const SweepPoint& p) { return p.reTube; };
        Range r = RangeOf(sweep, re);
        r.Take(2300);
        r.Take(10000);
        second = NewChart(sweep.apparatus == SweepApparatus::Heater
                              ? QStringLiteral("Число Re в трубах (при Re ≤ 2300 расчёт невозможен: разрыв)")
                              : QStringLiteral("Число Re в трубах"),
                          back);
        QAbstractAxis* x2 = XAxis(sweep);
        QAbstractAxis* y = AxisFor(r, QStringLiteral("Число Рейнольдса Re в трубах"), true);
        second->addAxis(x2, Qt::AlignBottom);
        second->addAxis(y, Qt::AlignLeft);
        for (std::size_t i = 0; i < sweep.curves.size(); ++i) {
            const SweepCurve& c = sweep.curves[i];
            // The passes are named in the legend of F beside it, in the same colours.
            AddCurve(second, c, int(i), CurveName(sweep, c), CurvePen(sweep, int(i), c, Qt::SolidLine), re, x2, y,
                     false);
        }
        AddLimit(second, QStringLiteral("Re = 2300"), 2300, x2, x2, y);
        AddLimit(second, QStringLiteral("Re = 10 000"), 10000, x2, x2, y);
        AddOwn(second, sweep.own.x, sweep.own.reTube, x2, y, true);
    } else {
        // The evaporator computes no Reynolds number: its two film coefficients.
        const Value tube = [](const SweepPoint& p) { return p.alphaTube; };
        const Value shell = [](const SweepPoint& p) { return p.alphaShell; };
        Range r = RangeOf(sweep, tube);
        const Range s = RangeOf(sweep, shell);
        r.Take(s.low);
        r.Take(s.high);
        second = NewChart(QStringLiteral("Коэффициенты теплоотдачи"), back);
        QAbstractAxis* x2 = XAxis(sweep);
        QAbstractAxis* y = AxisFor(r, QStringLiteral("Коэффициент теплоотдачи α, Вт/(м²·К)"));
        second->addAxis(x2, Qt::AlignBottom);
        second->addAxis(y, Qt::AlignLeft);
        for (const SweepCurve& c : sweep.curves) {
            AddCurve(second, c, 0, QStringLiteral("α в трубах (кипит)"), CurvePen(sweep, 0, c, Qt::SolidLine), tube,
                     x2, y, true);
            AddCurve(second, c, 0, QStringLiteral("α в межтрубном пр-ве"),
                     CurvePen(sweep, 1, c, Qt::SolidLine), shell, x2, y, true);
        }
        AddOwn(second, sweep.own.x, sweep.own.alphaTube, x2, y, true);
        AddOwn(second, sweep.own.x, sweep.own.alphaShell, x2, y, false);
    }
    charts.reynolds.reset(second);
    return charts;
}

const SweepPoint* NearestPoint(const SweepCurve& curve, double x) {
    if (curve.points.empty()) return nullptr;
    const auto at = std::lower_bound(curve.points.begin(), curve.points.end(), x,
                                     [](const SweepPoint& p, double v) { return double(p.x) < v; });
    if (at == curve.points.end()) return &curve.points.back();
    if (at == curve.points.begin()) return &*at;
    const auto before = at - 1;
    return x - double(before->x) <= double(at->x) - x ? &*before : &*at;
}

QString PointText(const Sweep& sweep, float z, const SweepPoint& p) {
    QStringList parts;
    if (sweep.axis == SweepAxis::Height) {
        parts << QStringLiteral("H = ") + Number(p.x, 2) + QStringLiteral(" м");
    } else {
        parts << QStringLiteral("n = ") + QString::number(double(p.x), 'g', 9) << QStringLiteral("z = ") + PassesText(z);
        parts << QStringLiteral("Re = ") + Number(p.reTube, 2);
    }
    if (!p.computed) {
        parts << (sweep.hasReynolds ? QStringLiteral("Re не выше 2300: расчёт невозможен")
                                    : QStringLiteral("расчёт невозможен"));
        return parts.join(QStringLiteral(",  "));
    }
    if (!sweep.hasReynolds)
        parts << QStringLiteral("α тр. = ") + Number(p.alphaTube, 2) << QStringLiteral("α мтр. = ") + Number(p.alphaShell, 2);
    parts << QStringLiteral("K = ") + Number(p.k, 2) + QStringLiteral(" Вт/(м²·К)")
          << QStringLiteral("F = ") + Number(p.f, 2) + QStringLiteral(" м²");
    return parts.join(QStringLiteral(",  "));
}

void PaintSweep(QPainter& painter, const QRectF& area, const Sweep& sweep, const QColor& back) {
    SweepCharts charts = MakeSweepCharts(sweep, back);
    QGraphicsScene scene;
    const QRectF whole(0, 0, area.width(), area.height());
    scene.setSceneRect(whole);
    charts.surface->setGeometry(QRectF(0, 0, whole.width(), whole.height() / 2));
    charts.reynolds->setGeometry(QRectF(0, whole.height() / 2, whole.width(), whole.height() / 2));
    scene.addItem(charts.surface.get());
    scene.addItem(charts.reynolds.get());
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, area, whole);
    // The scene must not delete the charts: they go with charts.
    scene.removeItem(charts.surface.get());
    scene.removeItem(charts.reynolds.get());
}

QByteArray SweepPng(const Sweep& sweep, QSize size, double scale) {
    QImage image(size * scale, QImage::Format_RGB32);
    image.setDevicePixelRatio(scale);
    image.fill(Qt::white);
    {
        QPainter painter(&image);
        PaintSweep(painter, QRectF(QPointF(0, 0), QSizeF(size)), sweep);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return {};
    return bytes;
}

QByteArray SweepSvg(const Sweep& sweep, const QString& title, QSize size) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QSvgGenerator svg;
    svg.setOutputDevice(&buffer);
    svg.setSize(size);
    svg.setViewBox(QRect(QPoint(0, 0), size));
    svg.setTitle(title);
    {
        QPainter painter;
        if (!painter.begin(&svg)) return {};
        PaintSweep(painter, QRectF(QPointF(0, 0), QSizeF(size)), sweep);
    }
    return bytes;
}

QByteArray SweepPdf(const Sweep& sweep, const QString& title) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QPdfWriter pdf(&buffer);
    pdf.setPageSize(QPageSize(QPageSize::A4));
    pdf.setResolution(150);
    pdf.setTitle(title);
    pdf.setCreator(QStringLiteral("heatx"));
    QPainter painter;
    if (!painter.begin(&pdf)) return {};
    const QRectF page(0, 0, pdf.width(), pdf.height());
    QFont font = painter.font();
    font.setPointSizeF(11);
    painter.setFont(font);
    const double head = painter.fontMetrics().height() * 2.0;
    painter.drawText(QRectF(page.left(), page.top(), page.width(), head), Qt::AlignLeft | Qt::AlignVCenter, title);
    // Drawn at screen size and scaled onto the page, so that fonts and lines
    // keep the proportions of the window.
    const QSizeF drawn(1000, 1000 * (page.height() - head) / page.width());
    painter.translate(page.left(), page.top() + head);
    painter.scale(page.width() / drawn.width(), page.width() / drawn.width());
    PaintSweep(painter, QRectF(QPointF(0, 0), drawn), sweep);
    if (!painter.end()) return {};
    return bytes;
}

}  // namespace heatx
