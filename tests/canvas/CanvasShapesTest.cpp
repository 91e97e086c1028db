#include "canvas/Canvas.h"
#include "tests/canvas/CanvasTestUtil.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

using namespace canvas;
using canvastest::countColor;
using canvastest::inkBounds;

namespace {

// White canvas with a black 1-pixel pen and a clear brush.
void reset(Canvas &c, int w, int h)
{
    c.SetSize(0, 0);
    c.Brush = TBrush{clWhite, bsSolid};
    c.SetSize(w, h);
    c.Pen = TPen{clBlack, 1, psSolid};
    c.Brush.Style = bsClear;
}

} // namespace

TEST(CanvasLines, StartPaintedEndNotInEveryOctant)
{
    Canvas c;
    const QPoint deltas[] = {{10, 0},   {10, 3},  {10, 10},  {3, 10},   {0, 10},    {-3, 10},
                             {-10, 10}, {-10, 3}, {-10, 0},  {-10, -3}, {-10, -10}, {-3, -10},
                             {0, -10},  {3, -10}, {10, -10}, {10, -3},  {7, 2},     {-2, -9}};
    for (const QPoint &d : deltas) {
        reset(c, 41, 41);
        c.MoveTo(20, 20);
        c.LineTo(20 + d.x(), 20 + d.y());
        SCOPED_TRACE(testing::Message() << "delta " << d.x() << "," << d.y());
        EXPECT_EQ(c.Pixel(20, 20), clBlack);
        EXPECT_EQ(c.Pixel(20 + d.x(), 20 + d.y()), clWhite);
        EXPECT_EQ(c.PenPos(), QPoint(20 + d.x(), 20 + d.y()));
        const int steps = std::max(std::abs(d.x()), std::abs(d.y()));
        EXPECT_EQ(countColor(c, clBlack), steps);
        // One pixel per major-axis step, each within half a pixel of the ideal line.
        const bool xMajor = std::abs(d.x()) >= std::abs(d.y());
        for (int i = 0; i < steps; ++i) {
            const int sign = (xMajor ? d.x() : d.y()) > 0 ? 1 : -1;
            const int major = 20 + sign * i;
            const double ideal = 20 + double(xMajor ? d.y() : d.x()) * i / steps;
            int found = 0;
            for (int m = 0; m < 41; ++m)
                if (c.Pixel(xMajor ? major : m, xMajor ? m : major) == clBlack) {
                    ++found;
                    EXPECT_LE(std::fabs(m - ideal), 0.5) << "step " << i;
                }
            EXPECT_EQ(found, 1) << "step " << i;
        }
    }
}

TEST(CanvasLines, PolylineAndWaveformSegments)
{
    Canvas c;
    reset(c, 239, 121);
    c.Pen.Color = clRed;
    c.Polyline({{0, 90}, {45, 90}, {45, 10}, {100, 10}});
    EXPECT_EQ(c.Pixel(0, 90), clRed);
    EXPECT_EQ(c.Pixel(45, 90), clRed); // a vertex is the next segment's start
    EXPECT_EQ(c.Pixel(45, 10), clRed);
    EXPECT_EQ(c.Pixel(99, 10), clRed);
    EXPECT_EQ(c.Pixel(100, 10), clWhite); // the last point stays unpainted
    EXPECT_EQ(countColor(c, clRed), 45 + 80 + 55);
    EXPECT_EQ(c.PenPos(), QPoint(0, 0)); // untouched by Polyline

    // Zero-length line paints nothing; a line far outside paints nothing and does not hang.
    reset(c, 20, 20);
    c.MoveTo(5, 5);
    c.LineTo(5, 5);
    c.MoveTo(-2000000000, 7);
    c.LineTo(2000000000, 9);
    c.MoveTo(-5, -5);
    c.LineTo(-1000, 3000);
    EXPECT_EQ(countColor(c, clBlack), 20);
    for (int x = 0; x < 20; ++x)
        EXPECT_EQ(c.Pixel(x, 8), clBlack) << x;
}

