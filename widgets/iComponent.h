#pragma once

#include "canvas/Canvas.h"
#include "canvas/Colors.h"
#include "controls/Controls.h"
#include "core/ComponentState.h"
#include "widgets/iTypes.h"

#include <QImage>
#include <QPoint>
#include <QVariant>
#include <QWidget>
#include <functional>
#include <memory>

namespace widgets {

// Base of every instrument widget: background step, bevel border, the two repaint requests
// with update lock and frame-rate gate, double-buffered painting with an optional cache of
// the static picture, and input routed into overridable hooks.
class TiComponent : public QWidget, public controls::TControl
{
    Q_OBJECT
    CONTROL_BOUNDS_PROPERTIES
    Q_PROPERTY(int Tag READ Tag WRITE setTag)
    Q_PROPERTY(controls::ControlEnums::TCursor Cursor READ Cursor WRITE setCursorType)
    Q_PROPERTY(QString Hint READ Hint WRITE setHint)
    Q_PROPERTY(bool Visible READ Visible WRITE setVisible)
    Q_PROPERTY(bool Enabled READ Enabled WRITE setEnabled)
    Q_PROPERTY(bool ShowHint READ ShowHint WRITE setShowHint)
    // No stream default: written after the ShowHint it guards, so a saved layout reloads the same.
    Q_PROPERTY(bool ParentShowHint READ ParentShowHint WRITE setParentShowHint)
    Q_PROPERTY(bool OptionSaveAllProperties READ GetOptionSaveAllProperties WRITE SetOptionSaveAllProperties)
    Q_PROPERTY(bool AutoFrameRate READ GetAutoFrameRate WRITE SetAutoFrameRate)
    Q_PROPERTY(int UpdateFrameRate READ GetUpdateFrameRate WRITE SetUpdateFrameRate)
    Q_CLASSINFO("default:Tag", "0")
    Q_CLASSINFO("default:Cursor", "crDefault")
    Q_CLASSINFO("default:Hint", "\"\"")
    Q_CLASSINFO("default:Visible", "True")
    Q_CLASSINFO("default:Enabled", "True")
    Q_CLASSINFO("default:ShowHint", "False")
    Q_CLASSINFO("default:AutoFrameRate", "False")
    Q_CLASSINFO("default:UpdateFrameRate", "60")

public:
    explicit TiComponent(QWidget *parent = nullptr);
    ~TiComponent() override;

    // --- virtual operations, in slot order -----------------------------------------------
    virtual QPoint GetCenterPoint() const;
    virtual void SetCachedDrawing(bool Value);
    virtual void SetBorderStyle(widgets::TiBevelStyle Value);
    virtual void SetBackGroundColor(canvas::TColor Value);
    virtual void DrawBackGround(canvas::Canvas &Canvas, canvas::TColor BackGroundColor);
    virtual void DrawBorder(canvas::Canvas &Canvas);
    virtual void Reserved1() {}
    virtual bool TimerIsRunning() const = 0;
    virtual void TimerStart(int IntervalMs) = 0;
    virtual void TimerStop() = 0;
    virtual bool BindingWriteBack(const QString &PropertyName, const QVariant &Value);
    virtual void DoFocusEnter();
    virtual void DoFocusLeave();
    virtual void iWantSpecialKey(int &Key, bool &Wanted);
    virtual void iKeyUp(int Key, Qt::KeyboardModifiers Shift);
    virtual void iKeyDown(int &Key, Qt::KeyboardModifiers Shift);
    virtual void iKeyPress(QChar &Key);
    virtual void iMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    virtual void iMouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    virtual void iMouseMove(Qt::KeyboardModifiers Shift, int X, int Y);
    virtual void iDoubleClick();
    virtual bool iMouseWheel(Qt::KeyboardModifiers Shift, int WheelDelta, QPoint MousePos);
    virtual void iPaintTo(canvas::Canvas &Canvas) = 0;
    virtual void RefreshBackGround();
    virtual void BeginUpdate();
    virtual void EndUpdate();
    virtual void Lock() = 0;
    virtual void Unlock() = 0;
    // Property text files (widgets/iPropertyFile). Both return true when done; a failure raises
    // core::Exception with "Error Saving Properties - " / "Error Loading Properties - "
    // and the cause. A failed load still releases the update lock.
    virtual bool SavePropertiesToFile(const QString &FileName);
    virtual bool LoadPropertiesFromFile(const QString &FileName);
    // The load without the file: `Data` is the file's bytes, `Name` names it in the error.
    bool LoadPropertiesFromData(const QByteArray &Data, const QString &Name);

    // --- repaint requests ----------------------------------------------------------------
    void InvalidateBackGround();
    void InvalidateForeGround();
    // The same for a change confined to `Area`: only it is repainted when the repaint is at once.
    void InvalidateForeGround(const QRect &Area);
    void RepaintNow();
    void RepaintThrottled();

    // --- properties ----------------------------------------------------------------------
    canvas::TColor GetBackGroundColor() const { return FBackGroundColor; }
    widgets::TiBevelStyle GetBorderStyle() const { return FBorderStyle; }
    bool GetCachedDrawing() const { return FCachedDrawing; }
    bool GetAutoFrameRate() const { return FAutoFrameRate; }
    void SetAutoFrameRate(bool Value);
    int GetUpdateFrameRate() const { return FUpdateFrameRate; }
    void SetUpdateFrameRate(int Value);
    int GetOffsetX() const { return FOffsetX; }
    void SetOffsetX(int Value);
    int GetOffsetY() const { return FOffsetY; }
    void SetOffsetY(int Value);
    bool GetOptionSaveAllProperties() const { return FOptionSaveAllProperties; }
    void SetOptionSaveAllProperties(bool Value) { FOptionSaveAllProperties = Value; }
    // An absent picture reads as a null image.
    QImage GetBackGroundPicture() const;
    bool HasBackGroundPicture() const { return FBackGroundPicture != nullptr; }
    // Copies the picture in (creating the owned one if absent); always a background request.
    void SetBackGroundPicture(const QImage &Value);
    // Creates the owned picture empty, as the knob's constructor does.
    void CreateBackGroundPicture();
    // Tab navigation only: a click does not focus the widget by itself (the knob takes the
    // focus in its own mouse handling). Widgets that publish TabStop declare the property over
    // these two.
    bool GetTabStop() const { return TabStop(); }
    void SetTabStop(bool Value);

