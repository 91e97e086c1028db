#include "tests/widgets/BaseTestWidgets.h"

#include "canvas/Colors.h"
#include "widgets/iGPFunctions.h"
#include "widgets/iMath.h"

#include <QApplication>
#include <QTest>
#include <QWheelEvent>
#include <future>
#include <gtest/gtest.h>
#include <thread>

using namespace widgets;
using basetest::TestWidget;
using canvas::TColor;

namespace {

TColor PixelOf(const QImage &image, int x, int y)
{
    return canvas::FromQRgb(image.pixel(x, y));
}

// Drives Now() by hand; time is in days.
class FakeClock
{
public:
    FakeClock()
    {
        SetNowFunction([this] { return now; });
    }
    ~FakeClock() { SetNowFunction({}); }
    void AdvanceMs(double ms) { now += ms / kMSecsPerDay; }
    double now = 45000.0;
};

} // namespace

TEST(ComponentDefaults, FieldsAndCenterPoint)
{
    TestWidget w;
    EXPECT_EQ(w.GetBackGroundColor(), canvas::clBtnFace);
    EXPECT_EQ(w.GetBorderStyle(), ibsNone);
    EXPECT_TRUE(w.GetCachedDrawing());
    EXPECT_TRUE(w.BackGroundDirty());
    EXPECT_FALSE(w.GetTransparent());
    EXPECT_EQ(w.ParentSnapshot(), nullptr);
    EXPECT_EQ(w.BackGroundCacheImage(), nullptr);
    EXPECT_FALSE(w.HasBackGroundPicture());
    EXPECT_EQ(w.DialogCode(), 4);

    w.SetBounds(0, 0, 151, 99);
    EXPECT_EQ(w.GetCenterPoint(), QPoint(75, 49));
    w.SetOffsetX(-3);
    w.SetOffsetY(4);
    EXPECT_EQ(w.GetCenterPoint(), QPoint(72, 53));
}

TEST(ComponentRepaint, UnchangedValuesRequestNothingAndChangesRequestOneOfTheRightKind)
{
    TestWidget w;
    w.ResetCounters();
    w.SetBackGroundColor(canvas::clBtnFace);
    w.SetBorderStyle(ibsNone);
    w.SetCachedDrawing(true);
    w.SetAutoFrameRate(false);
    w.SetUpdateFrameRate(60);
    w.SetOffsetX(0);
    w.SetOffsetY(0);
    w.SetTransparent(false);
    w.SetBounds(w.x(), w.y(), w.width(), w.height());
    EXPECT_EQ(w.Counters().InvalidateBackGround, 0);
    EXPECT_EQ(w.Counters().InvalidateForeGround, 0);
    EXPECT_EQ(w.Counters().RepaintNow, 0);

    (void)w.PaintToImage(); // clears BackGroundDirty through the static picture
    ASSERT_FALSE(w.BackGroundDirty());
    w.InvalidateForeGround();
    EXPECT_FALSE(w.BackGroundDirty()) << "a foreground request leaves the static picture alone";
    EXPECT_EQ(w.Counters().RepaintNow, 1);

    w.ResetCounters();
    w.SetBorderStyle(ibsRaised);
    EXPECT_TRUE(w.BackGroundDirty());
    EXPECT_EQ(w.Counters().InvalidateBackGround, 1);
    EXPECT_EQ(w.Counters().RepaintNow, 1);
    w.SetBackGroundColor(canvas::clRed);
    w.SetOffsetX(2);
    w.SetUpdateFrameRate(30);
    EXPECT_EQ(w.Counters().InvalidateBackGround, 4);
    EXPECT_EQ(w.Counters().RepaintNow, 4);
    EXPECT_EQ(w.Counters().InvalidateForeGround, 0);
}

