#include "tests/layout/LayoutTestClasses.h"

#include "layout/ClassRegistry.h"
#include "layout/LayoutReader.h"

#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <memory>

namespace layouttest {

namespace {

const char *const sampleLayout = R"(// test form
TLtForm Form1 {
    Caption = "Звуковой генератор \"1\"\n"
    Color = clBtnFace
    Left = -12
    OnCreate = FormCreate
    TLtPanel Panel1 {
        Caption = "outer"
        Left = 0x10
        Tag = -300
        Color = 14276036
        Frequency = 1.5e3
        Gain = 0.25
        Flat = True
        Align = alClient
        Items = ["a", "b c", ""]
        Data = {0A0B
                0c0D}
        Font.Height = 28
        Font.Style = [fsBold, fsUnderline]
        Font.Color = clRed
        Font.Charset = RUSSIAN_CHARSET
        Origin.X = 7
        Origin.Y = -3
        OnClick = Button1Click
        TLtPanel Panel2 {
            Caption = "inner"
            OnClick = Button2Click
            OnKeyPress = Edit1KeyPress
            TLtKnob iKnob1 {
                PositionMax = 20000
                PositionMax_2 = 20000
            }
        }
    }
    TLtTable ToneGen1 {
        Size = 3
        AMArrayData = {00FF10}
    }
}
)";

class LayoutReader : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { RegisterLayoutTestClasses(); }

    layout::LayoutResult load(const QString &text)
    {
        return layout::LoadLayoutText(&form, text.toUtf8(), QStringLiteral("test.layout"));
    }

    TLtForm form;
};

TEST_F(LayoutReader, BuildsTheTreeAndSetsEveryKindOfValue)
{
    const layout::LayoutResult result = load(QString::fromUtf8(sampleLayout));
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(form.objectName(), "Form1");
    EXPECT_EQ(form.Caption(), QString::fromUtf8("Звуковой генератор \"1\"\n"));
    EXPECT_EQ(form.Color(), 0xFF00000Fu);
    EXPECT_EQ(form.Left(), -12);

    auto *panel1 = form.findChild<TLtPanel *>(QStringLiteral("Panel1"), Qt::FindDirectChildrenOnly);
    ASSERT_NE(panel1, nullptr);
    EXPECT_EQ(panel1->parentWidget(), &form);
    EXPECT_EQ(panel1->Caption(), "outer");
    EXPECT_EQ(panel1->Left(), 16);
    EXPECT_EQ(panel1->Tag(), -300);
    EXPECT_EQ(panel1->Color(), 14276036u);
    EXPECT_DOUBLE_EQ(panel1->Frequency(), 1500.0);
    EXPECT_FLOAT_EQ(panel1->Gain(), 0.25f);
    EXPECT_TRUE(panel1->Flat());
    EXPECT_EQ(panel1->Align(), TLtPanel::alClient);
    EXPECT_EQ(panel1->Items(), QStringList({"a", "b c", ""}));
    EXPECT_EQ(panel1->Data(), QByteArray("\x0A\x0B\x0C\x0D"));
    EXPECT_EQ(panel1->Font()->Height(), 28);
    EXPECT_EQ(panel1->Font()->Style(), TLtFont::fsBold | TLtFont::fsUnderline);
    EXPECT_EQ(panel1->Font()->Color(), 0x0000FFu);
    EXPECT_EQ(panel1->Font()->Charset(), 204);
    EXPECT_EQ(panel1->Origin().X, 7);
    EXPECT_EQ(panel1->Origin().Y, -3);

    auto *panel2 = panel1->findChild<TLtPanel *>(QStringLiteral("Panel2"), Qt::FindDirectChildrenOnly);
    ASSERT_NE(panel2, nullptr);
    EXPECT_EQ(panel2->parentWidget(), panel1);
    auto *knob = panel2->findChild<TLtKnob *>(QStringLiteral("iKnob1"));
    ASSERT_NE(knob, nullptr);
    // The setter clamps to 1000; the stored value goes straight into the field afterwards.
    EXPECT_DOUBLE_EQ(knob->FPositionMax, 20000.0);

    auto *table = form.findChild<TLtTable *>(QStringLiteral("ToneGen1"), Qt::FindDirectChildrenOnly);
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->parent(), &form);
    EXPECT_EQ(table->Size(), 3);
    EXPECT_EQ(table->table, QByteArray("\x00\xFF\x10", 3));
}

TEST_F(LayoutReader, ObjectsAreLoadingWhileTheirPropertiesAreSetAndLoadedFollowsOnce)
{
    QStringList order;
    TLtPanel::log = &order;
    const layout::LayoutResult result = load(QString::fromUtf8(sampleLayout));
    TLtPanel::log = nullptr;
    ASSERT_TRUE(result.ok) << result.error.toStdString();

    auto *panel1 = form.findChild<TLtPanel *>(QStringLiteral("Panel1"));
    auto *panel2 = form.findChild<TLtPanel *>(QStringLiteral("Panel2"));
    ASSERT_FALSE(panel1->loadingSeenBySetters.isEmpty());
    EXPECT_FALSE(panel1->loadingSeenBySetters.contains(false));
    EXPECT_FALSE(panel2->loadingSeenBySetters.contains(false));
    EXPECT_EQ(panel1->loadedCount, 1);
    EXPECT_EQ(panel2->loadedCount, 1);
    EXPECT_EQ(form.loadedCount, 1);
    // Loaded() sees the loading flag still set and clears it.
    EXPECT_TRUE(panel1->loadingInLoaded);
    EXPECT_FALSE(panel1->isLoading());
    EXPECT_FALSE(form.isLoading());
    EXPECT_FALSE(form.findChild<TLtTable *>()->isLoading());
    // Creation (file) order.
    EXPECT_EQ(order, QStringList({"Panel1", "Panel2"}));
}

TEST_F(LayoutReader, HandlersFireWithTheSender)
{
    ASSERT_TRUE(load(QString::fromUtf8(sampleLayout)).ok);
    auto *panel1 = form.findChild<TLtPanel *>(QStringLiteral("Panel1"));
    auto *panel2 = form.findChild<TLtPanel *>(QStringLiteral("Panel2"));

    emit panel2->OnClick(panel2);
    emit panel1->OnClick(panel1);
    emit form.OnCreate(&form);
    QChar key(u'7');
    emit panel2->OnKeyPress(panel2, key);

    EXPECT_EQ(form.calls, QStringList({"Button2Click", "Button1Click", "FormCreate", "Edit1KeyPress"}));
    ASSERT_EQ(form.senders.size(), 4);
    EXPECT_EQ(form.senders[0], panel2);
    EXPECT_EQ(form.senders[1], panel1);
    EXPECT_EQ(form.senders[2], &form);
    EXPECT_TRUE(key.isNull()) << "the handler's change of the key reaches the sender";

    const QList<layout::HandlerBinding> bindings = layout::HandlerBindings(panel2);
    ASSERT_EQ(bindings.size(), 2);
    EXPECT_EQ(bindings[0].event, "OnClick");
    EXPECT_EQ(bindings[0].handler, "Button2Click");
    EXPECT_EQ(bindings[0].receiver, &form);
}

TEST_F(LayoutReader, RebindingAnEventReplacesTheHandler)
{
    ASSERT_TRUE(
        load(QStringLiteral("TLtForm F { TLtPanel P { OnClick = Button1Click\n OnClick = Button2Click } }"))
            .ok);
    auto *panel = form.findChild<TLtPanel *>();
    emit panel->OnClick(panel);
    EXPECT_EQ(form.calls, QStringList({"Button2Click"}));
    EXPECT_EQ(layout::HandlerBindings(panel).size(), 1);
}

TEST_F(LayoutReader, DesigningRootPassesDesigningToCreatedObjects)
{
    form.setDesigning(true);
    ASSERT_TRUE(load(QStringLiteral("TLtForm F { TLtPanel P { Left = 1 } }")).ok);
    auto *panel = form.findChild<TLtPanel *>();
    EXPECT_TRUE(panel->isDesigning());
    EXPECT_TRUE(panel->designingAtFirstSetter);
}

TEST_F(LayoutReader, RootMayBeNamedByABaseClass)
{
    TLtForm other;
    EXPECT_TRUE(
        layout::LoadLayoutText(&other, QStringLiteral("QWidget W { Left = 5 }"), QStringLiteral("x")).ok);
    EXPECT_EQ(other.Left(), 5);
    TLtOtherForm wrong;
    const layout::LayoutResult result =
        layout::LoadLayoutText(&wrong, QStringLiteral("TLtForm F {\n}"), QStringLiteral("x.layout"));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error.toStdString(),
              "x.layout:1: layout is for class TLtForm, not layouttest::TLtOtherForm");
}

TEST_F(LayoutReader, ReadsFromAFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("Form1.layout"));
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("TLtForm Form1 {\n  Left = 3\n  Bogus = 1\n}\n");
    file.close();
    const layout::LayoutResult result = layout::LoadLayout(&form, path);
    EXPECT_EQ(result.error, path + QStringLiteral(":3: unknown property Bogus of Form1"));
    EXPECT_EQ(result.line, 3);
    EXPECT_FALSE(layout::LoadLayout(&form, dir.filePath(QStringLiteral("missing.layout"))).ok);
}

struct Malformed
{
    const char *name;
    const char *text;
    int line;
    const char *message; // part of the error text
};

const Malformed malformedCases[] = {
    {"UnknownClass", "TLtForm F {\n  TNoSuch X {\n  }\n}", 2, "unknown class TNoSuch"},
    {"UnknownProperty", "TLtForm F {\n  TLtPanel P {\n    Colour = 1\n  }\n}", 3,
     "unknown property Colour of P"},
    {"UnknownSubProperty", "TLtForm F {\n  TLtPanel P {\n\n    Font.Size = 1\n  }\n}", 4,
     "unknown property Font.Size"},
    {"NoSubObject", "TLtForm F {\n  TLtPanel P {\n    Left.X = 1\n  }\n}", 3, "Left has no sub-properties"},
    {"TypeMismatch", "TLtForm F {\n  Left = \"ten\"\n}", 2, "bad value for Left"},
    {"RealIntoInteger", "TLtForm F {\n  Left = 1.5\n}", 2, "bad value for Left"},
    {"IntegerOutOfRange", "TLtForm F {\n  TLtPanel P {\n    Tag = 40000\n  }\n}", 3, "out of range"},
    {"UnknownEnum", "TLtForm F {\n  TLtPanel P {\n    Align = alLeftish\n  }\n}", 3,
     "unknown identifier 'alLeftish'"},
    {"UnknownSetMember", "TLtForm F {\n  TLtPanel P {\n    Font.Style = [fsBold, fsHuge]\n  }\n}", 3,
     "unknown identifier 'fsHuge'"},
    {"UnknownColour", "TLtForm F {\n  Color = clPlaid\n}", 2, "unknown identifier 'clPlaid'"},
    {"BadBoolean", "TLtForm F {\n  TLtPanel P {\n    Flat = Yes\n  }\n}", 3, "expected True or False"},
    {"MixedList", "TLtForm F {\n  TLtPanel P {\n    Items = [\"a\", b]\n  }\n}", 3,
     "list of identifiers or of strings"},
    {"MissingCloseBrace", "TLtForm F {\n  TLtPanel P {\n    Left = 1\n  \n}\n", 6, "'}' missing"},
    {"ExtraCloseBrace", "TLtForm F {\n}\n}\n", 3, "text after the end"},
    {"TruncatedBinary", "TLtForm F {\n  TLtPanel P {\n    Data = {0A0B\n", 3, "binary block not closed"},
    {"OddBinary", "TLtForm F {\n  TLtPanel P {\n    Data = {0A0\n    }\n  }\n}", 4,
     "odd number of hex digits"},
    {"BadHex", "TLtForm F {\n  TLtPanel P {\n    Data = {0G}\n  }\n}", 3,
     "bad character 'G' in binary block"},
    {"UnterminatedString", "TLtForm F {\n  Caption = \"abc\n}", 2, "unterminated string"},
    {"BadEscape", "TLtForm F {\n  Caption = \"a\\qb\"\n}", 2, "unknown escape"},
    {"MissingSlot", "TLtForm F {\n  TLtPanel P {\n    OnClick = NoSuchHandler\n  }\n}", 3,
     "handler NoSuchHandler not found"},
    {"IncompatibleSlot", "TLtForm F {\n  TLtPanel P {\n    OnClick = WrongArgs\n  }\n}", 3, "does not match"},
    {"MissingSignal", "TLtForm F {\n  TLtPanel P {\n    OnHover = Button1Click\n  }\n}", 3,
     "unknown event OnHover of P"},
    {"DuplicateName", "TLtForm F {\n  TLtPanel P {\n  }\n  TLtPanel P {\n  }\n}", 4,
     "duplicate object name P"},
    {"WidgetInsideComponent", "TLtForm F {\n  TLtTable T {\n    TLtPanel P {\n    }\n  }\n}", 3,
     "cannot be placed inside"},
    {"StoredValueRejected", "TLtForm F {\n  TLtTable T {\n    AMArrayData = 5\n  }\n}", 3,
     "unknown property AMArrayData"},
    {"BadNumber", "TLtForm F {\n  Left = 12ab\n}", 2, "bad number"},
    {"NumberTooLong", "TLtForm F {\n  Left = 99999999999999999999999\n}", 2, "bad number"},
    {"MissingValue", "TLtForm F {\n  Left =\n}", 3, "expected a value"},
    {"StrayCharacter", "TLtForm F {\n  Left = 1 ;\n}", 2, "unexpected character ';'"},
    {"Empty", "", 1, "expected the root object's class name"},
    {"RealBeyondFloat", "TLtForm F {\n  TLtPanel P {\n    Gain = -1e39\n  }\n}", 3, "out of range for Gain"},
    {"InfiniteReal", "TLtForm F {\n  TLtPanel P {\n    Frequency = 1e999\n  }\n}", 3, "bad number"},
    {"NotUtf8", "TLtForm F {\n  Caption = \"\xC3\x28\"\n}", 2, "not valid UTF-8"},
    {"OrdinalOutsideEnum", "TLtForm F {\n  TLtPanel P {\n    Align = 99\n  }\n}", 3,
     "value 99 is not one of the values"},
    {"BitsOutsideSet", "TLtForm F {\n  TLtPanel P {\n    Font.Style = 64\n  }\n}", 3,
     "value 64 is not one of the values"},
    {"PositionAtIntegerLimit", "TLtForm F {\n  Left = 2147483647\n}", 2, "out of range for Left"},
    {"PositionJustBelowLimit", "TLtForm F {\n  TLtPanel P {\n    Left = -32769\n  }\n}", 3,
     "out of range for Left"},
    {"EscapeSequenceEchoed", "TLtForm F {\n  Left = 1 \x1b[2J\n}", 2, "unexpected character '\\x1b'"},
};

class MalformedLayout : public LayoutReader, public ::testing::WithParamInterface<Malformed>
{
};

TEST_P(MalformedLayout, FailsWithFileLineAndReasonAndLeavesNothingBehind)
{
    const Malformed &c = GetParam();
    const qsizetype before = form.children().size();
    const layout::LayoutResult result =
        layout::LoadLayoutText(&form, QByteArray(c.text), QStringLiteral("bad.layout"));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.line, c.line) << result.error.toStdString();
    const QString prefix = QStringLiteral("bad.layout:%1: ").arg(c.line);
    EXPECT_TRUE(result.error.startsWith(prefix)) << result.error.toStdString();
    EXPECT_TRUE(result.error.contains(QString::fromUtf8(c.message))) << result.error.toStdString();
    EXPECT_EQ(form.children().size(), before);
    EXPECT_FALSE(form.isLoading());
    EXPECT_EQ(form.loadedCount, 0);
}

INSTANTIATE_TEST_SUITE_P(All, MalformedLayout, ::testing::ValuesIn(malformedCases),
                         [](const ::testing::TestParamInfo<Malformed> &param) {
                             return std::string(param.param.name);
                         });

TEST_F(LayoutReader, CoordinateLimitsThemselvesLoad)
{
    ASSERT_TRUE(
        load(QStringLiteral("TLtForm F {\n  Left = -32768\n  TLtPanel P {\n    Left = 32767\n  }\n}")).ok);
    EXPECT_EQ(form.Left(), -32768);
}

// A hostile name is echoed cut to 60 characters, on one line.
TEST_F(LayoutReader, LongValueIsCutInTheMessage)
{
    const QString name(10000, u'a');
    const layout::LayoutResult result =
        load(QStringLiteral("TLtForm F {\n  TLtPanel P {\n    Align = %1\n  }\n}").arg(name));
    ASSERT_FALSE(result.ok);
    EXPECT_TRUE(
        result.error.contains(QStringLiteral("unknown identifier '%1\u2026' for ").arg(name.left(60))))
        << result.error.toStdString();
}

TEST_F(LayoutReader, FailureUndoesBindingsToTheRoot)
{
    const layout::LayoutResult result = load(QStringLiteral(
        "TLtForm F {\n OnCreate = FormCreate\n TLtPanel P {\n  OnClick = Button1Click\n  Left = x\n }\n}"));
    ASSERT_FALSE(result.ok);
    EXPECT_TRUE(layout::HandlerBindings(&form).isEmpty());
    emit form.OnCreate(&form);
    EXPECT_TRUE(form.calls.isEmpty());
    EXPECT_TRUE(form.findChildren<TLtPanel *>().isEmpty());
}

} // namespace
TEST_F(LayoutReader, RootRefusingTheLayoutUndoesIt)
{
    form.requiredChild = QStringLiteral("Panel9");
    const qsizetype before = form.children().size();
    const layout::LayoutResult result = load(QString::fromUtf8(sampleLayout));
    EXPECT_FALSE(result.ok);
    EXPECT_EQ(result.error, QStringLiteral("test.layout: Panel9 is missing"));
    EXPECT_EQ(form.children().size(), before);
    EXPECT_TRUE(layout::HandlerBindings(&form).isEmpty());
    EXPECT_FALSE(form.isLoading());
    EXPECT_EQ(form.loadedCount, 0);

    form.requiredChild = QStringLiteral("Panel2");
    EXPECT_TRUE(load(QString::fromUtf8(sampleLayout)).ok);
    EXPECT_EQ(form.loadedCount, 1);
}

// Padded with a comment to `size` bytes in all.
QByteArray LayoutOfSize(qsizetype size)
{
    QByteArray text = "TLtForm F {\n  Left = 3\n}\n//";
    text.append(QByteArray(size - text.size(), 'x'));
    return text;
}

TEST_F(LayoutReader, SizeLimitHoldsForTextBytesAndFiles)
{
    QTemporaryDir dir;
    struct Case
    {
        qsizetype size;
        bool ok;
    };
    for (const Case c : {Case{layout::kMaxLayoutBytes, true}, Case{layout::kMaxLayoutBytes + 1, false}}) {
        const QByteArray text = LayoutOfSize(c.size);
        const QString path = dir.filePath(QStringLiteral("big.layout"));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(file.write(text), text.size());
        file.close();
        const layout::LayoutResult results[] = {
            layout::LoadLayoutText(&form, text, QStringLiteral("big.layout")),
            layout::LoadLayoutText(&form, QString::fromLatin1(text), QStringLiteral("big.layout")),
            layout::LoadLayout(&form, path),
        };
        for (const layout::LayoutResult &result : results) {
            EXPECT_EQ(result.ok, c.ok) << c.size << " " << result.error.toStdString();
            if (!c.ok) {
                EXPECT_TRUE(result.error.contains(
                    QStringLiteral("big.layout: too large for a layout (%1 bytes").arg(c.size)))
                    << result.error.toStdString();
                EXPECT_EQ(form.Left(), 3); // nothing of it was read
            }
        }
    }
}

TEST_F(LayoutReader, NestingDepthIsLimited)
{
    struct Case
    {
        int depth;
        bool ok;
    };
    for (const Case c : {Case{200, true}, Case{201, false}, Case{5000, false}}) {
        QString text = QStringLiteral("TLtForm F {\n");
        for (int i = 0; i < c.depth; ++i)
            text += QStringLiteral("TLtPanel P%1 {\n").arg(i);
        for (int i = 0; i <= c.depth; ++i)
            text += QStringLiteral("}\n");
        const layout::LayoutResult result = load(text);
        EXPECT_EQ(result.ok, c.ok) << c.depth << " " << result.error.toStdString();
        if (!c.ok) {
            EXPECT_TRUE(result.error.contains(QStringLiteral("objects nested too deeply")))
                << result.error.toStdString();
            EXPECT_TRUE(form.findChildren<TLtPanel *>().isEmpty());
        }
        qDeleteAll(form.findChildren<TLtPanel *>(Qt::FindDirectChildrenOnly));
    }
}

} // namespace layouttest
