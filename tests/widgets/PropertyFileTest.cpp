// Property text files: the lines written for a knob, value formats, loading rules, failures,
// and a round trip through a file for every widget class.

#include "core/Exception.h"
#include "tests/common/TestMain.h"
#include "widgets/iGradient.h"
#include "widgets/iKnob.h"
#include "widgets/iLabel.h"
#include "widgets/iLedBar.h"
#include "widgets/iPropertyFile.h"
#include "widgets/iSevenSegmentAnalog.h"
#include "widgets/iSevenSegmentCharacter.h"

#include <QDir>
#include <QFile>
#include <QLocale>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using widgets::TiKnob;

QString ValueOf(const QStringList &lines, const QString &path)
{
    for (const QString &line : lines)
        if (line.startsWith(path + QStringLiteral(" = ")))
            return line.mid(path.size() + 3);
    return QStringLiteral("<missing>");
}

QStringList Paths(const QStringList &lines)
{
    QStringList paths;
    for (const QString &line : lines)
        paths << line.left(line.indexOf(QStringLiteral(" = ")));
    return paths;
}

void WriteLines(const QString &file, const QStringList &lines)
{
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(lines.join(u'\n').toUtf8() + '\n');
}

QStringList ReadLines(const QString &file)
{
    QFile f(file);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(f.readAll()).split(u'\n', Qt::SkipEmptyParts);
}

// The message of the framework error an operation raises; empty when none.
QString ErrorOf(const std::function<void()> &operation)
{
    try {
        operation();
    } catch (const core::Exception &e) {
        return e.Message();
    }
    return {};
}

class PropertyFileTest : public ::testing::Test
{
protected:
    QString File(const QString &name) const { return dir.filePath(name); }
    QTemporaryDir dir;
};

TEST_F(PropertyFileTest, KnobFileWithoutSaveAll)
{
    TiKnob knob;
    knob.setObjectName(QStringLiteral("iKnob1"));
    knob.GetTickLabelFont()->setName(QStringLiteral("Tahoma"));
    knob.SetKnobStyle(TiKnob::iksSunken);
    knob.SetShowFocusRect(false);
    ASSERT_TRUE(knob.SavePropertiesToFile(File("knob.txt")));
    const QStringList lines = ReadLines(File("knob.txt"));
    ASSERT_FALSE(lines.isEmpty());
    EXPECT_EQ(lines.first(), QStringLiteral("File Type = TiKnob"));

    const QStringList paths = Paths(lines.mid(1));
    for (const char *left : {"Left", "Top", "Width", "Height", "Cursor", "ShowHint", "Tag", "Visible",
                             "Enabled", "Hint", "HelpContext", "Name", "Align"})
        EXPECT_FALSE(paths.contains(QLatin1String(left), Qt::CaseInsensitive)) << left;
    EXPECT_EQ(QStringList(paths).removeDuplicates(), 0);

    struct Expect
    {
        const char *path;
        const char *value;
    };
    const Expect expected[] = {
        {"ShowFocusRect", "0"},           // Boolean
        {"UseKeyboard", "1"},             // Boolean
        {"KnobStyle", "2"},               // enumeration ordinal
        {"TickMinorAlignment", "0"},      // shared enumeration
        {"KnobRadius", "35"},             // integer
        {"BackGroundColor", "-16777201"}, // clBtnFace as a signed integer
        {"IndicatorActiveColor", "16776960"},
        {"KeyArrowStepSize", "0.1"}, // float
        {"PositionMax", "100"},
        {"OptionSaveAllProperties", "0"},
        {"PositionDisplayUnits", ""},
        {"TickLabelFont.Name", "Tahoma"}, // nested font lines
        {"TickLabelFont.Height", "11"},
        {"TickLabelFont.Style", "0"}, // set as its bit mask
        {"PositionDisplayFont.Color", "-16777208"},
    };
    for (const Expect &e : expected)
        EXPECT_EQ(ValueOf(lines, QLatin1String(e.path)), QLatin1String(e.value)) << e.path;

    // Declaration order: the bases' properties first, the knob's own after them.
    EXPECT_LT(paths.indexOf("Position"), paths.indexOf("KnobRadius"));
    EXPECT_LT(paths.indexOf("KnobRadius"), paths.indexOf("KnobEdgeWidth"));
    EXPECT_LT(paths.indexOf("PositionDisplayFont.Name"), paths.indexOf("PositionDisplayPrecision"));
    // Every line is "path = value".
    const QRegularExpression shape(QStringLiteral("^[A-Za-z][A-Za-z0-9]*(\\.[A-Za-z][A-Za-z0-9]*)? = "));
    for (const QString &line : lines.mid(1))
        EXPECT_TRUE(shape.match(line).hasMatch()) << line.toStdString();
}

