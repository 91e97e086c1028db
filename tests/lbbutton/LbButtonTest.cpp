// The light button as a control: construction, property writes, presets and kinds, mouse,
// keys, default and cancel routing, hot tracking and the fade driven step by step.
#include "lbbutton/LbButton.h"

#include "controls/Forms.h"
#include "layout/LayoutReader.h"
#include "lbbutton/LbButtonRes.h"

#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

#include <functional>

using namespace canvas;
using namespace layout;
using namespace controls;
using namespace lbbutton;

namespace {

constexpr TColor FaceColor = 14680029;
constexpr TColor HotColor = 8441834;

// A shown form holding one button (and whatever else a test adds).
class LbButtonFixture : public ::testing::Test
{
protected:
    void SetUp() override
    {
        form = std::make_unique<TForm>();
        form->setClientWidth(300);
        form->setClientHeight(200);
        button = new TLbButton(form.get());
        button->SetBounds(10, 10, 120, 30);
        button->setColor(FaceColor);
        button->SetHotTrackColor(HotColor);
        form->setVisible(true);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(form.get()));
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
        QApplication::processEvents();
    }
    void TearDown() override { form.reset(); }

    TColor FacePixel() const { return FromQRgb(button->CanvasImage().pixel(button->width() / 2, 8)); }

    std::unique_ptr<TForm> form;
    TLbButton *button = nullptr;
};

} // namespace

TEST(LbButtonConstruction, Defaults)
{
    TLbButton b;
    EXPECT_EQ(b.width(), 100);
    EXPECT_EQ(b.height(), 23);
    EXPECT_EQ(b.LightColor(), clWhite);
    EXPECT_EQ(b.ShadowColor(), clGray);
    EXPECT_EQ(b.ColorWhenDown(), clNone);
    EXPECT_EQ(b.HotTrackColor(), clNone);
    EXPECT_EQ(b.Style(), bsNormal);
    EXPECT_EQ(b.Kind(), bkCustom);
    EXPECT_EQ(b.ColorStyle(), lcsCustom);
    EXPECT_EQ(b.Alignment(), taCenter);
    EXPECT_EQ(b.Layout(), lbbutton::blGlyphLeft);
    EXPECT_TRUE(b.TabStop());
    EXPECT_EQ(b.focusPolicy(), Qt::StrongFocus);
    EXPECT_FALSE(b.WordWrap() || b.Default() || b.Cancel() || b.Down() || b.MouseInside() || b.Flat());
    EXPECT_EQ(b.Color(), clBtnFace);
    EXPECT_EQ(b.NumGlyphs(), 0);
    EXPECT_TRUE(b.GlyphImage().isNull());
    ASSERT_NE(b.FadeThread(), nullptr) << "the fade thread always exists, suspended";
    EXPECT_TRUE(b.FadeThread()->Suspended());
    EXPECT_FALSE(b.ExTransparent());
}

TEST(LbButtonConstruction, HotTrackFontCopiesTheFormsFont)
{
    TForm form;
    form.Font()->setHeight(19);
    form.Font()->setName(QStringLiteral("Tahoma"));
    TLbButton b(&form);
    EXPECT_EQ(b.HotTrackFont()->height(), 19);
    EXPECT_EQ(b.HotTrackFont()->name(), QStringLiteral("Tahoma"));
}

