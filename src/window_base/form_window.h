// SPDX-License-Identifier: GPL-3.0-or-later
// The base of every window of the program: one named instance (Form1,
// Form3 ...), created on first reference by the Program and destroyed by
// unloading. Geometry is set in twips as the program gives it: the window's
// left, top, width and height include its frame; controls are placed in the
// client area. Text printed on the window's surface is kept as (x, y, text)
// items and drawn over the background until the surface is cleared.
//
// A hidden or disabled control never keeps the keyboard focus, whether or not
// its window is the active one: the focus moves on to the next shown control
// of the tab order (or leaves the window when there is none), and a key that
// still reaches such a control is dropped.
#pragma once

#include <QColor>
#include <QFont>
#include <QLabel>
#include <QList>
#include <QPushButton>
#include <QSize>
#include <QSizeF>
#include <QString>
#include <QWidget>
#include <functional>

class QListWidget;

namespace heatx {

class Program;

// The frame a window's outer size includes until the window manager has
// shown its own: 4 px borders, a 20 px title bar.
inline constexpr double kFrameWidthTwips = 120;
inline constexpr double kFrameHeightTwips = 420;
// The frame of this system's window manager in pixels (both borders across;
// title bar and lower border down), learned from the last window it framed;
// the assumed one above before that and where windows have no manager of
// their own (the offscreen platform of the tests). Windows made later size
// their client areas for it.
QSize WindowFramePx();
void SetWindowFramePx(QSize px);

class FormWindow : public QWidget {
public:
    FormWindow(Program& program, const QString& name);
    ~FormWindow() override;

    const QString& Name() const { return name_; }

    // The load handler: runs once, right after the instance is created.
    virtual void Load() {}

    // What the program does when the window's close box is pressed: a plain
    // window is unloaded; a sheet takes its input error dialog with it; an
    // input error dialog answers the close box itself (CloseBoxPressed).
    enum class FormRole { Window, Sheet, SheetDialog };
    virtual FormRole Role() const { return FormRole::Window; }
    virtual void CloseBoxPressed() {}

    // Outer geometry in twips (frame included); any value < 0 stays as it is.
    void SetWindowTwips(double left, double top, double width, double height);
    // Client area in twips.
    void SetClientTwips(double width, double height);
    double LeftTwips() const { return left_; }
    double TopTwips() const { return top_; }
    double WidthTwips() const { return width_; }
    double HeightTwips() const { return height_; }
    double ScaleWidthTwips() const { return width_ - frame_.width(); }
    double ScaleHeightTwips() const { return height_ - frame_.height(); }

    void SetBackColor(const QColor& color);
    void SetForeColor(const QColor& color);
    QColor BackColor() const { return back_; }

    // Text printed on the window's surface, top-left corner at x, y twips
    // from the client corner, in the window's font and fore colour.
    struct SurfaceText {
        double x;
        double y;
        QString text;
    };
    void PrintAt(double x, double y, const QString& text);
    // Clears everything printed on the surface.
    void ClearSurface();
    const QList<SurfaceText>& Surface() const { return surface_; }
    QStringList SurfaceLines() const;

    Program& program() const { return program_; }

    // Takes the frame, in pixels, that the window manager put around this
    // window: a client area given in twips keeps its size, an outer size
    // keeps the outer size (the client area is sized again). Windows learn
    // their frames by themselves; tests hand one in.
    void AdoptFrame(QSize px);

protected:
    // Draws the background below the printed text; the default fills it with
    // the back colour.
    virtual void PaintBackground(QPainter& painter);
    void paintEvent(QPaintEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ApplyGeometry(bool place = true);
    // Looks whether the manager has framed the window (windows of the
    // offscreen platform have no manager and no real frame).
    void LearnFrame();
    // A control that can take the focus: shown (once its window is) and enabled.
    bool Usable(const QWidget* control) const;
    // The focus leaves control (or its child) for the next usable control of
    // the tab order that takes Tab, or the window keeps no focus at all.
    void MoveFocusFrom(QWidget* control);

    Program& program_;
    QString name_;
    double left_ = 0, top_ = 0, width_ = 4800, height_ = 3600;
    QSizeF frame_;  // the frame, twips, that the client area was sized for
    bool clientSized_ = false;  // the last size set was the client area's
    bool frameCheckPending_ = false;
    QColor back_;
    QColor fore_;
    QList<SurfaceText> surface_;
};

// A push button of the program's windows, drawn by itself rather than by the
// style (whose gradients would pale the colours): the face flat in exactly
// the palette's button colour, a plain raised or pressed bevel around it. The
// button with the focus shows it plainly, from the moment the window opens:
// a black frame in place of the bevel and a dotted rectangle inside. Return
// and keypad Enter press the button, as the space bar does.
class FlatButton : public QPushButton {
public:
    using QPushButton::QPushButton;

    // Width of the bevel or of the focus frame, pixels.
    static constexpr int kEdge = 2;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    // The face and the bevel or focus frame.
    void PaintFrame(QPainter& painter) const;
    // The dotted focus rectangle along area, when the button has the focus.
    void PaintFocusDots(QPainter& painter, const QRect& area) const;
};

// A push button whose caption wraps onto further lines when it is wider than
// the button, centred both ways.
class CaptionButton : public FlatButton {
public:
    CaptionButton(const QString& caption, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
};

// A push button of a window: caption in "MS Sans Serif" 8.25 pt, the face
// colour (the style's own when face is invalid), placed in twips.
CaptionButton* MakeButton(QWidget* parent, const char* name, const QString& caption, const QColor& face,
                          double left, double top, double width, double height);

// Window colours, as red, green, blue.
inline QColor Rgb(int r, int g, int b) { return QColor(r, g, b); }

// Return, keypad Enter and the space bar on the current line of list edit
// that line, as a click on it does.
void EditLinesOnKeys(QListWidget* list, std::function<void(int row)> edit);

// Brings a shown window to the front and gives it the input focus.
void BringToFront(QWidget* window);

// Sets the face colour of a push button.
void SetFaceColor(QWidget* button, const QColor& color);
QColor FaceColor(const QWidget* button);
// Sets a label's back and text colour.
void SetLabelColors(QWidget* label, const QColor& back, const QColor& text);
// A plain-text label of a design window, at left, top with width, height
// (twips) in parent, its text from the top left corner.
QLabel* MakeTextLabel(QWidget* parent, const QString& name, double left, double top, double width, double height,
                      const QFont& font, const QColor& back, const QColor& text);

}  // namespace heatx
