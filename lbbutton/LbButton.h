#pragma once

// Self-drawn push button: six face styles, caption with a glyph strip, hot tracking whose
// colour fades back on a small thread of its own, colour presets, stock kinds, default and
// cancel keys and an attached popup menu.

#include "canvas/Canvas.h"
#include "canvas/Colors.h"
#include "canvas/Fonts.h"
#include "controls/Controls.h"
#include "lbbutton/LbButtonFace.h"
#include "lbbutton/LbButtonThread.h"
#include "lbbutton/LbButtons.h"

#include <QImage>
#include <QMenu>
#include <QPointer>
#include <QWidget>

#include <cstdint>
#include <memory>

class QAction;
class QMenu;

namespace lbbutton {

class TLbButton : public QWidget, public controls::TControl
{
    Q_OBJECT
    // The shared control part, without the framework's click event: this button has its own.
    CONTROL_PROPERTIES
    Q_PROPERTY(controls::ControlEnums::TAlignment Alignment READ Alignment WRITE SetAlignment)
    Q_PROPERTY(QString Caption READ Caption WRITE SetCaption)
    Q_PROPERTY(bool Cancel READ Cancel WRITE SetCancel)
    Q_PROPERTY(bool Default READ Default WRITE SetDefault)
    Q_PROPERTY(lbbutton::TLbColorStyle ColorStyle READ ColorStyle WRITE SetColorStyle)
    Q_PROPERTY(uint ColorWhenDown READ ColorWhenDown WRITE SetColorWhenDown)
    Q_PROPERTY(bool Flat READ Flat WRITE SetFlat)
    Q_PROPERTY(QString Glyph READ Glyph WRITE SetGlyph)
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE SetNumGlyphs)
    Q_PROPERTY(uint HotTrackColor READ HotTrackColor WRITE SetHotTrackColor)
    Q_PROPERTY(canvas::TFont *HotTrackFont READ HotTrackFont)
    Q_PROPERTY(lbbutton::TLbButtonLayout Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(uint LightColor READ LightColor WRITE SetLightColor)
    Q_PROPERTY(uint ShadowColor READ ShadowColor WRITE SetShadowColor)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE SetModalResult)
    // After Glyph and ModalResult, which reset it, so a written layout reloads its kind.
    Q_PROPERTY(lbbutton::TLbButtonKind Kind READ Kind WRITE SetKind)
    Q_PROPERTY(bool SlowDecease READ SlowDecease WRITE SetSlowDecease)
    Q_PROPERTY(lbbutton::TLbButtonStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(bool UseHotTrackFont READ UseHotTrackFont WRITE SetUseHotTrackFont)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE SetWordWrap)
    Q_CLASSINFO("default:Visible", "True")
    Q_CLASSINFO("default:TabStop", "True")
    Q_CLASSINFO("default:Alignment", "taCenter")
    Q_CLASSINFO("default:Caption", "\"\"")
    Q_CLASSINFO("default:Cancel", "False")
    Q_CLASSINFO("default:Default", "False")
    Q_CLASSINFO("default:ColorStyle", "lcsCustom")
    Q_CLASSINFO("default:ColorWhenDown", "clNone")
    Q_CLASSINFO("default:Flat", "False")
    Q_CLASSINFO("default:Glyph", "\"\"")
    Q_CLASSINFO("default:NumGlyphs", "0")
    Q_CLASSINFO("default:HotTrackColor", "clNone")
    Q_CLASSINFO("default:Kind", "bkCustom")
    Q_CLASSINFO("default:Layout", "blGlyphLeft")
    Q_CLASSINFO("default:LightColor", "clWhite")
    Q_CLASSINFO("default:ShadowColor", "clGray")
    Q_CLASSINFO("default:SlowDecease", "False")
    Q_CLASSINFO("default:Style", "bsNormal")
    Q_CLASSINFO("default:WordWrap", "False")

public:
    explicit TLbButton(QWidget *parent = nullptr);
    ~TLbButton() override;