TEST(CanvasRectangles, ExtentsFillAndFrame)
{
    Canvas c;
    reset(c, 40, 40);
    c.Pen.Color = clRed;
    c.Brush = TBrush{clBlue, bsSolid};
    c.Rectangle(30, 25, 10, 20); // given the wrong way round
    EXPECT_EQ(inkBounds(c, clWhite), TRect(10, 20, 30, 25));
    EXPECT_EQ(c.Pixel(10, 20), clRed);
    EXPECT_EQ(c.Pixel(29, 24), clRed);
    EXPECT_EQ(c.Pixel(11, 21), clBlue);
    EXPECT_EQ(c.Pixel(28, 23), clBlue);
    EXPECT_EQ(countColor(c, clRed), 2 * 20 + 2 * 3);
    EXPECT_EQ(countColor(c, clBlue), 18 * 3);

    reset(c, 40, 40);
    c.Brush = TBrush{clLime, bsSolid};
    c.FillRect(TRect(2, 3, 12, 8));
    EXPECT_EQ(countColor(c, clLime), 50);
    EXPECT_EQ(inkBounds(c, clWhite), TRect(2, 3, 12, 8));
    c.FillRect(TRect(20, 20, 10, 30)); // inverted: nothing
    c.Brush.Style = bsClear;
    c.FillRect(TRect(20, 20, 30, 30)); // clear brush: nothing
    EXPECT_EQ(countColor(c, clLime), 50);

    reset(c, 40, 40);
    c.Brush.Color = clNavy; // FrameRect uses the brush colour whatever its style
    c.FrameRect(TRect(5, 5, 15, 9));
    EXPECT_EQ(countColor(c, clNavy), 2 * 10 + 2 * 2);
    EXPECT_EQ(c.Pixel(14, 8), clNavy);
    EXPECT_EQ(c.Pixel(7, 7), clWhite);

    // Clear pen: the fill alone covers l..r-1.
    reset(c, 40, 40);
    c.Pen.Style = psClear;
    c.Brush = TBrush{clMaroon, bsSolid};
    c.Rectangle(1, 1, 4, 6);
    EXPECT_EQ(countColor(c, clMaroon), 15);
}

TEST(CanvasRectangles, RoundRectStaysInItsBoxAndRoundsCorners)
{
    Canvas c;
    reset(c, 60, 40);
    c.Pen.Color = clGray;
    c.Brush = TBrush{clYellow, bsSolid};
    c.RoundRect(0, 0, 60, 30, 6, 6);
    EXPECT_EQ(inkBounds(c, clWhite), TRect(0, 0, 60, 30));
    EXPECT_EQ(c.Pixel(0, 0), clWhite); // corners cut
    EXPECT_EQ(c.Pixel(59, 29), clWhite);
    EXPECT_EQ(c.Pixel(30, 0), clGray);
    EXPECT_EQ(c.Pixel(0, 15), clGray);
    EXPECT_EQ(c.Pixel(59, 15), clGray);
    EXPECT_EQ(c.Pixel(30, 15), clYellow);
    for (int y = 0; y < 30; ++y) // mirror-symmetric
        for (int x = 0; x < 60; ++x)
            ASSERT_EQ(c.Pixel(x, y), c.Pixel(59 - x, 29 - y)) << x << "," << y;
}

