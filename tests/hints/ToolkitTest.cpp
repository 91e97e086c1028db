// Our hint windows in place of the toolkit's tooltips: the pauses, what closes a hint, the
// window's kind, hsNone and hsStandard, and the picture under a hint where the screen gives none.
#include "tests/hints/HintTestUtil.h"

#include <QApplication>
#include <QHelpEvent>
#include <QTest>
#include <gtest/gtest.h>

using namespace hints;
using namespace hinttest;
using E = TsHintEnums;

namespace {

class ToolTipCounter : public QObject
{
public:
    int count = 0;

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == QEvent::ToolTip;
        return false;
    }
};

class ToolkitTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        manager = MainWindowManager();
        app().CancelHint();
        host.setGeometry(100, 100, 400, 200);
        for (QWidget *w : {&first, &second, &plain})
            w->setParent(&host);
        first.setGeometry(10, 10, 100, 50);
        second.setGeometry(150, 10, 100, 50);
        plain.setGeometry(10, 100, 100, 50);
        first.setProperty("ShowHint", true);
        first.setProperty("Hint", QStringLiteral("Первая"));
        second.setProperty("ShowHint", true);
        second.setProperty("Hint", QStringLiteral("Вторая"));
        host.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&host));
        // The toolkit drops a move to where the pointer already is: start from a free spot.
        move(&host, QPoint(390, 190));
        app().CancelHint();
    }
    void TearDown() override { app().CancelHint(); }

    static TApplicationHints &app() { return TApplicationHints::Instance(); }
    // The pointer comes to `p` of `w`.
    void move(QWidget *w, QPoint p = QPoint(20, 20))
    {
        desk.pointer = w->mapToGlobal(p);
        QTest::mouseMove(w, p);
    }
    QString shown() { return app().OpenHint() ? app().OpenHint()->Caption() : QString(); }

    FakeDesktop desk;
    std::unique_ptr<TsHintManager> manager;
    QWidget host;
    QWidget first, second, plain;
};

TEST_F(ToolkitTest, PausesAndWhatClosesAHint)
{
    move(&first);
    EXPECT_EQ(app().HintControl(), &first);
    ASSERT_TRUE(app().ShowPending());
    EXPECT_EQ(app().PendingPause(), 500);
    EXPECT_EQ(shown(), QString());
    app().ShowPauseElapsed();
    EXPECT_EQ(shown(), QStringLiteral("Первая"));
    EXPECT_EQ(app().OpenHint()->pos(), desk.pointer + QPoint(0, 16));
    ASSERT_TRUE(app().HidePending());
    EXPECT_EQ(app().PendingHidePause(), 7000);

    // Another hinted control while the hint is open: the short pause.
    move(&second);
    EXPECT_EQ(shown(), QString());
    EXPECT_EQ(app().PendingPause(), 200);
    app().ShowPauseElapsed();
    EXPECT_EQ(shown(), QStringLiteral("Вторая"));

    // After the hide pause the hint stays closed while the pointer stays on the control.
    app().HidePauseElapsed();
    EXPECT_EQ(shown(), QString());
    move(&second, QPoint(30, 30));
    EXPECT_FALSE(app().ShowPending());

    // No hinted control: nothing pending. Back on one: the full pause, restarted while it moves.
    move(&plain);
    EXPECT_EQ(app().HintControl(), nullptr);
    EXPECT_FALSE(app().ShowPending());
    move(&first);
    EXPECT_EQ(app().PendingPause(), 500);
    move(&first, QPoint(40, 30));
    EXPECT_TRUE(app().ShowPending());

    // A click, a key and leaving the control each close it.
    struct Closer
    {
        const char *what;
        std::function<void()> act;
    } closers[] = {
        {"click", [&] { QTest::mouseClick(&first, Qt::LeftButton, {}, QPoint(40, 30)); }},
        {"key", [&] { QTest::keyClick(&first, Qt::Key_A); }},
        {"leave",
         [&] {
             QEvent leave(QEvent::Leave);
             QApplication::sendEvent(&first, &leave);
         }},
    };
    for (const Closer &c : closers) {
        SCOPED_TRACE(c.what);
        move(&host, QPoint(390, 190));
        app().CancelHint();
        move(&first);
        app().ShowPauseElapsed();
        ASSERT_EQ(shown(), QStringLiteral("Первая"));
        c.act();
        EXPECT_EQ(shown(), QString());
        EXPECT_FALSE(app().HidePending());
    }
}

