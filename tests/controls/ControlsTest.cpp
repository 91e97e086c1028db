// Standard controls driven with simulated input: key filter, exit-before-click focus order,
// radio groups, check box clicks, loading silence, timer, drop-down list, label, rich edit, form.

#include "controls/Buttons.h"
#include "controls/ExtControls.h"
#include "controls/Forms.h"
#include "controls/MessageBox.h"
#include "controls/RichEdit.h"
#include "controls/StandardClasses.h"
#include "controls/StdControls.h"
#include "core/DesignMessage.h"
#include "layout/LayoutReader.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QFontMetrics>
#include <QScreen>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>
#include <QToolTip>
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

using namespace core;
using namespace canvas;
using namespace layout;
using namespace controls;

namespace {

// A shown, active window to put controls on.
struct Host
{
    TForm form;
    Host()
    {
        form.setClientWidth(300);
        form.setClientHeight(200);
        form.show();
        form.activateWindow();
        QApplication::setActiveWindow(&form);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&form));
    }
};

void digitsOnly(QObject *, QChar &key)
{
    if (key != QChar(8) && (key < QLatin1Char('0') || key > QLatin1Char('9')))
        key = QChar(0);
}

} // namespace

TEST(ControlsTest, KeyPressFilterSwallowsKeysSetToNull)
{
    Host host;
    TEdit edit(&host.form);
    edit.SetBounds(10, 10, 100, 24);
    QList<QChar> seen;
    QObject::connect(&edit, &TEdit::OnKeyPress, [&](QObject *sender, QChar &key) {
        EXPECT_EQ(sender, &edit);
        seen << key;
        digitsOnly(sender, key);
    });
    edit.setFocus();
    QTest::keyClicks(&edit, "1a2-3 ");
    EXPECT_EQ(edit.text(), "123");
    QTest::keyClick(&edit, Qt::Key_Backspace);
    EXPECT_EQ(edit.text(), "12");
    EXPECT_EQ(seen.size(), 7);
    EXPECT_EQ(seen.last(), QChar(8));

    // A handler may also replace the character.
    TEdit upper(&host.form);
    QObject::connect(&upper, &TEdit::OnKeyPress, [](QObject *, QChar &key) { key = key.toUpper(); });
    upper.setFocus();
    QTest::keyClicks(&upper, "ab");
    EXPECT_EQ(upper.text(), "AB");
}

TEST(ControlsTest, ExitRunsBeforeTheClickOfAControlThatTakesFocus)
{
    Host host;
    TEdit edit(&host.form);
    edit.SetBounds(10, 10, 100, 24);
    TBitBtn setButton(&host.form);
    setButton.SetBounds(120, 10, 40, 30);
    TSpeedButton speed(&host.form);
    speed.SetBounds(170, 10, 40, 30);
    QStringList order;
    QObject::connect(&edit, &TEdit::OnExit, [&](QObject *sender) {
        EXPECT_EQ(sender, &edit);
        order << "exit";
        edit.setText("0"); // an exit check rewriting the field
    });
    QObject::connect(&setButton, &TBitBtn::OnClick, [&](QObject *) { order << "click:" + edit.text(); });
    QObject::connect(&speed, &TSpeedButton::OnClick, [&](QObject *) { order << "speed"; });

    edit.setFocus();
    ASSERT_TRUE(edit.hasFocus());
    edit.setText("abc");
    // The speed button does not take the focus: no exit check.
    QTest::mouseClick(&speed, Qt::LeftButton);
    EXPECT_EQ(order, QStringList{"speed"});
    EXPECT_TRUE(edit.hasFocus());

    QTest::mouseClick(&setButton, Qt::LeftButton);
    EXPECT_EQ(order, (QStringList{"speed", "exit", "click:0"}));
    EXPECT_TRUE(setButton.hasFocus());
}

TEST(ControlsTest, FocusLeavingByWindowDeactivationIsNoExit)
{
    Host host;
    TEdit edit(&host.form);
    QSignalSpy exits(&edit, &TEdit::OnExit);
    edit.setFocus();
    QFocusEvent out(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(&edit, &out);
    EXPECT_EQ(exits.count(), 0);
    QFocusEvent tab(QEvent::FocusOut, Qt::TabFocusReason);
    QApplication::sendEvent(&edit, &tab);
    EXPECT_EQ(exits.count(), 1);
}

TEST(ControlsTest, RadioButtonsAreExclusivePerParent)
{
    Host host;
    TGroupBox waves(&host.form);
    waves.SetBounds(0, 0, 150, 150);
    TGroupBox width(&host.form);
    width.SetBounds(150, 0, 150, 150);
    TRadioButton r1(&waves), r2(&waves), r3(&waves), w1(&width), w2(&width);
    for (auto [button, top] : {std::pair{&r1, 20}, {&r2, 50}, {&r3, 80}}) {
        button->SetBounds(10, top, 100, 20);
        button->setCaption("x");
    }
    w1.SetBounds(10, 20, 100, 20);
    w2.SetBounds(10, 50, 100, 20);
    r1.setChecked(true);
    w2.setChecked(true);
    QSignalSpy clicks3(&r3, &TRadioButton::OnClick);
    QSignalSpy clicks1(&r1, &TRadioButton::OnClick);

    QTest::mouseClick(&r3, Qt::LeftButton, {}, QPoint(8, 10));
    EXPECT_TRUE(r3.isChecked());
    EXPECT_FALSE(r1.isChecked());
    EXPECT_FALSE(r2.isChecked());
    EXPECT_TRUE(w2.isChecked()) << "another group box is another group";
    EXPECT_EQ(clicks3.count(), 1);
    EXPECT_EQ(clicks1.count(), 0) << "unchecking is no click";
    // Clicking the checked button again changes nothing.
    QTest::mouseClick(&r3, Qt::LeftButton, {}, QPoint(8, 10));
    EXPECT_EQ(clicks3.count(), 1);
    // Checked by the program: one click, as the handlers of the group expect.
    r1.setChecked(true);
    EXPECT_EQ(clicks1.count(), 1);
    EXPECT_FALSE(r3.isChecked());
}

TEST(ControlsTest, CheckBoxClicksOnEveryChangeButNotWhileLoading)
{
    Host host;
    TCheckBox box(&host.form);
    box.SetBounds(10, 10, 150, 20);
    box.setCaption("endless");
    QList<QObject *> senders;
    QObject::connect(&box, &TCheckBox::OnClick, [&](QObject *sender) { senders << sender; });

    box.setLoading(true);
    box.setChecked(true);
    box.Loaded();
    EXPECT_TRUE(senders.isEmpty());

    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(8, 10));
    EXPECT_FALSE(box.isChecked());
    ASSERT_EQ(senders.size(), 1);
    EXPECT_EQ(senders[0], &box);
    box.setChecked(true);
    EXPECT_EQ(senders.size(), 2);
    box.setChecked(true); // no change, no click
    EXPECT_EQ(senders.size(), 2);
}

TEST(ControlsTest, PropertiesSetWhileLoadingRaiseNoEvents)
{
    Host host;
    TEdit edit(&host.form);
    TComboBox combo(&host.form);
    TRichEdit rich(&host.form);
    QSignalSpy editChanges(&edit, &TEdit::OnChange);
    QSignalSpy comboChanges(&combo, &TComboBox::OnChange);
    QSignalSpy richChanges(&rich, &TRichEdit::OnChange);
    for (ComponentState *state : std::initializer_list<ComponentState *>{&edit, &combo, &rich})
        state->setLoading(true);
    edit.setText("0");
    combo.setItems({"a", "b"});
    combo.setItemIndex(1);
    rich.setLines({"x"});
    for (ComponentState *state : std::initializer_list<ComponentState *>{&edit, &combo, &rich})
        state->Loaded();
    EXPECT_EQ(editChanges.count(), 0);
    EXPECT_EQ(comboChanges.count(), 0);
    EXPECT_EQ(richChanges.count(), 0);
    // Afterwards an edit reports program changes too; the list only the user's choices.
    edit.setText("5");
    EXPECT_EQ(editChanges.count(), 1);
    combo.setItemIndex(0);
    EXPECT_EQ(comboChanges.count(), 0);
}

TEST(ControlsTest, DropDownListItemsCaseAndUserChoice)
{
    Host host;
    TComboBox combo(&host.form);
    combo.SetBounds(10, 10, 160, 29);
    combo.setStyle(csDropDownList);
    combo.setCharCase(ecLowerCase);
    combo.setItems({"Весь Диапазон", "0 - 10 ГЦ", "10 - 100 гц"});
    combo.setItemHeight(21);
    combo.setDropDownCount(15);
    EXPECT_EQ(combo.Items(), (QStringList{"весь диапазон", "0 - 10 гц", "10 - 100 гц"}));
    EXPECT_EQ(combo.ItemIndex(), -1) << "a new list selects nothing";
    EXPECT_EQ(combo.Text(), "");
    EXPECT_FALSE(combo.isEditable());
    EXPECT_EQ(combo.DropDownCount(), 15);
    EXPECT_EQ(combo.view()->sizeHintForRow(0), 21);

    QStringList texts;
    QObject::connect(&combo, &TComboBox::OnChange, [&](QObject *sender) {
        EXPECT_EQ(sender, &combo);
        texts << combo.Text();
    });
    combo.setFocus();
    QTest::keyClick(&combo, Qt::Key_Down);
    QTest::keyClick(&combo, Qt::Key_Down);
    EXPECT_EQ(texts, (QStringList{"весь диапазон", "0 - 10 гц"}));
    combo.setText("10 - 100 гц");
    EXPECT_EQ(combo.ItemIndex(), 2);
    combo.setItemIndex(7);
    EXPECT_EQ(combo.ItemIndex(), -1);
    EXPECT_EQ(texts.size(), 2);
}

TEST(ControlsTest, TimerFiresWithItsSenderWhileEnabled)
{
    TTimer timer;
    timer.setLoading(true);
    timer.setInterval(10);
    EXPECT_FALSE(timer.IsRunning()) << "no ticks while loading";
    timer.Loaded();
    EXPECT_TRUE(timer.IsRunning());
    int ticks = 0;
    QObject::connect(&timer, &TTimer::OnTimer, [&](QObject *sender) {
        EXPECT_EQ(sender, &timer);
        if (++ticks == 3)
            timer.setEnabled(false);
    });
    QTest::qWait(150);
    EXPECT_EQ(ticks, 3);
    EXPECT_FALSE(timer.IsRunning());
    timer.setEnabled(true);
    timer.setInterval(-5);
    EXPECT_FALSE(timer.IsRunning());
    EXPECT_EQ(timer.Interval(), 0);
}

// Deferred ticks are all delivered, in a row at one wake-up, never before their time; a wake-up
// is told apart by a zero timer posted from it, which runs only once the wake-up is over.
TEST(ControlsTest, DeferredTimerTicksComeTogetherAndNeverEarly)
{
    const struct
    {
        int defer;
        int ticks;
        int wakes; // the first wake delivers one tick, before any deferral was asked
    } cases[] = {{0, 6, 6}, {2, 7, 3}, {4, 11, 3}};
    for (const auto &c : cases) {
        SCOPED_TRACE(c.defer);
        TTimer timer;
        timer.setInterval(3);
        const auto started = std::chrono::steady_clock::now();
        int ticks = 0, wakes = 0;
        bool inWake = false;
        QObject::connect(&timer, &TTimer::OnTimer, [&](QObject *) {
            ++ticks;
            EXPECT_GE(std::chrono::steady_clock::now() - started, ticks * std::chrono::milliseconds(3));
            if (!inWake) {
                ++wakes;
                inWake = true;
                QTimer::singleShot(0, [&] { inWake = false; });
            }
            timer.Defer(c.defer);
            if (ticks == c.ticks)
                timer.setEnabled(false);
        });
        ASSERT_TRUE(QTest::qWaitFor([&] { return !timer.IsRunning(); }, 5000));
        EXPECT_EQ(ticks, c.ticks);
        EXPECT_EQ(wakes, c.wakes);
    }
}

TEST(ControlsTest, HintCursorColourAndFontFollowTheParent)
{
    Host host;
    TPanel panel(&host.form);
    panel.setColor(14278617);
    panel.setShowHint(true);
    panel.Font()->setHeight(28);
    TLabel label(&panel);
    TSpeedButton button(&panel);
    EXPECT_TRUE(label.ParentFont());
    EXPECT_EQ(label.Font()->height(), 28);
    EXPECT_EQ(label.Color(), 14278617u);
    EXPECT_TRUE(label.ShowHint());

    panel.Font()->setHeight(20);
    panel.setColor(clRed);
    EXPECT_EQ(label.Font()->height(), 20);
    EXPECT_EQ(label.Color(), clRed);
    EXPECT_FALSE(panel.ParentFont()) << "a font of its own";

    label.Font()->setHeight(15);
    EXPECT_FALSE(label.ParentFont());
    panel.Font()->setHeight(30);
    EXPECT_EQ(label.Font()->height(), 15);
    EXPECT_EQ(label.font().pixelSize(), 15);

    button.setParentShowHint(false);
    EXPECT_TRUE(button.ShowHint()) << "keeps the value it had from the parent";
    panel.setShowHint(false);
    EXPECT_TRUE(button.ShowHint());
    EXPECT_FALSE(label.ShowHint());
    button.setCursorType(crHandPoint);
    EXPECT_EQ(button.cursor().shape(), Qt::PointingHandCursor);
    button.setCursorType(crDefault);
    EXPECT_FALSE(button.testAttribute(Qt::WA_SetCursor));
}

// A resting pointer shows the hint as a tooltip, exactly as stored, only where hints are on.
TEST(ControlsTest, RestingPointerShowsTheHintWhereHintsAreOn)
{
    Host host;
    TPanel panel(&host.form);
    panel.setGeometry(0, 0, 200, 100);
    panel.setShowHint(true);
    TSpeedButton button(&panel);
    button.setGeometry(10, 10, 40, 20);
    button.setHint(QStringLiteral("Частота  20000 Гц <b>"));
    TLabel silent(&host.form);
    silent.setGeometry(220, 10, 40, 20);
    silent.setHint(QStringLiteral("never shown"));
    silent.setShowHint(false);

    auto rest = [](QWidget *w) {
        QHelpEvent event(QEvent::ToolTip, QPoint(5, 5), w->mapToGlobal(QPoint(5, 5)));
        QApplication::sendEvent(w, &event);
    };
    rest(&button);
    ASSERT_TRUE(QToolTip::isVisible());
    QTextDocument shown;
    shown.setHtml(QToolTip::text());
    EXPECT_EQ(shown.toPlainText(), QStringLiteral("Частота  20000 Гц <b>")) << "blanks kept, no mark-up";

    // A hint changed while the pointer moves shows at the next rest.
    button.setHint(QStringLiteral("Стоп"));
    rest(&button);
    shown.setHtml(QToolTip::text());
    EXPECT_EQ(shown.toPlainText(), QStringLiteral("Стоп"));

    // The toolkit hides a tooltip after a short fade.
    rest(&silent);
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); }, 2000));
    button.setHint(QString());
    rest(&button);
    EXPECT_FALSE(QToolTip::isVisible());
}

TEST(ControlsTest, MouseEventsStayWithTheControlInClientCoordinates)
{
    Host host;
    TPanel surface(&host.form);
    surface.SetBounds(0, 0, 300, 200);
    TPanel inner(&surface);
    inner.SetBounds(50, 40, 100, 80);
    inner.setBorderStyle(bsSingle);
    QSignalSpy surfaceDowns(&surface, &TPanel::OnMouseDown);
    QSignalSpy innerDowns(&inner, &TPanel::OnMouseDown);
    QSignalSpy innerClicks(&inner, &TPanel::OnClick);

    QTest::mousePress(&inner, Qt::RightButton, Qt::ShiftModifier, QPoint(5, 7));
    QTest::mouseRelease(&inner, Qt::RightButton, Qt::ShiftModifier, QPoint(5, 7));
    ASSERT_EQ(innerDowns.count(), 1);
    EXPECT_EQ(surfaceDowns.count(), 0) << "a press on an inner panel is not the surface's";
    const QList<QVariant> args = innerDowns.takeFirst();
    EXPECT_EQ(args[1].value<Qt::MouseButton>(), Qt::RightButton);
    EXPECT_EQ(args[2].value<Qt::KeyboardModifiers>(), Qt::ShiftModifier);
    EXPECT_EQ(args[3].toInt(), 5);
    EXPECT_EQ(args[4].toInt(), 7);
    EXPECT_EQ(innerClicks.count(), 0);
    QTest::mouseClick(&inner, Qt::LeftButton, {}, QPoint(5, 7));
    EXPECT_EQ(innerClicks.count(), 1);

    QTest::mousePress(&surface, Qt::LeftButton, {}, QPoint(10, 12));
    EXPECT_EQ(surfaceDowns.count(), 1);
    QSignalSpy moves(&surface, &TPanel::OnMouseMove);
    QTest::mouseMove(&surface, QPoint(20, 22));
    QTest::mouseRelease(&surface, Qt::LeftButton, {}, QPoint(20, 22));
    ASSERT_GE(moves.count(), 1);
    EXPECT_EQ(moves.last()[2].toInt(), 20);
}

TEST(ControlsTest, LabelSizesToItsTextAfterLoading)
{
    Host host;
    TLabel label(&host.form);
    label.setLoading(true);
    label.SetBounds(151, 70, 101, 16);
    label.setCaption("Миллисекунд");
    label.Font()->setHeight(15);
    label.Font()->setStyle(TFont::fsBold);
    EXPECT_EQ(label.Width(), 101) << "stored size kept while loading";
    label.Loaded();
    const QFontMetrics metrics(label.Font()->toQFont());
    EXPECT_EQ(label.Width(), metrics.horizontalAdvance("Миллисекунд"));
    EXPECT_EQ(label.Height(), metrics.height());
    EXPECT_EQ(label.Left(), 151);
    label.setAutoSize(false);
    label.setWidth(5);
    label.setCaption("longer text");
    EXPECT_EQ(label.Width(), 5);
}

TEST(ControlsTest, RichEditKeepsItsLinesExactly)
{
    TRichEdit rich;
    const QStringList lines{
        "                    ", "                     Звуковой генератор.", "", "x", "", ""};
    rich.setLines(lines);
    rich.setReadOnly(true);
    EXPECT_EQ(rich.Lines(), lines);
    EXPECT_EQ(rich.toPlainText().split('\n').size(), 6);
    rich.setPlainText("a\nb");
    EXPECT_EQ(rich.Lines(), (QStringList{"a", "b"}));
}

TEST(ControlsTest, HiddenControlsKeepTheirOwnVisibleAndEnabledFlags)
{
    TForm form;
    TPanel panel(&form);
    TEdit edit(&panel);
    EXPECT_TRUE(panel.Visible()) << "visible by default even before the window shows";
    EXPECT_TRUE(edit.Visible());
    panel.setEnabled(false);
    EXPECT_TRUE(edit.Enabled()) << "own flag, whatever the parent";
    EXPECT_FALSE(edit.isEnabled());
    edit.setVisible(false);
    EXPECT_FALSE(edit.Visible());
    edit.setWidth(-3);
    EXPECT_EQ(edit.Width(), 0);
}

namespace {

class TestForm : public TForm
{
    Q_OBJECT
public:
    using TForm::TForm;
    int creates = 0;
    int childrenLoadedAtCreate = -1;
    QList<QPoint> downs;

public slots:
    void FormCreate(QObject *)
    {
        ++creates;
        auto *edit = findChild<TEdit *>("Edit1");
        childrenLoadedAtCreate = edit && !edit->isLoading() ? 1 : 0;
    }
    void FormMouseDown(QObject *, Qt::MouseButton, Qt::KeyboardModifiers, int x, int y)
    {
        downs << QPoint(x, y);
    }
    void Edit1Change(QObject *) { ++creates; }
};

} // namespace

TEST(ControlsTest, FormFromLayoutIsFramelessSizedCentredAndCreatedOnce)
{
    RegisterStandardClasses();
    TestForm form;
    const QString layout = QStringLiteral(R"(TestForm Form1 {
    BorderStyle = bsNone
    Caption = "Звуковой генератор"
    ClientWidth = 275
    ClientHeight = 650
    Color = clBtnFace
    Position = poScreenCenter
    OnCreate = FormCreate
    OnMouseDown = FormMouseDown
    TEdit Edit1 {
        Text = "0"
        OnChange = Edit1Change
    }
    TTimer Timer1 {
        Enabled = False
        Interval = 10
    }
})");
    const LayoutResult result = LoadLayoutText(&form, layout, "Form1.layout");
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(form.creates, 1) << "OnCreate once; the edit's text raised no OnChange";
    EXPECT_EQ(form.childrenLoadedAtCreate, 1);
    EXPECT_TRUE(form.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_EQ(form.size(), QSize(275, 650));
    EXPECT_EQ(form.Width(), 275);
    EXPECT_EQ(form.windowTitle(), "Звуковой генератор");
    EXPECT_FALSE(form.Visible());

    form.show();
    const QRect screen = form.screen()->geometry();
    EXPECT_EQ(form.x(), screen.x() + (screen.width() - 275) / 2);
    EXPECT_EQ(form.y(), screen.y() + (screen.height() - 650) / 2);
    form.setHeight(form.Height() + 50);
    EXPECT_EQ(form.ClientHeight(), 700);

    QTest::mouseClick(&form, Qt::LeftButton, {}, QPoint(3, 4));
    EXPECT_EQ(form.downs, QList<QPoint>{QPoint(3, 4)});
}

TEST(ControlsTest, DesignMessagesBecomeErrorBoxesOnceInstalled)
{
    std::vector<MessageBoxRequest> boxes;
    setMessageBoxHook([&](const MessageBoxRequest &request) {
        boxes.push_back(request);
        return 1;
    });
    SetDesignMessageHandler(nullptr);
    ShowDesignMessage(QStringLiteral("not shown"), QStringLiteral("Error"));
    EXPECT_TRUE(boxes.empty());

    ShowDesignMessagesAsErrorBoxes();
    ShowDesignMessage(QStringLiteral("Value must be between 0 and 100"), QStringLiteral("Error"));
    SetDesignMessageHandler(nullptr);
    setMessageBoxHook({});
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, QStringLiteral("Value must be between 0 and 100"));
    EXPECT_EQ(boxes[0].caption, QStringLiteral("Error"));
    EXPECT_EQ(boxes[0].icon, MessageIcon::Error);
    EXPECT_EQ(boxes[0].owner, nullptr);
}

TEST(ControlsTest, SingleBorderFormKeepsTheSizeTheProgramGives)
{
    TForm about;
    about.setBorderIcons(TBorderIcons(biSystemMenu));
    about.setBorderStyle(bsSingle);
    about.setClientWidth(271);
    about.setClientHeight(151);
    EXPECT_FALSE(about.windowFlags().testFlag(Qt::FramelessWindowHint));
    EXPECT_FALSE(about.windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_TRUE(about.windowFlags().testFlag(Qt::WindowCloseButtonHint));
    EXPECT_EQ(about.minimumSize(), QSize(271, 151));
    EXPECT_EQ(about.maximumSize(), QSize(271, 151));
}

#include "ControlsTest.moc"