TEST(CanvasEllipses, BoxExtentsAndSymmetry)
{
    const TRect boxes[] = {{10, 10, 50, 40}, {3, 4, 4, 30},  {3, 4, 5, 30},  {2, 5, 90, 8},
                           {2, 5, 90, 7},    {0, 0, 90, 70}, {7, 9, 16, 18}, {20, 20, 22, 22}};
    Canvas c;
    for (const TRect &b : boxes) {
        SCOPED_TRACE(testing::Message() << b.Left << "," << b.Top << "," << b.Right << "," << b.Bottom);
        reset(c, 100, 80);
        c.Brush = TBrush{clBlue, bsSolid};
        c.Ellipse(b);
        EXPECT_EQ(inkBounds(c, clWhite), b);
        for (int y = b.Top; y < b.Bottom; ++y)
            for (int x = b.Left; x < b.Right; ++x) {
                const TColor p = c.Pixel(x, y);
                ASSERT_EQ(p, c.Pixel(b.Left + b.Right - 1 - x, y));
                ASSERT_EQ(p, c.Pixel(x, b.Top + b.Bottom - 1 - y));
            }
        // Every outline pixel touches another one (a closed curve).
        for (int y = b.Top; y < b.Bottom; ++y)
            for (int x = b.Left; x < b.Right; ++x) {
                if (c.Pixel(x, y) != clBlack)
                    continue;
                int n = 0;
                for (int dy = -1; dy <= 1; ++dy)
                    for (int dx = -1; dx <= 1; ++dx)
                        n += (dx || dy) && c.Pixel(x + dx, y + dy) == clBlack;
                ASSERT_GE(n, b.Width() * b.Height() > 1 ? 1 : 0) << x << "," << y;
            }
    }
    reset(c, 100, 80);
    c.Brush = TBrush{clBlue, bsSolid};
    c.Ellipse(10, 10, 50, 40);
    EXPECT_EQ(c.Pixel(30, 25), clBlue);
    EXPECT_EQ(c.Pixel(10, 25), clBlack);
    EXPECT_EQ(c.Pixel(11, 11), clWhite); // outside the curve, inside the box
}

TEST(CanvasEllipses, KnobSizedCircleIsRound)
{
    Canvas c;
    reset(c, 208, 178);
    c.Ellipse(24, 9, 184, 169); // 160 x 160
    const double cx = (24 + 183) / 2.0, cy = (9 + 168) / 2.0;
    int outline = 0;
    for (int y = 0; y < 178; ++y)
        for (int x = 0; x < 208; ++x)
            if (c.Pixel(x, y) == clBlack) {
                ++outline;
                EXPECT_NEAR(std::hypot(x - cx, y - cy), 79.5, 1.0) << x << "," << y;
            }
    // A thin 8-connected curve: 4 * sqrt(2) * r pixels, not a ring.
    EXPECT_NEAR(outline, 4 * std::sqrt(2.0) * 79.5, 20);
}

TEST(CanvasArcs, CounterClockwiseFromStartToEnd)
{
    Canvas c;
    // Box 0..40: centre (20, 20). From the top-right direction to the bottom-left one
    // counter-clockwise is the upper-left half.
    reset(c, 41, 41);
    c.Arc(0, 0, 41, 41, 40, 0, 0, 40);
    EXPECT_EQ(c.Pixel(20, 0), clBlack);
    EXPECT_EQ(c.Pixel(0, 20), clBlack);
    EXPECT_EQ(c.Pixel(40, 20), clWhite);
    EXPECT_EQ(c.Pixel(20, 40), clWhite);
    const int upperLeft = countColor(c, clBlack);

    reset(c, 41, 41);
    c.Arc(0, 0, 41, 41, 0, 40, 40, 0);
    EXPECT_EQ(c.Pixel(20, 0), clWhite);
    EXPECT_EQ(c.Pixel(0, 20), clWhite);
    EXPECT_EQ(c.Pixel(40, 20), clBlack);
    EXPECT_EQ(c.Pixel(20, 40), clBlack);
    EXPECT_NEAR(countColor(c, clBlack), upperLeft, 3);

    // A quarter: from straight up to straight left.
    reset(c, 41, 41);
    c.Arc(0, 0, 41, 41, 20, 0, 0, 20);
    EXPECT_EQ(c.Pixel(20, 0), clBlack);
    EXPECT_EQ(c.Pixel(6, 6), clBlack);
    EXPECT_EQ(c.Pixel(34, 6), clWhite);
    EXPECT_EQ(c.Pixel(6, 34), clWhite);

    // Same direction twice: the whole ellipse, like Ellipse with a clear brush.
    reset(c, 41, 41);
    c.Arc(0, 0, 41, 41, 40, 20, 30, 20);
    Canvas full;
    reset(full, 41, 41);
    full.Ellipse(0, 0, 41, 41);
    EXPECT_EQ(c.Image(), full.Image());
}

