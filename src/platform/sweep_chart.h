// SPDX-License-Identifier: GPL-3.0-or-later
// The charts of a design space (state/sweep.h), drawn with Qt Charts: F and K
// against the number of tubes (or the tube height), and the Reynolds number
// in the tubes with the limits of its regimes (the evaporator: its two film
// coefficients), one curve per number of passes, the student's construction
// marked. Where the model stops a curve has a gap. The same charts are shown
// in the chart window, written to PNG, SVG and PDF, and painted on a report
// page; they need a QApplication (the offscreen platform will do).
#pragma once

#include "state/sweep.h"

#include <QByteArray>
#include <QColor>
#include <QRectF>
#include <QSize>
#include <QString>
#include <memory>

class QChart;
class QPainter;

namespace heatx {

struct SweepCharts {
    std::unique_ptr<QChart> surface;   // F and K
    std::unique_ptr<QChart> reynolds;  // Re in the tubes, or the evaporator's coefficients
};

// back: the colour around the plot areas (the window's own).
SweepCharts MakeSweepCharts(const Sweep& sweep, const QColor& back = Qt::white);

// The apparatus in capitals, as the windows name it.
QString SweepApparatusName(SweepApparatus apparatus);
// "ГРАФИК: ..." of the chart window and the pictures.
QString SweepWindowTitle(SweepApparatus apparatus);

// The nearest point of curve to x (by x alone); nullptr for an empty curve.
const SweepPoint* NearestPoint(const SweepCurve& curve, double x);
// What hovering a point shows: n (or H), z, Re, K and F, or that the model
// stops there.
QString PointText(const Sweep& sweep, float z, const SweepPoint& point);

// Both charts painted into area of painter, one above the other.
void PaintSweep(QPainter& painter, const QRectF& area, const Sweep& sweep, const QColor& back = Qt::white);

// The picture files: a PNG of size (in pixels times scale: the lettering of
// size, drawn sharper), an SVG of size, a one-page A4 PDF headed by title.
// Empty when the picture could not be made.
QByteArray SweepPng(const Sweep& sweep, QSize size = QSize(800, 1000), double scale = 2);
QByteArray SweepSvg(const Sweep& sweep, const QString& title, QSize size = QSize(800, 1000));
QByteArray SweepPdf(const Sweep& sweep, const QString& title);

}  // namespace heatx
