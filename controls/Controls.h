#pragma once

// Common ground of the standard controls: published geometry, visibility, hint, cursor,
// colour and font with their parent-following flags, alignment inside the parent, and the
// mouse events. Each control is a thin subclass of a Qt widget that also inherits TControl
// and declares the published part with FRAMEWORK_CONTROL (moc needs it in the class itself).

#include "canvas/Colors.h"
#include "canvas/Fonts.h"
#include "core/ComponentState.h"

#include <QFlags>
#include <QObject>
#include <QRect>
#include <QWidget>

#include <memory>

class QMouseEvent;
class QHelpEvent;

namespace controls {

// Enumerations of the standard controls; layouts write their values by name.
class ControlEnums
{
    Q_GADGET
public:
    enum TCursor {
        crDefault = 0,
        crNone = -1,
        crArrow = -2,
        crCross = -3,
        crIBeam = -4,
        crSizeAll = -22,
        crHourGlass = -11,
        crNo = -18,
        crHandPoint = -21,
    };
    Q_ENUM(TCursor)
    enum TAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };
    Q_ENUM(TAlign)
    // Panels honour bsNone and bsSingle only; forms all of them.
    enum TBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
    Q_ENUM(TBorderStyle)
    enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
    Q_ENUM(TBevelCut)
    enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };
    Q_ENUM(TBevelShape)
    enum TBevelStyle { bsLowered, bsRaised };
    Q_ENUM(TBevelStyle)
    enum TBevelKind { bkNone, bkTile, bkSoft, bkFlat };
    Q_ENUM(TBevelKind)
    enum TEditCharCase { ecNormal, ecUpperCase, ecLowerCase };
    Q_ENUM(TEditCharCase)
    enum TComboBoxStyle { csDropDown, csSimple, csDropDownList, csOwnerDrawFixed, csOwnerDrawVariable };
    Q_ENUM(TComboBoxStyle)
    enum TAlignment { taLeftJustify, taRightJustify, taCenter };
    Q_ENUM(TAlignment)
    enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };
    Q_ENUM(TButtonLayout)
    enum TPosition {
        poDesigned,
        poDefault,
        poDefaultPosOnly,
        poDefaultSizeOnly,
        poScreenCenter,
        poDesktopCenter,
        poMainFormCenter,
        poOwnerFormCenter,
    };
    Q_ENUM(TPosition)
    enum TWindowState { wsNormal, wsMinimized, wsMaximized };
    Q_ENUM(TWindowState)
    enum TBorderIcon { biSystemMenu = 0x1, biMinimize = 0x2, biMaximize = 0x4, biHelp = 0x8 };
    Q_DECLARE_FLAGS(TBorderIcons, TBorderIcon)
    Q_FLAG(TBorderIcons)
};
Q_DECLARE_OPERATORS_FOR_FLAGS(ControlEnums::TBorderIcons)

using TCursor = ControlEnums::TCursor;
using TAlign = ControlEnums::TAlign;
using TBorderStyle = ControlEnums::TBorderStyle;
using TBevelCut = ControlEnums::TBevelCut;
using TBevelShape = ControlEnums::TBevelShape;
using TBevelStyle = ControlEnums::TBevelStyle;
using TBevelKind = ControlEnums::TBevelKind;
using TEditCharCase = ControlEnums::TEditCharCase;
using TComboBoxStyle = ControlEnums::TComboBoxStyle;
using TAlignment = ControlEnums::TAlignment;
using TButtonLayout = ControlEnums::TButtonLayout;
using TPosition = ControlEnums::TPosition;
using TWindowState = ControlEnums::TWindowState;
using TBorderIcon = ControlEnums::TBorderIcon;
using TBorderIcons = ControlEnums::TBorderIcons;
using enum ControlEnums::TCursor;
using enum ControlEnums::TAlign;
using enum ControlEnums::TBorderStyle;
using enum ControlEnums::TBevelCut;
using enum ControlEnums::TBevelShape;
using enum ControlEnums::TBevelStyle;
using enum ControlEnums::TBevelKind;
using enum ControlEnums::TEditCharCase;
using enum ControlEnums::TComboBoxStyle;
using enum ControlEnums::TAlignment;
using enum ControlEnums::TButtonLayout;
using enum ControlEnums::TPosition;
using enum ControlEnums::TWindowState;
using enum ControlEnums::TBorderIcon;

Qt::CursorShape CursorShape(TCursor cursor);