// A one-pixel outline is exactly the shape's pixels with a 4-neighbour outside the shape, for
// every curved shape and for the arcs on it; wide pens put a disc on each of those pixels.
TEST(CanvasOutlines, PenPixelsAreThoseWithANeighbourOutside)
{
    struct Shape
    {
        const char *name;
        void (*draw)(Canvas &);
        bool widePenIsDiscs; // ellipses draw wide pens as a ring instead
    };
    const Shape shapes[] = {
        {"ellipse", [](Canvas &c) { c.Ellipse(10, 10, 50, 40); }, false},
        {"thin ellipse", [](Canvas &c) { c.Ellipse(3, 4, 6, 30); }, false},
        {"flat ellipse", [](Canvas &c) { c.Ellipse(2, 5, 90, 9); }, false},
        {"round rect", [](Canvas &c) { c.RoundRect(5, 5, 70, 50, 40, 30); }, true},
        {"round rect, small corners", [](Canvas &c) { c.RoundRect(0, 0, 60, 30, 6, 6); }, true},
        {"round rect, corners beyond the box", [](Canvas &c) { c.RoundRect(10, 20, 30, 70, 90, 90); }, true},
    };
    for (const Shape &shape : shapes) {
        SCOPED_TRACE(shape.name);
        Canvas c;
        reset(c, 100, 80);
        c.Brush = TBrush{clBlue, bsSolid};
        shape.draw(c);
        auto inShape = [&](int x, int y) { return c.Pixel(x, y) != clWhite && c.Pixel(x, y) != CLR_INVALID; };
        int outline = 0;
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 100; ++x) {
                if (!inShape(x, y))
                    continue;
                const bool edge =
                    !inShape(x - 1, y) || !inShape(x + 1, y) || !inShape(x, y - 1) || !inShape(x, y + 1);
                ASSERT_EQ(c.Pixel(x, y) == clBlack, edge) << x << "," << y;
                outline += edge;
            }
        EXPECT_GT(outline, 0);
        if (!shape.widePenIsDiscs)
            continue;

        // A 5-pixel pen is a disc on every one of those outline pixels.
        Canvas wide, discs;
        reset(wide, 100, 80);
        reset(discs, 100, 80);
        wide.Pen.Width = 5;
        shape.draw(wide);
        discs.Pen.Width = 5;
        for (int y = 0; y < 80; ++y)
            for (int x = 0; x < 100; ++x)
                if (c.Pixel(x, y) == clBlack)
                    discs.Polygon({QPoint(x, y)});
        EXPECT_EQ(wide.Image(), discs.Image());
    }

    // A quarter arc lies on the ellipse's outline and reaches both ends of its quarter.
    Canvas arc, full;
    reset(arc, 41, 41);
    reset(full, 41, 41);
    arc.Arc(0, 0, 41, 30, 20, 0, 0, 14);
    full.Ellipse(0, 0, 41, 30);
    int onArc = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 41; ++x)
            if (arc.Pixel(x, y) == clBlack) {
                ++onArc;
                ASSERT_EQ(full.Pixel(x, y), clBlack) << x << "," << y;
                ASSERT_TRUE(x <= 20 && y <= 14) << x << "," << y;
            }
    EXPECT_EQ(arc.Pixel(20, 0), clBlack);
    EXPECT_EQ(arc.Pixel(0, 14), clBlack);
    EXPECT_GT(onArc, 20);
}

