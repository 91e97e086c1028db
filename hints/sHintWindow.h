#pragma once

// The hint windows, painted entirely by the program from the current manager's settings.

#include "canvas/Canvas.h"

#include <QWidget>

namespace hints {

class TsHintManager;

// The manager whose style last installed one of its own window classes; nullptr when none.
TsHintManager *CurrentHintManager();

// Where a W x H hint goes for origin `p` on `desktop`: below-right unless it runs off the bottom
// or right, then above / left unless that runs off the top / left. Quadrant: 0 below-right,
// 1 above-right, 2 below-left, 3 above-left.
QRect PlaceHint(const QPoint &p, int w, int h, const QRect &desktop, int *quadrant);

class TsCustomHintWindow : public QWidget
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)

public:
    explicit TsCustomHintWindow(QWidget *parent = nullptr);
    ~TsCustomHintWindow() override;

    QString Caption() const { return FCaption; }
    void SetCaption(const QString &Value) { FCaption = Value; }

    // Size of the hint for `text`, word-wrapped within `maxWidth`.
    virtual canvas::TRect CalcHintRect(int maxWidth, const QString &text);
    // Places the hint at the origin, captures the screen under it and shows it.
    virtual void ActivateHint(const canvas::TRect &rect, const QString &text);
    // Runs the painting pipeline on the work bitmap; the window shows the result.
    void Compose();
    // The composed picture (valid after Compose).
    const QImage &Composed() const;

    int Quadrant = 0;
    int ExtraWidth = 0;
    int ExtraHeight = 0;

protected:
    virtual QPoint GetHintOrigin();
    virtual void PaintShadow();
    virtual QImage BuildMask();
    virtual QImage BuildBody();

    virtual canvas::TRect GetBodyRect();
    virtual void PaintBackground(QImage &body, const canvas::TRect &rect);
    virtual void PaintBorder(QImage &body);
    virtual void PaintText(QImage &body);

    // Size added by the shape; the plain rectangle adds none.
    virtual void AddShapeSize(canvas::TRect &) {}

    TsHintManager *Manager() const { return CurrentHintManager(); }
    int ShadowOffset() const;
    // Combined transparency of the shadow in percent.
    int ShadowTransparency() const;
    QImage &Work();

    void paintEvent(QPaintEvent *event) override;

private:
    QString FCaption;
    bool FComposed = false;
};

class TsSimplyHintWindow : public TsCustomHintWindow
{
    Q_OBJECT

public:
    using TsCustomHintWindow::TsCustomHintWindow;

protected:
    QPoint GetHintOrigin() override;
    // The frame's right and bottom edges sit one pixel in; the base class moves the left and top.
    void PaintBorder(QImage &body) override;
};

// Shapes with a tail towards the pointer, outlined from their mask.
class TsShapedHintWindow : public TsCustomHintWindow
{
    Q_OBJECT

public:
    using TsCustomHintWindow::TsCustomHintWindow;

    // The shape as a W x H grey mask: rings of the shape inset by c = 0 .. blur, each in
    // level + (blur - c) * (255 - level) / (blur + 1), on white.
    QImage ShapeMask(int blur, int level);

protected:
    void PaintShadow() override;
    QImage BuildMask() override;
    canvas::TRect GetBodyRect() override;
    void PaintBorder(QImage &body) override;
    void AddShapeSize(canvas::TRect &r) override;

    // Draws ring `c` of the body (inset by c) on the mask canvas.
    virtual void DrawBodyRing(canvas::Canvas &mask, const canvas::TRect &body, int c) = 0;
    // Draws ring `c` of the way to the pointer.
    virtual void DrawTailRing(canvas::Canvas &mask, const canvas::TRect &body, int c);
    QPoint TailTip() const;
    int MaskLevel() const;
    virtual bool AddsExtraSize() const { return true; }
};

class TsComicsHintWindow : public TsShapedHintWindow
{
    Q_OBJECT

public:
    using TsShapedHintWindow::TsShapedHintWindow;

protected:
    void DrawBodyRing(canvas::Canvas &mask, const canvas::TRect &body, int c) override;
    bool AddsExtraSize() const override { return false; }
};

class TsEllipseHintWindow : public TsShapedHintWindow
{
    Q_OBJECT

public:
    using TsShapedHintWindow::TsShapedHintWindow;

protected:
    void DrawBodyRing(canvas::Canvas &mask, const canvas::TRect &body, int c) override;
};

class TsBalloonHintWindow : public TsShapedHintWindow
{
    Q_OBJECT

public:
    using TsShapedHintWindow::TsShapedHintWindow;

protected:
    void PaintShadow() override;
    void DrawBodyRing(canvas::Canvas &mask, const canvas::TRect &body, int c) override;
    void DrawTailRing(canvas::Canvas &mask, const canvas::TRect &body, int c) override;
};

} // namespace hints
