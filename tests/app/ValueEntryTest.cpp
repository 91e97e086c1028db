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

    // The focus goes to the level knob, which has no exit check of its own.
    void Leave() { form->iKnob2->setFocus(Qt::TabFocusReason); }

    void Choose(const QString &item)
    {
        const int index = form->ComboBox1->findText(item);
        ASSERT_GE(index, 0) << item.toStdString();
        form->ComboBox1->setCurrentIndex(index);
        form->ComboBox1Change(form->ComboBox1);
    }

    // One typed value with its controls.
    struct Entry
    {
        const char *showButton;
        controls::TEdit *edit;
        widgets::TiKnob *knob;
        widgets::TiLedBar *bar;
        widgets::TiSevenSegmentAnalog *readOut;
        int32_t *stored;
    };
    Entry Frequency()
    {
        return {"SpeedButton6",   form->Edit1, form->iKnob1, form->iLedBar1, form->iSevenSegmentAnalog1,
                &form->FFrequency};
    }
    Entry Level()
    {
        return {"SpeedButton7", form->Edit2, form->iKnob2, form->iLedBar2, form->iSevenSegmentAnalog2,
                &form->FLevel};
    }

    // Volume word of one level on both channels.
    static uint32_t BothChannels(int level) { return uint32_t(level * 65535 / 100) * 0x10001u; }
};

TEST_F(ValueEntryTest, ShowHideButtonsToggleTheirControlsAndHints)
{
    struct Toggle
    {
        const char *button;
        std::vector<const char *> controls;
        QString hiddenHint;
    };
    const Toggle toggles[] = {
        {"SpeedButton6", {"Edit1", "BitBtn2"}, QStringLiteral("Задать дискретно")},
        // The stored hint's leading blank is gone after the first round.
        {"SpeedButton7", {"Edit2", "BitBtn3"}, QStringLiteral("Задать дискретно")},
        {"SpeedButton3", {"Panel5", "ComboBox1"}, QStringLiteral("Выбрать поддиапазон регулятора частоты")},
    };
    for (const Toggle &toggle : toggles) {
        SCOPED_TRACE(toggle.button);
        Click(Named(toggle.button));
        for (const char *control : toggle.controls)
            EXPECT_FALSE(Named(control)->isHidden()) << control;
        EXPECT_EQ(Named(toggle.button)->property("Hint").toString(), QStringLiteral("Скрыть"));
        Click(Named(toggle.button));
        for (const char *control : toggle.controls)
            EXPECT_TRUE(Named(control)->isHidden()) << control;
        EXPECT_EQ(Named(toggle.button)->property("Hint").toString(), toggle.hiddenHint);
    }
}

// Shown, each entry field lies over its read-out and the list's frame over the frequency read-out
// and the entry's show/hide button; the list's own button stays free.
TEST_F(ValueEntryTest, ShownEntriesCoverTheReadOutsButNotTheListButton)
{
    QWidget *panel = Named("Panel2");
    const auto topAt = [panel](QWidget *control) {
        QWidget *top = panel->childAt(control->geometry().center());
        while (top && top->parentWidget() != panel)
            top = top->parentWidget();
        return top;
    };
    EXPECT_EQ(topAt(form->iSevenSegmentAnalog1), form->iSevenSegmentAnalog1);
    Click(Named("SpeedButton6"));
    Click(Named("SpeedButton7"));
    EXPECT_EQ(topAt(form->iSevenSegmentAnalog1), form->Edit1);
    EXPECT_EQ(topAt(form->iSevenSegmentAnalog2), form->Edit2);
    Click(Named("SpeedButton3"));
    EXPECT_EQ(topAt(form->iSevenSegmentAnalog1), Named("Panel5"));
    EXPECT_EQ(topAt(Named("SpeedButton6")), Named("Panel5"));
    EXPECT_EQ(topAt(Named("SpeedButton3")), Named("SpeedButton3"));
}