TEST(ComponentRepaint, BeginEndUpdateFoldsRequestsIntoAtMostOneRepaint)
{
    TestWidget w;
    w.ResetCounters();
    w.BeginUpdate();
    EXPECT_TRUE(w.UpdateLocked());
    w.SetBackGroundColor(canvas::clRed);
    w.InvalidateForeGround();
    w.SetBorderStyle(ibsLowered);
    w.InvalidateForeGround();
    EXPECT_EQ(w.Counters().RepaintNow, 0);
    EXPECT_TRUE(w.PendingBackGround());
    EXPECT_TRUE(w.PendingForeGround());
    w.EndUpdate();
    EXPECT_FALSE(w.UpdateLocked());
    EXPECT_EQ(w.Counters().RepaintNow, 1);
    EXPECT_FALSE(w.PendingBackGround());
    EXPECT_FALSE(w.PendingForeGround());

    w.ResetCounters();
    w.BeginUpdate();
    w.EndUpdate();
    EXPECT_EQ(w.Counters().RepaintNow, 0) << "no request, no repaint";
}

TEST(ComponentRepaint, FrameRateGateDropsRepaintsWithinOneFrame)
{
    FakeClock clock;
    TestWidget w;
    w.SetAutoFrameRate(true); // a background request: passes the gate (construction was long ago)
    clock.AdvanceMs(1000);
    w.InvalidateForeGround();
    w.ResetCounters();

    clock.AdvanceMs(5);
    w.InvalidateForeGround();
    EXPECT_EQ(w.Counters().RepaintNow, 0) << "5 ms after a repaint at 60 frames per second";
    EXPECT_TRUE(w.PendingForeGround());

    clock.AdvanceMs(5);
    w.SetBackGroundColor(canvas::clRed);
    EXPECT_EQ(w.Counters().RepaintNow, 0);
    EXPECT_TRUE(w.PendingBackGround());

    clock.AdvanceMs(10); // 20 ms since the last repaint
    w.InvalidateForeGround();
    EXPECT_EQ(w.Counters().RepaintNow, 1);
    EXPECT_FALSE(w.PendingForeGround());
    EXPECT_FALSE(w.PendingBackGround());

    // A waiting change is painted by EndUpdate even within the frame...
    clock.AdvanceMs(1);
    w.InvalidateForeGround();
    EXPECT_EQ(w.Counters().RepaintNow, 1);
    clock.AdvanceMs(17);
    w.EndUpdate();
    EXPECT_EQ(w.Counters().RepaintNow, 2);

    // ...and when the limit is switched off.
    clock.AdvanceMs(1);
    w.InvalidateForeGround();
    EXPECT_EQ(w.Counters().RepaintNow, 2);
    w.SetAutoFrameRate(false);
    EXPECT_EQ(w.Counters().RepaintNow, 3);
    EXPECT_FALSE(w.PendingForeGround());

    // A rate of 0 disables the limit.
    w.SetAutoFrameRate(true);
    w.SetUpdateFrameRate(0);
    w.ResetCounters();
    w.InvalidateForeGround();
    w.InvalidateForeGround();
    EXPECT_EQ(w.Counters().RepaintNow, 2);
}

TEST(ComponentPaint, BackgroundCacheIsRebuiltOnlyAfterBackgroundRequests)
{
    TestWidget w;
    QImage first = w.PaintToImage();
    EXPECT_EQ(w.StaticDraws, 1);
    ASSERT_NE(w.BackGroundCacheImage(), nullptr);
    EXPECT_EQ(w.BackGroundCacheImage()->size(), w.size());

    w.Value = 10;
    w.InvalidateForeGround();
    QImage second = w.PaintToImage();
    EXPECT_EQ(w.StaticDraws, 1) << "moving parts only";
    EXPECT_EQ(PixelOf(second, 10, 1), canvas::clRed);
    EXPECT_EQ(PixelOf(second, 2, 1), canvas::ColorToRGB(canvas::clBtnFace)) << "old moving part gone";
    EXPECT_EQ(PixelOf(second, 4, 4), canvas::clNavy);

    w.MarkerColor = canvas::clLime;
    (void)w.PaintToImage();
    EXPECT_EQ(w.StaticDraws, 1);
    w.SetBackGroundColor(canvas::clWhite);
    QImage third = w.PaintToImage();
    EXPECT_EQ(w.StaticDraws, 2);
    EXPECT_EQ(PixelOf(third, 4, 4), canvas::clLime);
    EXPECT_EQ(PixelOf(third, 20, 20), canvas::clWhite);

    w.SetBounds(0, 0, 50, 35);
    (void)w.PaintToImage();
    EXPECT_EQ(w.StaticDraws, 3) << "a resize is a background request";
    EXPECT_EQ(w.BackGroundCacheImage()->size(), QSize(50, 35));

    w.SetCachedDrawing(false);
    EXPECT_EQ(w.BackGroundCacheImage(), nullptr);
    (void)w.PaintToImage();
    (void)w.PaintToImage();
    EXPECT_EQ(w.StaticDraws, 5) << "uncached: drawn every paint";
    EXPECT_EQ(w.BackGroundCacheImage(), nullptr);
}

