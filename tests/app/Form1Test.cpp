// The main window driven as a user drives it: clicks, keys and mouse moves on the real TForm1
// built from its stored layout, with the fake sound player recording what reaches the device.

#include "hints/sHintManager.h"
#include "layout/LayoutWriter.h"
#include "lbbutton/LbButtons.h"
#include "tests/app/AppFixture.h"
#include "widgets/iLabel.h"

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

namespace {

using namespace apptest;

TEST_F(Form1Test, StartsIdleAsStored)
{
    EXPECT_EQ(form->size(), QSize(275, 650));
    EXPECT_TRUE(form->windowFlags() & Qt::FramelessWindowHint);
    EXPECT_EQ(form->windowTitle(), QStringLiteral("Звуковой генератор"));
    EXPECT_TRUE(form->LbButton1->isEnabled());
    EXPECT_EQ(ColorOf(form->LbButton1), StartIdle);
    EXPECT_FALSE(form->LbButton2->isEnabled());
    EXPECT_EQ(ColorOf(form->LbButton2), White);
    EXPECT_FALSE(form->Timer1->Enabled());
    EXPECT_EQ(form->Timer1->Interval(), 10);

    EXPECT_EQ(form->ToneGen1->Frequency(), 20);
    EXPECT_EQ(form->ToneGen1->Duration(), 1000);
    EXPECT_TRUE(form->ToneGen1->Loop());
    EXPECT_EQ(form->ToneGen1->LeftVolume(), 0);
    EXPECT_EQ(form->ToneGen1->RightVolume(), 0);
    EXPECT_EQ(LastPlayFlags(), 0u) << "nothing plays at start";

    EXPECT_EQ(form->FFrequency, 0);
    EXPECT_EQ(form->FLevel, 0);
    EXPECT_FALSE(form->FDragging);
    EXPECT_EQ(form->iLedBar1->GetPosition(), 10.0);
    EXPECT_EQ(form->iLedBar2->GetPosition(), 0.0);
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("0"));
    EXPECT_EQ(form->Edit2->text(), QStringLiteral("0"));
    EXPECT_EQ(form->Edit3->text(), QStringLiteral("0"));
    EXPECT_FALSE(form->Edit3->isEnabled());
    EXPECT_TRUE(form->CheckBox1->isChecked());
    EXPECT_TRUE(form->RadioButton1->isChecked());
    EXPECT_TRUE(form->RadioButton7->isChecked());
    EXPECT_TRUE(form->RadioButton8->isChecked());

    // Entry fields, set buttons and the sub-range list start hidden.
    for (const char *name : {"Edit1", "Edit2", "BitBtn2", "BitBtn3", "Panel5", "ComboBox1"})
        EXPECT_TRUE(form->findChild<QWidget *>(QLatin1String(name))->isHidden()) << name;

    // Fold-out panel and activity strip lie outside the 275 x 650 client area.
    auto at = [this](const char *name) {
        return form->findChild<QWidget *>(QLatin1String(name))->mapTo(form.get(), QPoint(0, 0));
    };
    EXPECT_EQ(form->findChild<QWidget *>(QStringLiteral("Panel6"))->property("Left").toInt(), 274);
    EXPECT_GE(at("iLabel3").x(), 275);
    EXPECT_EQ(at("iLedBar3"), QPoint(52, 652));
    EXPECT_EQ(at("Bevel3"), QPoint(49, 650));
    EXPECT_EQ(at("Image1"), QPoint(10, 650));
    // Children of a bordered panel sit inside its 2-pixel edge.
    EXPECT_EQ(at("iKnob1"), QPoint(10 + 2 + 9, 59 + 2 + 30));
    EXPECT_EQ(at("LbButton1"), QPoint(9 + 10, 586 + 9));
    // The preview box fills the 239 x 121 inside Panel7's bevels; the noise picture is hidden.
    EXPECT_EQ(form->Image2->size(), QSize(239, 121));
    EXPECT_EQ(form->Image2->mapTo(form->findChild<QWidget *>(QStringLiteral("Panel7")), QPoint(0, 0)),
              QPoint(2, 2))
        << "client coordinates: bevels do not move children";
    EXPECT_FALSE(form->Image2->isHidden());
    EXPECT_TRUE(form->Image3->isHidden());
    EXPECT_EQ(form->Image3->width(), 239);
}

