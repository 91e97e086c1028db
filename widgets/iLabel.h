#pragma once

#include "canvas/Fonts.h"
#include "widgets/iVCLComponent.h"

#include <QPointer>
#include <cstdint>
#include <functional>

namespace widgets {

// One-line caption drawn on its own background, with an optional frame, drop shadow, inner
// margins and auto-sizing to the text. Its accelerator gives the focus to FocusControl.
class TiLabel : public TiVCLComponent
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ GetCaption WRITE SetCaption)
    Q_PROPERTY(canvas::TFont *Font READ GetFont WRITE SetFont)
    Q_PROPERTY(TiAlignmentHorizontal Alignment READ GetAlignment WRITE SetAlignment)
    Q_PROPERTY(bool AutoSize READ GetAutoSize WRITE SetAutoSize)
    Q_PROPERTY(TiLabelBorderStyle BorderStyle READ GetBorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(int OuterMarginLeft READ GetOuterMarginLeft WRITE SetOuterMarginLeft)
    Q_PROPERTY(int OuterMarginTop READ GetOuterMarginTop WRITE SetOuterMarginTop)
    Q_PROPERTY(int OuterMarginRight READ GetOuterMarginRight WRITE SetOuterMarginRight)
    Q_PROPERTY(int OuterMarginBottom READ GetOuterMarginBottom WRITE SetOuterMarginBottom)
    Q_PROPERTY(bool ShadowShow READ GetShadowShow WRITE SetShadowShow)
    Q_PROPERTY(int ShadowXOffset READ GetShadowXOffset WRITE SetShadowXOffset)
    Q_PROPERTY(int ShadowYOffset READ GetShadowYOffset WRITE SetShadowYOffset)
    Q_PROPERTY(canvas::TColor ShadowColor READ GetShadowColor WRITE SetShadowColor)
    Q_PROPERTY(QWidget *FocusControl READ GetFocusControl WRITE SetFocusControl)
    Q_PROPERTY(canvas::TColor BackGroundColor READ GetBackGroundColor WRITE SetBackGroundColor)
    Q_PROPERTY(bool Transparent READ GetTransparent WRITE SetTransparent)
    Q_CLASSINFO("default:Caption", "\"iLabel\"")
    Q_CLASSINFO("default:Alignment", "iahLeft")
    Q_CLASSINFO("default:AutoSize", "True")
    Q_CLASSINFO("default:BorderStyle", "ilbsNone")
    Q_CLASSINFO("default:OuterMarginLeft", "0")
    Q_CLASSINFO("default:OuterMarginTop", "0")
    Q_CLASSINFO("default:OuterMarginRight", "0")
    Q_CLASSINFO("default:OuterMarginBottom", "0")
    Q_CLASSINFO("default:ShadowShow", "False")
    Q_CLASSINFO("default:ShadowXOffset", "1")
    Q_CLASSINFO("default:ShadowYOffset", "1")
    Q_CLASSINFO("default:ShadowColor", "clGray")
    Q_CLASSINFO("default:BackGroundColor", "clBtnFace")
    Q_CLASSINFO("default:Transparent", "False")
    Q_CLASSINFO("default:Width", "28")
    Q_CLASSINFO("default:Height", "13")

public:
    enum TiLabelBorderStyle : uint8_t { ilbsNone, ilbsSingle, ilbsLowered, ilbsRaised };
    Q_ENUM(TiLabelBorderStyle)
    // Centre is 0.
    enum TiAlignmentHorizontal : uint8_t { iahCenter, iahLeft, iahRight };
    Q_ENUM(TiAlignmentHorizontal)

    explicit TiLabel(QWidget *parent = nullptr);
    ~TiLabel() override;

    QString GetCaption() const { return FCaption; }
    // OnPropertyChangeRequest may veto with the name "Caption".
    void SetCaption(const QString &Value);
    canvas::TFont *GetFont() const { return FFont; }
    // Copies the attributes; the font's own change notification re-sizes and repaints.
    void SetFont(canvas::TFont *Value);
    TiAlignmentHorizontal GetAlignment() const { return FAlignment; }
    void SetAlignment(TiAlignmentHorizontal Value);
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    // The label's frame replaces the base's bevel, which stays ibsNone.
    TiLabelBorderStyle GetBorderStyle() const { return FLabelBorderStyle; }
    using TiVCLComponent::SetBorderStyle;
    void SetBorderStyle(TiLabelBorderStyle Value);
    int GetOuterMarginLeft() const { return FOuterMarginLeft; }
    void SetOuterMarginLeft(int Value);
    int GetOuterMarginTop() const { return FOuterMarginTop; }
    void SetOuterMarginTop(int Value);
    int GetOuterMarginRight() const { return FOuterMarginRight; }
    void SetOuterMarginRight(int Value);
    int GetOuterMarginBottom() const { return FOuterMarginBottom; }
    void SetOuterMarginBottom(int Value);
    bool GetShadowShow() const { return FShadowShow; }
    void SetShadowShow(bool Value);
    int GetShadowXOffset() const { return FShadowXOffset; }
    void SetShadowXOffset(int Value);
    int GetShadowYOffset() const { return FShadowYOffset; }
    void SetShadowYOffset(int Value);
    canvas::TColor GetShadowColor() const { return FShadowColor; }
    void SetShadowColor(canvas::TColor Value);

    // Not owned; cleared when the control is destroyed. Stored as the control's name.
    QWidget *GetFocusControl() const { return FFocusControl.data(); }
    void SetFocusControl(QWidget *Value);

    // Not published; nothing in the program assigns it.
    std::function<void(QObject *)> OnResize;

    // 0, 1 or 2 pixels.
    int BorderWidth() const;
    // Where the caption goes (before any shadow offset).
    canvas::TRect TextRect() const;
    // The accelerator character of Caption (after a single '&'), or a null character.
    static QChar AcceleratorOf(const QString &Caption);
    // The accelerator pressed (with or without Alt): gives the focus to FocusControl when the
    // label is shown and enabled and the control can take it. False when nothing happened.
    bool DialogChar(QChar Char);

    void iPaintTo(canvas::Canvas &Canvas) override;

protected:
    bool event(QEvent *e) override;

private:
    template <class T> void SetSizing(T &Field, T Value);
    void DoAutoSize();
    void FontChanged();
    void UpdateShortcut();
    void FocusControlDestroyed();

    QString FCaption;
    canvas::TFont *FFont;
    TiAlignmentHorizontal FAlignment = iahLeft;
    bool FAutoSize = true;
    TiLabelBorderStyle FLabelBorderStyle = ilbsNone;
    int FOuterMarginLeft = 0;
    int FOuterMarginTop = 0;
    int FOuterMarginRight = 0;
    int FOuterMarginBottom = 0;
    bool FShadowShow = false;
    int FShadowXOffset = 1;
    int FShadowYOffset = 1;
    canvas::TColor FShadowColor;
    QPointer<QWidget> FFocusControl;
    QMetaObject::Connection FFocusControlWatch;
    int FShortcutId = 0;
    bool FAutoSizing = false;
};

using TiLabelBorderStyle = TiLabel::TiLabelBorderStyle;
using TiAlignmentHorizontal = TiLabel::TiAlignmentHorizontal;

} // namespace widgets