TEST(ComponentPaint, BorderPictureAndScreenCopy)
{
    TestWidget w;
    w.SetBackGroundColor(canvas::clYellow);
    w.SetBorderStyle(ibsRaised);
    QImage raised = w.PaintToImage();
    EXPECT_EQ(PixelOf(raised, 0, 0), 0xC0C0C0u);   // outer light
    EXPECT_EQ(PixelOf(raised, 1, 1), 0xFFFFFFu);   // inner highlight
    EXPECT_EQ(PixelOf(raised, 39, 29), 0x000000u); // outer dark shadow
    EXPECT_EQ(PixelOf(raised, 38, 28), 0x808080u); // inner shadow
    EXPECT_EQ(PixelOf(raised, 20, 15), canvas::clYellow);

    w.SetBorderStyle(ibsLowered);
    QImage lowered = w.PaintToImage();
    EXPECT_EQ(PixelOf(lowered, 0, 0), 0x808080u);
    EXPECT_EQ(PixelOf(lowered, 1, 1), 0x000000u);
    EXPECT_EQ(PixelOf(lowered, 39, 29), 0xFFFFFFu);
    EXPECT_EQ(PixelOf(lowered, 38, 28), 0xC0C0C0u);

    // An empty picture falls back to colour and bevel; a real one replaces both.
    w.SetBackGroundPicture(QImage());
    EXPECT_EQ(PixelOf(w.PaintToImage(), 0, 0), 0x808080u);
    QImage picture(2, 2, QImage::Format_RGB32);
    picture.fill(QColor(0, 0, 255));
    w.ResetCounters();
    w.SetBackGroundPicture(picture);
    EXPECT_EQ(w.Counters().InvalidateBackGround, 1);
    QImage pictured = w.PaintToImage();
    EXPECT_EQ(PixelOf(pictured, 0, 0), canvas::clBlue);
    EXPECT_EQ(PixelOf(pictured, 39, 29), canvas::clBlue);

    // paintEvent copies the same bitmap to the screen.
    w.SetBackGroundPicture(QImage());
    w.SetBorderStyle(ibsNone);
    const QImage screen = w.grab().toImage();
    EXPECT_EQ(PixelOf(screen, 2, 1), canvas::clRed);
    EXPECT_EQ(PixelOf(screen, 20, 20), canvas::clYellow);
}

TEST(ComponentPaint, AfterPaintSeesTheOffscreenCanvas)
{
    TestWidget w;
    int calls = 0;
    QObject::connect(&w, &TiComponent::OnAfterPaint, &w, [&](QObject *sender, canvas::Canvas *canvas) {
        ++calls;
        EXPECT_EQ(sender, &w);
        canvas->SetPixel(30, 20, canvas::clAqua);
    });
    const QImage image = w.PaintToImage();
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(PixelOf(image, 30, 20), canvas::clAqua);
}