// The instruments get their settings from the stored layout only; read them back by name.
TEST_F(Form1Test, InstrumentsCarryTheirStoredSettings)
{
    using namespace canvas;
    struct Setting
    {
        const char *control;
        const char *property;
        double value;
    };
    const Setting settings[] = {
        {"iKnob1", "PositionMin", 0},
        {"iKnob1", "PositionMax", 20000},
        {"iKnob1", "MinMaxFixed", 1},
        {"iKnob1", "IndicatorActiveColor", clRed},
        {"iKnob1", "IndicatorInactiveColor", clGreen},
        {"iKnob1", "IndicatorMargin", 7},
        {"iKnob1", "KeyArrowStepSize", 0.1},
        {"iKnob1", "KeyPageStepSize", 1},
        {"iKnob1", "MouseWheelStepSize", 1},
        {"iKnob1", "KnobRadius", 44},
        {"iKnob1", "ShowFocusRect", 0},
        {"iKnob1", "AutoSize", 0},
        {"iKnob1", "Transparent", 1},
        {"iKnob1", "TickMajorCount", 6},
        {"iKnob1", "TickMajorColor", clRed},
        {"iKnob1", "TickMajorLength", 2},
        {"iKnob1", "TickMinorCount", 10},
        {"iKnob1", "TickMinorColor", clBlack},
        {"iKnob1", "TickMinorAlignment", widgets::itmnaCenter},
        {"iKnob1", "OptionSaveAllProperties", 1},
        {"iKnob2", "PositionMax", 100},
        {"iKnob2", "MinMaxFixed", 1},
        {"iKnob2", "IndicatorActiveColor", clRed},
        {"iKnob2", "IndicatorInactiveColor", clNavy},
        {"iKnob2", "IndicatorMargin", 8},
        {"iKnob2", "IndicatorSize", 5},
        {"iKnob2", "IndicatorStyle", widgets::TiKnob::ikisTriangle},
        {"iKnob2", "KeyArrowStepSize", 0.1},
        {"iKnob2", "KnobRadius", 44},
        {"iKnob2", "Transparent", 1},
        {"iKnob2", "TickMajorCount", 6},
        {"iKnob2", "TickMinorCount", 10},
        {"iKnob2", "TickMinorAlignment", widgets::itmnaCenter},
        {"iKnob2", "OptionSaveAllProperties", 0},
        {"iLedBar1", "PositionMin", 10},
        {"iLedBar1", "PositionMax", 20000},
        {"iLedBar1", "CurrentMin", 10},
        {"iLedBar1", "CurrentMax", 10},
        {"iLedBar1", "BackGroundColor", 10197915},
        {"iLedBar1", "SectionCount", 3},
        {"iLedBar1", "SectionEnd1", 12000},
        {"iLedBar1", "SectionEnd2", 16000},
        {"iLedBar1", "SectionColor1", 4980546},
        {"iLedBar1", "SegmentMargin", 1},
        {"iLedBar1", "SegmentSize", 3},
        {"iLedBar1", "SegmentSpacing", 1},
        {"iLedBar1", "SegmentDirection", widgets::TiLedBar::idUp},
        {"iLedBar1", "BorderStyle", widgets::ibsRaised},
        {"iLedBar2", "PositionMax", 100},
        {"iLedBar2", "BackGroundColor", 10197915},
        {"iLedBar2", "SectionCount", 3},
        {"iLedBar2", "SectionEnd1", 50},
        {"iLedBar2", "SectionEnd2", 75},
        {"iLedBar2", "SectionColor1", clAqua},
        {"iLedBar2", "SectionColor3", 244},
        {"iLedBar2", "SegmentSize", 3},
        {"iLedBar2", "SegmentSpacing", 1},
        {"iLedBar2", "BorderStyle", widgets::ibsRaised},
        {"iLedBar3", "PositionMax", 100},
        {"iLedBar3", "BackGroundColor", 9726300},
        {"iLedBar3", "SectionCount", 3},
        {"iLedBar3", "SegmentMargin", 1},
        {"iLedBar3", "SegmentSize", 1},
        {"iLedBar3", "SegmentSpacing", 2},
        {"iLedBar3", "SegmentDirection", widgets::TiLedBar::idRight},
        {"iLedBar3", "BorderStyle", widgets::ibsLowered},
        {"iSevenSegmentAnalog1", "DigitCount", 5},
        {"iSevenSegmentAnalog1", "Precision", 0},
        {"iSevenSegmentAnalog1", "ShowSign", 0},
        {"iSevenSegmentAnalog1", "SegmentColor", 4651058},
        {"iSevenSegmentAnalog1", "BorderStyle", widgets::ibsLowered},
        {"iSevenSegmentAnalog2", "DigitCount", 3},
        {"iSevenSegmentAnalog2", "DigitSpacing", 9},
        {"iSevenSegmentAnalog2", "Precision", 0},
        {"iSevenSegmentAnalog2", "ShowSign", 0},
        {"iSevenSegmentAnalog2", "SegmentColor", clYellow},
        {"iSevenSegmentAnalog2", "BorderStyle", widgets::ibsLowered},
    };
    for (const Setting &setting : settings) {
        const QObject *control = form->findChild<QObject *>(QLatin1String(setting.control));
        ASSERT_NE(control, nullptr) << setting.control;
        const QVariant value = control->property(setting.property);
        ASSERT_TRUE(value.isValid()) << setting.control << "." << setting.property;
        bool ok = false;
        double number = value.toDouble(&ok);
        if (!ok)
            number = value.toInt(&ok); // enumerations
        ASSERT_TRUE(ok) << setting.control << "." << setting.property;
        EXPECT_EQ(number, setting.value) << setting.control << "." << setting.property;
    }
}