TEST_F(ToolkitTest, HintTextIsReadWhenItShows)
{
    move(&first);
    first.setProperty("Hint", QStringLiteral("Частота сигнала 440 Гц."));
    app().ShowPauseElapsed();
    EXPECT_EQ(shown(), QStringLiteral("Частота сигнала 440 Гц."));
    // Rewritten on a move while open (the bars do this): shown at once.
    first.setProperty("Hint", QStringLiteral("Частота сигнала 441 Гц."));
    move(&first, QPoint(21, 20));
    EXPECT_EQ(shown(), QStringLiteral("Частота сигнала 441 Гц."));

    // Hints off or empty: nothing opens.
    for (auto [show, text] : {std::pair{false, "x"}, {true, ""}}) {
        app().CancelHint();
        first.setProperty("ShowHint", show);
        first.setProperty("Hint", QString::fromUtf8(text));
        move(&first);
        app().ShowPauseElapsed();
        EXPECT_EQ(app().OpenHint(), nullptr);
    }
}

TEST_F(ToolkitTest, WindowIsATopmostFramelessToolTipThatTakesNoFocus)
{
    host.activateWindow();
    first.setFocusPolicy(Qt::StrongFocus);
    first.setFocus();
    move(&first);
    app().ShowPauseElapsed();
    TsCustomHintWindow *w = app().OpenHint();
    ASSERT_NE(w, nullptr);
    EXPECT_STREQ(w->metaObject()->className(), "hints::TsSimplyHintWindow");
    EXPECT_EQ(w->windowType(), Qt::ToolTip) << "no task-bar entry";
    EXPECT_TRUE(w->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_TRUE(w->windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(w->windowFlags() & Qt::WindowDoesNotAcceptFocus);
    EXPECT_TRUE(w->windowFlags() & Qt::NoDropShadowWindowHint) << "no shadow over the painted one";
    EXPECT_TRUE(w->testAttribute(Qt::WA_ShowWithoutActivating));
    EXPECT_TRUE(w->testAttribute(Qt::WA_TransparentForMouseEvents));
    EXPECT_EQ(QApplication::focusWidget(), &first);
    EXPECT_NE(QApplication::activeWindow(), w);
}

TEST_F(ToolkitTest, NoneShowsNothingAndStandardGivesBackTheTooltip)
{
    ToolTipCounter counter;
    first.installEventFilter(&counter);
    auto toolTip = [&] {
        QHelpEvent help(QEvent::ToolTip, QPoint(5, 5), first.mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(&first, &help);
    };
    toolTip();
    EXPECT_EQ(counter.count, 0) << "our windows stand in for the tooltip";

    manager->SetStyle(E::hsNone);
    move(&first);
    app().ShowPauseElapsed();
    EXPECT_EQ(app().OpenHint(), nullptr);
    toolTip();
    EXPECT_EQ(counter.count, 0);

    manager->SetStyle(E::hsStandard);
    EXPECT_EQ(app().HintWindowClass(), nullptr);
    toolTip();
    EXPECT_EQ(counter.count, 1) << "the toolkit's tooltip gets the event again";
    app().CancelHint();
    move(&first);
    EXPECT_FALSE(app().ShowPending());

    manager->SetStyle(E::hsComics);
    move(&second);
    app().ShowPauseElapsed();
    ASSERT_NE(app().OpenHint(), nullptr);
    EXPECT_STREQ(app().OpenHint()->metaObject()->className(), "hints::TsComicsHintWindow");
    EXPECT_EQ(app().OpenHint()->pos(), desk.pointer) << "shapes open at the pointer";
}

// Without a screen grab, the program's own windows are painted under the hint.
TEST(ScreenUnderHint, OwnWindowsWhereTheScreenGivesNothing)
{
    QWidget window;
    window.setAutoFillBackground(true);
    QPalette palette = window.palette();
    palette.setColor(QPalette::Window, QColor(200, 30, 60));
    window.setPalette(palette);
    window.setGeometry(400, 300, 100, 80);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));

    const QImage under = HintScreenArea(QRect(480, 370, 40, 30));
    ASSERT_EQ(under.size(), QSize(40, 30));
    EXPECT_EQ(under.format(), QImage::Format_RGB888);
    EXPECT_EQ(PixelAt(under, 5, 5), canvas::RGB(200, 30, 60)) << "inside the window";
    const canvas::TColor desktop = canvas::FromQRgb(QApplication::palette().color(QPalette::Window).rgb());
    EXPECT_EQ(PixelAt(under, 30, 20), desktop) << "beside it: the window colour, never black or garbage";
    const QImage without = HintScreenArea(QRect(480, 370, 40, 30), &window);
    EXPECT_EQ(PixelAt(without, 5, 5), desktop);
}

} // namespace
