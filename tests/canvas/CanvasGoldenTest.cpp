// Large shapes whose every pixel cannot be probed by hand, compared with stored pictures.
#include "canvas/Canvas.h"
#include "tests/common/GoldenImage.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace canvas;

namespace {

void expectGolden(const QImage &actual, const QString &name)
{
    testsupport::ExpectGolden(actual, QStringLiteral("tests/canvas/golden"), name);
}

} // namespace

// A knob-sized scene: a 160-pixel disc with a 2-pixel rim, the two indicator arcs, ticks
// as lines all round, a polygon pointer and a rounded frame.
TEST(CanvasGolden, KnobScene)
{
    Canvas c(208, 178);
    c.Brush = TBrush{clBtnFace, bsSolid};
    c.FillRect(TRect(0, 0, 208, 178));
    c.DrawEdge(TRect(0, 0, 208, 178), EDGE_RAISED, BF_RECT);
    c.Pen = TPen{clBlack, 2, psSolid};
    c.Brush.Color = clMoneyGreen;
    c.Ellipse(24, 9, 184, 169);
    c.Pen.Width = 1;
    for (int i = 0; i <= 20; ++i) {
        const double a = (225 - i * 13.5) * M_PI / 180;
        const int x1 = 104 + int(std::lround(70 * std::cos(a))), y1 = 89 - int(std::lround(70 * std::sin(a)));
        const int x2 = 104 + int(std::lround(79 * std::cos(a))), y2 = 89 - int(std::lround(79 * std::sin(a)));
        c.Pen.Color = i % 5 ? clGray : clMaroon;
        c.MoveTo(x2, y2);
        c.LineTo(x1, y1);
    }
    c.Pen.Color = clNavy;
    c.Brush.Color = clNavy;
    c.Polygon({{104, 40}, {96, 60}, {112, 60}});
    c.Pen.Color = 0x808080;
    c.Arc(90, 110, 118, 138, 118, 110, 90, 138);
    c.Pen.Color = 0xFFFFFF;
    c.Arc(90, 110, 118, 138, 90, 138, 118, 110);
    c.Brush.Style = bsClear;
    c.Pen.Color = clGreen;
    c.RoundRect(4, 4, 60, 30, 12, 12);
    expectGolden(c.Image(), QStringLiteral("knob-scene"));
}

// Rings of a 16-pixel pen reaching past the corners, and nested 2-pixel rectangles, as the
// gradient panel draws them.
TEST(CanvasGolden, WidePenRings)
{
    Canvas c(96, 96);
    c.Brush.Style = bsClear;
    c.Pen.Width = 16;
    for (int i = 0; i <= 11; ++i) {
        const double t = i / 11.0;
        c.Pen.Color = RGB(int(std::lround(255 * (1 - t))), 0, int(std::lround(255 * t)));
        const int a = int(std::lround(47.5 - 1.414 * t * 47.5)),
                  b = int(std::lround(47.5 + 1.414 * t * 47.5));
        c.Ellipse(a, a, b, b);
    }
    Canvas r(96, 96);
    r.Brush.Style = bsClear;
    r.Pen.Width = 2;
    for (int i = 0; i <= 31; ++i) {
        const double t = i / 31.0;
        r.Pen.Color = RGB(0, int(std::lround(255 * t)), int(std::lround(255 * (1 - t))));
        r.Rectangle(int(std::lround(47.5 - t * 47.5)), int(std::lround(47.5 - t * 47.5)),
                    int(std::lround(47.5 + t * 47.5)), int(std::lround(47.5 + t * 47.5)));
    }
    QImage both(192, 96, QImage::Format_RGB32);
    Canvas out(&both);
    out.Draw(0, 0, c.Image());
    out.Draw(96, 0, r.Image());
    expectGolden(both, QStringLiteral("wide-pen-rings"));
}