TEST_F(PropertyFileTest, SaveAllAddsPositionSizeAndFrameworkProperties)
{
    TiKnob knob;
    knob.setObjectName(QStringLiteral("iKnob1"));
    knob.SetBounds(9, 30, 208, 178);
    knob.SetOptionSaveAllProperties(true);
    ASSERT_TRUE(knob.SavePropertiesToFile(File("all.txt")));
    const QStringList lines = ReadLines(File("all.txt"));
    const QStringList paths = Paths(lines);
    for (const char *path :
         {"Left", "Top", "Width", "Height", "Cursor", "ShowHint", "Tag", "Visible", "Enabled", "Hint"})
        EXPECT_TRUE(paths.contains(QLatin1String(path))) << path;
    EXPECT_FALSE(paths.contains(QStringLiteral("Name")));
    EXPECT_EQ(ValueOf(lines, "Left"), "9");
    EXPECT_EQ(ValueOf(lines, "Height"), "178");
    EXPECT_EQ(ValueOf(lines, "OptionSaveAllProperties"), "1");
}

// Up to 15 significant digits, general format, the locale's decimal separator.
TEST_F(PropertyFileTest, FloatFormat)
{
    TiKnob knob;
    const QMetaProperty property =
        knob.metaObject()->property(knob.metaObject()->indexOfProperty("KeyArrowStepSize"));
    struct Case
    {
        double value;
        const char *text;
    };
    const Case cases[] = {
        {0.1, "0.1"},
        {20000, "20000"},
        {-2.5, "-2.5"},
        {1.0 / 3, "0.333333333333333"},
        {1e20, "1E20"},
        {1.5e-7, "1.5E-7"},
        {0.0001, "0.0001"},
        {1e-5, "1E-5"},
        {123456789012345678.0, "1.23456789012346E17"},
        {999999999999999.0, "999999999999999"},
        {0.0, "0"},
    };
    for (const Case &c : cases) {
        QString text;
        ASSERT_TRUE(widgets::FormatPropertyValue(property, QVariant(c.value), text));
        EXPECT_EQ(text, QLatin1String(c.text)) << c.value;
    }

    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    knob.SetKeyArrowStepSize(0.25);
    ASSERT_TRUE(knob.SavePropertiesToFile(File("de.txt")));
    EXPECT_EQ(ValueOf(ReadLines(File("de.txt")), "KeyArrowStepSize"), "0,25");
    WriteLines(File("de-in.txt"), {"KeyArrowStepSize = 0,75"});
    knob.LoadPropertiesFromFile(File("de-in.txt"));
    EXPECT_EQ(knob.GetKeyArrowStepSize(), 0.75);
    QLocale::setDefault(saved);
}

// Keys match ignoring case and blanks, the first of two equal keys wins, the rest is ignored.
TEST_F(PropertyFileTest, LoadMatchesKeysLikeThePartSays)
{
    TiKnob knob;
    WriteLines(File("in.txt"), {
                                   "File Type = TiLedBar",
                                   "  knobradius   =   50  ",
                                   "KNOBRADIUS = 60",
                                   "TickLabelFont.name = Tahoma",
                                   "NoSuchProperty = 7",
                                   "a line without an equals sign",
                                   "KnobStyle = 3",
                                   "ShowFocusRect = 0",
                                   "PositionDisplayUnits =  Hz ",
                                   "KeyPageStepSize = 2.5",
                               });
    ASSERT_TRUE(knob.LoadPropertiesFromFile(File("in.txt")));
    EXPECT_EQ(knob.GetKnobRadius(), 50);
    EXPECT_EQ(knob.GetTickLabelFont()->name(), QStringLiteral("Tahoma"));
    EXPECT_EQ(knob.GetKnobStyle(), TiKnob::iksSunkenEdge);
    EXPECT_FALSE(knob.GetShowFocusRect());
    EXPECT_EQ(knob.GetKeyPageStepSize(), 2.5);
    // Only the blank after '=' goes; a string keeps its own blanks.
    EXPECT_EQ(knob.GetPositionDisplayUnits(), QStringLiteral(" Hz "));
    EXPECT_FALSE(knob.UpdateLocked());
}