class ControlEventFilter;

// Mixin of every standard control. Geometry is in the parent's client coordinates.
class TControl : public core::ComponentState
{
public:
    explicit TControl(QWidget *self);
    ~TControl() override;

    TControl(const TControl &) = delete;
    TControl &operator=(const TControl &) = delete;

    QWidget *asWidget() const { return m_self; }

    int Left() const { return boundsRect().x(); }
    int Top() const { return boundsRect().y(); }
    int Width() const { return boundsRect().width(); }
    int Height() const { return boundsRect().height(); }
    void setLeft(int left);
    void setTop(int top);
    void setWidth(int width);
    void setHeight(int height);
    // Negative sizes count as 0.
    virtual void SetBounds(int left, int top, int width, int height);
    virtual QRect boundsRect() const;

    // The control's own flags, whatever its parent shows.
    bool Visible() const;
    bool Enabled() const;

    QString Hint() const { return m_hint; }
    void setHint(const QString &hint);
    // With ParentShowHint the parent's ShowHint counts.
    bool ShowHint() const;
    void setShowHint(bool show);
    bool ParentShowHint() const { return m_parentShowHint; }
    bool isShowHintStored() const { return !m_parentShowHint; }
    void setParentShowHint(bool parentShowHint);

    TCursor Cursor() const { return m_cursor; }
    void setCursorType(TCursor cursor);

    // With ParentColor the parent's Color counts.
    uint Color() const;
    void setColor(uint color);
    bool ParentColor() const { return m_parentColor; }
    bool isColorStored() const { return !m_parentColor; }
    void setParentColor(bool parentColor);

    // Changing the font clears ParentFont; with ParentFont the font follows the parent's.
    canvas::TFont *Font() const { return m_font.get(); }
    bool ParentFont() const { return m_parentFont; }
    bool isFontStored() const { return !m_parentFont; }
    void setParentFont(bool parentFont);

    TAlign Align() const { return m_align; }
    void setAlign(TAlign align);

    int TabOrder() const { return m_tabOrder; }
    void setTabOrderIndex(int order) { m_tabOrder = order; }
    bool TabStop() const { return m_tabStop; }
    void setTabStop(bool tabStop);
    int Tag() const { return m_tag; }
    void setTag(int tag) { m_tag = tag; }

    void Loaded() override;

    // Where aligned children go, in this control's widget coordinates.
    virtual QRect alignRect() const;

    // Re-places the aligned children of `parent` (top, bottom, left, right, then client).
    static void AlignChildren(QWidget *parent);

protected:
    // Called by the concrete class's macro part.
    virtual void DoClick() = 0;
    virtual void DoMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) = 0;
    virtual void DoMouseMove(Qt::KeyboardModifiers shift, int x, int y) = 0;
    virtual void DoMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) = 0;
    virtual void DoEnter() {}
    virtual void DoExit() {}

    // Paints the colour / font into the Qt widget; overridden by controls that paint themselves
    // or use other palette roles.
    virtual void applyColor();
    virtual void applyFont();
    // A plain press and release on the control clicks it (controls without a click of their own).
    void setClickOnRelease(bool on) { m_clickOnRelease = on; }
    // Repaint unless loading (Loaded repaints once).
    void requestRepaint();
    void setDefaultColor(uint color, bool parentColor);
    void setDefaultFocus(bool tabStop);

    virtual void parentFontChanged();
    virtual void parentColorChanged();
    virtual void visibilityChanged();

private:
    friend class ControlEventFilter;
    void fontChanged();
    void colorChanged();
    void notifyChildren(bool font);
    bool handleEvent(QEvent *event);
    void handleMouse(QMouseEvent *event);
    void showHint(QHelpEvent *event);

    QWidget *m_self;
    ControlEventFilter *m_filter;
    std::unique_ptr<canvas::TFont> m_font;
    QString m_hint;
    uint m_color = canvas::clBtnFace;
    TCursor m_cursor = crDefault;
    TAlign m_align = alNone;
    int m_tabOrder = -1;
    int m_tag = 0;
    bool m_showHint = false;
    bool m_parentShowHint = true;
    bool m_parentColor = false;
    bool m_parentFont = true;
    bool m_tabStop = false;
    bool m_syncingFont = false;
    bool m_clickOnRelease = false;
    bool m_pressedForClick = false;
};

} // namespace controls

