#include "widgets/iKnob.h"

#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <numbers>

using namespace widgets;

namespace {

// The frequency knob of the main window in a shown, active window, with every event it
// raises recorded in order.
class KnobInput : public ::testing::Test
{
protected:
    void SetUp() override
    {
        window = std::make_unique<QWidget>();
        window->resize(260, 240);
        knob = new TiKnob(window.get());
        knob->move(0, 0);
        knob->resize(208, 178);
        knob->SetPositionMax(20000);
        knob->SetMinMaxFixed(true);
        knob->SetKnobRadius(44);
        knob->SetAutoSize(false);
        knob->SetIndicatorMargin(7);
        knob->SetTickMajorCount(6);
        knob->SetTickMajorLength(2);
        knob->SetShowFocusRect(false);
        other = new QLineEdit(window.get());
        other->move(0, 200);
        window->show();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window.get()));
        knob->PaintToImage(); // the mouse code works with the centre of the last paint
        QObject::connect(knob, &TiPositionComponent::OnPositionChange, [this](QObject *s) {
            EXPECT_EQ(s, knob);
            events << QStringLiteral("change");
        });
        QObject::connect(knob, &TiPositionComponent::OnPositionChangeUser, [this](QObject *s) {
            EXPECT_EQ(s, knob);
            events << QStringLiteral("user");
        });
        QObject::connect(knob, &TiPositionComponent::OnPositionChangeFinished, [this](QObject *s) {
            EXPECT_EQ(s, knob);
            events << QStringLiteral("finished");
        });
    }

    void TearDown() override
    {
        SetNowFunction({});
        window.reset();
    }

    void Wheel(int delta)
    {
        QWheelEvent e(QPointF(104, 89), knob->mapToGlobal(QPointF(104, 89)), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(knob, &e);
    }

    std::unique_ptr<QWidget> window;
    TiKnob *knob = nullptr;
    QLineEdit *other = nullptr;
    QStringList events;
};

} // namespace

TEST_F(KnobInput, DragByPointerAngleRaisesChangeUserThenFinished)
{
    knob->SetPosition(10000);
    events.clear();
    QTest::mousePress(knob, Qt::LeftButton, Qt::NoModifier, QPoint(104, 60));
    EXPECT_TRUE(knob->Dragging());
    EXPECT_DOUBLE_EQ(knob->LastPointerAngle(), -90.0);
    EXPECT_TRUE(knob->hasFocus());
    EXPECT_EQ(knob->GetPosition(), 10000); // the press point never moves the value
    EXPECT_TRUE(events.isEmpty());
    QTest::mouseMove(knob, QPoint(140, 89));
    EXPECT_NEAR(knob->GetPosition(), 10000 + 90.0 / 270.0 * 20000, 1e-6);
    EXPECT_EQ(events, QStringList({"change", "user"}));
    QTest::mouseRelease(knob, Qt::LeftButton, Qt::NoModifier, QPoint(140, 89));
    EXPECT_FALSE(knob->Dragging());
    EXPECT_EQ(events, QStringList({"change", "user", "finished"}));
}

TEST_F(KnobInput, IndicatorTakesTheActiveColourWhileDraggingOrWhileAKeyIsHeld)
{
    knob->SetIndicatorActiveColor(canvas::clRed);
    knob->SetIndicatorInactiveColor(canvas::clGreen);
    knob->SetPosition(10000);
    events.clear();
    const auto indicator = [&] { return canvas::FromQRgb(knob->PaintToImage().pixel(104, 56)); };
    QTest::mousePress(knob, Qt::LeftButton, Qt::NoModifier, QPoint(104, 70));
    EXPECT_EQ(indicator(), canvas::clRed);
    QTest::mouseRelease(knob, Qt::LeftButton, Qt::NoModifier, QPoint(104, 70));
    EXPECT_EQ(indicator(), canvas::clGreen);
    EXPECT_TRUE(events.isEmpty()); // a click does not move the value

    // Any key, even one the knob does not act on, until it is released.
    knob->setFocus();
    QTest::keyPress(knob, Qt::Key_A);
    EXPECT_EQ(indicator(), canvas::clRed);
    QTest::keyRelease(knob, Qt::Key_A);
    EXPECT_EQ(indicator(), canvas::clGreen);
}

