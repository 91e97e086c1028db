#include "canvas/Canvas.h"

#include <gtest/gtest.h>

#include <climits>
#include <random>

using namespace canvas;

namespace {

class ShapeFuzzer
{
public:
    explicit ShapeFuzzer(uint32_t seed) : m_rng(seed) {}

    int coord()
    {
        switch (pick(10)) {
        case 0:
            return pick(2) ? INT_MAX : INT_MIN;
        case 1:
        case 2:
            return range(-2000000, 2000000);
        default:
            return range(-80, 620);
        }
    }

    void drawOne(Canvas &c)
    {
        c.Pen.Color = RGB(pick(256), pick(256), pick(200));
        c.Pen.Width = std::array{1, 1, 1, 2, 3, 16}[size_t(pick(6))];
        c.Pen.Style = pick(8) ? psSolid : psClear;
        c.Brush.Color = RGB(pick(256), pick(200), pick(256));
        c.Brush.Style = pick(3) ? bsSolid : bsClear;
        const TRect r(coord(), coord(), coord(), coord());
        switch (pick(16)) {
        case 0:
            c.MoveTo(coord(), coord());
            c.LineTo(coord(), coord());
            break;
        case 1: {
            QList<QPoint> pts;
            for (int i = pick(6); i >= 0; --i)
                pts << QPoint(coord(), coord());
            c.Polyline(pts);
            break;
        }
        case 2:
            c.Rectangle(r);
            break;
        case 3:
            c.FillRect(r);
            c.FrameRect(r);
            break;
        case 4:
            c.RoundRect(r.Left, r.Top, r.Right, r.Bottom, coord(), coord());
            break;
        case 5:
            c.Ellipse(r);
            break;
        case 6:
            c.Arc(r.Left, r.Top, r.Right, r.Bottom, coord(), coord(), coord(), coord());
            break;
        case 7: {
            QList<QPoint> pts;
            for (int i = pick(8); i >= 0; --i)
                pts << QPoint(coord(), coord());
            c.Polygon(pts);
            break;
        }
        case 8:
            c.SetPixel(coord(), coord(), c.Pen.Color);
            break;
        case 9:
            c.DrawFocusRect(r);
            break;
        case 10:
            c.DrawEdge(r, pick(2) ? EDGE_RAISED : EDGE_SUNKEN,
                       BF_RECT | (pick(2) ? unsigned(BF_MIDDLE) : 0u));
            break;
        case 11:
            c.TextOut(coord(), coord(), QStringLiteral("Tq&"));
            break;
        case 12: {
            TRect t = r;
            c.DrawText(QStringLiteral("One &two\nthree four"), t,
                       unsigned(pick(0x10000)) & ~unsigned(DT_CALCRECT));
            break;
        }
        case 13:
            c.Draw(coord(), coord(), m_small);
            c.DrawTransparent(coord(), coord(), m_small);
            break;
        case 14:
            c.StretchDraw(r, m_small);
            break;
        default:
            c.CopyRect(r, m_small, TRect(coord(), coord(), coord(), coord()));
            break;
        }
    }

    QImage m_small = [] {
        QImage img(7, 5, QImage::Format_ARGB32);
        img.fill(qRgba(10, 20, 30, 128));
        img.setPixel(0, 4, qRgb(1, 2, 3));
        return img;
    }();

private:
    int pick(int n) { return int(m_rng() % uint32_t(n)); }
    int range(int lo, int hi) { return lo + int(m_rng() % uint32_t(hi - lo + 1)); }

    std::mt19937 m_rng;
};

} // namespace

// Thousands of random shapes, many far outside: nothing outside the clip may change. The
// canvas draws into the middle of a larger guard image; ASan watches the image edges.
TEST(CanvasRandom, NoWriteOutsideTheClip)
{
    constexpr QRgb guard = 0xFF5A3C1E;
    QImage image(540, 420, QImage::Format_RGB32);
    image.fill(guard);
    Canvas c(&image);
    const TRect clip(170, 110, 370, 310);
    c.SetClipRect(clip);
    ShapeFuzzer fuzz(20240611);
    int changedInside = 0;
    for (int batch = 0; batch < 50; ++batch) {
        for (int i = 0; i < 100; ++i)
            fuzz.drawOne(c);
        for (int y = 0; y < image.height(); ++y) {
            const QRgb *row = reinterpret_cast<const QRgb *>(image.constScanLine(y));
            for (int x = 0; x < image.width(); ++x) {
                const bool inside = x >= clip.Left && x < clip.Right && y >= clip.Top && y < clip.Bottom;
                if (inside)
                    changedInside += row[x] != guard;
                else
                    ASSERT_EQ(row[x], guard) << "batch " << batch << " pixel " << x << "," << y;
            }
        }
    }
    EXPECT_GT(changedInside, 50 * 200 * 200 / 2); // the shapes did reach the clip area

    // The same shapes on a small canvas without a clip, bounded only by the image.
    Canvas small(37, 23);
    ShapeFuzzer again(7);
    for (int i = 0; i < 3000; ++i)
        again.drawOne(small);
    EXPECT_EQ(small.Width(), 37);
    EXPECT_EQ(small.Height(), 23);
}
