// Random clicks, drags, wheel turns and keys all over the main window: whatever a restless user
// does, the window keeps one of its four sizes, the stored values stay in their ranges and the
// generator never gets a frequency it would refuse.

#include "tests/app/AppFixture.h"

#include <QWheelEvent>

#include <random>

namespace {

using namespace apptest;

// Close, minimise and About leave the window or open a modal loop; they have their own tests.
bool LeavesTheWindow(QWidget *w)
{
    for (; w; w = w->parentWidget()) {
        const QString name = w->objectName();
        if (name == QLatin1String("SpeedButton1") || name == QLatin1String("SpeedButton2") ||
            name == QLatin1String("SpeedButton4"))
            return true;
    }
    return false;
}

class MonkeyTest : public Form1Test
{
protected:
    void Wheel(QWidget *target, QPoint local, int delta)
    {
        QWheelEvent event(QPointF(local), QPointF(target->mapToGlobal(local)), QPoint(), QPoint(0, delta),
                          Qt::NoButton, {}, Qt::NoScrollPhase, false);
        QApplication::sendEvent(target, &event);
    }

    void CheckInvariants(int step)
    {
        SCOPED_TRACE(testing::Message() << "after step " << step);
        ASSERT_TRUE(form->isVisible());
        const QSize size = form->size();
        ASSERT_TRUE(size.width() == 275 || size.width() == 580) << size.width();
        ASSERT_TRUE(size.height() == 650 || size.height() == 700) << size.height();
        ASSERT_GE(form->FFrequency, 0);
        ASSERT_LE(form->FFrequency, 20000);
        ASSERT_GE(form->FLevel, 0);
        ASSERT_LE(form->FLevel, 100);
        const int toneFrequency = form->ToneGen1->property("Frequency").toInt();
        ASSERT_GE(toneFrequency, 20);
        ASSERT_LE(toneFrequency, 20000);
        // The tall window means an endless sound, and that is what the player was last told.
        if (size.height() == 700) {
            ASSERT_EQ(LastPlayFlags(), LoopFlags);
        }
        seenWide |= size.width() == 580;
        seenTall |= size.height() == 700;
    }

    bool seenWide = false;
    bool seenTall = false;
};

TEST_F(MonkeyTest, ThousandsOfRandomInputsKeepTheWindowWhole)
{
    // A fixed seed keeps failures reproducible; SOUNDGEN_MONKEY_SEED explores others.
    const QByteArray seed = qgetenv("SOUNDGEN_MONKEY_SEED");
    std::mt19937 random(seed.isEmpty() ? 20261207u : seed.toUInt());
    const Qt::Key keys[] = {Qt::Key_0,         Qt::Key_5,      Qt::Key_9,    Qt::Key_A,      Qt::Key_Minus,
                            Qt::Key_Period,    Qt::Key_Space,  Qt::Key_Home, Qt::Key_End,    Qt::Key_PageUp,
                            Qt::Key_PageDown,  Qt::Key_Up,     Qt::Key_Down, Qt::Key_Left,   Qt::Key_Right,
                            Qt::Key_Backspace, Qt::Key_Delete, Qt::Key_Tab,  Qt::Key_Return, Qt::Key_Escape};
    const int steps = 2500;
    for (int step = 0; step < steps; ++step) {
        const QPoint at(int(random() % uint(form->width())), int(random() % uint(form->height())));
        QWidget *target = form->childAt(at);
        if (!target)
            target = form.get();
        if (LeavesTheWindow(target))
            continue;
        const QPoint local = target->mapFrom(form.get(), at);
        switch (random() % 6) {
        case 0:
        case 1:
            QTest::mouseClick(target, random() % 4 ? Qt::LeftButton : Qt::RightButton, {}, local);
            break;
        case 2: {
            const QPoint to = local + QPoint(int(random() % 81) - 40, int(random() % 81) - 40);
            QTest::mousePress(target, Qt::LeftButton, {}, local);
            QTest::mouseMove(target, (local + to) / 2);
            QTest::mouseMove(target, to);
            QTest::mouseRelease(target, Qt::LeftButton, {}, to);
            break;
        }
        case 3:
            Wheel(target, local, random() % 2 ? 120 : -120);
            break;
        default: {
            QWidget *focused = QApplication::focusWidget();
            QTest::keyClick(focused ? focused : form.get(), keys[random() % std::size(keys)]);
            break;
        }
        }
        if (step % 50 == 0)
            QTest::qWait(12); // lets the activity timer tick
        else
            QApplication::processEvents();
        CheckInvariants(step);
        if (HasFailure())
            return;
    }
    // Otherwise the run never got where the faults would be.
    EXPECT_TRUE(seenWide) << "the fold-out panel was never opened";
    EXPECT_TRUE(seenTall) << "no endless sound was ever started";
}

} // namespace