TEST(CanvasPolygons, VerticesPaintedFillInsideEvenOdd)
{
    Canvas c;
    reset(c, 40, 40);
    c.Pen.Color = clRed;
    c.Brush = TBrush{clLime, bsSolid};
    c.Polygon({{5, 30}, {35, 30}, {20, 5}});
    EXPECT_EQ(c.Pixel(5, 30), clRed);
    EXPECT_EQ(c.Pixel(35, 30), clRed);
    EXPECT_EQ(c.Pixel(20, 5), clRed);
    EXPECT_EQ(c.Pixel(20, 20), clLime);
    EXPECT_EQ(c.Pixel(5, 5), clWhite);
    EXPECT_EQ(inkBounds(c, clWhite), TRect(5, 5, 36, 31));

    // Fill alone follows the top-left rule: right and bottom edges are left out.
    reset(c, 40, 40);
    c.Pen.Style = psClear;
    c.Brush = TBrush{clLime, bsSolid};
    c.Polygon({{10, 10}, {20, 10}, {20, 20}, {10, 20}});
    EXPECT_EQ(inkBounds(c, clWhite), TRect(10, 10, 20, 20));
    EXPECT_EQ(countColor(c, clLime), 100);

    // Five-pointed star: its centre is covered twice, so even-odd leaves it empty.
    reset(c, 100, 100);
    c.Pen.Style = psClear;
    c.Brush = TBrush{clLime, bsSolid};
    QList<QPoint> star;
    for (int i = 0; i < 5; ++i) {
        const double a = M_PI / 2 + i * 4 * M_PI / 5;
        star << QPoint(int(std::lround(50 + 45 * std::cos(a))), int(std::lround(50 - 45 * std::sin(a))));
    }
    c.Polygon(star);
    EXPECT_EQ(c.Pixel(50, 50), clWhite);
    EXPECT_EQ(c.Pixel(50, 15), clLime); // inside the top point
}

TEST(CanvasWidePens, WidthsTwoAndSixteen)
{
    Canvas c;
    reset(c, 100, 100);
    c.Pen.Width = 2;
    c.MoveTo(10, 50);
    c.LineTo(90, 50);
    for (int x = 20; x < 80; ++x) {
        int rows = 0;
        for (int y = 0; y < 100; ++y)
            rows += c.Pixel(x, y) == clBlack;
        ASSERT_EQ(rows, 2) << x;
    }
    EXPECT_EQ(c.Pixel(50, 50), clBlack);
    EXPECT_EQ(c.Pixel(50, 51), clBlack);

    reset(c, 100, 100);
    c.Pen.Width = 16;
    c.MoveTo(50, 10);
    c.LineTo(50, 90);
    for (int y = 20; y < 80; ++y) {
        int cols = 0;
        for (int x = 0; x < 100; ++x)
            cols += c.Pixel(x, y) == clBlack;
        ASSERT_EQ(cols, 16) << y;
    }
    // Round caps reach half the width past both ends, the end included.
    EXPECT_EQ(c.Pixel(50, 90), clBlack);
    EXPECT_EQ(c.Pixel(50, 97), clBlack);
    EXPECT_EQ(c.Pixel(50, 99), clWhite);
    EXPECT_EQ(c.Pixel(43, 3), clWhite); // cap corner is round, not square

    // A 2-pixel ellipse outline is 2 pixels thick across its middle row, centred on the
    // 1-pixel outline.
    reset(c, 100, 100);
    c.Pen.Width = 2;
    c.Ellipse(10, 10, 91, 91);
    int left = 0;
    for (int x = 0; x < 50; ++x)
        left += c.Pixel(x, 50) == clBlack;
    EXPECT_EQ(left, 2);
    EXPECT_TRUE(c.Pixel(10, 50) == clBlack);
    EXPECT_EQ(c.Pixel(50, 50), clWhite);

    // 2-pixel rectangle outline: each side two pixels thick, on the 1-pixel outline and the
    // pixel after it, with square corners.
    reset(c, 60, 60);
    c.Pen.Width = 2;
    c.Rectangle(10, 10, 50, 40);
    for (int y = 15; y < 35; ++y) {
        EXPECT_EQ(c.Pixel(9, y), clWhite);
        EXPECT_EQ(c.Pixel(10, y), clBlack);
        EXPECT_EQ(c.Pixel(11, y), clBlack);
        EXPECT_EQ(c.Pixel(12, y), clWhite);
        EXPECT_EQ(c.Pixel(48, y), clWhite);
        EXPECT_EQ(c.Pixel(49, y), clBlack);
        EXPECT_EQ(c.Pixel(50, y), clBlack);
        EXPECT_EQ(c.Pixel(51, y), clWhite);
    }
    EXPECT_EQ(inkBounds(c, clWhite), TRect(10, 10, 51, 41));
    EXPECT_EQ(c.Pixel(10, 10), clBlack);
    EXPECT_EQ(c.Pixel(50, 40), clBlack);
    // Outlines 1.5 pixels apart, as the gradient panel nests them, cover the whole square.
    reset(c, 96, 96);
    c.Pen.Width = 2;
    for (int i = 0; i <= 31; ++i) {
        const double k = i / 31.0;
        const int lo = int(std::lround(47.5 - k * 47.5)), hi = int(std::lround(47.5 + k * 47.5));
        c.Rectangle(lo, hi, hi, lo);
    }
    c.SetPixel(47, 47, clBlack);
    EXPECT_EQ(countColor(c, clWhite), 0);

    // 16-pixel rings: a box far larger than the image still covers its corners.
    reset(c, 96, 96);
    c.Pen.Width = 16;
    c.Ellipse(-20, -20, 116, 116);
    EXPECT_EQ(c.Pixel(0, 0), clBlack);
    EXPECT_EQ(c.Pixel(95, 95), clBlack);
    EXPECT_EQ(c.Pixel(48, 48), clWhite);
}