TEST_F(KnobInput, PressOutsideTheBodyFocusesButDoesNotDrag)
{
    knob->SetPosition(10000);
    events.clear();
    QTest::mousePress(knob, Qt::LeftButton, Qt::NoModifier, QPoint(104, 89 - 44)); // distance 44
    EXPECT_TRUE(knob->hasFocus());
    EXPECT_TRUE(knob->HasFocus());
    EXPECT_FALSE(knob->Dragging());
    QTest::mouseMove(knob, QPoint(140, 89));
    QTest::mouseMove(knob, QPoint(104, 120));
    QTest::mouseRelease(knob, Qt::LeftButton, Qt::NoModifier, QPoint(104, 120));
    EXPECT_EQ(knob->GetPosition(), 10000);
    EXPECT_TRUE(events.isEmpty());
    // Other buttons never start a drag.
    QTest::mousePress(knob, Qt::RightButton, Qt::NoModifier, QPoint(104, 70));
    EXPECT_FALSE(knob->Dragging());
    QTest::mouseRelease(knob, Qt::RightButton, Qt::NoModifier, QPoint(104, 70));
}

TEST_F(KnobInput, CrossingTheSeamOnTheLeftTurnsSmoothly)
{
    knob->SetPosition(10000);
    QTest::mousePress(knob, Qt::LeftButton, Qt::NoModifier, QPoint(74, 88)); // about -178°
    QTest::mouseMove(knob, QPoint(74, 90));                                  // about +178°
    // Down the left side is counter-clockwise on screen: the value falls by the small angle.
    const double swept = 2 * (180.0 - std::atan2(1.0, 30.0) * 180.0 / std::numbers::pi);
    EXPECT_NEAR(knob->GetPosition(), 10000 - (360.0 - swept) / 270.0 * 20000, 1e-6);
    EXPECT_GT(knob->GetPosition(), 9000);
    QTest::mouseMove(knob, QPoint(74, 88));
    EXPECT_NEAR(knob->GetPosition(), 10000, 1e-6);
    QTest::mouseRelease(knob, Qt::LeftButton, Qt::NoModifier, QPoint(74, 88));
}

TEST_F(KnobInput, ClampedEndReactsAtOnceWhenTurningBack)
{
    knob->SetPosition(19000);
    QTest::mousePress(knob, Qt::LeftButton, Qt::NoModifier, QPoint(104, 60)); // -90°
    QTest::mouseMove(knob, QPoint(140, 89));                                  // 0°: clamped
    EXPECT_EQ(knob->GetPosition(), 20000);
    QTest::mouseMove(knob, QPoint(104, 120)); // 90°: still clamped
    EXPECT_EQ(knob->GetPosition(), 20000);
    QTest::mouseMove(knob, QPoint(140, 89)); // back by 90°
    EXPECT_NEAR(knob->GetPosition(), 20000 - 90.0 / 270.0 * 20000, 1e-6);
    QTest::mouseRelease(knob, Qt::LeftButton, Qt::NoModifier, QPoint(140, 89));
}

TEST_F(KnobInput, FocusLossEndsTheDragAndTheHeldKey)
{
    knob->SetPosition(10000);
    QTest::mousePress(knob, Qt::LeftButton, Qt::NoModifier, QPoint(104, 60));
    QTest::mouseMove(knob, QPoint(140, 89));
    events.clear();
    other->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(knob->HasFocus());
    EXPECT_FALSE(knob->Dragging());
    EXPECT_EQ(events, QStringList({"finished"}));
    const double value = knob->GetPosition();
    QTest::mouseMove(knob, QPoint(104, 120));
    EXPECT_EQ(knob->GetPosition(), value);

    // A key held while the focus leaves no longer counts as held.
    knob->setFocus();
    QApplication::processEvents();
    QTest::keyPress(knob, Qt::Key_Up);
    ASSERT_TRUE(knob->KeyboardActive());
    other->setFocus();
    QApplication::processEvents();
    EXPECT_FALSE(knob->KeyboardActive());
}

TEST_F(KnobInput, KeysStepTheValueAndFinishOnRelease)
{
    knob->setFocus();
    knob->SetPosition(100);
    events.clear();
    QTest::keyPress(knob, Qt::Key_Up);
    EXPECT_TRUE(knob->KeyboardActive());
    EXPECT_DOUBLE_EQ(knob->GetPosition(), 100.1);
    EXPECT_EQ(events, QStringList({"change", "user"}));
    QTest::keyRelease(knob, Qt::Key_Up);
    EXPECT_FALSE(knob->KeyboardActive());
    EXPECT_EQ(events, QStringList({"change", "user", "finished"}));

    knob->SetPosition(0.5);
    QTest::keyClick(knob, Qt::Key_PageDown);
    EXPECT_EQ(knob->GetPosition(), 0);
    QTest::keyClick(knob, Qt::Key_PageUp);
    EXPECT_EQ(knob->GetPosition(), 1);
    QTest::keyClick(knob, Qt::Key_Right);
    QTest::keyClick(knob, Qt::Key_Left);
    QTest::keyClick(knob, Qt::Key_Down);
    EXPECT_NEAR(knob->GetPosition(), 0.9, 1e-12);
    QTest::keyClick(knob, Qt::Key_End);
    EXPECT_EQ(knob->GetPosition(), 20000);
    events.clear();
    QTest::keyClick(knob, Qt::Key_End);
    EXPECT_TRUE(events.isEmpty());
    QTest::keyClick(knob, Qt::Key_Home);
    EXPECT_EQ(knob->GetPosition(), 0);
    EXPECT_EQ(events, QStringList({"change", "user", "finished"}));
}

