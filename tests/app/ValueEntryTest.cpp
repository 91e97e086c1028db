// Typed values and frequency sub-ranges: the entry fields with their set and show/hide
// buttons, and the sub-range list.

#include "tests/app/AppFixture.h"

namespace {

using namespace apptest;

class ValueEntryTest : public Form1Test
{
protected:
    QWidget *Named(const char *name) const { return form->findChild<QWidget *>(QLatin1String(name)); }

    void TypeInto(QLineEdit *edit, const QString &text)
    {
        edit->setFocus(Qt::TabFocusReason);
        edit->selectAll();
        QTest::keyClick(edit, Qt::Key_Backspace);
        QTest::keyClicks(edit, text);
    }

    void Choose(const QString &item)
    {
        const int index = form->ComboBox1->findText(item);
        ASSERT_GE(index, 0) << item.toStdString();
        form->ComboBox1->setCurrentIndex(index);
        form->ComboBox1Change(form->ComboBox1);
    }
};

TEST_F(ValueEntryTest, ShowHideButtonsToggleFieldsAndHints)
{
    Click(Named("SpeedButton6"));
    EXPECT_FALSE(form->Edit1->isHidden());
    EXPECT_FALSE(Named("BitBtn2")->isHidden());
    EXPECT_EQ(Named("SpeedButton6")->property("Hint").toString(), QStringLiteral("Скрыть"));
    Click(Named("SpeedButton6"));
    EXPECT_TRUE(form->Edit1->isHidden());
    EXPECT_EQ(Named("SpeedButton6")->property("Hint").toString(), QStringLiteral("Задать дискретно"));

    Click(Named("SpeedButton7"));
    EXPECT_FALSE(form->Edit2->isHidden());
    EXPECT_FALSE(Named("BitBtn3")->isHidden());
    Click(Named("SpeedButton7"));
    EXPECT_TRUE(form->Edit2->isHidden());
    EXPECT_EQ(Named("SpeedButton7")->property("Hint").toString(), QStringLiteral("Задать дискретно"))
        << "the stored hint's leading blank is gone";

    Click(Named("SpeedButton3"));
    EXPECT_FALSE(Named("Panel5")->isHidden());
    EXPECT_FALSE(form->ComboBox1->isHidden());
    EXPECT_EQ(Named("SpeedButton3")->property("Hint").toString(), QStringLiteral("Скрыть"));
    Click(Named("SpeedButton3"));
    EXPECT_TRUE(form->ComboBox1->isHidden());
    EXPECT_EQ(Named("SpeedButton3")->property("Hint").toString(),
              QStringLiteral("Выбрать поддиапазон регулятора частоты"));
}

TEST_F(ValueEntryTest, ExitChecksClampAndMoveTheKnobButNotTheStoredValue)
{
    Click(Named("SpeedButton6"));
    TypeInto(form->Edit1, QStringLiteral("2x5000"));
    form->iKnob2->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("20000"));
    EXPECT_EQ(form->iKnob1->GetPosition(), 20000.0);
    EXPECT_EQ(form->iLedBar1->GetPosition(), 20000.0);
    EXPECT_EQ(form->iSevenSegmentAnalog1->GetValue(), 20000.0);
    EXPECT_EQ(form->FFrequency, 0);
    EXPECT_EQ(form->ToneGen1->Frequency(), 20);

    Click(Named("SpeedButton7"));
    TypeInto(form->Edit2, QStringLiteral("150"));
    form->iKnob2->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(form->Edit2->text(), QStringLiteral("100"));
    EXPECT_EQ(form->iKnob2->GetPosition(), 100.0);
    EXPECT_EQ(form->iLedBar2->GetPosition(), 100.0);
    EXPECT_EQ(form->FLevel, 0);

    TypeInto(form->Edit2, QString());
    form->iKnob2->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(form->Edit2->text(), QStringLiteral("0"));
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Введите значение уровня громкости."));
    EXPECT_EQ(boxes[0].caption, QStringLiteral("Внимание!"));
    TypeInto(form->Edit1, QString());
    form->iKnob2->setFocus(Qt::TabFocusReason);
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[1].text, QStringLiteral("Введите значение частоты сигнала."));
}