// Properties are set through their setters, and the update lock folds their repaints into one.
TEST_F(PropertyFileTest, LoadSetsThroughSettersAndRepaintsOnce)
{
    widgets::TiLabel label;
    label.SetBackGroundColor(canvas::clSilver);
    WriteLines(File("label.txt"), {"Caption = Уровень громкости ", "BorderStyle = 1", "Font.Height = 20",
                                   "Font.Style = 5", "ShadowColor = 255", "BackGroundColor = -16777201"});
    label.ResetCounters();
    ASSERT_TRUE(label.LoadPropertiesFromFile(File("label.txt")));
    EXPECT_EQ(label.GetCaption(), QStringLiteral("Уровень громкости "));
    EXPECT_EQ(label.GetBorderStyle(), widgets::TiLabel::ilbsSingle);
    EXPECT_EQ(label.GetShadowColor(), canvas::clRed);
    EXPECT_EQ(label.GetBackGroundColor(), canvas::clBtnFace) << "a signed colour";
    EXPECT_EQ(label.GetFont()->style(), canvas::TFont::fsBold | canvas::TFont::fsUnderline);
    EXPECT_GT(label.height(), 20) << "auto-size ran for the new font";
    EXPECT_EQ(label.Counters().RepaintNow, 1);
}

TEST_F(PropertyFileTest, BadValuesRaiseAndKeepEarlierProperties)
{
    struct Case
    {
        const char *line;
        const char *message;
    };
    const Case cases[] = {
        {"KeyPageStepSize = abc", "Error Loading Properties - 'abc' is not a valid floating point value"},
        {"KeyPageStepSize = 1.5.2", "Error Loading Properties - '1.5.2' is not a valid floating point value"},
        {"KeyPageStepSize = ", "Error Loading Properties - '' is not a valid floating point value"},
        {"KnobEdgeWidth = 12x", "Error Loading Properties - '12x' is not a valid integer value"},
        {"KnobEdgeWidth = 99999999999",
         "Error Loading Properties - '99999999999' is not a valid integer value"},
        {"IndicatorStyle = 9", "Error Loading Properties - '9' is not a valid value for IndicatorStyle"},
        {"UseKeyboard = 2", "Error Loading Properties - '2' is not a valid value for UseKeyboard"},
        {"TickLabelFont.Style = 64", "Error Loading Properties - '64' is not a valid value for Style"},
    };
    for (const Case &c : cases) {
        TiKnob knob;
        WriteLines(File("bad.txt"), {"KnobRadius = 50", "ShowFocusRect = 0", QLatin1String(c.line)});
        knob.ResetCounters();
        const QString message = ErrorOf([&] { knob.LoadPropertiesFromFile(File("bad.txt")); });
        EXPECT_EQ(message, QLatin1String(c.message)) << c.line;
        EXPECT_EQ(knob.GetKnobRadius(), 50) << "set before the failing line: " << c.line;
        // The update lock is released and the changes made so far are painted.
        EXPECT_FALSE(knob.UpdateLocked()) << c.line;
        EXPECT_EQ(knob.Counters().RepaintNow, 1) << c.line;
        knob.SetKnobRadius(20);
        EXPECT_EQ(knob.Counters().RepaintNow, 2) << c.line;
    }
}

// Values no widget can hold are refused, name the value short and on one line, and set nothing.
TEST_F(PropertyFileTest, HostileValuesAreRefusedWhole)
{
    const QString escaped = QStringLiteral("\\x1b[2J") + QString(56, u'x') + QChar(0x2026);
    struct Case
    {
        QString line;
        QString message;
    };
    const Case cases[] = {
        {"PositionMin = -inf", "'-inf' is not a valid floating point value"},
        {"PositionMax = NAN", "'NAN' is not a valid floating point value"},
        {"KeyPageStepSize = 1e999", "'1e999' is not a valid floating point value"},
        {"Left = 2147483647", "'2147483647' is not a valid value for Left"},
        {"Height = -32769", "'-32769' is not a valid value for Height"},
        {"KnobEdgeWidth = \x1b[2J" + QString(10000, u'x'), "'" + escaped + "' is not a valid integer value"},
    };
    for (const Case &c : cases) {
        TiKnob knob;
        const QStringList before = widgets::PropertyFileLines(&knob, true);
        WriteLines(File("bad.txt"), {c.line});
        const QString message = ErrorOf([&] { knob.LoadPropertiesFromFile(File("bad.txt")); });
        EXPECT_EQ(message, "Error Loading Properties - " + c.message) << c.line.left(40).toStdString();
        EXPECT_EQ(widgets::PropertyFileLines(&knob, true), before) << c.line.left(40).toStdString();
    }
}