TEST_F(ValueEntryTest, ExitChecksClampAndMoveTheKnobButNotTheStoredValue)
{
    struct Case
    {
        Entry entry;
        QString typed; // the key filter drops the letter or sign
        QString limit;
        QString badEntryText;
    };
    const Case cases[] = {
        {Frequency(), QStringLiteral("2x5000"), QStringLiteral("20000"),
         QStringLiteral("Введите значение частоты сигнала.")},
        {Level(), QStringLiteral("1-50"), QStringLiteral("100"),
         QStringLiteral("Введите значение уровня громкости.")},
    };
    const size_t before = fake.player.calls.size();
    for (const Case &c : cases) {
        SCOPED_TRACE(c.entry.showButton);
        Click(Named(c.entry.showButton));
        TypeInto(c.entry.edit, c.typed);
        Leave();
        EXPECT_EQ(c.entry.edit->text(), c.limit);
        EXPECT_EQ(c.entry.knob->GetPosition(), c.limit.toDouble());
        EXPECT_EQ(c.entry.bar->GetPosition(), c.limit.toDouble());
        EXPECT_EQ(c.entry.readOut->GetValue(), c.limit.toDouble());
        EXPECT_EQ(*c.entry.stored, 0) << "only the set button takes the value over";

        boxes.clear();
        TypeInto(c.entry.edit, QString());
        Leave();
        EXPECT_EQ(c.entry.edit->text(), QStringLiteral("0"));
        ASSERT_EQ(boxes.size(), 1u);
        EXPECT_EQ(boxes[0].text, c.badEntryText);
        EXPECT_EQ(boxes[0].caption, QStringLiteral("Внимание!"));
        EXPECT_EQ(c.entry.knob->GetPosition(), c.limit.toDouble()) << "a failed entry moves nothing";
    }
    EXPECT_TRUE(CallsSince(before).empty()) << "the generator is not touched";
    EXPECT_EQ(form->ToneGen1->Frequency(), 20);
}

TEST_F(ValueEntryTest, SetButtonsOnlyStoreUnlessEndlessSoundPlays)
{
    Click(Named("SpeedButton6"));
    Click(Named("SpeedButton7"));
    // Idle, then timed sound started: the start button stays enabled in both.
    for (const bool timedStarted : {false, true}) {
        SCOPED_TRACE(timedStarted ? "timed" : "idle");
        if (timedStarted) {
            Click(form->CheckBox1);
            Click(form->LbButton1);
            ASSERT_TRUE(form->LbButton1->isEnabled());
        }
        const int frequency = timedStarted ? 880 : 440;
        const int level = timedStarted ? 60 : 35;
        const int toneFrequency = form->ToneGen1->Frequency();
        const size_t before = fake.player.calls.size();
        TypeInto(form->Edit1, QString::number(frequency));
        Click(Named("BitBtn2"));
        TypeInto(form->Edit2, QString::number(level));
        Click(Named("BitBtn3"));
        for (const Entry &entry : {Frequency(), Level()}) {
            const double expected = entry.edit == form->Edit1 ? frequency : level;
            EXPECT_EQ(*entry.stored, int(expected));
            EXPECT_EQ(entry.knob->GetPosition(), expected);
            EXPECT_EQ(entry.bar->GetPosition(), expected);
            EXPECT_EQ(entry.readOut->GetValue(), expected);
        }
        EXPECT_TRUE(CallsSince(before).empty());
        EXPECT_EQ(form->ToneGen1->Frequency(), toneFrequency);
    }

    // Endless sound: the value first, then stop and play, so the new tone is heard at once.
    Click(form->CheckBox1);
    Click(form->LbButton1);
    ASSERT_FALSE(form->LbButton1->isEnabled());
    TypeInto(form->Edit1, QStringLiteral("1000"));
    size_t before = fake.player.calls.size();
    Click(Named("BitBtn2"));
    EXPECT_TRUE(Restarted(CallsSince(before)));
    EXPECT_NEAR(LastHeard().frequency, 1000, 1);
    EXPECT_EQ(LastPlayFlags(), LoopFlags);

    TypeInto(form->Edit2, QStringLiteral("35"));
    before = fake.player.calls.size();
    Click(Named("BitBtn3"));
    EXPECT_TRUE(Restarted(CallsSince(before)));
    for (const uint32_t word : VolumeWordsSince(before))
        EXPECT_EQ(word, BothChannels(35)) << "no write between the stop and the play, none of the old level";
}

