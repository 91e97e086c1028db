#pragma once

// The hint manager and its hint windows. A manager placed on a form makes one of its window
// classes the application's hint window; the windows are painted entirely by the program.

#include "canvas/Canvas.h"
#include "canvas/Fonts.h"
#include "core/ComponentState.h"
#include "hints/sConst.h"
#include "hints/sStylePassive.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace hints {

class TsCustomHintWindow;

class TsHintManager : public QObject, public core::ComponentState
{
    Q_OBJECT
    Q_PROPERTY(hints::TsHintEnums::TsHintStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(hints::TsPassivePaintStyle *sStyle READ sStyle CONSTANT)
    Q_PROPERTY(int MaxWidth READ MaxWidth WRITE SetMaxWidth)
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE SetBevelWidth)
    Q_PROPERTY(int Blur READ Blur WRITE SetBlur)
    Q_PROPERTY(int Radius READ Radius WRITE SetRadius)
    Q_PROPERTY(int ExOffset READ ExOffset WRITE SetExOffset)
    Q_PROPERTY(int PauseHide READ PauseHide WRITE SetPauseHide)
    Q_PROPERTY(int MarginH READ MarginH WRITE SetMarginH)
    Q_PROPERTY(int MarginV READ MarginV WRITE SetMarginV)
    Q_PROPERTY(bool HTMLMode READ HTMLMode WRITE SetHTMLMode)
    Q_PROPERTY(int HintsDesigner READ HintsDesigner WRITE SetHintsDesigner)
    Q_PROPERTY(canvas::TFont *Font READ Font)
    Q_PROPERTY(
        hints::TsHintEnums::TsHintsPredefinitions PreDefinitions READ PreDefinitions WRITE SetPreDefinitions)

public:
    explicit TsHintManager(QObject *owner = nullptr);
    ~TsHintManager() override;

    TsHintStyle Style() const { return FStyle; }
    // Installs the style's window class (outside design mode) and makes the presets custom.
    void SetStyle(TsHintStyle Value);
    TsPassivePaintStyle *sStyle() const { return FsStyle; }
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value);
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    int Blur() const { return FBlur; }
    void SetBlur(int Value);
    int Radius() const { return FRadius; }
    void SetRadius(int Value);
    int ExOffset() const { return FExOffset; }
    void SetExOffset(int Value);
    int PauseHide() const { return FPauseHide; }
    void SetPauseHide(int Value);
    int MarginH() const { return FMarginH; }
    void SetMarginH(int Value);
    int MarginV() const { return FMarginV; }
    void SetMarginV(int Value);
    bool HTMLMode() const { return FHTMLMode; }
    void SetHTMLMode(bool Value);
    int HintsDesigner() const { return FHintsDesigner; }
    void SetHintsDesigner(int Value);
    canvas::TFont *Font() const { return FFont; }
    // Copies the font and makes the presets custom.
    void SetFont(const canvas::TFont &Value);
    TsHintsPredefinitions PreDefinitions() const { return FPreDefinitions; }
    // Applies the named preset of all settings.
    void SetPreDefinitions(TsHintsPredefinitions Value);

    // Copies the shared settings to `target` and installs its style there.
    void AssignTo(TsHintManager *target) const;

private:
    void ApplyPreset(TsHintsPredefinitions preset);
    void InstallStyle();

    TsHintStyle FStyle = TsHintEnums::hsEllipse;
    TsPassivePaintStyle *FsStyle;
    canvas::TFont *FFont;
    int FMaxWidth = 200;
    int FBevelWidth = 1;
    int FBlur = 1;
    int FRadius = 20;
    int FExOffset = 32;
    int FPauseHide = 5000;
    int FMarginH = 15;
    int FMarginV = 10;
    bool FHTMLMode = false;
    int FHintsDesigner = 0;
    TsHintsPredefinitions FPreDefinitions = TsHintEnums::shEllipse;
};

// The manager whose style last installed one of its own window classes; nullptr when none.
TsHintManager *CurrentHintManager();

// The toolkit's side of hints: timing and the application's hint window class. Our windows
// replace the toolkit's tooltips for the whole application; with no window class installed
// the plain tooltips show.
class TApplicationHints : public QObject
{
    Q_OBJECT

public:
    static TApplicationHints &Instance();

    int HintPause() const { return FHintPause; }
    void SetHintPause(int Value) { FHintPause = Value; }
    int HintShortPause() const { return FHintShortPause; }
    void SetHintShortPause(int Value) { FHintShortPause = Value; }
    int HintHidePause() const { return FHintHidePause; }
    void SetHintHidePause(int Value) { FHintHidePause = Value; }

    // nullptr gives back the toolkit's tooltip.
    const QMetaObject *HintWindowClass() const { return FHintWindowClass; }
    void SetHintWindowClass(const QMetaObject *Value);

    // The window of the hint being shown; nullptr when none is open.
    TsCustomHintWindow *OpenHint() const;
    QWidget *HintControl() const { return FControl; }
    bool ShowPending() const { return FShowTimer.isActive(); }
    int PendingPause() const { return FShowTimer.interval(); }
    bool HidePending() const { return FHideTimer.isActive(); }
    int PendingHidePause() const { return FHideTimer.interval(); }

    // What the timers do when they run out (tests call them instead of waiting).
    void ShowPauseElapsed();
    void HidePauseElapsed();
    void CancelHint();

    // The control whose hint a pointer over `widget` shows, or nullptr.
    static QWidget *HintedControl(QWidget *widget);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    TApplicationHints();
    void PointerMoved(QWidget *widget);
    void CloseHint(bool suppress);
    TsCustomHintWindow *Window();

    int FHintPause = DefaultHintPause;
    int FHintShortPause = 50;
    int FHintHidePause = ToolkitHintHidePause;
    const QMetaObject *FHintWindowClass = nullptr;
    QPointer<TsCustomHintWindow> FWindow;
    QPointer<QWidget> FControl;
    QString FShownText;
    bool FSuppressed = false;
    bool FShortNext = false;
    QTimer FShowTimer;
    QTimer FHideTimer;
};

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

// Registers the manager and the hint windows for stored layouts.
void RegisterHintClasses();

} // namespace hints
