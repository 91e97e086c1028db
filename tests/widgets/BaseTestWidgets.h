#pragma once

// Small widgets over the bases, so the bases are tested without the knob.

#include "widgets/iPositionComponent.h"
#include "widgets/iProgressComponent.h"
#include "widgets/iScaleComponent.h"

#include <QStringList>
#include <stdexcept>

namespace basetest {

// Static picture: the background step plus a 2x2 marker at (4, 4) in MarkerColor. Moving part:
// one pixel at (Value, 1) in clRed. Every hook call is logged.
class TestWidget : public widgets::TiVCLComponent
{
    Q_OBJECT

public:
    explicit TestWidget(QWidget *parent = nullptr) : TiVCLComponent(parent) { SetBounds(0, 0, 40, 30); }

    QStringList Log;
    QList<int> WantedKeys;
    int StaticDraws = 0;
    int Value = 2;
    canvas::TColor MarkerColor = canvas::clNavy;
    bool ThrowInPaint = false;
    bool ThrowInMouseDown = false;
    bool WheelAnswer = false;

    void iPaintTo(canvas::Canvas &Canvas) override
    {
        if (ThrowInPaint)
            throw std::runtime_error("paint failed");
        DrawStaticPicture(Canvas, [this](canvas::Canvas &c) {
            ++StaticDraws;
            DrawBackGround(c, GetBackGroundColor());
            c.Brush.Color = MarkerColor;
            c.FillRect(canvas::Rect(4, 4, 6, 6));
        });
        Canvas.SetPixel(Value, 1, canvas::clRed);
    }
    void iWantSpecialKey(int &Key, bool &Wanted) override
    {
        if (WantedKeys.contains(Key))
            Wanted = true;
    }
    void iKeyDown(int &Key, Qt::KeyboardModifiers) override { Log << QStringLiteral("iKeyDown %1").arg(Key); }
    void iKeyUp(int Key, Qt::KeyboardModifiers Shift) override
    {
        Log << QStringLiteral("iKeyUp %1%2").arg(Key).arg(Shift == Qt::NoModifier ? "" : " shift");
    }
    void iKeyPress(QChar &Key) override { Log << QStringLiteral("iKeyPress %1").arg(Key); }
    void iMouseDown(Qt::MouseButton, Qt::KeyboardModifiers, int X, int Y) override
    {
        Log << QStringLiteral("iMouseDown %1,%2").arg(X).arg(Y);
        if (ThrowInMouseDown)
            throw std::runtime_error("mouse failed");
    }
    void iMouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers, int X, int Y) override
    {
        Log << QStringLiteral("iMouseUp %1 %2,%3").arg(int(Button)).arg(X).arg(Y);
    }
    void iMouseMove(Qt::KeyboardModifiers, int X, int Y) override
    {
        Log << QStringLiteral("iMouseMove %1,%2").arg(X).arg(Y);
    }
    void iDoubleClick() override { Log << QStringLiteral("iDoubleClick"); }
    bool iMouseWheel(Qt::KeyboardModifiers, int WheelDelta, QPoint) override
    {
        Log << QStringLiteral("iMouseWheel %1").arg(WheelDelta);
        return WheelAnswer;
    }
    void DoFocusEnter() override
    {
        Log << QStringLiteral("DoFocusEnter");
        TiVCLComponent::DoFocusEnter();
    }
    void DoFocusLeave() override
    {
        Log << QStringLiteral("DoFocusLeave");
        TiVCLComponent::DoFocusLeave();
    }

    using TiVCLComponent::ParentSnapshot;
};

class TestPosition : public widgets::TiPositionComponent
{
    Q_OBJECT

public:
    explicit TestPosition(QWidget *parent = nullptr) : TiPositionComponent(parent) {}
    void iPaintTo(canvas::Canvas &Canvas) override { DrawBackGround(Canvas, GetBackGroundColor()); }
};

class TestProgress : public widgets::TiProgressComponent
{
    Q_OBJECT

public:
    explicit TestProgress(QWidget *parent = nullptr) : TiProgressComponent(parent) {}
    void iPaintTo(canvas::Canvas &Canvas) override { DrawBackGround(Canvas, GetBackGroundColor()); }
};

class TestScale : public widgets::TiScaleComponent
{
    Q_OBJECT

public:
    explicit TestScale(QWidget *parent = nullptr) : TiScaleComponent(parent) {}
    void iPaintTo(canvas::Canvas &Canvas) override { DrawBackGround(Canvas, GetBackGroundColor()); }
};

// Records the value-range events of a widget by name, in order.
class EventRecorder
{
public:
    explicit EventRecorder(widgets::TiPositionComponent *w)
    {
        using P = widgets::TiPositionComponent;
        add(w, &P::OnPositionChange, "OnPositionChange");
        add(w, &P::OnCurrentMaxChange, "OnCurrentMaxChange");
        add(w, &P::OnCurrentMinChange, "OnCurrentMinChange");
        add(w, &P::OnPositionOverMax, "OnPositionOverMax");
        add(w, &P::OnPositionUnderMin, "OnPositionUnderMin");
        add(w, &P::OnPositionChangeFinished, "OnPositionChangeFinished");
        add(w, &P::OnPositionChangeUser, "OnPositionChangeUser");
        QObject::connect(w, &P::OnPositionOverLimit, w, [this](QObject *, int i) {
            Events << QStringLiteral("OnPositionOverLimit %1").arg(i);
        });
        QObject::connect(w, &P::OnPositionUnderLimit, w, [this](QObject *, int i) {
            Events << QStringLiteral("OnPositionUnderLimit %1").arg(i);
        });
    }
    QStringList Events;

private:
    template <class Signal> void add(widgets::TiPositionComponent *w, Signal signal, const char *name)
    {
        QObject::connect(w, signal, w, [this, name](QObject *Sender) {
            Q_UNUSED(Sender);
            Events << QString::fromLatin1(name);
        });
    }
};

} // namespace basetest