// Geometry in the parent's client coordinates, published first by every control.
#define CONTROL_BOUNDS_PROPERTIES                                                                            \
    Q_PROPERTY(int Left READ Left WRITE setLeft)                                                             \
    Q_PROPERTY(int Top READ Top WRITE setTop)                                                                \
    Q_PROPERTY(int Width READ Width WRITE setWidth)                                                          \
    Q_PROPERTY(int Height READ Height WRITE setHeight)

// The published part every control shares. Stream defaults of Visible, Color and TabStop differ
// per class and are declared there. ParentShowHint, ParentColor and ParentFont have no stream
// default and come after the value they guard, so a written layout reloads to the same state.
#define CONTROL_PROPERTIES                                                                                   \
    CONTROL_BOUNDS_PROPERTIES                                                                                \
    Q_PROPERTY(controls::ControlEnums::TAlign Align READ Align WRITE setAlign)                               \
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)                                                   \
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)                                                   \
    Q_PROPERTY(QString Hint READ Hint WRITE setHint)                                                         \
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE setShowHint)                                                \
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE setParentShowHint)                              \
    Q_PROPERTY(controls::ControlEnums::TCursor Cursor READ Cursor WRITE setCursorType)                       \
    Q_PROPERTY(uint Color READ Color WRITE setColor)                                                         \
    Q_PROPERTY(bool ParentColor READ ParentColor WRITE setParentColor)                                       \
    Q_PROPERTY(canvas::TFont *Font READ Font)                                                                \
    Q_PROPERTY(bool ParentFont READ ParentFont WRITE setParentFont)                                          \
    Q_PROPERTY(int TabOrder READ TabOrder WRITE setTabOrderIndex)                                            \
    Q_PROPERTY(bool TabStop READ TabStop WRITE setTabStop)                                                   \
    Q_PROPERTY(int Tag READ Tag WRITE setTag)                                                                \
    Q_CLASSINFO("default:Align", "alNone")                                                                   \
    Q_CLASSINFO("default:Enabled", "True")                                                                   \
    Q_CLASSINFO("default:Hint", "\"\"")                                                                      \
    Q_CLASSINFO("default:ShowHint", "False")                                                                 \
    Q_CLASSINFO("default:Cursor", "crDefault")                                                               \
    Q_CLASSINFO("default:TabOrder", "-1")                                                                    \
    Q_CLASSINFO("default:Tag", "0")

// The shared properties with the framework's click and mouse events.
#define FRAMEWORK_CONTROL                                                                                    \
    CONTROL_PROPERTIES                                                                                       \
public:                                                                                                      \
    Q_SIGNAL void OnClick(QObject *Sender);                                                                  \
    Q_SIGNAL void OnMouseDown(QObject *Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X,   \
                              int Y);                                                                        \
    Q_SIGNAL void OnMouseMove(QObject *Sender, Qt::KeyboardModifiers Shift, int X, int Y);                   \
    Q_SIGNAL void OnMouseUp(QObject *Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X,     \
                            int Y);                                                                          \
                                                                                                             \
protected:                                                                                                   \
    void DoClick() override                                                                                  \
    {                                                                                                        \
        emit OnClick(this);                                                                                  \
    }                                                                                                        \
    void DoMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override             \
    {                                                                                                        \
        emit OnMouseDown(this, button, shift, x, y);                                                         \
    }                                                                                                        \
    void DoMouseMove(Qt::KeyboardModifiers shift, int x, int y) override                                     \
    {                                                                                                        \
        emit OnMouseMove(this, shift, x, y);                                                                 \
    }                                                                                                        \
    void DoMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) override               \
    {                                                                                                        \
        emit OnMouseUp(this, button, shift, x, y);                                                           \
    }                                                                                                        \
                                                                                                             \
private:

// Focus events of controls that take the focus. OnExit runs when the focus moves to another
// control of the window (not when the window itself is deactivated or a popup opens).
#define FRAMEWORK_FOCUS_EVENTS                                                                               \
public:                                                                                                      \
    Q_SIGNAL void OnEnter(QObject *Sender);                                                                  \
    Q_SIGNAL void OnExit(QObject *Sender);                                                                   \
                                                                                                             \
protected:                                                                                                   \
    void DoEnter() override                                                                                  \
    {                                                                                                        \
        emit OnEnter(this);                                                                                  \
    }                                                                                                        \
    void DoExit() override                                                                                   \
    {                                                                                                        \
        emit OnExit(this);                                                                                   \
    }                                                                                                        \
                                                                                                             \
private:
