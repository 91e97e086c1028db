// The main window's hint manager: its stored settings, and a hint resting on the start button
// painted with them over the window itself.

#include "hints/sGraphUtils.h"
#include "hints/sHintManager.h"
#include "hints/sUtils.h"
#include "tests/app/AppFixture.h"

namespace {

using namespace apptest;
using E = hints::TsHintEnums;

class MainWindowHintTest : public Form1Test
{
protected:
    void TearDown() override
    {
        hints::TApplicationHints::Instance().CancelHint();
        hints::SetPointerSource({});
        Form1Test::TearDown();
    }
    hints::TsHintManager *Manager() const
    {
        return form->findChild<hints::TsHintManager *>(QStringLiteral("sHintManager1"));
    }
};

TEST_F(MainWindowHintTest, ManagerHoldsTheStoredSettings)
{
    hints::TsHintManager *m = Manager();
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(hints::CurrentHintManager(), m);
    EXPECT_EQ(hints::TApplicationHints::Instance().HintWindowClass(),
              &hints::TsSimplyHintWindow::staticMetaObject);
    EXPECT_EQ(m->Style(), E::hsSimply);
    const auto *g = m->sStyle()->Background()->Gradient();
    EXPECT_EQ(m->sStyle()->Background()->Mode(), E::bgsGradient);
    EXPECT_EQ(g->Color1(), 2917517u);
    EXPECT_EQ(g->Color2(), canvas::clWhite);
    EXPECT_EQ(g->Layout(), E::gtAsBorder);
    EXPECT_EQ(g->Percent1(), 0);
    EXPECT_EQ(g->Percent2(), 56);
    EXPECT_FALSE(m->sStyle()->Background()->ListenMSG());
    EXPECT_EQ(m->sStyle()->Shadow()->Transparency(), 51);
    EXPECT_EQ(m->sStyle()->Shadow()->Offset(), 11);
    EXPECT_EQ(m->sStyle()->Shadow()->Blur(), 3);
    EXPECT_EQ(m->sStyle()->Painting()->Bevel(), E::bvNone);
    EXPECT_EQ(m->sStyle()->Painting()->Transparency(), 10);
    EXPECT_EQ(m->sStyle()->Painting()->ColorBorderTop(), 16744576u);
    EXPECT_EQ(m->sStyle()->Painting()->ColorBorderBottom(), 16744576u);
    EXPECT_EQ(m->sStyle()->Painting()->ColorActive(), 11992314u);
    EXPECT_EQ(m->sStyle()->GroupIndex(), -101);
    EXPECT_EQ(m->BevelWidth(), 5);
    EXPECT_EQ(m->Blur(), 3);
    EXPECT_EQ(m->ExOffset(), 26);
    EXPECT_EQ(m->PauseHide(), 7000);
    EXPECT_EQ(m->MarginH(), 8);
    EXPECT_EQ(m->MarginV(), 5);
    EXPECT_EQ(m->MaxWidth(), 200);
    EXPECT_EQ(m->Font()->name(), QStringLiteral("MS Sans Serif"));
    EXPECT_EQ(m->Font()->height(), 11);
    EXPECT_EQ(m->Font()->style(), canvas::TFont::TFontStyles(canvas::TFont::fsBold));
    EXPECT_EQ(m->Font()->color(), canvas::clBlack);
    EXPECT_EQ(m->PreDefinitions(), E::shCustom);
    EXPECT_EQ(hints::TApplicationHints::Instance().HintPause(), 500);
    EXPECT_EQ(hints::TApplicationHints::Instance().HintShortPause(), 200);
}

TEST_F(MainWindowHintTest, RestingOnTheStartButton)
{
    QWidget *button = form->LbButton1;
    const QPoint rest = button->rect().center();
    const QPoint pointer = button->mapToGlobal(rest);
    hints::SetPointerSource([pointer] { return pointer; });
    auto &app = hints::TApplicationHints::Instance();
    QTest::mouseMove(form.get(), QPoint(1, 1));
    app.CancelHint();
    QTest::mouseMove(button, rest);
    ASSERT_TRUE(app.ShowPending());
    EXPECT_EQ(app.PendingPause(), 500);
    app.ShowPauseElapsed();
    hints::TsCustomHintWindow *hint = app.OpenHint();
    ASSERT_NE(hint, nullptr);
    EXPECT_EQ(hint->Caption(), QStringLiteral("Включить сигнал генератора"));
    EXPECT_EQ(hint->pos(), pointer + QPoint(0, 16));
    EXPECT_EQ(app.PendingHidePause(), 7000);

    hint->Compose();
    const QImage &picture = hint->Composed();
    const int mid = (picture.height() - 11) / 2;
    EXPECT_EQ(hints::PixelAt(picture, 3, mid), 16744576u) << "the border";
    EXPECT_EQ(hints::PixelAt(picture, 7, 6), canvas::RGB(198, 193, 149)) << "the gradient's middle";
    // The see-through edge shows the window beneath, not black.
    const QImage under = form->grab().toImage();
    const QPoint at = hint->pos() - form->pos() + QPoint(0, mid);
    EXPECT_EQ(hints::PixelAt(picture, 0, mid), canvas::FromQRgb(under.pixel(at)));

    app.HidePauseElapsed();
    EXPECT_EQ(app.OpenHint(), nullptr);
}

} // namespace