TEST(ComponentPaint, ErrorsInPaintingAreSwallowedAndTheLockReleased)
{
    TestWidget w;
    w.show();
    w.ThrowInPaint = true;
    w.repaint(); // must not throw or crash
    EXPECT_THROW(w.PaintToImage(), std::runtime_error);
    // Another thread can take the paint lock, so no paint left it held.
    auto other = std::async(std::launch::async, [&] {
        w.Lock();
        w.Unlock();
    });
    EXPECT_EQ(other.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    w.ThrowInPaint = false;
    EXPECT_EQ(PixelOf(w.PaintToImage(), 2, 1), canvas::clRed);
}

TEST(ComponentInput, KeysReachTheUserHandlerFirstAndAZeroedKeyStopsThere)
{
    TestWidget w;
    QStringList order;
    QObject::connect(&w, &TiComponent::OnKeyDown, &w, [&](QObject *, int &Key, Qt::KeyboardModifiers) {
        order << QStringLiteral("OnKeyDown %1").arg(Key);
        w.Log << order.last();
        if (Key == Qt::Key_B)
            Key = 0;
    });
    QObject::connect(&w, &TiComponent::OnKeyUp, &w, [&](QObject *, int &Key, Qt::KeyboardModifiers) {
        w.Log << QStringLiteral("OnKeyUp %1").arg(Key);
    });
    QTest::keyPress(&w, Qt::Key_A);
    EXPECT_EQ(w.Log, (QStringList{QStringLiteral("OnKeyDown %1").arg(int(Qt::Key_A)),
                                  QStringLiteral("iKeyDown %1").arg(int(Qt::Key_A)),
                                  QStringLiteral("iKeyPress a")}));
    w.Log.clear();
    QTest::keyPress(&w, Qt::Key_B);
    EXPECT_EQ(w.Log.size(), 2) << w.Log.join(" | ").toStdString();
    EXPECT_FALSE(w.Log.contains(QStringLiteral("iKeyDown %1").arg(int(Qt::Key_B))));

    // Key up: the reflected notification (no shift), the user's handler, then the hook.
    w.Log.clear();
    QTest::keyRelease(&w, Qt::Key_A, Qt::ShiftModifier); // followed by the shift key's own release
    EXPECT_EQ(w.Log.mid(0, 3), (QStringList{QStringLiteral("iKeyUp %1").arg(int(Qt::Key_A)),
                                            QStringLiteral("OnKeyUp %1").arg(int(Qt::Key_A)),
                                            QStringLiteral("iKeyUp %1 shift").arg(int(Qt::Key_A))}));
}

TEST(ComponentInput, SpecialKeysReachTheWidgetOnlyWhenWanted)
{
    QWidget parent;
    TestWidget w(&parent);
    TestWidget next(&parent);
    w.SetTabStop(true);
    next.SetTabStop(true);
    parent.show();
    w.setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&parent));
    ASSERT_TRUE(w.hasFocus());

    w.WantedKeys = {Qt::Key_Up};
    EXPECT_TRUE(w.WantsSpecialKey(Qt::Key_Up));
    EXPECT_FALSE(w.WantsSpecialKey(Qt::Key_Left));
    QTest::keyPress(&w, Qt::Key_Up);
    EXPECT_TRUE(w.Log.contains(QStringLiteral("iKeyDown %1").arg(int(Qt::Key_Up))));
    EXPECT_TRUE(w.hasFocus());

    w.Log.clear();
    QTest::keyPress(&w, Qt::Key_Right);
    EXPECT_FALSE(w.Log.contains(QStringLiteral("iKeyDown %1").arg(int(Qt::Key_Right))));
    EXPECT_TRUE(next.hasFocus()) << "an unwanted arrow key moves the focus";
}