TEST_F(ValueEntryTest, SetButtonsStoreAndRestartOnlyEndlessSound)
{
    Click(Named("SpeedButton6"));
    TypeInto(form->Edit1, QStringLiteral("440"));
    size_t before = fake.player.calls.size();
    Click(Named("BitBtn2"));
    EXPECT_EQ(form->FFrequency, 440);
    EXPECT_EQ(form->iKnob1->GetPosition(), 440.0);
    EXPECT_EQ(form->iSevenSegmentAnalog1->GetValue(), 440.0);
    EXPECT_EQ(form->ToneGen1->Frequency(), 20) << "idle: only stored";
    EXPECT_TRUE(CallsSince(before).empty());

    Click(form->LbButton1);
    TypeInto(form->Edit1, QStringLiteral("1000"));
    before = fake.player.calls.size();
    Click(Named("BitBtn2"));
    EXPECT_EQ(form->ToneGen1->Frequency(), 1000);
    EXPECT_TRUE(Restarted(CallsSince(before)));
    EXPECT_EQ(LastPlayFlags(), LoopFlags);

    Click(Named("SpeedButton7"));
    TypeInto(form->Edit2, QStringLiteral("35"));
    before = fake.player.calls.size();
    Click(Named("BitBtn3"));
    EXPECT_EQ(form->FLevel, 35);
    EXPECT_EQ(form->iLedBar2->GetPosition(), 35.0);
    EXPECT_EQ(form->ToneGen1->LeftVolume(), 35);
    EXPECT_EQ(form->ToneGen1->RightVolume(), 35);
    EXPECT_TRUE(Restarted(CallsSince(before)));
}

TEST_F(ValueEntryTest, SubRangesNarrowTheKnobAndTheSetButtonRestoresIt)
{
    Choose(QStringLiteral("10 - 100 гц"));
    EXPECT_EQ(form->iKnob1->GetPositionMin(), 10.0);
    EXPECT_EQ(form->iKnob1->GetPositionMax(), 100.0);
    EXPECT_EQ(form->iKnob1->GetPosition(), 10.0);
    EXPECT_EQ(form->iSevenSegmentAnalog1->GetValue(), 10.0);
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("10"));
    EXPECT_EQ(form->FFrequency, 10);

    Choose(QStringLiteral("17000 - 20000 гц"));
    EXPECT_EQ(form->iKnob1->GetPosition(), 17000.0);
    EXPECT_EQ(form->FFrequency, 17000);
    Keys(form->iKnob1, Qt::Key_End);
    EXPECT_EQ(form->FFrequency, 20000);

    Choose(QStringLiteral("весь диапазон"));
    EXPECT_EQ(form->iKnob1->GetPositionMax(), 20000.0);
    EXPECT_EQ(form->iKnob1->GetPosition(), 0.0);
    EXPECT_EQ(form->FFrequency, 0);
    EXPECT_EQ(form->iSevenSegmentAnalog1->GetValue(), 20000.0) << "displays keep what they showed";
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("20000"));

    Choose(QStringLiteral("3000 - 5000 гц"));
    Click(Named("SpeedButton6"));
    TypeInto(form->Edit1, QStringLiteral("25000"));
    Click(Named("BitBtn2")); // the exit check runs first and clamps the field
    EXPECT_EQ(form->iKnob1->GetPositionMin(), 0.0);
    EXPECT_EQ(form->iKnob1->GetPositionMax(), 20000.0);
    EXPECT_EQ(form->FFrequency, 20000);
    EXPECT_EQ(form->ComboBox1->currentText(), QStringLiteral("3000 - 5000 гц"));
}

} // namespace

namespace {

using namespace apptest;

// Pictures of the entry fields and the sub-range list for a person to look at.
TEST_F(Form1Test, ScreenshotsOfEntryFieldsAndSubRangeList)
{
    const QString dir = testsupport::artifactDir();
    for (const char *button : {"SpeedButton6", "SpeedButton7"}) {
        QWidget *toggle = form->findChild<QWidget *>(QLatin1String(button));
        QTest::mouseClick(toggle, Qt::LeftButton, {}, toggle->rect().center());
    }
    QImage image = form->grab().toImage();
    EXPECT_EQ(image.size(), QSize(275, 650));
    EXPECT_TRUE(image.save(dir + QStringLiteral("/form1_entry_fields.png")));
    QWidget *list = form->findChild<QWidget *>(QStringLiteral("SpeedButton3"));
    QTest::mouseClick(list, Qt::LeftButton, {}, list->rect().center());
    form->ComboBox1->setCurrentIndex(4);
    image = form->grab().toImage();
    EXPECT_TRUE(image.save(dir + QStringLiteral("/form1_subrange_list.png")));
}

} // namespace