TEST_F(KnobInput, KeysAreConsumedAndTheKeyboardCanBeSwitchedOff)
{
    for (int key : {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown,
                    Qt::Key_Home, Qt::Key_End}) {
        int k = key;
        knob->iKeyDown(k, Qt::NoModifier);
        EXPECT_EQ(k, 0) << key;
    }
    int a = Qt::Key_A;
    knob->iKeyDown(a, Qt::NoModifier);
    EXPECT_EQ(a, Qt::Key_A);
    EXPECT_TRUE(knob->KeyboardActive()); // any key makes the knob keyboard-active
    knob->iKeyUp(Qt::Key_A, Qt::NoModifier);

    EXPECT_TRUE(knob->WantsSpecialKey(Qt::Key_Left));
    EXPECT_TRUE(knob->WantsSpecialKey(Qt::Key_Down));
    EXPECT_FALSE(knob->WantsSpecialKey(Qt::Key_Tab));

    knob->SetUseKeyboard(false);
    EXPECT_FALSE(knob->WantsSpecialKey(Qt::Key_Left));
    knob->setFocus();
    knob->SetPosition(50);
    events.clear();
    QTest::keyClick(knob, Qt::Key_Up);
    EXPECT_EQ(knob->GetPosition(), 50);
    EXPECT_FALSE(knob->KeyboardActive());
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(KnobInput, UserKeyHandlerCanStopTheKnob)
{
    knob->setFocus();
    QObject::connect(knob, &TiComponent::OnKeyDown,
                     [](QObject *, int &key, Qt::KeyboardModifiers) { key = 0; });
    QTest::keyClick(knob, Qt::Key_End);
    EXPECT_EQ(knob->GetPosition(), 0);
}

TEST_F(KnobInput, WheelStepsAreGatedBy30Milliseconds)
{
    // Two days: a time at which 30 ms in days, subtracted back, falls just short of 30.
    double now = 2.0;
    SetNowFunction([&] { return now; });
    knob->SetPosition(100);
    events.clear();
    Wheel(120);
    EXPECT_EQ(knob->GetPosition(), 101);
    EXPECT_EQ(events, QStringList({"change", "user", "finished"}));
    const double accepted = now;
    now = accepted + 10.0 / kMSecsPerDay;
    Wheel(120); // 10 ms later: ignored
    EXPECT_EQ(knob->GetPosition(), 101);
    now = accepted + 30.0 / kMSecsPerDay;
    Wheel(120); // exactly 30 ms after the accepted one
    EXPECT_EQ(knob->GetPosition(), 102);
    for (int i = 0; i < 3; ++i) {
        now += 31.0 / kMSecsPerDay;
        Wheel(-120); // toward the user
    }
    EXPECT_EQ(knob->GetPosition(), 99);
    now += 31.0 / kMSecsPerDay;
    Wheel(0);
    EXPECT_EQ(knob->GetPosition(), 99);
    knob->SetMouseWheelStepSize(2.5);
    now += 31.0 / kMSecsPerDay;
    Wheel(-1);
    EXPECT_EQ(knob->GetPosition(), 96.5);
}

TEST_F(KnobInput, FocusRectangleFollowsTheFocus)
{
    knob->SetShowFocusRect(true);
    other->setFocus();
    QApplication::processEvents();
    const QImage before = knob->PaintToImage();
    knob->setFocus();
    QApplication::processEvents();
    ASSERT_TRUE(knob->HasFocus());
    const QImage focused = knob->PaintToImage();
    // Inverted on every other pixel of the border.
    EXPECT_NE(focused.pixel(0, 0), before.pixel(0, 0));
    EXPECT_EQ(focused.pixel(1, 0), before.pixel(1, 0));
    EXPECT_NE(focused.pixel(207, 1), before.pixel(207, 1));
    knob->SetShowFocusRect(false);
    EXPECT_EQ(knob->PaintToImage().pixel(0, 0), before.pixel(0, 0));
}
