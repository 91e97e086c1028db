#include "tests/layout/LayoutTestClasses.h"

#include "layout/LayoutReader.h"
#include "layout/LayoutWriter.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace layouttest {
namespace {

class LayoutWriter : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { RegisterLayoutTestClasses(); }
};

const char *const source = R"(TLtForm Form1 {
    Left = 0
    Caption = "x"
    OnCreate = FormCreate
    TLtPanel Panel1 {
        Color = 0xC0C0C0
        Frequency = 440.0
        Gain = 0.1
        Align = alTop
        Items = ["q\"uote", "back\\slash", "tab\there"]
        Font.Style = [fsItalic, fsBold]
        Font.Color = -16777201
        Origin.Y = 2
        OnClick = Button1Click
        TLtKnob iKnob1 {
            PositionMax = 500
            PositionMax_2 = 20000
        }
    }
    TLtTable ToneGen1 {
        AMArrayData = {}
    }
}
)";

// Written by hand from the source above: defaults left out, colour names used, values in
// declaration order, handlers after the properties, stored values last. The knob's property
// and its stored twin read the same field, which the stored value set last.
const char *const expected = R"(TLtForm Form1 {
    Caption = "x"
    Color = clBlack
    OnCreate = FormCreate
    TLtPanel Panel1 {
        Caption = ""
        Tag = 0
        Color = clSilver
        Gain = 0.1
        Align = alTop
        Items = ["q\"uote", "back\\slash", "tab\there"]
        Data = {}
        Font.Style = [fsBold, fsItalic]
        Font.Color = clBtnFace
        Origin.X = 0
        Origin.Y = 2
        OnClick = Button1Click
        TLtKnob iKnob1 {
            PositionMax = 20000.0
            PositionMax_2 = 20000.0
        }
    }
    TLtTable ToneGen1 {
        Size = 0
        AMArrayData = {}
    }
}
)";

TEST_F(LayoutWriter, WritesDeclarationOrderWithoutDefaultsAndRoundTrips)
{
    TLtForm first;
    const layout::LayoutResult loaded = layout::LoadLayoutText(&first, QString::fromUtf8(source), "source");
    ASSERT_TRUE(loaded.ok) << loaded.error.toStdString();
    layout::LayoutResult written;
    const QString saved = layout::SaveLayout(&first, &written);
    EXPECT_TRUE(written.ok) << written.error.toStdString();
    EXPECT_EQ(saved.toStdString(), expected);

    TLtForm second;
    const layout::LayoutResult reloaded = layout::LoadLayoutText(&second, saved, "saved");
    ASSERT_TRUE(reloaded.ok) << reloaded.error.toStdString();
    EXPECT_EQ(layout::SaveLayout(&second).toStdString(), saved.toStdString());
    // The float survives as the float it was.
    EXPECT_EQ(second.findChild<TLtPanel *>()->Gain(), 0.1f);
    EXPECT_DOUBLE_EQ(second.findChild<TLtKnob *>()->FPositionMax, 20000.0);
}

TEST_F(LayoutWriter, BinaryAndTextValuesRoundTripExactly)
{
    TLtForm form;
    form.setObjectName(QStringLiteral("Form1"));
    auto *table = new TLtTable(&form);
    table->setObjectName(QStringLiteral("ToneGen1"));
    auto *panel = new TLtPanel(&form);
    panel->setObjectName(QStringLiteral("Panel1"));
    QRandomGenerator random(7);
    for (int i = 0; i < 300; ++i)
        table->table.append(char(random.bounded(256)));
    QByteArray data;
    for (int i = 0; i < 256; ++i)
        data.append(char(i));
    panel->setData(data);
    panel->setCaption(QString::fromUtf8("Звук \"a\\b\"\n\r\t\x01 end"));
    panel->setFrequency(0.1 + 0.2);
    panel->Font()->setName(QString());

    const QString saved = layout::SaveLayout(&form);
    EXPECT_TRUE(saved.contains(QStringLiteral("AMArrayData = {\n"))) << "long blocks span lines";

    TLtForm copy;
    const layout::LayoutResult result = layout::LoadLayoutText(&copy, saved, "saved");
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    auto *tableCopy = copy.findChild<TLtTable *>();
    auto *panelCopy = copy.findChild<TLtPanel *>();
    ASSERT_TRUE(tableCopy && panelCopy);
    EXPECT_EQ(tableCopy->table, table->table);
    EXPECT_EQ(panelCopy->Data(), data);
    EXPECT_EQ(panelCopy->Caption(), panel->Caption());
    EXPECT_EQ(panelCopy->Frequency(), 0.1 + 0.2);
    EXPECT_EQ(panelCopy->Font()->Name(), QString());
    EXPECT_EQ(layout::SaveLayout(&copy), saved);
}