TEST(CanvasEdges, RaisedAndSunkenColours)
{
    Canvas c;
    reset(c, 12, 10);
    c.Brush = TBrush{clTeal, bsSolid};
    c.FillRect(TRect(0, 0, 12, 10));
    TRect inner = c.DrawEdge(TRect(0, 0, 12, 10), EDGE_RAISED, BF_RECT);
    EXPECT_EQ(inner, TRect(2, 2, 10, 8));
    // Outer ring: light top-left, dark shadow bottom-right (which wins at the corners).
    EXPECT_EQ(c.Pixel(0, 0), 0xC0C0C0u);
    EXPECT_EQ(c.Pixel(5, 0), 0xC0C0C0u);
    EXPECT_EQ(c.Pixel(0, 5), 0xC0C0C0u);
    EXPECT_EQ(c.Pixel(11, 0), 0x000000u);
    EXPECT_EQ(c.Pixel(0, 9), 0x000000u);
    EXPECT_EQ(c.Pixel(11, 5), 0x000000u);
    EXPECT_EQ(c.Pixel(5, 9), 0x000000u);
    // Inner ring: highlight top-left, shadow bottom-right.
    EXPECT_EQ(c.Pixel(1, 1), 0xFFFFFFu);
    EXPECT_EQ(c.Pixel(5, 1), 0xFFFFFFu);
    EXPECT_EQ(c.Pixel(1, 5), 0xFFFFFFu);
    EXPECT_EQ(c.Pixel(10, 1), 0x808080u);
    EXPECT_EQ(c.Pixel(1, 8), 0x808080u);
    EXPECT_EQ(c.Pixel(10, 5), 0x808080u);
    EXPECT_EQ(c.Pixel(5, 8), 0x808080u);
    EXPECT_EQ(c.Pixel(2, 2), clTeal);
    EXPECT_EQ(c.Pixel(9, 7), clTeal);

    c.FillRect(TRect(0, 0, 12, 10));
    inner = c.DrawEdge(TRect(0, 0, 12, 10), EDGE_SUNKEN, BF_RECT);
    EXPECT_EQ(inner, TRect(2, 2, 10, 8));
    EXPECT_EQ(c.Pixel(5, 0), 0x808080u);
    EXPECT_EQ(c.Pixel(0, 5), 0x808080u);
    EXPECT_EQ(c.Pixel(11, 0), 0xFFFFFFu);
    EXPECT_EQ(c.Pixel(0, 9), 0xFFFFFFu);
    EXPECT_EQ(c.Pixel(5, 9), 0xFFFFFFu);
    EXPECT_EQ(c.Pixel(5, 1), 0x000000u);
    EXPECT_EQ(c.Pixel(1, 5), 0x000000u);
    EXPECT_EQ(c.Pixel(10, 5), 0xC0C0C0u);
    EXPECT_EQ(c.Pixel(5, 8), 0xC0C0C0u);
    EXPECT_EQ(c.Pixel(3, 3), clTeal);

    // Only the sides asked for.
    c.FillRect(TRect(0, 0, 12, 10));
    inner = c.DrawEdge(TRect(0, 0, 12, 10), EDGE_RAISED, BF_LEFT | BF_TOP);
    EXPECT_EQ(inner, TRect(2, 2, 12, 10));
    EXPECT_EQ(c.Pixel(11, 5), clTeal);
    EXPECT_EQ(c.Pixel(5, 9), clTeal);
}