// Every caption fits its control at the stored pixel sizes.
TEST_F(Form1Test, CaptionsFitTheirControls)
{
    int checked = 0;
    for (QWidget *control : form->findChildren<QWidget *>()) {
        const auto *button = qobject_cast<QAbstractButton *>(control);
        const auto *label = qobject_cast<QLabel *>(control);
        const auto *framed = qobject_cast<widgets::TiLabel *>(control);
        const QString text = button   ? button->text()
                             : label  ? label->text()
                             : framed ? framed->GetCaption()
                                      : QString();
        if (text.trimmed().isEmpty() || control->objectName().isEmpty())
            continue;
        if (framed) {
            // The caption's letters and the frame on both sides.
            const QFontMetrics metrics(framed->GetFont()->toQFont());
            EXPECT_LE(metrics.horizontalAdvance(text.trimmed()) + 2 * framed->BorderWidth(), control->width())
                << control->objectName().toStdString();
            EXPECT_LE(metrics.height() + 2 * framed->BorderWidth(), control->height())
                << control->objectName().toStdString();
            ++checked;
            continue;
        }
        // Push buttons: glyph and the caption's letters (the stored blanks are padding).
        const bool push =
            button && !qobject_cast<const QRadioButton *>(button) && !qobject_cast<const QCheckBox *>(button);
        const int needed = push ? QFontMetrics(control->font()).horizontalAdvance(text.trimmed()) +
                                      button->iconSize().width() + 8
                                : control->sizeHint().width();
        EXPECT_LE(needed, control->width()) << control->objectName().toStdString();
        EXPECT_LE(QFontMetrics(control->font()).height(), control->height())
            << control->objectName().toStdString();
        ++checked;
    }
    EXPECT_GE(checked, 15) << "radio buttons, check box, labels and buttons with captions";
}