    // (left, top, width, height) in the parent's client coordinates; negative sizes count as 0.
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

    // --- state ---------------------------------------------------------------------------
    bool BackGroundDirty() const { return FBackGroundDirty; }
    bool UpdateLocked() const { return FUpdateLocked; }
    bool PendingBackGround() const { return FPendingBackGround; }
    bool PendingForeGround() const { return FPendingForeGround; }
    double LastRepaintTime() const { return FLastRepaintTime; }
    bool HasFocus() const { return FHasFocus; }
    // Null until the first cached paint; widget-sized afterwards.
    QImage *BackGroundCacheImage() const { return FBackGroundCache.get(); }

    // Renders the complete widget the way a screen paint does (lock, off-screen bitmap,
    // iPaintTo, OnAfterPaint) and returns the bitmap.
    QImage PaintToImage();
    // The same within `Area` of `Bitmap`, which is made widget-sized; pixels outside it are left.
    void PaintInto(QImage &Bitmap, const QRect &Area);

    // How many requests of each kind were issued: neither the pixels nor the pending flags
    // tell one request from two.
    struct RepaintCounters
    {
        int InvalidateBackGround = 0;
        int InvalidateForeGround = 0;
        int RepaintNow = 0;
    };
    const RepaintCounters &Counters() const { return FCounters; }
    void ResetCounters() { FCounters = {}; }

signals:
    void OnClick(QObject *Sender);
    void OnDblClick(QObject *Sender);
    void OnMouseDown(QObject *Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void OnMouseMove(QObject *Sender, Qt::KeyboardModifiers Shift, int X, int Y);
    void OnMouseUp(QObject *Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void OnKeyDown(QObject *Sender, int &Key, Qt::KeyboardModifiers Shift);
    void OnKeyUp(QObject *Sender, int &Key, Qt::KeyboardModifiers Shift);
    void OnKeyPress(QObject *Sender, QChar &Key);
    // Drag and drop is not offered by this toolkit layer; the events exist for layouts.
    void OnDragDrop(QObject *Sender, QObject *Source, int X, int Y);
    void OnDragOver(QObject *Sender, QObject *Source, int X, int Y, bool &Accept);
    void OnStartDrag(QObject *Sender);
    void OnEndDrag(QObject *Sender, QObject *Target, int X, int Y);
    void OnPropertyChangeRequest(QObject *Sender, const QString &PropertyName, bool &Allow);
    void OnPropertyChanged(QObject *Sender, const QString &PropertyName);
    void OnAfterPaint(QObject *Sender, canvas::Canvas *Canvas);

protected:
    // The user's mouse events, raised by the framework after the hooks have run.
    void DoClick() override;
    void DoMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) override;
    void DoMouseMove(Qt::KeyboardModifiers Shift, int X, int Y) override;
    void DoMouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y) override;

    // The cache scheme: with CachedDrawing the static picture is drawn into BackGroundCache
    // only while BackGroundDirty is set, then copied; without it, drawn straight onto Canvas.
    void DrawStaticPicture(canvas::Canvas &Canvas, const std::function<void(canvas::Canvas &)> &DrawStatic);
    // True while the static picture must be redrawn whatever BackGroundDirty says (a parent
    // snapshot still waiting to be captured).
    virtual bool StaticPictureStale() const { return false; }
    // Creates the cache at the widget size on first use.
    QImage &EnsureBackGroundCache();
    void SetBackGroundDirty(bool Value) { FBackGroundDirty = Value; }
    // Something draws after iPaintTo, and may read or depend on any pixel.
    bool PaintedOver() const;

    // Geometry changes arrive here whether they come from SetBounds or from Qt directly.
    virtual void BoundsChanged(bool Moved, bool Resized);

    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    void moveEvent(QMoveEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;

    // The reflected key-up of the windowed base; nothing in this class.
    virtual void ReflectedKeyUp(int Key);

    canvas::TColor FBackGroundColor;
    widgets::TiBevelStyle FBorderStyle = ibsNone;
    std::unique_ptr<QImage> FBackGroundPicture;
    int FOffsetX = 0;
    int FOffsetY = 0;
    bool FCachedDrawing = true;
    bool FAutoFrameRate = false;
    int FUpdateFrameRate = 60;
    bool FOptionSaveAllProperties = false;
    std::unique_ptr<QImage> FBackGroundCache;
    QImage FPaintBitmap; // the screen paint's off-screen bitmap, reused
    bool FBackGroundDirty = true;
    bool FUpdateLocked = false;
    bool FPendingBackGround = false;
    bool FPendingForeGround = false;
    double FLastRepaintTime = 0.0;
    bool FHasFocus = false;

private:
    void RepaintArea(const QRect &Area);
    void Invalidate(bool &PendingFlag);

    // Geometry changes are noticed once, whether they come from SetBounds or from Qt's
    // (possibly deferred) move and resize events.
    void CheckBounds();

    RepaintCounters FCounters;
    QRect FBoundsSeen;
};

} // namespace widgets
