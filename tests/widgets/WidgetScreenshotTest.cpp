#include "tests/common/GoldenImage.h"
#include "widgets/iKnob.h"
#include "widgets/iLedBar.h"
#include "widgets/iSevenSegmentAnalog.h"

#include <QImage>
#include <QTest>
#include <gtest/gtest.h>

using namespace widgets;

// The front-panel widgets with the main window's settings, every pixel compared with a stored
// picture (tests/widgets/golden): text, shading and transparency are beyond probing by hand.
namespace {

constexpr canvas::TColor kPanel = canvas::RGB(217, 223, 217);

void Knob(TiKnob &k, bool level)
{
    k.resize(level ? 187 : 208, level ? 174 : 178);
    k.SetPositionMax(level ? 100 : 20000);
    k.SetMinMaxFixed(true);
    k.SetKnobRadius(44);
    k.SetAutoSize(false);
    k.SetIndicatorActiveColor(canvas::clRed);
    k.SetIndicatorInactiveColor(level ? canvas::clNavy : canvas::clGreen);
    k.SetIndicatorMargin(level ? 8 : 7);
    if (level) {
        k.SetIndicatorStyle(TiKnob::ikisTriangle);
        k.SetIndicatorSize(5);
    }
    k.SetTickMajorCount(6);
    k.SetTickMajorColor(canvas::clRed);
    k.SetTickMajorLength(2);
    k.SetTickMinorCount(10);
    k.SetTickMinorColor(canvas::clBlack);
    k.SetTickMinorAlignment(itmnaCenter);
    k.GetTickLabelFont()->setColor(canvas::clMaroon);
    k.GetTickLabelFont()->setHeight(-11);
    k.GetPositionDisplayFont()->setHeight(-11);
    k.SetShowFocusRect(false);
    k.SetTransparent(true);
}

void Bar(TiLedBar &b, int which)
{
    if (which == 3) {
        b.SetSegmentDirection(TiLedBar::idRight);
        b.resize(211, 35);
        b.SetBackGroundColor(9726300);
        b.SetSegmentSize(1);
        b.SetBorderStyle(ibsLowered);
    } else {
        b.resize(15, which == 1 ? 237 : 227);
        b.SetBackGroundColor(10197915);
        b.SetSegmentSize(3);
        b.SetSegmentSpacing(1);
        b.SetBorderStyle(ibsRaised);
    }
    b.SetSegmentMargin(1);
    b.SetSectionCount(3);
    if (which == 1) {
        b.SetPositionMin(10);
        b.SetPositionMax(20000);
        b.SetSectionEnd1(12000);
        b.SetSectionEnd2(16000);
        b.SetSectionColor1(4980546);
    } else if (which == 2) {
        b.SetSectionColor1(canvas::clAqua);
        b.SetSectionColor3(244);
    }
}

void Readout(TiSevenSegmentAnalog &d, bool level)
{
    d.SetAutoSize(false);
    d.resize(level ? 91 : 127, level ? 38 : 40);
    d.SetDigitCount(level ? 3 : 5);
    if (level)
        d.SetDigitSpacing(9);
    d.SetPrecision(0);
    d.SetShowSign(false);
    d.SetSegmentColor(level ? canvas::clYellow : 4651058);
    d.SetBorderStyle(ibsLowered);
}

// Each widget sits on a panel of the main window's colour, as on the front panel.
QImage Shoot(TiComponent &w)
{
    QWidget panel;
    QPalette pal = panel.palette();
    pal.setColor(QPalette::Window, canvas::ToQColor(kPanel));
    panel.setPalette(pal);
    panel.setAutoFillBackground(true);
    panel.resize(w.width() + 20, w.height() + 20);
    w.setParent(&panel);
    w.move(10, 10);
    panel.show();
    EXPECT_TRUE(QTest::qWaitForWindowExposed(&panel));
    const QImage image = w.PaintToImage();
    w.setParent(nullptr);
    return image;
}

void ExpectGolden(const QImage &image, const char *name)
{
    testsupport::ExpectGolden(image, QStringLiteral("tests/widgets/golden"), QString::fromLatin1(name));
}

} // namespace

TEST(WidgetGolden, Knobs)
{
    TiKnob k;
    Knob(k, false);
    k.SetPosition(440);
    ExpectGolden(Shoot(k), "iKnob1-440");
    k.SetPosition(20000);
    ExpectGolden(Shoot(k), "iKnob1-20000");

    TiKnob level;
    Knob(level, true);
    level.SetPosition(50);
    ExpectGolden(Shoot(level), "iKnob2-50");
    level.SetTransparent(false);
    level.SetShowPostionDisplay(true);
    level.SetKnobStyle(TiKnob::iksSunkenEdge);
    level.SetIndicatorStyle(TiKnob::ikisDotRaised);
    ExpectGolden(Shoot(level), "knob-variant");
}

TEST(WidgetGolden, LedBars)
{
    TiLedBar frequency;
    Bar(frequency, 1);
    frequency.SetPosition(14000);
    ExpectGolden(Shoot(frequency), "iLedBar1-14000");

    TiLedBar level;
    Bar(level, 2);
    level.SetPosition(80);
    ExpectGolden(Shoot(level), "iLedBar2-80");

    TiLedBar activity;
    Bar(activity, 3);
    activity.SetPosition(50);
    ExpectGolden(Shoot(activity), "iLedBar3-50");
    activity.SetSegmentSize(5);
    activity.SetSegmentStyle(TiLedBar::ilbssCircle);
    ExpectGolden(Shoot(activity), "ledbar-circles");
    activity.SetSegmentStyle(TiLedBar::ilbssTriangle);
    ExpectGolden(Shoot(activity), "ledbar-triangles");
}

TEST(WidgetGolden, Readouts)
{
    TiSevenSegmentAnalog frequency;
    Readout(frequency, false);
    frequency.SetValue(440);
    ExpectGolden(Shoot(frequency), "iSevenSegmentAnalog1-440");
    frequency.SetValue(100000);
    ExpectGolden(Shoot(frequency), "iSevenSegmentAnalog1-overflow");

    TiSevenSegmentAnalog level;
    Readout(level, true);
    level.SetValue(75);
    ExpectGolden(Shoot(level), "iSevenSegmentAnalog2-75");

    TiSevenSegmentAnalog plain; // sign, 4 digits, 2 decimals
    plain.SetValue(-3.25);
    ExpectGolden(Shoot(plain), "readout-default");
}