TEST(CanvasFocusRect, InvertsEveryOtherPixelAndUndoesItself)
{
    Canvas c;
    reset(c, 20, 12);
    c.Brush = TBrush{clMoneyGreen, bsSolid};
    c.FillRect(TRect(0, 0, 20, 12));
    const QImage before = c.Image().copy();
    c.DrawFocusRect(TRect(2, 2, 18, 10));
    const TColor inverted = 0xFFFFFF ^ clMoneyGreen;
    EXPECT_EQ(c.Pixel(2, 2), inverted);
    EXPECT_EQ(c.Pixel(3, 2), clMoneyGreen);
    EXPECT_EQ(c.Pixel(4, 2), inverted);
    EXPECT_EQ(c.Pixel(17, 9), inverted); // bottom-right corner, x + y even
    EXPECT_EQ(c.Pixel(16, 9), clMoneyGreen);
    EXPECT_EQ(c.Pixel(2, 3), clMoneyGreen);
    EXPECT_EQ(c.Pixel(2, 4), inverted);
    EXPECT_EQ(c.Pixel(10, 6), clMoneyGreen); // inside untouched
    EXPECT_EQ(countColor(c, inverted), 22);
    c.DrawFocusRect(TRect(2, 2, 18, 10));
    EXPECT_EQ(c.Image(), before);
}

