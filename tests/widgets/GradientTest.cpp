// The gradient panel: step counts, colour rows, pattern coverage, the centre pixel, and when
// the cached gradient is rendered again.

#include "widgets/iGradient.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <gtest/gtest.h>

#include <memory>

namespace {

using canvas::TColor;
using widgets::TiGradient;

constexpr TColor kAboutStart = 12615808; // 0xC08080
constexpr TColor kAboutStop = 4194304;   // 0x400000

QRgb Rgb(int r, int g, int b)
{
    return qRgb(r, g, b);
}

std::unique_ptr<TiGradient> Gradient(int w, int h, TiGradient::TiFillDirection d, TColor start, TColor stop)
{
    auto g = std::make_unique<TiGradient>();
    g->SetBounds(0, 0, w, h);
    g->SetDirection(d);
    g->SetColorStart(start);
    g->SetColorStop(stop);
    return g;
}

TEST(GradientTest, ConstructorDefaults)
{
    TiGradient g;
    EXPECT_EQ(g.size(), QSize(96, 96));
    EXPECT_EQ(g.GetDirection(), TiGradient::ifdTopBottom);
    EXPECT_EQ(g.GetColorStart(), 0xFF0000u);
    EXPECT_EQ(g.GetColorStop(), 0u);
    EXPECT_TRUE(g.GetCachedDrawing());
    EXPECT_EQ(g.Align(), controls::alNone);
    EXPECT_EQ(sizeof(TiGradient::TiFillDirection), 1u);
    EXPECT_EQ(int(TiGradient::ifdCircleIn), 11);
}

TEST(GradientTest, StepCounts)
{
    struct Case
    {
        TiGradient::TiFillDirection d;
        int w, h, n;
    };
    const Case cases[] = {
        {TiGradient::ifdTopBottom, 273, 153, 152},
        {TiGradient::ifdBottomTop, 273, 153, 152},
        {TiGradient::ifdLeftRight, 273, 153, 272},
        {TiGradient::ifdRightLeft, 273, 153, 272},
        {TiGradient::ifdTopLeftBottomRight, 273, 153, 544},
        {TiGradient::ifdBottomRightTopLeft, 153, 273, 544},
        {TiGradient::ifdBottomLeftTopRight, 96, 96, 190},
        {TiGradient::ifdTopRightBottomLeft, 96, 96, 190},
        {TiGradient::ifdRectangleOut, 96, 96, 31},
        {TiGradient::ifdRectangleIn, 273, 153, 90},
        {TiGradient::ifdCircleOut, 96, 96, 11},
        {TiGradient::ifdCircleIn, 273, 153, 34},
        {TiGradient::ifdTopBottom, 50, 1, 0},
        {TiGradient::ifdCircleOut, 8, 8, 0},
        {TiGradient::ifdRectangleIn, 3, 3, 0},
        {TiGradient::ifdLeftRight, 0, 10, -1},
    };
    for (const Case &c : cases)
        EXPECT_EQ(widgets::GradientSteps(c.d, c.w, c.h), c.n) << int(c.d) << " " << c.w << "x" << c.h;
}

// The About box backdrop: rows as stated, every pixel of a row alike.
TEST(GradientTest, AboutBoxRows)
{
    auto g = Gradient(273, 153, TiGradient::ifdTopBottom, kAboutStart, kAboutStop);
    const QImage image = g->PaintToImage();
    struct Row
    {
        int y;
        QRgb rgb;
    };
    const Row rows[] = {
        {0, Rgb(128, 128, 192)}, {1, Rgb(127, 127, 191)}, {76, Rgb(64, 64, 128)}, {152, Rgb(0, 0, 64)}};
    for (const Row &row : rows)
        for (int x = 0; x < 273; ++x)
            ASSERT_EQ(image.pixel(x, row.y), row.rgb) << "row " << row.y << " x " << x;

    g->SetDirection(TiGradient::ifdBottomTop);
    const QImage reversed = g->PaintToImage();
    EXPECT_EQ(reversed.pixel(0, 0), Rgb(0, 0, 64));
    EXPECT_EQ(reversed.pixel(272, 152), Rgb(128, 128, 192));
    EXPECT_EQ(reversed.pixel(5, 76), Rgb(64, 64, 128));
}

TEST(GradientTest, ColumnsRunFromTheirEdge)
{
    auto g = Gradient(101, 20, TiGradient::ifdLeftRight, canvas::RGB(0, 0, 0), canvas::RGB(200, 100, 50));
    QImage image = g->PaintToImage();
    for (int y = 0; y < 20; ++y) {
        ASSERT_EQ(image.pixel(0, y), Rgb(0, 0, 0));
        ASSERT_EQ(image.pixel(50, y), Rgb(100, 50, 25));
        ASSERT_EQ(image.pixel(100, y), Rgb(200, 100, 50));
    }
    g->SetDirection(TiGradient::ifdRightLeft);
    image = g->PaintToImage();
    EXPECT_EQ(image.pixel(0, 7), Rgb(200, 100, 50));
    EXPECT_EQ(image.pixel(100, 7), Rgb(0, 0, 0));
}

// Ties round to the even neighbour: 1/2 of (0 .. 1) is 0.5 -> 0, 1/2 of (0 .. 3) is 1.5 -> 2.
TEST(GradientTest, ColourTiesRoundToEven)
{
    auto g = Gradient(10, 3, TiGradient::ifdTopBottom, canvas::RGB(0, 0, 0), canvas::RGB(1, 3, 5));
    const QImage image = g->PaintToImage();
    EXPECT_EQ(image.pixel(4, 1), Rgb(0, 2, 2));
}

// System colours are not resolved: clBtnFace splits into red 0x0F, green 0, blue 0.
TEST(GradientTest, StoredLowBytesAreUsedAsTheyStand)
{
    auto g = Gradient(10, 10, TiGradient::ifdTopBottom, canvas::clBtnFace, canvas::clBtnFace);
    const QImage image = g->PaintToImage();
    EXPECT_EQ(image.pixel(3, 0), Rgb(0x0F, 0, 0));
    EXPECT_EQ(image.pixel(3, 9), Rgb(0x0F, 0, 0));
}

// Every pattern covers the whole 96 x 96 square (white never lies between red and blue), but
// for the end points of the last diagonals, which a line does not paint.
TEST(GradientTest, EveryPatternCoversTheSquare)
{
    QList<QPoint> bottomRow;
    for (int x = 0; x < 96; ++x)
        bottomRow << QPoint(x, 95);
    for (int d = TiGradient::ifdTopBottom; d <= TiGradient::ifdCircleIn; ++d) {
        QList<QPoint> expected;
        if (d == TiGradient::ifdTopLeftBottomRight || d == TiGradient::ifdBottomRightTopLeft)
            expected << QPoint(95, 95);
        if (d == TiGradient::ifdBottomLeftTopRight || d == TiGradient::ifdTopRightBottomLeft)
            expected = bottomRow;
        for (bool cached : {true, false}) {
            auto g = Gradient(96, 96, TiGradient::TiFillDirection(d), canvas::clRed, canvas::clBlue);
            g->SetCachedDrawing(cached);
            // A cached pattern drawn before leaves nothing behind in those gaps.
            g->SetDirection(TiGradient::ifdCircleOut);
            g->PaintToImage();
            g->SetDirection(TiGradient::TiFillDirection(d));
            const QImage image = g->PaintToImage();
            QList<QPoint> white;
            for (int y = 0; y < 96; ++y)
                for (int x = 0; x < 96; ++x)
                    if (image.pixel(x, y) == Rgb(255, 255, 255))
                        white << QPoint(x, y);
            EXPECT_EQ(white, expected) << "direction " << d << (cached ? " cached" : " uncached");
        }
    }
}

// The diagonals' colour order: on a 96 x 96 square with N = 190 steps from blue to black, the line
// of step 1 holds [189/190 x 255] = 254 of the first colour, the line of step N the second colour.
TEST(GradientTest, DiagonalsRunInTheirColourOrder)
{
    struct Case
    {
        TiGradient::TiFillDirection d;
        QPoint first, last; // on the lines of step 1 and step N
        int firstBlue, lastBlue;
    };
    const Case cases[] = {
        {TiGradient::ifdTopLeftBottomRight, {0, 0}, {94, 95}, 254, 0},
        {TiGradient::ifdBottomRightTopLeft, {0, 0}, {94, 95}, 1, 255},
        {TiGradient::ifdBottomLeftTopRight, {0, 94}, {95, 0}, 254, 0},
        {TiGradient::ifdTopRightBottomLeft, {0, 94}, {95, 0}, 1, 255},
    };
    for (const Case &c : cases) {
        const QImage image = Gradient(96, 96, c.d, canvas::clBlue, canvas::clBlack)->PaintToImage();
        EXPECT_EQ(image.pixel(c.first), Rgb(0, 0, c.firstBlue)) << int(c.d);
        EXPECT_EQ(image.pixel(c.last), Rgb(0, 0, c.lastBlue)) << int(c.d);
    }
}

TEST(GradientTest, RectangleAndCirclePatterns)
{
    const QRgb red = Rgb(255, 0, 0);
    const QRgb blue = Rgb(0, 0, 255);
    struct Case
    {
        TiGradient::TiFillDirection d;
        QRgb centre, corner;
    };
    // Out: the centre has ColorStart; In: the outside has ColorStart. Ring 0 of a circle is an
    // empty box and no centre pixel is set, so ring 1 (of 11) covers the centre.
    const Case cases[] = {
        {TiGradient::ifdRectangleOut, red, blue},
        {TiGradient::ifdRectangleIn, blue, red},
        {TiGradient::ifdCircleOut, Rgb(232, 0, 23), blue},
        {TiGradient::ifdCircleIn, Rgb(23, 0, 232), red},
    };
    for (const Case &c : cases) {
        auto g = Gradient(96, 96, c.d, canvas::clRed, canvas::clBlue);
        const QImage image = g->PaintToImage();
        EXPECT_EQ(image.pixel(47, 47), c.centre) << int(c.d);
        for (const QPoint corner : {QPoint(0, 0), QPoint(95, 0), QPoint(0, 95), QPoint(95, 95)})
            EXPECT_EQ(image.pixel(corner), c.corner) << int(c.d) << " " << corner.x() << "," << corner.y();
    }
}

// The centre pixel is set after the outlines, in the colour of step 0.
TEST(GradientTest, RectangleCentrePixel)
{
    // With a stop colour only one step away, only the centre pixel can be exactly ColorStart.
    for (auto d : {TiGradient::ifdRectangleOut, TiGradient::ifdRectangleIn}) {
        auto g = Gradient(96, 96, d, canvas::RGB(10, 10, 10), canvas::RGB(200, 200, 200));
        const QImage image = g->PaintToImage();
        const QRgb expected = d == TiGradient::ifdRectangleOut ? Rgb(10, 10, 10) : Rgb(200, 200, 200);
        EXPECT_EQ(image.pixel(47, 47), expected) << int(d);
        // Odd sizes: W div 2 - 1.
        auto odd = Gradient(97, 61, d, canvas::RGB(10, 10, 10), canvas::RGB(200, 200, 200));
        EXPECT_EQ(odd->PaintToImage().pixel(47, 29), expected) << int(d);
    }
}

TEST(GradientTest, NoStepsDrawNothing)
{
    for (bool cached : {true, false}) {
        auto g = Gradient(50, 1, TiGradient::ifdTopBottom, canvas::clRed, canvas::clBlue);
        g->SetCachedDrawing(cached);
        const QImage image = g->PaintToImage();
        for (int x = 0; x < 50; ++x)
            ASSERT_EQ(image.pixel(x, 0), Rgb(255, 255, 255)) << x;
    }
}

// Direction, colours and bounds mark the gradient; only then is it rendered again.
TEST(GradientTest, CachedGradientIsRenderedOnlyAfterAChange)
{
    auto g = Gradient(273, 153, TiGradient::ifdTopBottom, kAboutStart, kAboutStop);
    const QImage first = g->PaintToImage();
    EXPECT_EQ(g->RenderCount(), 1);
    EXPECT_EQ(g->PaintToImage(), first);
    EXPECT_EQ(g->RenderCount(), 1);

    struct Step
    {
        const char *name;
        std::function<void()> change;
        int renders;
    };
    const Step steps[] = {
        {"same start colour", [&] { g->SetColorStart(kAboutStart); }, 0},
        {"same stop colour", [&] { g->SetColorStop(kAboutStop); }, 0},
        {"same direction", [&] { g->SetDirection(TiGradient::ifdTopBottom); }, 0},
        {"start colour", [&] { g->SetColorStart(canvas::clRed); }, 1},
        {"stop colour", [&] { g->SetColorStop(canvas::clLime); }, 1},
        {"direction", [&] { g->SetDirection(TiGradient::ifdCircleIn); }, 1},
        {"same bounds", [&] { g->SetBounds(0, 0, 273, 153); }, 1},
        {"move", [&] { g->SetBounds(5, 5, 273, 153); }, 1},
        {"resize", [&] { g->SetBounds(5, 5, 100, 60); }, 1},
        {"Qt resize", [&] { g->resize(80, 60); }, 1},
        {"nothing", [] {}, 0},
    };
    for (const Step &s : steps) {
        const int before = g->RenderCount();
        g->ResetCounters();
        s.change();
        g->PaintToImage();
        g->PaintToImage();
        EXPECT_EQ(g->RenderCount() - before, s.renders) << s.name;
        if (s.renders == 0 && std::string(s.name) != "nothing") {
            EXPECT_EQ(g->Counters().InvalidateForeGround, 0) << s.name;
        }
    }
}

TEST(GradientTest, UncachedGradientIsRenderedOnEveryPaint)
{
    auto g = Gradient(60, 40, TiGradient::ifdCircleOut, kAboutStart, kAboutStop);
    const QImage cached = g->PaintToImage();
    g->SetCachedDrawing(false);
    EXPECT_EQ(g->BackGroundCacheImage(), nullptr);
    const int before = g->RenderCount();
    EXPECT_EQ(g->PaintToImage(), cached);
    EXPECT_EQ(g->PaintToImage(), cached);
    EXPECT_EQ(g->RenderCount() - before, 2);
    // Switched on again: the new cache is filled at its first paint.
    g->SetCachedDrawing(true);
    EXPECT_EQ(g->PaintToImage(), cached);
}

// A child's repaint shows the cached gradient again without rendering it.
TEST(GradientTest, ChildRepaintsReuseTheCache)
{
    auto g = Gradient(273, 153, TiGradient::ifdTopBottom, kAboutStart, kAboutStop);
    auto *child = new QLabel(QStringLiteral("text"), g.get());
    child->setGeometry(8, 8, 100, 30);
    g->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(g.get()));
    QImage shown = g->grab().toImage();
    const int renders = g->RenderCount();
    EXPECT_GE(renders, 1);

    child->setText(QStringLiteral("other text"));
    shown = g->grab().toImage();
    EXPECT_EQ(g->RenderCount(), renders) << "from the cache";
    EXPECT_EQ(shown.pixel(200, 76), Rgb(64, 64, 128));

    g->resize(273, 100);
    g->grab();
    EXPECT_EQ(g->RenderCount(), renders + 1) << "resizing renders again";
}

} // namespace
