#pragma once

#include "hints/sConst.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace hints {

class TsCustomHintWindow;

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

} // namespace hints