// "Repaint at once" paints inside the setter; "invalidate" only asks for a later paint;
// "store" paints nothing.
TEST_F(LbButtonFixture, PropertyWritesRepaintOrInvalidate)
{
    enum Effect { AtOnce, Later, Nothing };
    struct Row
    {
        const char *name;
        std::function<void(TLbButton &)> write;
        Effect effect;
    };
    const Row rows[] = {
        {"Alignment", [](TLbButton &b) { b.SetAlignment(taLeftJustify); }, AtOnce},
        {"Flat", [](TLbButton &b) { b.SetFlat(true); }, AtOnce},
        {"Layout", [](TLbButton &b) { b.SetLayout(lbbutton::blGlyphTop); }, AtOnce},
        {"LightColor", [](TLbButton &b) { b.SetLightColor(0x123456); }, AtOnce},
        {"ShadowColor", [](TLbButton &b) { b.SetShadowColor(0x654321); }, AtOnce},
        {"WordWrap", [](TLbButton &b) { b.SetWordWrap(true); }, AtOnce},
        {"Enabled", [](TLbButton &b) { b.setEnabled(false); }, AtOnce},
        {"ColorStyle", [](TLbButton &b) { b.SetColorStyle(lcsGold); }, AtOnce},
        {"Caption", [](TLbButton &b) { b.SetCaption(QStringLiteral("Go")); }, Later},
        {"NumGlyphs", [](TLbButton &b) { b.SetNumGlyphs(3); }, Later},
        {"Style", [](TLbButton &b) { b.SetStyle(bsOld); }, Later},
        {"Kind", [](TLbButton &b) { b.SetKind(bkOK); }, Later},
        {"Glyph", [](TLbButton &b) { b.SetGlyph(QStringLiteral("LBNO")); }, Later},
        {"ColorWhenDown", [](TLbButton &b) { b.SetColorWhenDown(0x111111); }, Nothing},
        {"HotTrackColor", [](TLbButton &b) { b.SetHotTrackColor(0x222222); }, Nothing},
        {"Default", [](TLbButton &b) { b.SetDefault(true); }, Nothing},
        {"UseHotTrackFont", [](TLbButton &b) { b.SetUseHotTrackFont(true); }, Nothing},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.name);
        auto *b = new TLbButton(form.get());
        b->show();
        QApplication::processEvents();
        const int before = b->PaintCount();
        row.write(*b);
        const int during = b->PaintCount();
        QApplication::processEvents();
        const int after = b->PaintCount();
        switch (row.effect) {
        case AtOnce:
            EXPECT_EQ(during, before + 1);
            break;
        case Later:
            EXPECT_EQ(during, before);
            EXPECT_GT(after, before);
            break;
        case Nothing:
            EXPECT_EQ(after, before);
            break;
        }
        delete b;
    }
}

TEST_F(LbButtonFixture, GlyphSetsCellCountAndKind)
{
    button->SetKind(bkYes);
    QImage strip(64, 16, QImage::Format_RGB32);
    strip.fill(Qt::red);
    button->SetGlyphImage(strip);
    EXPECT_EQ(button->NumGlyphs(), 4);
    EXPECT_EQ(button->Kind(), bkCustom);
    button->SetGlyphImage(QImage(10, 0, QImage::Format_RGB32));
    EXPECT_EQ(button->NumGlyphs(), 0) << "height 0";
    button->SetGlyph(QStringLiteral("LBOK"));
    EXPECT_EQ(button->NumGlyphs(), 2);
    button->SetGlyph(QString());
    EXPECT_EQ(button->NumGlyphs(), 0);
    EXPECT_TRUE(button->GlyphImage().isNull());
    button->SetGlyph(QStringLiteral("no-such-file.xpm"));
    EXPECT_TRUE(button->GlyphImage().isNull()) << "a missing picture leaves no glyph";
    button->SetNumGlyphs(-3);
    EXPECT_EQ(button->NumGlyphs(), 0);
}