TEST_F(ValueEntryTest, SubRangeChoicesSetTheKnobAndFromTheThirdItemTheDisplays)
{
    struct Item
    {
        QString text;
        double min, max;
        bool movesDisplays;
    };
    const Item items[] = {
        {QStringLiteral("весь диапазон"), 0, 20000, false},
        {QStringLiteral("0 - 10 гц"), 0, 10, false},
        {QStringLiteral("10 - 100 гц"), 10, 100, true},
        {QStringLiteral("100 - 1000 гц"), 100, 1000, true},
        {QStringLiteral("1000 - 3000 гц"), 1000, 3000, true},
        {QStringLiteral("3000 - 5000 гц"), 3000, 5000, true},
        {QStringLiteral("5000 - 7000 гц"), 5000, 7000, true},
        {QStringLiteral("7000 - 10000 гц"), 7000, 10000, true},
        {QStringLiteral("10000 - 12000 гц"), 10000, 12000, true},
        {QStringLiteral("12000 - 15000 гц"), 12000, 15000, true},
        {QStringLiteral("15000 - 17000 гц"), 15000, 17000, true},
        {QStringLiteral("17000 - 20000 гц"), 17000, 20000, true},
    };
    ASSERT_EQ(form->ComboBox1->count(), int(std::size(items)));
    const double before = 15500; // what the displays showed
    for (int i = 0; i < int(std::size(items)); ++i) {
        const Item &item = items[i];
        SCOPED_TRACE(item.text.toStdString());
        EXPECT_EQ(form->ComboBox1->itemText(i), item.text);
        form->iLedBar1->SetPosition(before);
        form->iSevenSegmentAnalog1->SetValue(before);
        form->Edit1->setText(QStringLiteral("15500"));
        const size_t calls = fake.player.calls.size();
        Choose(item.text);
        EXPECT_EQ(form->iKnob1->GetPositionMin(), item.min);
        EXPECT_EQ(form->iKnob1->GetPositionMax(), item.max);
        EXPECT_EQ(form->iKnob1->GetPosition(), item.min);
        EXPECT_EQ(form->FFrequency, int(item.min));
        const double shown = item.movesDisplays ? item.min : before;
        EXPECT_EQ(form->iLedBar1->GetPosition(), shown);
        EXPECT_EQ(form->iSevenSegmentAnalog1->GetValue(), shown);
        EXPECT_EQ(form->Edit1->text(), QString::number(shown));
        EXPECT_TRUE(CallsSince(calls).empty()) << "the generator is not touched";
    }
}

TEST_F(ValueEntryTest, TypingTooMuchWithASubRangePutsTheKnobOnItsUpperLimit)
{
    Click(Named("SpeedButton6"));
    Choose(QStringLiteral("3000 - 5000 гц"));
    TypeInto(form->Edit1, QStringLiteral("25000"));
    Leave();
    EXPECT_EQ(form->Edit1->text(), QStringLiteral("20000"));
    EXPECT_EQ(form->iKnob1->GetPosition(), 5000.0);
    EXPECT_EQ(form->iLedBar1->GetPosition(), 5000.0);
    EXPECT_EQ(form->iSevenSegmentAnalog1->GetValue(), 5000.0);
    EXPECT_EQ(form->FFrequency, 3000);
}

TEST_F(ValueEntryTest, TheLowestSubRangeSoundsAtTheGeneratorsLowestFrequency)
{
    Choose(QStringLiteral("0 - 10 гц"));
    Keys(form->iKnob1, Qt::Key_End);
    EXPECT_EQ(form->FFrequency, 10);
    EXPECT_EQ(form->iSevenSegmentAnalog1->GetValue(), 10.0);
    Click(form->LbButton1);
    EXPECT_NEAR(LastHeard().frequency, 20, 1);
}

// Showing the frequency entry restores the knob's full range and leaves the list's text alone;
// hiding it leaves the range alone.
TEST_F(ValueEntryTest, ShowingTheFrequencyEntryRestoresTheFullRange)
{
    Choose(QStringLiteral("3000 - 5000 гц"));
    Click(Named("SpeedButton6"));
    EXPECT_EQ(form->iKnob1->GetPositionMin(), 0.0);
    EXPECT_EQ(form->iKnob1->GetPositionMax(), 20000.0);
    EXPECT_EQ(form->iKnob1->GetPosition(), 3000.0);
    EXPECT_EQ(form->ComboBox1->currentText(), QStringLiteral("3000 - 5000 гц"));

    Choose(QStringLiteral("100 - 1000 гц"));
    Click(Named("SpeedButton6"));
    EXPECT_EQ(form->iKnob1->GetPositionMin(), 100.0);
    EXPECT_EQ(form->iKnob1->GetPositionMax(), 1000.0);
}