TEST(CanvasBitmaps, TransparentStretchCopyAndSelfOverlap)
{
    QImage glyph(3, 2, QImage::Format_RGB32);
    glyph.fill(QColor(255, 0, 255));
    glyph.setPixel(1, 0, qRgb(0, 0, 0));
    glyph.setPixel(2, 1, qRgb(255, 255, 255));
    Canvas c;
    reset(c, 10, 10);
    c.Brush = TBrush{clGreen, bsSolid};
    c.FillRect(TRect(0, 0, 10, 10));
    c.DrawTransparent(4, 4, glyph); // magenta = bottom-left pixel = transparent
    EXPECT_EQ(c.Pixel(4, 4), clGreen);
    EXPECT_EQ(c.Pixel(5, 4), clBlack);
    EXPECT_EQ(c.Pixel(6, 5), clWhite);
    EXPECT_EQ(c.Pixel(4, 5), clGreen);
    EXPECT_EQ(countColor(c, clGreen), 98);
    c.DrawTransparent(-2, 9, glyph); // partly outside: clipped, no crash
    EXPECT_EQ(c.Pixel(0, 9), clGreen);

    c.Draw(0, 0, glyph);
    EXPECT_EQ(c.Pixel(0, 0), clFuchsia);
    EXPECT_EQ(c.Pixel(1, 0), clBlack);

    QImage two(2, 2, QImage::Format_RGB32);
    two.setPixel(0, 0, qRgb(255, 0, 0));
    two.setPixel(1, 0, qRgb(0, 255, 0));
    two.setPixel(0, 1, qRgb(0, 0, 255));
    two.setPixel(1, 1, qRgb(255, 255, 255));
    reset(c, 10, 10);
    c.StretchDraw(TRect(2, 2, 6, 6), two);
    EXPECT_EQ(c.Pixel(2, 2), clRed);
    EXPECT_EQ(c.Pixel(3, 3), clRed);
    EXPECT_EQ(c.Pixel(4, 2), clLime);
    EXPECT_EQ(c.Pixel(5, 3), clLime);
    EXPECT_EQ(c.Pixel(2, 5), clBlue);
    EXPECT_EQ(c.Pixel(5, 5), clWhite);
    EXPECT_EQ(c.Pixel(6, 6), clWhite);
    EXPECT_EQ(inkBounds(c, clWhite), TRect(2, 2, 6, 6));

    Canvas src;
    reset(src, 4, 4);
    src.SetPixel(1, 1, clNavy);
    reset(c, 10, 10);
    c.CopyRect(TRect(5, 5, 7, 7), src.Image(), TRect(1, 1, 3, 3));
    EXPECT_EQ(c.Pixel(5, 5), clNavy);
    EXPECT_EQ(countColor(c, clNavy), 1);

    // Drawing an image onto itself shifted reads the old pixels.
    reset(c, 4, 1);
    c.SetPixel(0, 0, clRed);
    c.SetPixel(1, 0, clLime);
    c.Draw(1, 0, c.Image());
    EXPECT_EQ(c.Pixel(1, 0), clRed);
    EXPECT_EQ(c.Pixel(2, 0), clLime);
}

TEST(CanvasImage, SizePixelsAndClip)
{
    Canvas c;
    c.Brush.Color = clBlack;
    c.SetSize(239, 121);
    EXPECT_EQ(c.Width(), 239);
    EXPECT_EQ(countColor(c, clBlack), 239 * 121);
    c.SetPixel(3, 4, clAqua);
    c.Brush.Color = clRed;
    c.SetSize(250, 121); // old pixels kept, new area in the brush colour
    EXPECT_EQ(c.Pixel(3, 4), clAqua);
    EXPECT_EQ(c.Pixel(245, 4), clRed);
    EXPECT_EQ(c.Pixel(-1, 0), CLR_INVALID);
    EXPECT_EQ(c.Pixel(250, 0), CLR_INVALID);
    c.SetPixel(-1, 0, clLime); // ignored
    EXPECT_EQ(c.Image().pixel(3, 4), qRgb(0, 255, 255));
    c.SetPixel(0, 0, clSystemColor | 15); // system colours resolve
    EXPECT_EQ(c.Pixel(0, 0), 0xC0C0C0u);

    // A size that cannot be allocated is refused and the picture stays as it was.
    EXPECT_FALSE(c.SetSize(100000000, 1));
    EXPECT_EQ(c.Width(), 250);
    EXPECT_EQ(c.Height(), 121);
    EXPECT_EQ(c.Pixel(3, 4), clAqua);
    EXPECT_TRUE(c.SetSize(250, 120));

    // Attached image, converted to 32 bits in place; drawing is clipped to the clip rect.
    QImage target(20, 20, QImage::Format_RGB888);
    target.fill(Qt::white);
    Canvas on(&target);
    EXPECT_EQ(target.format(), QImage::Format_RGB32);
    on.SetClipRect(TRect(5, 5, 10, 10));
    on.Brush = TBrush{clBlue, bsSolid};
    on.FillRect(TRect(0, 0, 20, 20));
    EXPECT_EQ(inkBounds(on, clWhite), TRect(5, 5, 10, 10));
    on.ResetClipRect();
    on.FillRect(TRect(0, 0, 1, 1));
    EXPECT_EQ(target.pixel(0, 0), qRgb(0, 0, 255));
}
