#include "hints/sApplicationHints.h"

#include "hints/sHintManager.h"

#include <QApplication>
#include <QMouseEvent>

namespace hints {

using canvas::TRect;

namespace {

TsCustomHintWindow *CreateHintWindow(const QMetaObject *cls)
{
    if (cls == &TsComicsHintWindow::staticMetaObject)
        return new TsComicsHintWindow;
    if (cls == &TsEllipseHintWindow::staticMetaObject)
        return new TsEllipseHintWindow;
    if (cls == &TsBalloonHintWindow::staticMetaObject)
        return new TsBalloonHintWindow;
    if (cls == &TsSimplyHintWindow::staticMetaObject)
        return new TsSimplyHintWindow;
    return nullptr;
}

} // namespace

TApplicationHints &TApplicationHints::Instance()
{
    static QPointer<TApplicationHints> instance;
    if (!instance)
        instance = new TApplicationHints;
    return *instance;
}

TApplicationHints::TApplicationHints() : QObject(QCoreApplication::instance())
{
    FShowTimer.setSingleShot(true);
    FHideTimer.setSingleShot(true);
    FShowTimer.setInterval(FHintPause);
    connect(&FShowTimer, &QTimer::timeout, this, &TApplicationHints::ShowPauseElapsed);
    connect(&FHideTimer, &QTimer::timeout, this, &TApplicationHints::HidePauseElapsed);
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
}

void TApplicationHints::SetHintWindowClass(const QMetaObject *Value)
{
    if (FHintWindowClass == Value)
        return;
    CloseHint(false);
    FShowTimer.stop();
    FHintWindowClass = Value;
    delete FWindow.data();
}

TsCustomHintWindow *TApplicationHints::OpenHint() const
{
    return FWindow && FWindow->isVisible() ? FWindow.data() : nullptr;
}

TsCustomHintWindow *TApplicationHints::Window()
{
    if (!FHintWindowClass)
        return nullptr;
    if (!FWindow || FWindow->metaObject() != FHintWindowClass) {
        delete FWindow.data();
        FWindow = CreateHintWindow(FHintWindowClass);
    }
    return FWindow;
}

QWidget *TApplicationHints::HintedControl(QWidget *widget)
{
    for (QWidget *w = widget; w; w = w->parentWidget()) {
        if (qobject_cast<TsCustomHintWindow *>(w))
            return nullptr;
        if (w->property("ShowHint").isValid())
            return w;
    }
    return nullptr;
}

bool TApplicationHints::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ToolTip:
        // Our windows stand in for the toolkit's tooltip.
        return FHintWindowClass != nullptr;
    case QEvent::MouseMove:
        if (FHintWindowClass && watched->isWidgetType()) {
            auto *move = static_cast<QMouseEvent *>(event);
            if (move->buttons() == Qt::NoButton) {
                // A disabled control hints too: ask what lies under the pointer.
                QWidget *under = QApplication::widgetAt(move->globalPosition().toPoint());
                if (!under || qobject_cast<TsCustomHintWindow *>(under->window()))
                    under = static_cast<QWidget *>(watched);
                PointerMoved(under);
            }
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
        if (FHintWindowClass && (OpenHint() || FShowTimer.isActive())) {
            FShowTimer.stop();
            CloseHint(true);
        }
        break;
    case QEvent::Leave:
        if (FControl && watched == FControl.data()) {
            // Leaving for another hinted control keeps the short pause.
            FShortNext = OpenHint() != nullptr;
            FShowTimer.stop();
            CloseHint(false);
            FControl = nullptr;
        }
        break;
    default:
        break;
    }
    return false;
}

void TApplicationHints::PointerMoved(QWidget *widget)
{
    QWidget *control = HintedControl(widget);
    if (control != FControl) {
        const bool wasOpen = OpenHint() != nullptr || FShortNext;
        CloseHint(false);
        FControl = control;
        FShortNext = false;
        if (control)
            FShowTimer.start(wasOpen ? FHintShortPause : FHintPause);
        else
            FShowTimer.stop();
        return;
    }
    if (!control || FSuppressed)
        return;
    if (OpenHint()) {
        // A hint rewritten while it is open (the bars' hints follow the stored values) shows at once.
        if (control->property("Hint").toString() != FShownText)
            ShowPauseElapsed();
        return;
    }
    // Not at rest yet: the pause starts again.
    FShowTimer.start();
}

void TApplicationHints::ShowPauseElapsed()
{
    FShowTimer.stop();
    QWidget *control = FControl;
    if (!control || FSuppressed || !control->isVisible() || !control->property("ShowHint").toBool())
        return;
    const QString text = control->property("Hint").toString();
    TsCustomHintWindow *window = text.isEmpty() ? nullptr : Window();
    if (!window)
        return;
    const TsHintManager *manager = CurrentHintManager();
    const TRect rect = window->CalcHintRect(manager ? manager->MaxWidth() : 200, text);
    window->ActivateHint(rect, text);
    if (window->isVisible()) {
        FShownText = text;
        FHideTimer.start(FHintHidePause);
    }
}

void TApplicationHints::HidePauseElapsed()
{
    CloseHint(true);
}

void TApplicationHints::CancelHint()
{
    FShortNext = false;
    FShowTimer.stop();
    CloseHint(false);
    FControl = nullptr;
}

void TApplicationHints::CloseHint(bool suppress)
{
    FHideTimer.stop();
    if (FWindow)
        FWindow->hide();
    FShownText.clear();
    FSuppressed = suppress;
}

} // namespace hints