// The stored main window survives writing and reading back, with every control's settings.
TEST(Form1LayoutTest, WritingTheMainWindowBackKeepsItsSettings)
{
    apptest::RegisterOnce();
    sound::ScopedFakeSoundPlayer fake;
    app::TForm1 first;
    ASSERT_TRUE(layout::LoadLayout(&first, controls::ResourcePath(QStringLiteral("Form1.layout"))).ok);
    layout::LayoutResult saved;
    const QString written = layout::SaveLayout(&first, &saved);
    ASSERT_TRUE(saved.ok) << saved.error.toStdString();
    EXPECT_TRUE(written.contains(QStringLiteral("Style = bsModern")));
    EXPECT_TRUE(written.contains(QStringLiteral("BorderStyle = ilbsSingle")));

    app::TForm1 second;
    const layout::LayoutResult result = layout::LoadLayoutText(&second, written, QStringLiteral("written"));
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    // The light buttons', labels' and hint manager's settings come back as they were stored.
    auto *button = second.findChild<QWidget *>(QStringLiteral("LbButton2"));
    EXPECT_EQ(button->property("ColorWhenDown").toUInt(), 9079551u);
    EXPECT_EQ(button->property("HotTrackColor").toUInt(), 8441834u);
    EXPECT_EQ(button->property("Style").toInt(), int(lbbutton::bsModern));
    EXPECT_EQ(button->property("Layout").toInt(), int(lbbutton::blGlyphRight));
    EXPECT_TRUE(button->property("SlowDecease").toBool());
    auto *label = second.findChild<QWidget *>(QStringLiteral("iLabel3"));
    EXPECT_EQ(label->property("BorderStyle").toInt(), int(widgets::TiLabel::ilbsSingle));
    EXPECT_EQ(label->property("Caption").toString(), QStringLiteral(" ДОПОЛНИТЕЛЬНО "));
    auto *manager = second.findChild<hints::TsHintManager *>(QStringLiteral("sHintManager1"));
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(manager->sStyle()->Background()->Gradient()->Color1(), 2917517u);
    EXPECT_EQ(manager->sStyle()->Background()->Gradient()->Layout(), hints::TsHintEnums::gtAsBorder);
    EXPECT_EQ(manager->sStyle()->Shadow()->Offset(), 11);
    EXPECT_EQ(manager->sStyle()->Painting()->ColorActive(), 11992314u);
    EXPECT_EQ(manager->sStyle()->GroupIndex(), -101);
    EXPECT_EQ(manager->PauseHide(), 7000);
    EXPECT_EQ(manager->PreDefinitions(), hints::TsHintEnums::shCustom);
    EXPECT_EQ(second.LbButton1->property("Color").toUInt(), 14680029u);
    EXPECT_EQ(second.ToneGen1->Duration(), 1000);
    // A widget that takes its hint switch from its parent still does so after the round trip
    // (it used to come back with a ShowHint of its own), and writing again changes nothing.
    auto *inherits = second.findChild<QWidget *>(QStringLiteral("iLabel2"));
    EXPECT_TRUE(inherits->property("ParentShowHint").toBool());
    EXPECT_EQ(layout::SaveLayout(&second), written);
}

TEST_F(Form1Test, EndlessStartAndStopSwitchTheWholeState)
{
    const size_t before = fake.player.calls.size();
    Click(form->LbButton1);
    EXPECT_FALSE(form->LbButton1->isEnabled());
    EXPECT_EQ(ColorOf(form->LbButton1), StartPlaying);
    EXPECT_TRUE(form->LbButton2->isEnabled());
    EXPECT_EQ(ColorOf(form->LbButton2), StopPlaying);
    EXPECT_EQ(form->size(), QSize(275, 700));
    EXPECT_TRUE(form->Timer1->Enabled());
    EXPECT_EQ(form->ToneGen1->Duration(), 1000);
    EXPECT_TRUE(form->ToneGen1->Loop());
    EXPECT_EQ(form->iLedBar3->width(), 212);
    EXPECT_EQ(form->Bevel3->width(), 214);
    EXPECT_TRUE(Started(CallsSince(before))) << "nothing sounded, so nothing needs stopping";
    EXPECT_EQ(LastPlayFlags(), LoopFlags);

    // The activity bar moves while the sound plays.
    QTest::qWait(100);
    EXPECT_GT(form->iLedBar3->GetPosition(), 0.0);

    const size_t beforeStop = fake.player.calls.size();
    Click(form->LbButton2);
    EXPECT_TRUE(StoppedOnly(CallsSince(beforeStop)));
    EXPECT_TRUE(form->LbButton1->isEnabled());
    EXPECT_EQ(ColorOf(form->LbButton1), StartIdle);
    EXPECT_FALSE(form->LbButton2->isEnabled());
    EXPECT_EQ(ColorOf(form->LbButton2), White);
    EXPECT_EQ(form->size(), QSize(275, 650));
    EXPECT_FALSE(form->Timer1->Enabled());
    EXPECT_EQ(form->iLedBar3->GetPosition(), 0.0);
}