TEST(ComponentInput, MouseHooksRunBeforeTheUserEventsAndErrorsAreSwallowed)
{
    TestWidget w;
    w.show();
    QStringList &log = w.Log;
    QObject::connect(
        &w, &TiComponent::OnMouseDown, &w,
        [&](QObject *, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { log << "OnMouseDown"; });
    QObject::connect(
        &w, &TiComponent::OnMouseUp, &w,
        [&](QObject *, Qt::MouseButton, Qt::KeyboardModifiers, int, int) { log << "OnMouseUp"; });
    QObject::connect(&w, &TiComponent::OnMouseMove, &w,
                     [&](QObject *, Qt::KeyboardModifiers, int, int) { log << "OnMouseMove"; });
    QObject::connect(&w, &TiComponent::OnClick, &w, [&](QObject *) { log << "OnClick"; });
    QObject::connect(&w, &TiComponent::OnDblClick, &w, [&](QObject *) { log << "OnDblClick"; });

    QTest::mousePress(&w, Qt::LeftButton, {}, QPoint(5, 6));
    QTest::mouseRelease(&w, Qt::LeftButton, {}, QPoint(5, 6));
    EXPECT_EQ(log, (QStringList{"iMouseDown 5,6", "OnMouseDown", "iMouseUp 1 5,6", "OnClick", "OnMouseUp"}));

    log.clear();
    QTest::mouseMove(&w, QPoint(7, 8));
    ASSERT_GE(log.size(), 2);
    EXPECT_EQ(log.mid(log.size() - 2), (QStringList{"iMouseMove 7,8", "OnMouseMove"}));

    log.clear();
    QTest::mouseDClick(&w, Qt::LeftButton, {}, QPoint(5, 6));
    EXPECT_TRUE(log.contains("iDoubleClick"));
    EXPECT_LT(log.indexOf("iDoubleClick"), log.indexOf("OnDblClick"));

    log.clear();
    w.ThrowInMouseDown = true;
    QTest::mousePress(&w, Qt::LeftButton, {}, QPoint(1, 1)); // swallowed
    EXPECT_EQ(log.first(), "iMouseDown 1,1");
    QTest::mouseRelease(&w, Qt::LeftButton, {}, QPoint(1, 1));
}

TEST(ComponentInput, WheelIsAnsweredByTheHook)
{
    QWidget parent;
    TestWidget w(&parent);
    parent.show();
    auto wheel = [&] {
        QWheelEvent e(QPointF(5, 5), w.mapToGlobal(QPointF(5, 5)), QPoint(), QPoint(0, 120), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(&w, &e);
        return e.isAccepted();
    };
    EXPECT_FALSE(wheel());
    w.WheelAnswer = true;
    EXPECT_TRUE(wheel());
    EXPECT_EQ(w.Log, (QStringList{"iMouseWheel 120", "iMouseWheel 120"}));
}

TEST(ComponentInput, FocusEnterAndLeave)
{
    QWidget parent;
    TestWidget w(&parent);
    TestWidget other(&parent);
    w.SetTabStop(true);
    other.SetTabStop(true);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&parent));
    w.setFocus();
    EXPECT_TRUE(w.HasFocus());
    EXPECT_EQ(w.Log, QStringList{"DoFocusEnter"});
    w.Log.clear();
    other.setFocus();
    EXPECT_FALSE(w.HasFocus());
    // Leaving ends a drag in progress through a left-button mouse-up at (0, 0).
    EXPECT_EQ(w.Log, (QStringList{"DoFocusLeave", "iMouseUp 1 0,0"}));
}

TEST(SharedHelpers, AnglesPolarPointsAndColours)
{
    EXPECT_DOUBLE_EQ(RadToDeg(1.0), 57.295779513082320877);
    EXPECT_DOUBLE_EQ(DegToRad(180.0), 180.0 * 0.017453292519943295769);
    EXPECT_DOUBLE_EQ(ArcTan2(1, -1), 3 * std::atan(1.0));
    EXPECT_DOUBLE_EQ(ArcTan2(-0.0, -1.0), std::acos(-1.0)) << "(-pi, pi]";
    EXPECT_DOUBLE_EQ(ArcTan2(-1, 0), -std::acos(-1.0) / 2);

    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(3.5), 4);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(-0.6), -1);

    // Up on paper is up on screen.
    EXPECT_EQ(PolarPoint(QPoint(100, 100), 10, 90), QPoint(100, 90));
    EXPECT_EQ(PolarPoint(QPoint(104, 89), 33, 225), QPoint(81, 112));
    EXPECT_EQ(PolarPoint(QPoint(0, 0), 1, 45), QPoint(1, -1));
    EXPECT_EQ(PolarPoint(QPoint(0, 0), 5, 0), QPoint(5, 0));
    EXPECT_EQ(PolarPoint(QPoint(0, 0), 2.5, 0), QPoint(2, 0)) << "halves to even";
    EXPECT_EQ(PolarPoint(QPoint(0, 0), 3.5, 180), QPoint(-4, 0));
    EXPECT_EQ(PolarPointTrunc(10.9, 10.9, 1.5, 0), QPoint(12, 10));
    EXPECT_EQ(PolarPointTrunc(0.0, 0.0, 1.7, 180), QPoint(-1, 0));

    EXPECT_EQ(DimColor(0x00FF8040u, 3), 0x00552A15u);
    EXPECT_EQ(DimColor(canvas::clBtnFace, 3), 0x00000005u) << "stored value, top byte cleared";
}

