#include "tests/common/TestMain.h"
#include "widgets/iKnob.h"
#include "widgets/iLedBar.h"
#include "widgets/iSevenSegmentAnalog.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

using namespace widgets;

// Renders the front-panel widgets with the main window's settings into PNG files, for a
// person to look at (artifact folder, widget-*.png).
namespace {

constexpr framework::TColor kPanel = framework::RGB(217, 223, 217);

void Knob(TiKnob &k, bool level)
{
    k.resize(level ? 187 : 208, level ? 174 : 178);
    k.SetPositionMax(level ? 100 : 20000);
    k.SetMinMaxFixed(true);
    k.SetKnobRadius(44);
    k.SetAutoSize(false);
    k.SetIndicatorActiveColor(framework::clRed);
    k.SetIndicatorInactiveColor(level ? framework::clNavy : framework::clGreen);
    k.SetIndicatorMargin(level ? 8 : 7);
    if (level) {
        k.SetIndicatorStyle(TiKnob::ikisTriangle);
        k.SetIndicatorSize(5);
    }
    k.SetTickMajorCount(6);
    k.SetTickMajorColor(framework::clRed);
    k.SetTickMajorLength(2);
    k.SetTickMinorCount(10);
    k.SetTickMinorColor(framework::clBlack);
    k.SetTickMinorAlignment(itmnaCenter);
    k.GetTickLabelFont()->setColor(framework::clMaroon);
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
        b.SetSectionColor1(framework::clAqua);
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
    d.SetSegmentColor(level ? framework::clYellow : 4651058);
    d.SetBorderStyle(ibsLowered);
}

// Each widget sits on a panel of the main window's colour, as on the front panel.
QImage Shoot(TiComponent &w)
{
    QWidget panel;
    QPalette pal = panel.palette();
    pal.setColor(QPalette::Window, framework::ToQColor(kPanel));
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

bool Save(const QImage &image, const QString &name)
{
    return image.save(QDir(testsupport::artifactDir()).filePath(name));
}

int DistinctColours(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            colours.insert(image.pixel(x, y));
    return int(colours.size());
}

} // namespace

TEST(WidgetScreenshots, FrontPanelWidgets)
{
    QList<QPair<QString, QImage>> shots;
    {
        TiKnob k;
        Knob(k, false);
        k.SetPosition(440);
        shots.append({"widget-iKnob1-440.png", Shoot(k)});
        k.SetPosition(20000);
        shots.append({"widget-iKnob1-20000.png", Shoot(k)});
    }
    {
        TiKnob k;
        Knob(k, true);
        k.SetPosition(50);
        shots.append({"widget-iKnob2-50.png", Shoot(k)});
        k.SetTransparent(false);
        k.SetShowPostionDisplay(true);
        k.SetKnobStyle(TiKnob::iksSunkenEdge);
        k.SetIndicatorStyle(TiKnob::ikisDotRaised);
        shots.append({"widget-knob-variant.png", Shoot(k)});
    }
    {
        TiLedBar b;
        Bar(b, 1);
        b.SetPosition(14000);
        shots.append({"widget-iLedBar1-14000.png", Shoot(b)});
    }
    {
        TiLedBar b;
        Bar(b, 2);
        b.SetPosition(80);
        shots.append({"widget-iLedBar2-80.png", Shoot(b)});
    }
    {
        TiLedBar b;
        Bar(b, 3);
        b.SetPosition(50);
        shots.append({"widget-iLedBar3-50.png", Shoot(b)});
        b.SetSegmentSize(5);
        b.SetSegmentStyle(TiLedBar::ilbssCircle);
        shots.append({"widget-ledbar-circles.png", Shoot(b)});
        b.SetSegmentStyle(TiLedBar::ilbssTriangle);
        shots.append({"widget-ledbar-triangles.png", Shoot(b)});
    }
    {
        TiSevenSegmentAnalog d;
        Readout(d, false);
        d.SetValue(440);
        shots.append({"widget-iSevenSegmentAnalog1-440.png", Shoot(d)});
        d.SetValue(100000);
        shots.append({"widget-iSevenSegmentAnalog1-overflow.png", Shoot(d)});
    }
    {
        TiSevenSegmentAnalog d;
        Readout(d, true);
        d.SetValue(75);
        shots.append({"widget-iSevenSegmentAnalog2-75.png", Shoot(d)});
    }
    {
        TiSevenSegmentAnalog d; // default: sign, 4 digits, 2 decimals
        d.SetValue(-3.25);
        shots.append({"widget-readout-default.png", Shoot(d)});
    }

    // One sheet at three times the size, for looking at the pixels.
    int sheetW = 0, sheetH = 0;
    for (const auto &s : shots) {
        sheetW = std::max(sheetW, s.second.width());
        sheetH += s.second.height() + 4;
    }
    QImage sheet(sheetW * 3, sheetH * 3, QImage::Format_RGB32);
    sheet.fill(Qt::darkGray);
    QPainter p(&sheet);
    int y = 0;
    for (const auto &s : shots) {
        EXPECT_TRUE(Save(s.second, s.first)) << s.first.toStdString();
        EXPECT_GT(DistinctColours(s.second), 2) << s.first.toStdString();
        p.drawImage(QRect(0, y * 3, s.second.width() * 3, s.second.height() * 3), s.second);
        y += s.second.height() + 4;
    }
    p.end();
    EXPECT_TRUE(Save(sheet, QStringLiteral("widget-sheet-x3.png")));
}