// From the keyboard, Return and Space both click a focused light button, on the key's release.
TEST_F(Form1Test, LightButtonsClickWithReturnAndSpace)
{
    form->LbButton1->setFocus(Qt::TabFocusReason);
    QTest::keyPress(form->LbButton1, Qt::Key_Return);
    EXPECT_EQ(form->size(), QSize(275, 650)) << "not on the press";
    QTest::keyRelease(form->LbButton1, Qt::Key_Return);
    EXPECT_EQ(form->size(), QSize(275, 700));
    EXPECT_EQ(LastPlayFlags(), LoopFlags);
    Keys(form->LbButton2, Qt::Key_Space);
    EXPECT_EQ(form->size(), QSize(275, 650));
    Keys(form->LbButton1, Qt::Key_Enter);
    EXPECT_EQ(form->size(), QSize(275, 700));
    // A disabled button ignores the key.
    QTest::keyClick(form->LbButton1, Qt::Key_Return);
    EXPECT_EQ(form->size(), QSize(275, 700));
    Click(form->LbButton2);
}

TEST_F(Form1Test, TimedStartLeavesButtonsHeightAndTimerAlone)
{
    Click(form->CheckBox1);
    EXPECT_FALSE(form->CheckBox1->isChecked());
    EXPECT_TRUE(form->Edit3->isEnabled());
    TypeIntoEdit3(QStringLiteral("1500"));

    for (int round = 0; round < 2; ++round) { // from idle, then from the timed state
        const size_t before = fake.player.calls.size();
        Click(form->LbButton1);
        EXPECT_EQ(form->ToneGen1->Duration(), 1500);
        EXPECT_FALSE(form->ToneGen1->Loop());
        EXPECT_TRUE(form->LbButton1->isEnabled());
        EXPECT_EQ(ColorOf(form->LbButton1), StartIdle);
        EXPECT_TRUE(form->LbButton2->isEnabled());
        EXPECT_EQ(ColorOf(form->LbButton2), White);
        EXPECT_EQ(form->size(), QSize(275, 650));
        EXPECT_FALSE(form->Timer1->Enabled());
        EXPECT_EQ(CallsSince(before).back(), "play");
        EXPECT_EQ(LastPlayFlags(), OnceFlags);
    }

    // Ticking the box again disables the field; the stop still goes by the timed start.
    Click(form->CheckBox1);
    EXPECT_FALSE(form->Edit3->isEnabled());
    Click(form->LbButton2);
    EXPECT_EQ(form->size(), QSize(275, 650)) << "the last start was timed: no height change";
    EXPECT_FALSE(form->LbButton2->isEnabled());
}

TEST_F(Form1Test, FoldOutAndActivityStripGiveFourSizes)
{
    auto *foldOut = form->findChild<QWidget *>(QStringLiteral("SpeedButton5"));
    Click(foldOut);
    EXPECT_EQ(form->size(), QSize(580, 650));
    EXPECT_EQ(foldOut->property("Hint").toString(), QStringLiteral("Скрыть"));

    Click(form->LbButton1);
    EXPECT_EQ(form->size(), QSize(580, 700));
    EXPECT_EQ(form->iLedBar3->width(), 500);
    EXPECT_EQ(form->Bevel3->width(), 500);

    Click(foldOut); // closing while playing
    EXPECT_EQ(form->size(), QSize(275, 700));
    EXPECT_EQ(form->iLedBar3->width(), 212);
    EXPECT_EQ(form->Bevel3->width(), 214);
    EXPECT_EQ(foldOut->property("Hint").toString(), QStringLiteral("Дополнительно"));

    Click(foldOut);
    EXPECT_EQ(form->size(), QSize(580, 700));
    EXPECT_EQ(form->iLedBar3->width(), 495);
    EXPECT_EQ(form->Bevel3->width(), 498);

    Click(form->LbButton2);
    EXPECT_EQ(form->size(), QSize(580, 650));
    Click(form->findChild<QWidget *>(QStringLiteral("SpeedButton8")));
    EXPECT_EQ(form->size(), QSize(275, 650));
    EXPECT_EQ(foldOut->property("Hint").toString(), QStringLiteral("Дополнительно"));
}