TEST_F(LbButtonFixture, ColorPresets)
{
    struct Row
    {
        TLbColorStyle preset;
        TColor color, light, shadow, down, hot;
        bool flat;
        TLbButtonStyle style;
        TColor font;
    };
    const Row rows[] = {
        {lcsGold, 0x00C0C0, 0x00FFFF, 0x008080, clNone, 0x00DFDF, false, bsModern, clBlack},
        {lcsChrome, 0xC0C0C0, 0xFFFFFF, 0x808080, clNone, clNone, false, bsModern, clBlack},
        {lcsBlue, 0xFF8000, 0xFFFF00, 0xFF0000, clNone, clNone, false, bsModern, clBlack},
        {lcsRed, 0x0000FF, 0xC0C0FF, 0x0000C0, clNone, clNone, false, bsModern, clBlack},
        {lcsUltraFlat1, clBtnFace, 0xB59284, 0xB59284, 0xB59284, 0xDED3D6, true, bsNormal, clBlack},
        {lcsUltraFlat2, clBtnFace, 0x000000, 0x000000, 0x24DABC, 0x8CF6E4, true, bsNormal, clBlack},
        {lcsUltraFlatXP, 0xD1D8DB, 0xB59284, 0xB59285, 0xB59285, 0xD2BDB6, true, bsNormal, clBlack},
        {lcsAqua, 0xECCE94, 0xFCE6D4, 0x000000, clNone, clNone, false, bsModern, clBlack},
        {lcsDefault, clBtnFace, 0xFFFFFF, 0x808080, clNone, clNone, false, bsNormal, clBlack},
        {lcsQuicken, 0x603000, 0xC0C0C0, 0xC0C0C0, 0xAD6529, 0xCEAE9C, false, bsQuicken, clWhite},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(int(row.preset));
        button->SetStyle(bsShape);
        button->SetFlat(!row.flat);
        button->Font()->setColor(clRed);
        const bool exTransparent = button->ExTransparent();
        button->SetColorStyle(row.preset);
        EXPECT_EQ(button->ColorStyle(), lcsCustom) << "the preset is not kept";
        EXPECT_EQ(button->Color(), row.color);
        EXPECT_EQ(button->LightColor(), row.light);
        EXPECT_EQ(button->ShadowColor(), row.shadow);
        EXPECT_EQ(button->ColorWhenDown(), row.down);
        EXPECT_EQ(button->HotTrackColor(), row.hot);
        EXPECT_EQ(button->Flat(), row.flat);
        EXPECT_EQ(button->Style(), row.style);
        EXPECT_EQ(button->Font()->color(), row.font);
        EXPECT_EQ(button->ExTransparent(), exTransparent) << "the window style is left alone";
    }
    const TColor before = button->Color();
    button->SetColorStyle(lcsCustom);
    EXPECT_EQ(button->Color(), before) << "lcsCustom changes nothing";
}

TEST_F(LbButtonFixture, Kinds)
{
    struct Row
    {
        TLbButtonKind kind;
        int modalResult;
        QByteArray caption;
        QSize glyph;
    };
    const Row rows[] = {
        {bkOK, 1, "OK", {36, 18}},
        {bkCancel, 2, "Abbrechen", {36, 18}},
        {bkHelp, 0, "Hilfe", {36, 18}},
        {bkYes, 6, "Ja", {36, 18}},
        {bkNo, 7, "Nein", {36, 18}},
        {bkClose, 0, QByteArray::fromHex("5363686C6965DF656E"), {36, 18}},
        {bkAbort, 3, "Abbrechen", {36, 18}},
        {bkRetry, 4, "Wiederholen", {36, 18}},
        {bkIgnore, 5, "Ignorieren", {36, 18}},
        {bkAll, 8, "Alle", {36, 19}},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.caption.toStdString());
        button->SetKind(row.kind);
        EXPECT_EQ(button->Kind(), row.kind);
        EXPECT_EQ(button->ModalResult(), row.modalResult);
        EXPECT_EQ(button->Caption().toLatin1(), row.caption);
        EXPECT_EQ(button->GlyphImage().size(), row.glyph);
        EXPECT_EQ(button->NumGlyphs(), 2) << "two cells, even for the 19-pixel-high strip";
    }
    EXPECT_EQ(KindInfo(bkClose).Caption.size(), 9);
    EXPECT_EQ(button->Caption(), QStringLiteral("Alle"));

    // ModalResult after a kind turns it back to custom but keeps its glyph and caption.
    button->SetKind(bkOK);
    button->SetModalResult(1);
    EXPECT_EQ(button->Kind(), bkCustom);
    EXPECT_EQ(button->Caption(), QStringLiteral("OK"));
    EXPECT_EQ(button->GlyphImage(), LoadBitmapResource(QStringLiteral("LBOK")));
    button->SetKind(bkCustom);
    EXPECT_EQ(button->Caption(), QStringLiteral("OK")) << "bkCustom only stores";
}

// Pressing on the button and releasing elsewhere still clicks; the press takes the focus.
TEST_F(LbButtonFixture, PressInsideReleaseOutsideClicks)
{
    QLineEdit *edit = new QLineEdit(form.get());
    edit->setGeometry(150, 10, 100, 24);
    edit->show();
    edit->setFocus();
    QSignalSpy clicks(button, &TLbButton::OnClick);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_TRUE(button->Down());
    EXPECT_TRUE(button->hasFocus());
    EXPECT_EQ(clicks.count(), 0);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(400, 150));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_FALSE(button->Down());

    // The right button does not press it.
    QTest::mousePress(button, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_FALSE(button->Down());
    QTest::mouseRelease(button, Qt::RightButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks.count(), 1);

    // Disabled: no press, no click.
    button->setEnabled(false);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks.count(), 1);
}

TEST_F(LbButtonFixture, EnablingChangeReleasesAndPaintsTheDisabledFace)
{
    button->SetStyle(bsNormal);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(5, 5));
    ASSERT_TRUE(button->Down());
    button->setEnabled(false);
    EXPECT_FALSE(button->Down());
    EXPECT_EQ(FacePixel(), FaceColor) << "no hot colour while disabled";
    QSignalSpy clicks(button, &TLbButton::OnClick);
    button->setEnabled(true);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_EQ(clicks.count(), 0) << "the press was cancelled";
}

TEST_F(LbButtonFixture, ReturnAndSpaceDownAndUp)
{
    QSignalSpy clicks(button, &TLbButton::OnClick);
    button->setFocus();
    for (Qt::Key key : {Qt::Key_Return, Qt::Key_Space, Qt::Key_Enter}) {
        SCOPED_TRACE(int(key));
        const int before = int(clicks.count());
        QTest::keyPress(button, key);
        EXPECT_TRUE(button->Down());
        EXPECT_EQ(clicks.count(), before);
        QTest::keyRelease(button, key);
        EXPECT_EQ(clicks.count(), before + 1);
        EXPECT_FALSE(button->Down());
    }
    // Held keys repeat their press and release; only the real release clicks.
    const int before = int(clicks.count());
    QTest::keyPress(button, Qt::Key_Space);
    QTest::keyRelease(button, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), before + 1);
    QKeyEvent repeatRelease(QEvent::KeyRelease, Qt::Key_Space, Qt::NoModifier, QStringLiteral(" "), true);
    QApplication::sendEvent(button, &repeatRelease);
    EXPECT_EQ(clicks.count(), before + 1);
    QTest::keyClick(button, Qt::Key_A);
    EXPECT_EQ(clicks.count(), before + 1);
}

TEST_F(LbButtonFixture, AcceleratorCharacter)
{
    button->SetCaption(QStringLiteral("&Start"));
    auto *other = new QPushButton(QStringLiteral("x"), form.get());
    other->show();
    other->setFocus();
    QSignalSpy clicks(button, &TLbButton::OnClick);
    QTest::keyClick(other, Qt::Key_S);
    EXPECT_EQ(clicks.count(), 1);
    QTest::keyClick(other, Qt::Key_S, Qt::AltModifier);
    EXPECT_EQ(clicks.count(), 2);
    QTest::keyClick(other, Qt::Key_T);
    EXPECT_EQ(clicks.count(), 2);

    // An edit takes its characters itself.
    auto *edit = new QLineEdit(form.get());
    edit->show();
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_S);
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_EQ(edit->text(), QStringLiteral("s"));

    button->SetCaption(QStringLiteral("Save && &Quit"));
    EXPECT_FALSE(button->DialogChar(QChar(u'&')));
    EXPECT_FALSE(button->DialogChar(QChar(u's')));
    EXPECT_TRUE(button->DialogChar(QChar(u'q')));
    button->setEnabled(false);
    EXPECT_FALSE(button->DialogChar(QChar(u'q')));
}

// Return goes to the Default button unless a (non-radio) button has the focus; Escape to the
// Cancel button; modifiers keep them away.
TEST_F(LbButtonFixture, DefaultAndCancelRouting)
{
    auto *cancel = new TLbButton(form.get());
    cancel->SetBounds(10, 50, 80, 25);
    cancel->show();
    button->SetDefault(true);
    cancel->SetCancel(true);
    auto *edit = new QLineEdit(form.get());
    edit->setGeometry(150, 10, 100, 24);
    auto *plain = new QPushButton(QStringLiteral("plain"), form.get());
    plain->setGeometry(150, 50, 100, 24);
    auto *radio = new QRadioButton(QStringLiteral("radio"), form.get());
    radio->setGeometry(150, 90, 100, 24);
    for (QWidget *w :
         {static_cast<QWidget *>(edit), static_cast<QWidget *>(plain), static_cast<QWidget *>(radio)})
        w->show();
    QSignalSpy defaultClicks(button, &TLbButton::OnClick);
    QSignalSpy cancelClicks(cancel, &TLbButton::OnClick);

    struct Row
    {
        QWidget *focus;
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        int defaultClicks;
        int cancelClicks;
    };
    const Row rows[] = {
        {edit, Qt::Key_Return, {}, 1, 0},
        {edit, Qt::Key_Escape, {}, 0, 1},
        {edit, Qt::Key_Return, Qt::ShiftModifier, 0, 0},
        {edit, Qt::Key_Escape, Qt::ControlModifier, 0, 0},
        {plain, Qt::Key_Return, {}, 0, 0},
        {plain, Qt::Key_Escape, {}, 0, 0},
        {radio, Qt::Key_Return, {}, 1, 0},
        {edit, Qt::Key_Enter, Qt::KeypadModifier, 1, 0},
    };
    for (const Row &row : rows) {
        SCOPED_TRACE(row.focus->metaObject()->className() + std::string(" key ") + std::to_string(row.key));
        row.focus->setFocus();
        ASSERT_TRUE(row.focus->hasFocus());
        defaultClicks.clear();
        cancelClicks.clear();
        QTest::keyClick(row.focus, row.key, row.modifiers);
        EXPECT_EQ(defaultClicks.count(), row.defaultClicks);
        EXPECT_EQ(cancelClicks.count(), row.cancelClicks);
    }
    // Nothing for a hidden or disabled default button.
    button->setEnabled(false);
    edit->setFocus();
    defaultClicks.clear();
    QTest::keyClick(edit, Qt::Key_Return);
    EXPECT_EQ(defaultClicks.count(), 0);
}

TEST_F(LbButtonFixture, ClickSetsTheFormsModalResultAndPopsTheMenu)
{
    button->SetModalResult(6);
    QSignalSpy clicks(button, &TLbButton::OnClick);
    button->Click();
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(form->ModalResult(), 6);

    QMenu menu;
    menu.addAction(QStringLiteral("one"));
    button->SetPopupMenu(&menu);
    button->Click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return menu.isVisible(); }, 2000));
    EXPECT_EQ(menu.pos(), button->mapToGlobal(QPoint(0, button->height())));
    menu.hide();

    // DoClick alone does nothing unless the button is down.
    button->DoClick();
    EXPECT_EQ(clicks.count(), 2);
    button->setEnabled(false);
    button->Click();
    EXPECT_EQ(clicks.count(), 2) << "disabled";
}

TEST_F(LbButtonFixture, ActionGivesItsImageAsGlyph)
{
    QAction action(QStringLiteral("Run"));
    QPixmap pixmap(12, 12);
    pixmap.fill(Qt::blue);
    action.setIcon(QIcon(pixmap));
    QSignalSpy triggered(&action, &QAction::triggered);
    button->SetAction(&action);
    EXPECT_EQ(button->Caption(), QStringLiteral("Run"));
    ASSERT_EQ(button->GlyphImage().size(), QSize(12, 12));
    EXPECT_EQ(button->GlyphImage().pixel(3, 3), qRgb(0, 0, 255));
    EXPECT_EQ(button->NumGlyphs(), 1);
    button->Click();
    EXPECT_EQ(triggered.count(), 1);

    // A glyph already there is kept.
    QPixmap red(8, 8);
    red.fill(Qt::red);
    action.setIcon(QIcon(red));
    EXPECT_EQ(button->GlyphImage().size(), QSize(12, 12));
    action.setEnabled(false);
    EXPECT_FALSE(button->isEnabled());
}

// Entering paints the hot colour at once; without SlowDecease leaving snaps back.
TEST_F(LbButtonFixture, HotTrackingWithoutSlowDecease)
{
    button->SetStyle(bsNormal);
    QApplication::processEvents();
    EXPECT_EQ(FacePixel(), FaceColor);
    QSignalSpy enters(button, &TLbButton::OnMouseEnter);
    QSignalSpy exits(button, &TLbButton::OnMouseExit);
    button->MouseEnter();
    EXPECT_TRUE(button->MouseInside());
    EXPECT_EQ(button->FadeLevel(), 8);
    EXPECT_EQ(FacePixel(), HotColor);
    EXPECT_EQ(enters.count(), 1);
    button->MouseLeave();
    EXPECT_FALSE(button->MouseInside());
    EXPECT_EQ(button->FadeLevel(), 0);
    EXPECT_EQ(FacePixel(), FaceColor);
    EXPECT_EQ(exits.count(), 1);

    button->setEnabled(false);
    button->MouseEnter();
    EXPECT_FALSE(button->MouseInside()) << "a disabled button ignores the pointer";
    EXPECT_EQ(enters.count(), 1);
}

// With SlowDecease the leave resumes the thread; each step lowers the level by one and
// repaints, the eighth suspends the thread again.
TEST_F(LbButtonFixture, FadeStepsThroughEightColours)
{
    button->SetStyle(bsNormal);
    TLbButtonThread::SetInterval(std::chrono::hours(1)); // the test drives the steps
    button->SetSlowDecease(false);
    button->SetSlowDecease(true);
    TLbButtonThread::SetInterval(std::chrono::milliseconds(30));
    button->MouseEnter();
    ASSERT_EQ(FacePixel(), HotColor);
    button->MouseLeave();
    EXPECT_EQ(button->FadeLevel(), 8) << "the level stays until the first step";
    EXPECT_FALSE(button->FadeThread()->Suspended());
    for (int level = 7; level >= 0; --level) {
        const int paints = button->PaintCount();
        button->FadeStep();
        EXPECT_EQ(button->FadeLevel(), level);
        EXPECT_EQ(button->PaintCount(), paints + 1) << "repainted at once";
        EXPECT_EQ(FacePixel(), HotTrackMix(FaceColor, HotColor, level)) << level;
    }
    EXPECT_TRUE(button->FadeThread()->Suspended());
    button->FadeStep();
    EXPECT_EQ(button->FadeLevel(), 0) << "never below 0";

    // Entering during a fade puts the level back to 8 without stopping the thread.
    button->MouseEnter();
    button->MouseLeave();
    button->FadeStep();
    button->FadeStep();
    button->MouseEnter();
    EXPECT_EQ(button->FadeLevel(), 8);
    EXPECT_FALSE(button->FadeThread()->Suspended());
}

TEST_F(LbButtonFixture, SlowDeceaseOffStopsTheThreadAndLaterStepsDoNothing)
{
    button->SetSlowDecease(true);
    button->MouseEnter();
    button->MouseLeave();
    button->SetSlowDecease(false);
    EXPECT_EQ(button->FadeThread(), nullptr);
    EXPECT_EQ(button->FadeLevel(), 0);
    QApplication::processEvents();
    EXPECT_EQ(button->FadeLevel(), 0);
    EXPECT_EQ(FacePixel(), FaceColor);
    button->SetSlowDecease(true);
    ASSERT_NE(button->FadeThread(), nullptr);
    EXPECT_TRUE(button->FadeThread()->Suspended());
    button->FadeThread()->Terminate();
    button->MouseEnter();
    button->FadeStep();
    EXPECT_EQ(button->FadeLevel(), 8) << "a step after the stop request changes nothing";
}

// The real thread: about 30 ms per step, handed to this thread, back to the face colour in
// eight steps, then suspended.
TEST_F(LbButtonFixture, RealThreadFadesBackInEightSteps)
{
    button->SetSlowDecease(true);
    button->MouseEnter();
    ASSERT_EQ(FacePixel(), HotColor);
    button->MouseLeave();
    QList<int> levels;
    QList<TColor> colours;
    QElapsedTimer timer;
    timer.start();
    while (button->FadeLevel() > 0 && timer.elapsed() < 5000) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        if (levels.isEmpty() ? button->FadeLevel() < 8 : button->FadeLevel() != levels.last()) {
            levels.append(button->FadeLevel());
            colours.append(FacePixel());
        }
    }
    const qint64 elapsed = timer.elapsed();
    ASSERT_EQ(button->FadeLevel(), 0) << "the fade did not end within 5 s";
    EXPECT_EQ(levels, (QList<int>{7, 6, 5, 4, 3, 2, 1, 0}));
    for (int i = 0; i < colours.size(); ++i)
        EXPECT_EQ(colours[i], HotTrackMix(FaceColor, HotColor, levels[i])) << i;
    EXPECT_GE(elapsed, 8 * 30 - 10) << "eight sleeps of 30 ms";
    ASSERT_TRUE(QTest::qWaitFor([&] { return button->FadeThread()->Suspended(); }, 1000));
    QTest::qWait(100);
    EXPECT_EQ(button->FadeLevel(), 0);
    EXPECT_TRUE(button->FadeThread()->Suspended());
}

TEST_F(LbButtonFixture, PaintStates)
{
    // bsOld with the focus: the face one pixel in, a black frame around.
    button->SetStyle(bsOld);
    button->setFocus();
    QApplication::processEvents();
    const QImage img = button->CanvasImage();
    EXPECT_EQ(FromQRgb(img.pixel(0, 15)), clBlack);
    EXPECT_EQ(FromQRgb(img.pixel(119, 15)), clBlack);
    EXPECT_EQ(FromQRgb(img.pixel(1, 15)), clWhite) << "light edge moved in by one";

    // Focus rectangle for the others (not bsShape), inverted pixels on (4, 4)-(W-4, H-4).
    button->SetStyle(bsNormal);
    QApplication::processEvents();
    EXPECT_EQ(FromQRgb(button->CanvasImage().pixel(4, 4)), ColorToRGB(FaceColor) ^ 0xFFFFFF);
    button->SetStyle(bsShape);
    QApplication::processEvents();
    EXPECT_EQ(qAlpha(button->CanvasImage().pixel(4, 4)), 0) << "shape: no focus rectangle, see-through";

    // The modern corners let the parent show; the hot-track font is used while focused.
    button->SetStyle(bsModern);
    QApplication::processEvents();
    EXPECT_EQ(qAlpha(button->CanvasImage().pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(button->CanvasImage().pixel(60, 15)), 255);
}

// bsOld focused and pressed: the face is drawn with the shadow colour as its light colour, so
// its lower and right edges, shifted in by one, come out grey.
TEST_F(LbButtonFixture, OldStylePressedUsesTheShadowColourForTheLightEdges)
{
    button->SetStyle(bsOld);
    button->SetShadowColor(clGray);
    button->SetLightColor(clWhite);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(60, 15));
    ASSERT_TRUE(button->Down());
    ASSERT_TRUE(button->hasFocus());
    QApplication::processEvents();
    const QImage img = button->CanvasImage();
    for (const QPoint p : {QPoint(118, 15), QPoint(60, 28)})
        EXPECT_EQ(FromQRgb(img.pixel(p)), clGray) << p.x() << ", " << p.y();
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(60, 15));
}

TEST(LbButtonLayout, LoadsFromAStoredLayout)
{
    RegisterLbButtonClasses();
    TForm form;
    const QString text = QStringLiteral(R"(TForm Form9 {
    TLbButton LbButton1 {
        Left = 10
        Top = 9
        Width = 188
        Height = 38
        Caption = "Включить сигнал "
        Color = 14680029
        ColorWhenDown = 9215487
        Glyph = "LBOK"
        Style = bsModern
        Flat = True
        Layout = blGlyphRight
        HotTrackColor = 8441834
        LightColor = 16369081
        ShadowColor = clBlack
        SlowDecease = True
        UseHotTrackFont = True
        HotTrackFont.Height = 11
        HotTrackFont.Style = [fsBold]
        Kind = bkNo
        ColorStyle = lcsCustom
        Alignment = taLeftJustify
        ModalResult = 7
        NumGlyphs = 1
    }
})");
    const LayoutResult result = LoadLayoutText(&form, text, QStringLiteral("test"));
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    auto *b = form.findChild<TLbButton *>(QStringLiteral("LbButton1"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->geometry(), QRect(10, 9, 188, 38));
    EXPECT_EQ(b->Style(), bsModern);
    EXPECT_TRUE(b->ExTransparent());
    EXPECT_EQ(b->Layout(), lbbutton::blGlyphRight);
    EXPECT_EQ(b->ShadowColor(), clBlack);
    EXPECT_EQ(b->ColorWhenDown(), 9215487u);
    EXPECT_TRUE(b->SlowDecease());
    EXPECT_TRUE(b->Flat());
    EXPECT_EQ(b->HotTrackFont()->height(), 11);
    EXPECT_EQ(b->Alignment(), taLeftJustify);
    EXPECT_EQ(b->Caption(), QStringLiteral("Nein")) << "the kind sets its caption";
    EXPECT_EQ(b->Kind(), bkCustom) << "ModalResult after Kind resets it";
    EXPECT_EQ(b->ModalResult(), 7);
    EXPECT_EQ(b->NumGlyphs(), 1);
    EXPECT_EQ(b->Glyph(), QStringLiteral("LBNO"));
    EXPECT_FALSE(b->isLoading());
}
