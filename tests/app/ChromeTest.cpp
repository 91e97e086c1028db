// Window chrome: dragging the bare surface, minimise, close, and the bars' live hints.

#include "tests/app/AppFixture.h"

#include "hints/sHintManager.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

namespace {

using namespace apptest;

class ChromeTest : public Form1Test
{
protected:
    QWidget *Named(const char *name) const { return form->findChild<QWidget *>(QLatin1String(name)); }
};

TEST_F(ChromeTest, LeftDragOnTheSurfaceMovesTheWindow)
{
    QWidget *surface = Named("Panel1");
    const QPoint margin(5, 300); // left of Panel2, on the bare surface
    QTest::mousePress(surface, Qt::RightButton, {}, margin);
    EXPECT_FALSE(form->FDragging) << "only the left button drags";
    QTest::mouseRelease(surface, Qt::RightButton, {}, margin);

    QTest::mousePress(surface, Qt::LeftButton, {}, margin);
    EXPECT_TRUE(form->FDragging);
    EXPECT_EQ(QPoint(form->FGrabX, form->FGrabY), margin);
    const QPoint start = form->pos();
    form->Panel1MouseMove(surface, {}, margin.x() + 30, margin.y() - 12);
    EXPECT_EQ(form->pos(), start + QPoint(30, -12)) << "the grabbed point stays under the pointer";
    QTest::mouseRelease(surface, Qt::LeftButton, {}, margin);
    EXPECT_FALSE(form->FDragging);
    form->Panel1MouseMove(surface, {}, margin.x() + 50, margin.y());
    EXPECT_EQ(form->pos(), start + QPoint(30, -12)) << "no drag after the release";

    // Releasing any button ends the drag, not only the left one.
    for (const Qt::MouseButton released : {Qt::RightButton, Qt::MiddleButton}) {
        QTest::mousePress(surface, Qt::LeftButton, {}, margin);
        ASSERT_TRUE(form->FDragging);
        QTest::mouseRelease(surface, released, Qt::KeyboardModifiers{}, margin);
        EXPECT_FALSE(form->FDragging) << released;
        QTest::mouseRelease(surface, Qt::LeftButton, {}, margin);
    }

    // A press on an inner panel does not start a drag.
    QTest::mousePress(Named("Panel2"), Qt::LeftButton, {}, QPoint(100, 5));
    EXPECT_FALSE(form->FDragging);
    QTest::mouseRelease(Named("Panel2"), Qt::LeftButton, {}, QPoint(100, 5));
}

// A resting pointer shows the stored hints in the program's own hint window.
TEST_F(ChromeTest, RestingPointerShowsTheStoredHints)
{
    auto &hintsApp = hints::TApplicationHints::Instance();
    int step = 0;
    auto hintOf = [&](QWidget *w) {
        hintsApp.CancelHint();
        QTest::mouseMove(w, QPoint(3 + step % 2, 3)); // the toolkit drops a move to the same spot
        ++step;
        hintsApp.ShowPauseElapsed();
        return hintsApp.OpenHint() ? hintsApp.OpenHint()->Caption() : QString();
    };
    EXPECT_EQ(hintOf(form->iKnob1), QStringLiteral("Задайте частоту сигнала"));
    EXPECT_EQ(hintOf(form->LbButton1), QStringLiteral("Включить сигнал генератора"));
    EXPECT_EQ(hintOf(Named("SpeedButton1")), QStringLiteral("Закрыть программу"));
    form->iLedBar2MouseMove(form->iLedBar2, {}, 1, 1);
    EXPECT_EQ(hintOf(form->iLedBar2), QStringLiteral("Уровень громкости 0."));
    hintsApp.CancelHint();
}

TEST_F(ChromeTest, BarHintsReportTheStoredValues)
{
    form->iLedBar1MouseMove(form->iLedBar1, {}, 1, 1);
    EXPECT_EQ(form->iLedBar1->property("Hint").toString(), QStringLiteral("Частота сигнала 0 Гц."));
    Keys(form->iKnob1, Qt::Key_PageUp, 15);
    Keys(form->iKnob2, Qt::Key_PageUp, 7);
    form->iLedBar1MouseMove(form->iLedBar1, {}, 1, 1);
    form->iLedBar2MouseMove(form->iLedBar2, {}, 1, 1);
    form->iLedBar3MouseMove(form->iLedBar3, {}, 1, 1);
    EXPECT_EQ(form->iLedBar1->property("Hint").toString(), QStringLiteral("Частота сигнала 15 Гц."))
        << "the stored frequency, not the generator's 20";
    EXPECT_EQ(form->iLedBar2->property("Hint").toString(), QStringLiteral("Уровень громкости 7."));
    EXPECT_EQ(
        form->iLedBar3->property("Hint").toString(),
        QStringLiteral("Сигнал генератора включен. Частота сигнала 15 Гц.  Уровень громкости сигнала 7."));
}

TEST_F(ChromeTest, MinimiseAndCloseButtonsActOnTheWindow)
{
    Click(Named("SpeedButton2"));
    EXPECT_TRUE(form->windowState() & Qt::WindowMinimized);
    form->showNormal();
    Click(Named("SpeedButton1"));
    EXPECT_FALSE(form->isVisible());
}

} // namespace