TEST_F(Form1Test, ActivityTimerClimbsToNinetyNineAndWraps)
{
    for (int tick = 1; tick <= 99; ++tick) {
        form->Timer1Timer(form->Timer1);
        ASSERT_EQ(form->iLedBar3->GetPosition(), double(tick));
    }
    form->Timer1Timer(form->Timer1);
    EXPECT_EQ(form->iLedBar3->GetPosition(), 0.0) << "never rests on 100";
    form->Timer1Timer(form->Timer1);
    EXPECT_EQ(form->iLedBar3->GetPosition(), 1.0);
}

TEST_F(Form1Test, KnobKeysUpdateStoredValuesDisplaysAndGenerator)
{
    Keys(form->iKnob1, Qt::Key_End);
    EXPECT_EQ(form->FFrequency, 20000);
    EXPECT_EQ(form->ToneGen1->Frequency(), 20000);
    EXPECT_EQ(form->iLedBar1->GetPosition(), 20000.0);
    EXPECT_EQ(form->iSevenSegmentAnalog1->GetValue(), 20000.0);
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("20000"));

    Keys(form->iKnob1, Qt::Key_Home);
    Keys(form->iKnob1, Qt::Key_PageUp, 5);
    EXPECT_EQ(form->FFrequency, 5);
    EXPECT_EQ(form->ToneGen1->Frequency(), 20) << "the generator's lowest frequency";
    EXPECT_EQ(form->iLedBar1->GetPosition(), 10.0) << "the bar's own lower limit";
    EXPECT_EQ(form->iSevenSegmentAnalog1->GetValue(), 5.0);
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("5"));

    Keys(form->iKnob2, Qt::Key_End);
    EXPECT_EQ(form->FLevel, 100);
    EXPECT_EQ(form->ToneGen1->LeftVolume(), 100);
    EXPECT_EQ(form->ToneGen1->RightVolume(), 100);
    EXPECT_EQ(form->iLedBar2->GetPosition(), 100.0);
    EXPECT_EQ(form->iSevenSegmentAnalog2->GetValue(), 100.0);
    EXPECT_EQ(form->Edit2->text(), QStringLiteral("100"));
    Keys(form->iKnob2, Qt::Key_Down); // 99.9
    EXPECT_EQ(form->FLevel, 100);
    Keys(form->iKnob2, Qt::Key_PageDown); // 98.9
    EXPECT_EQ(form->FLevel, 99);
    EXPECT_EQ(form->Edit2->text(), QStringLiteral("99"));
    EXPECT_EQ(form->FFrequency, 5) << "the level knob leaves the frequency alone";
}

TEST_F(Form1Test, KnobPositionsRoundHalfToEven)
{
    const std::pair<double, int> cases[] = {{12.5, 12}, {13.5, 14}, {2.5, 2}, {2.49, 2}, {2.51, 3}, {0.5, 0}};
    for (const auto &[position, expected] : cases) {
        form->iKnob1->SetPosition(position);
        form->iKnob1PositionChangeUser(form->iKnob1);
        EXPECT_EQ(form->FFrequency, expected) << position;
        form->iKnob2->SetPosition(position);
        form->iKnob2PositionChangeUser(form->iKnob2);
        EXPECT_EQ(form->FLevel, expected) << position;
    }
}