TEST(SharedHelpers, BevelsFocusRectangleAndTextFlags)
{
    canvas::Canvas canvas(10, 8);
    canvas.Brush.Color = canvas::clBlack;
    canvas.FillRect(canvas::Rect(0, 0, 10, 8));
    canvas.Brush.Color = canvas::clWhite;
    iDrawBevel(canvas, canvas::Rect(1, 1, 9, 7), 2);
    for (int x = 1; x <= 8; ++x) {
        EXPECT_EQ(canvas.Pixel(x, 1), 0x808080u) << x;
        EXPECT_EQ(canvas.Pixel(x, 6), 0x808080u) << x;
    }
    for (int y = 1; y <= 6; ++y) {
        EXPECT_EQ(canvas.Pixel(1, y), 0x808080u) << y;
        EXPECT_EQ(canvas.Pixel(8, y), 0x808080u) << y;
    }
    EXPECT_EQ(canvas.Pixel(4, 3), canvas::clWhite) << "inside filled with the brush";
    EXPECT_EQ(canvas.Pixel(0, 0), canvas::clBlack);
    EXPECT_EQ(canvas.Pixel(9, 7), canvas::clBlack);

    iDrawBevel(canvas, canvas::Rect(0, 0, 10, 8), 1);
    EXPECT_EQ(canvas.Pixel(0, 0), 0xC0C0C0u);
    EXPECT_EQ(canvas.Pixel(9, 7), 0x000000u);
    iDrawBevel(canvas, canvas::Rect(0, 0, 10, 8), 0);
    EXPECT_EQ(canvas.Pixel(0, 0), 0x808080u);
    EXPECT_EQ(canvas.Pixel(9, 7), 0xFFFFFFu);

    canvas::Canvas focus(6, 6);
    iDrawFocusRect(focus, canvas::Rect(0, 0, 6, 6));
    EXPECT_EQ(focus.Pixel(0, 0), 0x000000u) << "inverted white";
    EXPECT_EQ(focus.Pixel(1, 0), 0xFFFFFFu);
    EXPECT_EQ(focus.Pixel(2, 2), 0xFFFFFFu);

    EXPECT_EQ(TextOptionsToDrawTextFlags(itoLeft | itoTop), 0u);
    EXPECT_EQ(TextOptionsToDrawTextFlags(itoCenter | itoVerticalCenter | itoSingleLine), 0x1u | 0x4u | 0x20u);
    EXPECT_EQ(TextOptionsToDrawTextFlags(itoRight | itoBottom | itoWordBreak | itoExpandTabs),
              0x2u | 0x8u | 0x10u | 0x40u);
    EXPECT_EQ(TextOptionsToDrawTextFlags(itoNoClip | itoNoPrefix | itoCalcRect), 0x100u | 0x800u | 0x400u);
    EXPECT_EQ(
        TextOptionsToDrawTextFlags(itoEndEllipsis | itoPathEllipsis | itoWordEllipsis | itoModifyString),
        0x8000u | 0x4000u | 0x40000u | 0x10000u);

    canvas::Canvas text(100, 40);
    canvas::TRect r(0, 0, 100, 40);
    const int h = iDrawText(text, QStringLiteral("Ab"), r, itoCalcRect | itoSingleLine);
    EXPECT_GT(h, 0);
    EXPECT_EQ(r.Bottom - r.Top, h);
    EXPECT_EQ(text.Pixel(1, 5), canvas::clWhite) << "calculating draws nothing";
}