    controls::TAlignment Alignment() const { return FAlignment; }
    void SetAlignment(controls::TAlignment Value);
    QString Caption() const { return FCaption; }
    void SetCaption(const QString &Value);
    bool Cancel() const { return FCancel; }
    void SetCancel(bool Value) { FCancel = Value; }
    bool Default() const { return FDefault; }
    void SetDefault(bool Value) { FDefault = Value; }
    // Applies a preset; the value itself is not kept.
    TLbColorStyle ColorStyle() const { return lcsCustom; }
    void SetColorStyle(TLbColorStyle Value);
    uint ColorWhenDown() const { return FColorWhenDown; }
    void SetColorWhenDown(uint Value) { FColorWhenDown = Value; }
    bool Flat() const { return FFlat; }
    void SetFlat(bool Value);
    // The picture file (or resource name) the glyph came from.
    QString Glyph() const { return FGlyphName; }
    void SetGlyph(const QString &Value);
    // A null image empties the glyph.
    void SetGlyphImage(const QImage &Value, const QString &Name = QString());
    const QImage &GlyphImage() const { return FGlyph; }
    int NumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int Value);
    uint HotTrackColor() const { return FHotTrackColor; }
    void SetHotTrackColor(uint Value) { FHotTrackColor = Value; }
    canvas::TFont *HotTrackFont() const { return FHotTrackFont.get(); }
    TLbButtonKind Kind() const { return FKind; }
    void SetKind(TLbButtonKind Value);
    TLbButtonLayout Layout() const { return FLayout; }
    void SetLayout(TLbButtonLayout Value);
    uint LightColor() const { return FLightColor; }
    void SetLightColor(uint Value);
    int ModalResult() const { return FModalResult; }
    void SetModalResult(int Value);
    uint ShadowColor() const { return FShadowColor; }
    void SetShadowColor(uint Value);
    bool SlowDecease() const { return FSlowDecease; }
    void SetSlowDecease(bool Value);
    TLbButtonStyle Style() const { return FStyle; }
    void SetStyle(TLbButtonStyle Value);
    bool UseHotTrackFont() const { return FUseHotTrackFont; }
    void SetUseHotTrackFont(bool Value) { FUseHotTrackFont = Value; }
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);

    QMenu *PopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(QMenu *Value);
    QAction *Action() const { return FAction; }
    void SetAction(QAction *Value);

    bool Down() const { return FDown; }
    bool MouseInside() const { return FMouseInside; }
    int FadeLevel() const { return FFadeLevel; }
    TLbButtonThread *FadeThread() const { return FFadeThread.get(); }
    // The window's extended transparent style, set by the Style setter only.
    bool ExTransparent() const { return FExTransparent; }

    void Click();
    void DoClick() override;
    void FadeStep();
    // Draws the whole button onto its canvas.
    void Paint();
    // The control's canvas as the last Paint left it (transparent where the parent shows).
    const QImage &CanvasImage() const { return FCanvas; }
    int PaintCount() const { return FPaintCount; }

    // Pointer enter and leave, as the window system reports them.
    void MouseEnter();
    void MouseLeave();
    // The accelerator of the caption and the default / cancel keys, as the form hands them on.
    bool DialogChar(QChar Char);
    bool DialogKey(int Key, Qt::KeyboardModifiers Modifiers);

signals:
    void OnClick(QObject *Sender);
    void OnMouseEnter(QObject *Sender);
    void OnMouseExit(QObject *Sender);
    void OnMouseDown(QObject *Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void OnMouseMove(QObject *Sender, Qt::KeyboardModifiers Shift, int X, int Y);
    void OnMouseUp(QObject *Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void OnEnter(QObject *Sender);
    void OnExit(QObject *Sender);

protected:
    void DoMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override
    {
        emit OnMouseDown(this, button, shift, x, y);
    }
    void DoMouseMove(Qt::KeyboardModifiers shift, int x, int y) override
    {
        emit OnMouseMove(this, shift, x, y);
    }
    void DoMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override
    {
        emit OnMouseUp(this, button, shift, x, y);
    }
    void DoEnter() override { emit OnEnter(this); }
    void DoExit() override { emit OnExit(this); }
    void applyColor() override {}
    void applyFont() override {}

    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void changeEvent(QEvent *event) override;
    bool event(QEvent *event) override;

private slots:
    // Runs on this button's thread when the fade thread asks for a step.
    void FadeTick();

private:
    friend class TLbButtonThread;
    void RepaintNow();
    void Invalidate();
    void ActionChange();
    void StopFadeThread();
    QWidget *FindOwnerForm() const;

    controls::TAlignment FAlignment = controls::taCenter;
    QString FCaption;
    bool FCancel = false;
    bool FDefault = false;
    uint FColorWhenDown = canvas::clNone;
    bool FFlat = false;
    QImage FGlyph;
    QString FGlyphName;
    int FNumGlyphs = 0;
    uint FHotTrackColor = canvas::clNone;
    std::unique_ptr<canvas::TFont> FHotTrackFont;
    TLbButtonKind FKind = bkCustom;
    TLbButtonLayout FLayout = blGlyphLeft;
    uint FLightColor = canvas::clWhite;
    int FModalResult = 0;
    uint FShadowColor = canvas::clGray;
    bool FSlowDecease = false;
    TLbButtonStyle FStyle = bsNormal;
    bool FExTransparent = false;
    bool FUseHotTrackFont = false;
    bool FWordWrap = false;
    QPointer<QMenu> FPopupMenu;
    QPointer<QAction> FAction;
    bool FDown = false;
    bool FMouseInside = false;
    int FFadeLevel = 0;
    std::unique_ptr<TLbButtonThread> FFadeThread;
    QImage FCanvas;
    int FPaintCount = 0;
    QString FLastName;
};

// Registers TLbButton for stored layouts.
void RegisterLbButtonClasses();

} // namespace lbbutton