// The set button always brings back the full range, after the exit check has clamped the field;
// the list keeps showing the chosen item.
TEST_F(ValueEntryTest, TheFrequencySetButtonRestoresTheFullRange)
{
    Click(Named("SpeedButton6"));
    Choose(QStringLiteral("3000 - 5000 гц"));
    TypeInto(form->Edit1, QStringLiteral("25000"));
    Click(Named("BitBtn2"));
    EXPECT_EQ(form->iKnob1->GetPositionMin(), 0.0);
    EXPECT_EQ(form->iKnob1->GetPositionMax(), 20000.0);
    EXPECT_EQ(form->iKnob1->GetPosition(), 20000.0);
    EXPECT_EQ(form->FFrequency, 20000);
    EXPECT_EQ(form->ComboBox1->currentText(), QStringLiteral("3000 - 5000 гц"));
}

// The fields' conversion: an optionally signed decimal in 32 bits, nothing else and nothing around it.
TEST(WholeNumberConversion, TakesOnlyPlainDecimalsIn32Bits)
{
    struct Case
    {
        const char *text;
        bool ok;
        int32_t value;
    };
    const Case cases[] = {
        {"0", true, 0},
        {"20000", true, 20000},
        {"-5", true, -5},
        {"+7", true, 7},
        {"00012", true, 12},
        {"2147483647", true, 2147483647},
        {"-2147483648", true, INT32_MIN},
        {"2147483648", false, 0},
        {"-2147483649", false, 0},
        {"99999999999999999999", false, 0},
        {"", false, 0},
        {" 1", false, 0},
        {"1 ", false, 0},
        {"\t1", false, 0},
        {"1\n", false, 0},
        {"+-1", false, 0},
        {"-", false, 0},
        {"1.5", false, 0},
        {"1e3", false, 0},
        {"0x10", false, 0},
        {"$10", false, 0},
        {"1 000", false, 0},
        {"\xd9\xa1", false, 0},     // an Arabic-Indic digit one
        {"\xef\xbc\x91", false, 0}, // a full-width digit one
    };
    for (const Case &c : cases) {
        int32_t value = 4242;
        EXPECT_EQ(app::TextToInt(QString::fromUtf8(c.text), value), c.ok) << c.text;
        EXPECT_EQ(value, c.ok ? c.value : 4242) << c.text;
    }
    // NUL characters end a C string, not this text (found by fuzzing).
    for (const QString &text : {QString::fromUtf8("1\0", 2), QString::fromUtf8("1\0\0\0\0", 5),
                                QString::fromUtf8("\0"
                                                  "1",
                                                  2)}) {
        int32_t value = 4242;
        EXPECT_FALSE(app::TextToInt(text, value));
        EXPECT_EQ(value, 4242);
    }
}

// A stored main window without a control the handlers need is refused with its name, not run.
TEST(Form1Layout, LayoutWithoutARequiredControlIsRefused)
{
    RegisterOnce();
    QFile file(controls::ResourcePath(QStringLiteral("Form1.layout")));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray layout = file.readAll();
#define CONTROL_ROW(Name, Class, Required) {#Name, Required},
    const std::pair<const char *, bool> table[] = {SOUNDGEN_FORM1_CONTROLS(CONTROL_ROW)};
#undef CONTROL_ROW
    QByteArrayList required;
    for (const auto &[name, isRequired] : table)
        if (isRequired)
            required.append(name);
    // The controls the handlers cannot do without stay in the table.
    for (const char *name : {"iKnob1", "Edit3", "RadioButton9", "ToneGen1", "Timer1"})
        ASSERT_TRUE(required.contains(name)) << name;
    for (const QByteArray &name : required) {
        // Renaming the control's header takes it out of the window.
        const QByteArray header = QByteArray(" ") + name + " {";
        ASSERT_TRUE(layout.contains(header)) << name.constData();
        QByteArray damaged = layout;
        damaged.replace(header, QByteArray(" ") + name + "x {");
        app::TForm1 form;
        const QObjectList before = form.children();
        const layout::LayoutResult result =
            layout::LoadLayoutText(&form, damaged, QStringLiteral("Form1.layout"));
        EXPECT_FALSE(result.ok) << name.constData();
        EXPECT_EQ(
            result.error,
            QStringLiteral("Form1.layout: %1 is missing or of the wrong class").arg(QLatin1String(name)));
        EXPECT_EQ(form.children(), before) << name.constData();
        EXPECT_FALSE(form.isLoading());
    }
}

} // namespace