TEST_F(Form1Test, KnobMovesFollowThePlaybackDecisionTable)
{
    // Idle in endless mode: silence stays.
    size_t before = fake.player.calls.size();
    Keys(form->iKnob1, Qt::Key_PageUp);
    EXPECT_TRUE(StoppedOnly(CallsSince(before)));
    before = fake.player.calls.size();
    Keys(form->iKnob2, Qt::Key_PageUp);
    EXPECT_TRUE(StoppedOnly(CallsSince(before)));

    // Endless sound playing: restarts at once, looping, and is heard at the new setting.
    Click(form->LbButton1);
    EXPECT_NEAR(LastHeard().frequency, 20, 1);
    form->iKnob1->SetPosition(440);
    before = fake.player.calls.size();
    Keys(form->iKnob1, Qt::Key_PageUp);
    EXPECT_TRUE(Restarted(CallsSince(before)));
    EXPECT_EQ(LastPlayFlags(), LoopFlags);
    EXPECT_NEAR(LastHeard().frequency, 441, 1);
    before = fake.player.calls.size();
    Keys(form->iKnob2, Qt::Key_PageUp);
    EXPECT_TRUE(Restarted(CallsSince(before)));
    EXPECT_EQ(VolumeWordsSince(before), std::vector<uint32_t>{2u * 65535 / 100 * 0x10001u})
        << "played at the new level";

    // Endless started, then the box unchecked: the sound stops, the buttons keep their look, and
    // the stop button still takes the strip away, going by the generator's loop flag.
    Click(form->CheckBox1);
    before = fake.player.calls.size();
    Keys(form->iKnob2, Qt::Key_PageUp);
    EXPECT_TRUE(StoppedOnly(CallsSince(before)));
    EXPECT_FALSE(form->LbButton1->isEnabled());
    EXPECT_EQ(ColorOf(form->LbButton2), StopPlaying);
    Click(form->LbButton2);
    EXPECT_EQ(form->size(), QSize(275, 650));
    EXPECT_FALSE(form->Timer1->Enabled());

    // Timed mode: every movement plays anew, with the duration and loop flag of the last start.
    TypeIntoEdit3(QStringLiteral("250"));
    Click(form->LbButton1);
    before = fake.player.calls.size();
    Keys(form->iKnob1, Qt::Key_End);
    EXPECT_TRUE(Restarted(CallsSince(before)));
    EXPECT_EQ(LastPlayFlags(), OnceFlags);
    EXPECT_EQ(form->ToneGen1->Frequency(), 20000);
}

// While idle each volume write reaches the device at once, so the order of the two channel
// writes shows in the volume words: right first, then left.
TEST_F(Form1Test, LevelReachesTheRightChannelBeforeTheLeft)
{
    size_t before = fake.player.calls.size();
    Keys(form->iKnob2, Qt::Key_End);
    EXPECT_EQ(VolumeWordsSince(before), (std::vector<uint32_t>{0xFFFF0000u, 0xFFFFFFFFu}));

    // The start button hands the stored level over in the same order, then plays.
    form->FLevel = 50;
    before = fake.player.calls.size();
    Click(form->LbButton1);
    const std::vector<uint32_t> words = VolumeWordsSince(before);
    ASSERT_GE(words.size(), 2u);
    EXPECT_EQ(words[0], 0x7FFFFFFFu) << "right 50, left still 100";
    EXPECT_EQ(words[1], 0x7FFF7FFFu);
    EXPECT_EQ(CallsSince(before).back(), "play");
}

TEST_F(Form1Test, TimedModeBeforeAnyStartLoopsWithTheStoredSettings)
{
    Click(form->CheckBox1);
    const size_t before = fake.player.calls.size();
    Keys(form->iKnob1, Qt::Key_End);
    EXPECT_EQ(CallsSince(before).back(), "play");
    EXPECT_EQ(LastPlayFlags(), LoopFlags) << "the component's stored Loop is true";
    EXPECT_EQ(form->ToneGen1->Duration(), 1000);
}

// Choosing in the fold-out panel while endless sound plays changes nothing audible; the frequency
// knob applies the choices, the level knob does not.
TEST_F(Form1Test, FoldOutChoicesWaitForTheFrequencyKnob)
{
    Click(form->SpeedButton5);
    Click(form->LbButton1);
    ASSERT_EQ(LastHeard().channels, 1);
    ASSERT_EQ(LastHeard().bits, 16);
    const size_t before = fake.player.calls.size();
    Click(form->RadioButton6); // 8 bit
    Click(form->RadioButton9); // stereo
    Click(form->RadioButton3); // square, redraws the preview
    form->RadioButton4MouseMove(form->RadioButton4, {}, 1, 1);
    EXPECT_TRUE(form->RadioButton6->isChecked() && form->RadioButton9->isChecked());
    EXPECT_TRUE(CallsSince(before).empty()) << "the sounding tone is left alone";
    EXPECT_EQ(form->ToneGen1->Waveform(), TToneGen::tgSine) << "the preview never writes the generator";
    EXPECT_EQ(form->ToneGen1->Resolution(), TToneGen::tg16Bit);
    EXPECT_FALSE(form->ToneGen1->Stereo());

    Keys(form->iKnob2, Qt::Key_PageUp);
    EXPECT_EQ(LastHeard().channels, 1);
    EXPECT_EQ(LastHeard().bits, 16);
    EXPECT_EQ(form->ToneGen1->Waveform(), TToneGen::tgSine);

    Keys(form->iKnob1, Qt::Key_PageUp);
    EXPECT_EQ(form->ToneGen1->Waveform(), TToneGen::tgSquare);
    EXPECT_EQ(LastHeard().channels, 2);
    EXPECT_EQ(LastHeard().bits, 8);
    EXPECT_EQ(LastPlayFlags(), LoopFlags);
}

TEST_F(Form1Test, DurationFieldFiltersKeysAndChecksOnExit)
{
    Click(form->CheckBox1);
    TypeIntoEdit3(QStringLiteral("4a5-0 0.0,b"));
    EXPECT_EQ(form->Edit3->text(), QStringLiteral("45000"));
    LeaveEdit3();
    EXPECT_EQ(form->Edit3->text(), QStringLiteral("30000"));
    EXPECT_TRUE(boxes.empty());

    TypeIntoEdit3(QStringLiteral("30000"));
    LeaveEdit3();
    EXPECT_EQ(form->Edit3->text(), QStringLiteral("30000"));

    // Delete removes the digit after the cursor; the key filter does not swallow it. X11 gives the
    // key the character 127.
    TypeIntoEdit3(QStringLiteral("123"));
    QTest::keyClick(form->Edit3, Qt::Key_Home);
    QTest::sendKeyEvent(QTest::KeyAction::Click, form->Edit3, Qt::Key_Delete, QString(QChar(127)), {});
    EXPECT_EQ(form->Edit3->text(), QStringLiteral("23"));

    // Texts that only pasting can bring in.
    for (const QString &bad : {QString(), QStringLiteral("99999999999"), QStringLiteral(" 12"),
                               QStringLiteral("12 "), QStringLiteral("1 2"), QStringLiteral("12a")}) {
        boxes.clear();
        form->Edit3->setFocus(Qt::TabFocusReason);
        form->Edit3->setText(bad);
        LeaveEdit3();
        EXPECT_EQ(form->Edit3->text(), QStringLiteral("0")) << bad.toStdString();
        ASSERT_EQ(boxes.size(), 1u) << bad.toStdString();
        EXPECT_EQ(boxes[0].text, QStringLiteral("Введите время звучания сигнала в миллисекундах."));
        EXPECT_EQ(boxes[0].caption, QStringLiteral("Внимание!"));
    }

    // A pasted-in sign gets no further than the exit check allows: any whole number passes.
    QChar key('7');
    form->Edit3KeyPress(form->Edit3, key);
    EXPECT_EQ(key, QChar('7'));
    key = QChar(8);
    form->Edit3KeyPress(form->Edit3, key);
    EXPECT_EQ(key, QChar(8));
    key = QChar('/');
    form->Edit3KeyPress(form->Edit3, key);
    EXPECT_TRUE(key.isNull());
    key = QChar(':');
    form->Edit3KeyPress(form->Edit3, key);
    EXPECT_TRUE(key.isNull());
}

TEST_F(Form1Test, ClickingStartRunsTheExitCheckFirst)
{
    Click(form->CheckBox1);
    TypeIntoEdit3(QStringLiteral("45000"));
    Click(form->LbButton1); // the focus moves to the button before its click
    EXPECT_EQ(form->Edit3->text(), QStringLiteral("30000"));
    EXPECT_EQ(form->ToneGen1->Duration(), 30000);
    EXPECT_EQ(LastPlayFlags(), OnceFlags);
}

TEST_F(Form1Test, StartWithNoNumberInTheFieldReportsAndPlaysNothing)
{
    Click(form->CheckBox1);
    form->Edit3->setText(QStringLiteral("abc")); // never focused, so no exit check ran
    form->RadioButton3Click(nullptr);
    const size_t before = fake.player.calls.size();
    Click(form->LbButton1);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_TRUE(boxes[0].text.contains(QStringLiteral("abc")));
    EXPECT_EQ(boxes[0].icon, controls::MessageIcon::Error);
    for (const std::string &call : CallsSince(before))
        EXPECT_NE(call, "play");
    EXPECT_FALSE(form->LbButton2->isEnabled());
    EXPECT_EQ(form->size(), QSize(275, 650));
    // The fold-out choices were applied first: the preview shows the checked sine again.
    EXPECT_EQ(form->Image2->PictureImage().pixel(60, 0), QColor(0, 255, 0).rgb());
}

} // namespace