TEST_F(LayoutWriter, SkipsUnregisteredAndUnnamedChildrenAndReportsUnwritableValues)
{
    TLtForm form;
    form.setObjectName(QStringLiteral("F"));
    auto *unnamed = new TLtPanel(&form);
    Q_UNUSED(unnamed);
    auto *plain = new QObject(&form);
    plain->setObjectName(QStringLiteral("Plain"));
    auto *knob = new TLtKnob(&form);
    knob->setObjectName(QStringLiteral("K"));
    knob->FPositionMax = qInf();

    layout::LayoutResult result;
    const QString saved = layout::SaveLayout(&form, &result);
    EXPECT_FALSE(saved.contains(QStringLiteral("Plain")));
    EXPECT_FALSE(saved.contains(QStringLiteral("TLtPanel")));
    EXPECT_TRUE(saved.contains(QStringLiteral("TLtKnob K {")));
    EXPECT_FALSE(result.ok);
    EXPECT_TRUE(result.error.contains(QStringLiteral("K.PositionMax"))) << result.error.toStdString();
    EXPECT_TRUE(result.error.contains(QStringLiteral("K.PositionMax_2"))) << result.error.toStdString();
}

TEST_F(LayoutWriter, SavesToAFile)
{
    QTemporaryDir dir;
    TLtForm form;
    ASSERT_TRUE(layout::LoadLayoutText(&form, QString::fromUtf8(source), "source").ok);
    const QString path = dir.filePath(QStringLiteral("Form1.layout"));
    const layout::LayoutResult saved = layout::SaveLayoutToFile(&form, path);
    ASSERT_TRUE(saved.ok) << saved.error.toStdString();
    TLtForm copy;
    const layout::LayoutResult result = layout::LoadLayout(&copy, path);
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_EQ(layout::SaveLayout(&copy), layout::SaveLayout(&form));

    const QString unwritable = dir.filePath(QStringLiteral("missing/Form1.layout"));
    const layout::LayoutResult failed = layout::SaveLayoutToFile(&form, unwritable);
    EXPECT_FALSE(failed.ok);
    EXPECT_TRUE(failed.error.startsWith(unwritable + QStringLiteral(": cannot write")))
        << failed.error.toStdString();
}

// Random damage to a valid layout must end in either a clean load or an error naming the
// file and a line; never a crash (run under ASan in CI).
TEST_F(LayoutWriter, MutatedLayoutsNeverCrash)
{
    TLtForm reference;
    ASSERT_TRUE(layout::LoadLayoutText(&reference, QString::fromUtf8(source), "source").ok);
    const QByteArray valid =
        layout::SaveLayout(&reference).toUtf8() + "// tail\n"; // comments must survive mutation too
    const QByteArray alphabet = "{}[]=,\"\\.-0x1Ae ;\n/TLtPanel Onfs\xD0\x97";
    QRandomGenerator random(12345);
    int failures = 0;
    for (int round = 0; round < 3000; ++round) {
        QByteArray text = valid;
        const int edits = 1 + int(random.bounded(4));
        for (int e = 0; e < edits && !text.isEmpty(); ++e) {
            const qsizetype at = random.bounded(int(text.size()));
            switch (random.bounded(5)) {
            case 0:
                text.remove(at, 1 + random.bounded(8));
                break;
            case 1:
                text.insert(at, alphabet.at(random.bounded(int(alphabet.size()))));
                break;
            case 2:
                text[at] = alphabet.at(random.bounded(int(alphabet.size())));
                break;
            case 3:
                text.truncate(at);
                break;
            default:
                text.insert(at, text.mid(random.bounded(int(text.size())), 1 + random.bounded(40)));
                break;
            }
        }
        TLtForm form;
        const layout::LayoutResult result =
            layout::LoadLayoutText(&form, text, QStringLiteral("fuzz.layout"));
        if (!result.ok) {
            ++failures;
            ASSERT_TRUE(result.error.startsWith(QStringLiteral("fuzz.layout:%1: ").arg(result.line)))
                << result.error.toStdString();
            ASSERT_GE(result.line, 1);
        }
    }
    EXPECT_GT(failures, 1000) << "the mutations should mostly break the layout";
}

} // namespace
} // namespace layouttest