// Files of older tools are in the Cyrillic code page; saving writes UTF-8 all the same.
TEST_F(PropertyFileTest, FileThatIsNotUtf8ReadsAsCyrillicCodePage)
{
    const QString caption = QStringLiteral(" ДОПОЛНИТЕЛЬНО ");
    {
        QFile f(File("cp1251.txt"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("File Type = TiLabel\r\nCaption = "
                "\x20\xC4\xCE\xCF\xCE\xCB\xCD\xC8\xD2\xC5\xCB\xDC\xCD\xCE\x20\r\n");
    }
    widgets::TiLabel label;
    ASSERT_TRUE(label.LoadPropertiesFromFile(File("cp1251.txt")));
    EXPECT_EQ(label.GetCaption(), caption);
    ASSERT_TRUE(label.SavePropertiesToFile(File("out.txt")));
    EXPECT_EQ(ValueOf(ReadLines(File("out.txt")), "Caption"), caption);
}

TEST_F(PropertyFileTest, MissingFileRaises)
{
    TiKnob knob;
    knob.ResetCounters();
    const QString message = ErrorOf([&] { knob.LoadPropertiesFromFile(File("missing.txt")); });
    EXPECT_TRUE(message.startsWith(QStringLiteral("Error Loading Properties - Cannot open file \"") +
                                   File("missing.txt") + u'"'))
        << message.toStdString();
    EXPECT_FALSE(knob.UpdateLocked());
    EXPECT_EQ(knob.GetKnobRadius(), 35);
}

TEST_F(PropertyFileTest, FailedSaveLeavesTheOldFileWhole)
{
    TiKnob knob;
    // Under a regular file no file can be created.
    WriteLines(File("plain"), {"x"});
    QString message = ErrorOf([&] { knob.SavePropertiesToFile(File("plain/knob.txt")); });
    EXPECT_TRUE(message.startsWith(QStringLiteral("Error Saving Properties - Cannot create file \"")))
        << message.toStdString();

    // A name just short of the limit exists, but the replacement written beside it cannot:
    // the old file stays as it was.
    const QString longName = File(QString(250, u'k'));
    WriteLines(longName, {"File Type = TiKnob", "KnobRadius = 77"});
    message = ErrorOf([&] { knob.SavePropertiesToFile(longName); });
    EXPECT_TRUE(message.startsWith(QStringLiteral("Error Saving Properties - "))) << message.toStdString();
    EXPECT_EQ(ReadLines(longName), QStringList({"File Type = TiKnob", "KnobRadius = 77"}));

    // A successful save replaces the whole file.
    WriteLines(File("old.txt"), QStringList(500, QStringLiteral("Stale = 1")));
    ASSERT_TRUE(knob.SavePropertiesToFile(File("old.txt")));
    EXPECT_FALSE(ReadLines(File("old.txt")).contains(QStringLiteral("Stale = 1")));
}

// A file of one class loaded into another sets the properties both have.
TEST_F(PropertyFileTest, OtherClassSetsOnlyMatchingProperties)
{
    widgets::TiLedBar bar;
    bar.SetBackGroundColor(canvas::clRed);
    bar.SetSegmentSize(9);
    bar.SetSegmentSpacing(4);
    ASSERT_TRUE(bar.SavePropertiesToFile(File("bar.txt")));
    widgets::TiSevenSegmentAnalog display;
    const int spacing = display.GetDigitSpacing();
    ASSERT_TRUE(display.LoadPropertiesFromFile(File("bar.txt")));
    EXPECT_EQ(display.GetBackGroundColor(), canvas::clRed);
    EXPECT_EQ(display.GetSegmentSize(), 9);
    EXPECT_EQ(display.GetDigitSpacing(), spacing);
}

// Each written property set to another value, saved, loaded into a fresh widget of the same
// class and saved again gives the same file.
TEST_F(PropertyFileTest, RoundTripForEveryWidgetClass)
{
    struct Class
    {
        const char *name;
        std::function<widgets::TiComponent *()> make;
        // Properties whose setters depend on others set later in the file (clamped to a range or
        // resized by auto-size), left at their defaults.
        QStringList keep;
    };
    const QStringList positions = {"Position", "PositionMin", "PositionMax", "CurrentMin", "CurrentMax"};
    const Class classes[] = {
        {"TiKnob", [] { return new TiKnob; }, positions + QStringList{"AutoSize", "Width", "Height"}},
        {"TiLedBar", [] { return new widgets::TiLedBar; }, positions + QStringList{"SegmentDirection"}},
        {"TiSevenSegmentCharacter",
         [] { return new widgets::TiSevenSegmentCharacter; },
         {"AutoSize", "Width", "Height"}},
        {"TiSevenSegmentAnalog",
         [] { return new widgets::TiSevenSegmentAnalog; },
         {"AutoSize", "Width", "Height"}},
        {"TiLabel", [] { return new widgets::TiLabel; }, {"AutoSize", "Width", "Height"}},
        {"TiGradient", [] { return new widgets::TiGradient; }, {}},
    };
    for (const Class &c : classes) {
        std::unique_ptr<widgets::TiComponent> a(c.make());
        a->SetOptionSaveAllProperties(true);
        int changed = 0;
        for (const widgets::TiPropertyEntry &e : widgets::PublishedPropertyPaths(a.get())) {
            if (c.keep.contains(e.Path) || e.Path == QLatin1String("Visible") ||
                e.Path == QLatin1String("OptionSaveAllProperties"))
                continue;
            const QVariant v = e.Property.read(e.Owner);
            QVariant next;
            const int id = e.Property.metaType().id();
            if (e.Property.isEnumType() && !e.Property.isFlagType()) {
                // The next key after the current one, written by name.
                QString ordinal;
                ASSERT_TRUE(widgets::FormatPropertyValue(e.Property, v, ordinal));
                const QMetaEnum en = e.Property.enumerator();
                for (int k = 0; k < en.keyCount(); ++k)
                    if (en.value(k) == ordinal.toInt())
                        next = QString::fromLatin1(en.key((k + 1) % en.keyCount()));
            } else if (id == QMetaType::Bool) {
                next = !v.toBool();
            } else if (id == QMetaType::Int) {
                next = v.toInt() + 2;
            } else if (id == QMetaType::UInt) {
                next = (v.toUInt() ^ 0x203040u) & 0xFFFFFFu;
            } else if (id == QMetaType::Double) {
                next = v.toDouble() + 1.25;
            } else if (id == QMetaType::QString) {
                next = v.toString() + QStringLiteral(" x ");
            } else {
                continue;
            }
            if (e.Property.write(e.Owner, next))
                ++changed;
        }
        EXPECT_GT(changed, 5) << c.name;
        ASSERT_NO_THROW(a->SavePropertiesToFile(File("a.txt"))) << c.name;
        const QStringList written = ReadLines(File("a.txt"));
        EXPECT_EQ(written.first(), QStringLiteral("File Type = ") + QLatin1String(c.name));

        std::unique_ptr<widgets::TiComponent> b(c.make());
        ASSERT_NO_THROW(b->LoadPropertiesFromFile(File("a.txt"))) << c.name;
        ASSERT_NO_THROW(b->SavePropertiesToFile(File("b.txt"))) << c.name;
        EXPECT_EQ(ReadLines(File("b.txt")), written) << c.name;
    }
}

// A file over the limit is refused unread, with the file named, for every way in; the widget keeps
// its properties and can repaint. One at the limit is read.
TEST_F(PropertyFileTest, SizeLimitRefusesBigFilesWhole)
{
    struct Case
    {
        qint64 size;
        bool ok;
    };
    for (const Case c :
         {Case{widgets::kMaxPropertyFileBytes, true}, Case{widgets::kMaxPropertyFileBytes + 1, false}}) {
        QByteArray bytes = "KnobRadius = 50\n";
        bytes.append(QByteArray(c.size - bytes.size(), 'x'));
        const QString path = File("big.txt");
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        ASSERT_EQ(f.write(bytes), bytes.size());
        f.close();
        const std::function<void(TiKnob &)> loads[] = {
            [&](TiKnob &knob) { knob.LoadPropertiesFromFile(path); },
            [&](TiKnob &knob) { knob.LoadPropertiesFromData(bytes, path); },
        };
        for (const auto &load : loads) {
            TiKnob knob;
            const int radius = knob.GetKnobRadius();
            const QString error = ErrorOf([&] { load(knob); });
            EXPECT_FALSE(knob.UpdateLocked());
            if (c.ok) {
                EXPECT_TRUE(error.isEmpty()) << error.toStdString();
                EXPECT_EQ(knob.GetKnobRadius(), 50);
            } else {
                EXPECT_EQ(error,
                          QStringLiteral("Error Loading Properties - File \"%1\" is too large for a property "
                                         "file (%2 bytes, at most 1048576).")
                              .arg(path)
                              .arg(c.size));
                EXPECT_EQ(knob.GetKnobRadius(), radius);
            }
        }
    }
}

} // namespace
