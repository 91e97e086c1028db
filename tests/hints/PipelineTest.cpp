// Hint pictures probed pixel by pixel against the formulas, on a desktop with a known picture:
// the main window's rectangle hint, the soft rectangle's rings, the gradient layouts, the
// shapes' masks and the traced outline.
#include "tests/hints/HintTestUtil.h"

#include "tests/common/TestMain.h"

#include <QDir>
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

using namespace hints;
using namespace hinttest;
using canvas::TColor;
using canvas::TRect;
using E = TsHintEnums;

namespace {

int Round(double v)
{
    return int(std::nearbyint(v));
}

// The main window's hint: 16 pixels below the pointer, a 3-pixel soft edge, a 5-pixel border in
// (128,128,255), the gradient's middle and ramp, the shadow 11 pixels right and below at 49 %
// opacity with a 3-pixel soft edge, and bold black text wrapped within 200 pixels.
TEST(PipelineTest, MainWindowHintFollowsTheFormulas)
{
    FakeDesktop desk;
    auto m = MainWindowManager();
    TsSimplyHintWindow window;
    const QString text = QStringLiteral("Включить сигнал генератора");
    const TRect r = window.CalcHintRect(m->MaxWidth(), text);
    window.ActivateHint(r, text);
    ASSERT_TRUE(window.isVisible());
    EXPECT_EQ(window.geometry(), QRect(300, 216, r.Width(), r.Height()));
    EXPECT_EQ(window.Quadrant, 0);
    window.Compose();
    const QImage &shown = window.Composed();
    shown.save(QDir(testsupport::artifactDir()).filePath(QStringLiteral("hint-main.png")));
    ASSERT_EQ(shown.size(), QSize(r.Width(), r.Height()));
    EXPECT_EQ(shown.format(), QImage::Format_RGB888);

    const int W = r.Width(), H = r.Height(), off = 11;
    const int bw = W - off, bh = H - off;
    const int n2 = Round(H * 56 / 100.0);
    // Text rectangle: the body less margin and border.
    const TRect textRect(13, 10, bw - 13, bh - 10);
    const TColor S = 2917517;
    const double C[3] = {(141 + 255) / 2, (132 + 255) / 2, (44 + 255) / 2};
    auto gradient = [&](int x, int y) {
        const int dl = x, dt = y, dr = bw - 1 - x, db = bh - 1 - y;
        if (dl < 1 || dt < 1) // the first band is one pixel
            return S;
        double best = 2;
        int d = -1;
        for (int dist : {dr, db})
            if (dist < n2 && double(dist) / n2 < best) {
                best = double(dist) / n2;
                d = dist;
            }
        if (d < 0)
            return canvas::RGB(int(C[0]), int(C[1]), int(C[2]));
        return canvas::RGB(Round(255 + (C[0] - 255) * d / n2), Round(255 + (C[1] - 255) * d / n2),
                           Round(255 + (C[2] - 255) * d / n2));
    };
    const int soft[] = {255, 191, 128}; // mask levels at 0, 1, 2 pixels in; then 0
    const int t = 51 * 255 / 100;       // shadow level inside
    auto shadowLevel = [&](int d) {
        return d == 0 ? 255 : d >= 3 ? t : Round(t + (3 - d + 1) * (255 - t) / 4.0);
    };

    int textInk = 0, probed = 0;
    for (int y = 0; y < H; ++y) {
        for (int x = 0; x < W; ++x) {
            TColor work = Background(300 + x, 216 + y);
            if (x >= off && y >= off)
                work = MixColor(shadowLevel(std::min({x - off, y - off, W - 1 - x, H - 1 - y})), work, 0);
            const TColor got = PixelAt(shown, x, y);
            if (x >= bw || y >= bh) {
                ASSERT_EQ(got, work) << "shadow at " << x << "," << y;
                ++probed;
                continue;
            }
            const int d = std::min({x, y, bw - 1 - x, bh - 1 - y});
            const int mask = d < 3 ? soft[d] : 0;
            // The frame: 5 rings inside the body less its last column and row.
            const bool frame = x <= bw - 2 && y <= bh - 2 && std::min({x, y, bw - 2 - x, bh - 2 - y}) < 5;
            const TColor body = frame ? TColor(16744576) : gradient(x, y);
            const TColor expected = MixColor(mask, work, body);
            const bool inText =
                x >= textRect.Left && x < textRect.Right && y >= textRect.Top && y < textRect.Bottom;
            if (inText && got == canvas::clBlack) {
                ++textInk;
                continue;
            }
            ASSERT_EQ(got, expected) << "at " << x << "," << y << (frame ? " (frame)" : "");
            ++probed;
        }
    }
    EXPECT_GT(textInk, 40) << "bold black text";
    EXPECT_GT(probed, W * H * 3 / 4);

    // Named probes of the same picture, as a person checks it.
    const int midY = bh / 2;
    EXPECT_EQ(PixelAt(shown, 3, midY), TColor(16744576)) << "border, fully inside the soft edge";
    EXPECT_EQ(PixelAt(shown, 7, 6), canvas::RGB(198, 193, 149)) << "the gradient's middle colour";
    EXPECT_EQ(PixelAt(shown, 0, midY), Background(300, 216 + midY)) << "outermost pixel is see-through";
    EXPECT_EQ(PixelAt(shown, W - 5, midY), MixColor(t, Background(300 + W - 5, 216 + midY), 0))
        << "49 % shadow";
}

TEST(PipelineTest, LongTextWrapsWithinMaxWidth)
{
    FakeDesktop desk;
    auto m = MainWindowManager();
    TsSimplyHintWindow window;
    const QString text =
        QStringLiteral("Сигнал генератора включен. Частота сигнала 440 Гц.  Уровень громкости сигнала 80.");
    const TRect one = window.CalcHintRect(200, QStringLiteral("Стоп сигнал"));
    const TRect r = window.CalcHintRect(200, text);
    EXPECT_LE(r.Width(), 200 + 11 + 26);
    EXPECT_GE(r.Height(), one.Height() + 2 * (one.Height() - 11 - 20)) << "three lines or more";
    canvas::Canvas probe(1, 1);
    probe.Font.Assign(*m->Font());
    EXPECT_EQ(one,
              TRect(0, 0, probe.TextWidth(QStringLiteral("Стоп сигнал")) + 37, probe.TextHeight("X") + 31));
}

TEST(PipelineTest, QuadrantNearEachDesktopCorner)
{
    const QRect desktop(0, 0, 1024, 768);
    struct Case
    {
        QPoint p;
        QRect placed;
        int quadrant;
    } cases[] = {
        {{10, 10}, {10, 10, 200, 60}, 0},     {{1000, 10}, {800, 10, 200, 60}, 2},
        {{10, 740}, {10, 680, 200, 60}, 1},   {{1000, 740}, {800, 680, 200, 60}, 3},
        {{824, 708}, {824, 708, 200, 60}, 0}, {{825, 709}, {625, 649, 200, 60}, 3},
        {{100, 30}, {100, 30, 200, 60}, 0},
    };
    for (const Case &k : cases) {
        int q = -1;
        EXPECT_EQ(PlaceHint(k.p, 200, 60, desktop, &q), k.placed) << k.p.x() << "," << k.p.y();
        EXPECT_EQ(q, k.quadrant) << k.p.x() << "," << k.p.y();
    }
    // Too big to flip: it goes back below and to the right.
    int q = -1;
    EXPECT_EQ(PlaceHint({500, 700}, 2000, 800, desktop, &q), QRect(500, 700, 2000, 800));
    EXPECT_EQ(q, 0);
    // A desktop that does not start at 0.
    EXPECT_EQ(PlaceHint({1100, 50}, 200, 60, QRect(1024, 0, 800, 600), &q), QRect(1100, 50, 200, 60));
    EXPECT_EQ(PlaceHint({1900, 590}, 200, 60, QRect(1024, 0, 900, 600), &q), QRect(1700, 530, 200, 60));
    EXPECT_EQ(q, 3);

    // The real window near the bottom-right corner opens above and to the left of the pointer.
    FakeDesktop desk;
    desk.pointer = QPoint(1010, 750);
    auto m = MainWindowManager();
    TsSimplyHintWindow window;
    const TRect r = window.CalcHintRect(200, QStringLiteral("Закрыть программу"));
    window.ActivateHint(r, QStringLiteral("Закрыть программу"));
    EXPECT_EQ(window.Quadrant, 3);
    EXPECT_EQ(window.geometry(), QRect(1010 - r.Width(), 766 - r.Height(), r.Width(), r.Height()));
}

TEST(PipelineTest, SoftRectangleRings)
{
    struct Case
    {
        int transparency, edge;
        int levels[5]; // mask level at 0 .. 4 pixels in
    } cases[] = {
        {0, 3, {255, 191, 128, 0, 0}},       {50, 2, {255, 212, 127, 127, 127}},
        {51, 3, {255, 224, 192, 130, 130}},  {0, 0, {0, 0, 0, 0, 0}},
        {100, 4, {255, 255, 255, 255, 255}}, {0, 1, {255, 0, 0, 0, 0}},
        {25, 20, {255, 246, 237, 228, 218}}, // edge limited to half the 40-pixel size
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(testing::Message() << "T " << k.transparency << " edge " << k.edge);
        QImage image(40, 40, QImage::Format_RGB888);
        image.fill(Qt::white);
        BlendSoftRect(image, TRect(0, 0, 40, 40), k.transparency, 0, k.edge, canvas::clBlack);
        for (int d = 0; d < 5; ++d) {
            // A level m over white, blended with black, leaves m.
            EXPECT_EQ(PixelAt(image, d, 20), canvas::RGB(k.levels[d], k.levels[d], k.levels[d])) << d;
            EXPECT_EQ(PixelAt(image, 20, 39 - d), PixelAt(image, d, 20)) << d;
        }
    }
    // Levels are taken modulo 256.
    EXPECT_EQ(SoftRectLevel(5, 3, 306), 50);
    EXPECT_EQ(SoftRectLevel(1, 3, 306), Round(306 + 3 * (255 - 306) / 4.0) & 0xFF);

    // Over a picture: the colour at its opacity, rounded per channel; outside the rectangle untouched.
    QImage image = BackgroundImage(QRect(0, 0, 30, 20));
    BlendSoftRect(image, TRect(5, 4, 25, 16), 30, 0, 0, canvas::RGB(10, 200, 90));
    const int t = 30 * 255 / 100;
    for (auto [x, y] : {std::pair{5, 4}, {24, 15}, {12, 9}})
        EXPECT_EQ(PixelAt(image, x, y), MixColor(t, Background(x, y), canvas::RGB(10, 200, 90)))
            << x << "," << y;
    for (auto [x, y] : {std::pair{4, 4}, {25, 15}, {12, 3}, {12, 16}})
        EXPECT_EQ(PixelAt(image, x, y), Background(x, y)) << x << "," << y;

    // Rounded corners keep the corner see-through; partly outside the image is clipped.
    QImage rounded(40, 40, QImage::Format_RGB32);
    rounded.fill(Qt::white);
    BlendSoftRect(rounded, TRect(-10, 0, 40, 40), 0, 12, 2, canvas::clBlack);
    EXPECT_EQ(PixelAt(rounded, 39, 0), canvas::clWhite);
    EXPECT_EQ(PixelAt(rounded, 20, 20), canvas::clBlack);
}

TEST(PipelineTest, GradientLayouts)
{
    auto channel = [](TColor c) { return canvas::GetRValue(c); };
    struct Case
    {
        E::TGradientTypes layout;
        E::TsGradientMode mode;
        int width, p1, p2;
        bool invert;
        QPoint at;
        int red; // expected red channel
    } cases[] = {
        // 20 x 20 hint, body 20 x 20; red goes 0 -> 127 -> 255 (Color1 red 0, Color2 red 255).
        {E::gtTopBottom, E::gmPercent, 100, 25, 25, false, {7, 0}, 0},
        {E::gtTopBottom, E::gmPercent, 100, 25, 25, false, {7, 4}, Round(127 * 4 / 5.0)},
        {E::gtTopBottom, E::gmPercent, 100, 25, 25, false, {7, 5}, 127},
        {E::gtTopBottom, E::gmPercent, 100, 25, 25, false, {7, 14}, 127},
        {E::gtTopBottom, E::gmPercent, 100, 25, 25, false, {7, 15}, Round(255 - 128 * 4 / 5.0)},
        {E::gtTopBottom, E::gmPercent, 100, 25, 25, false, {7, 19}, 255},
        {E::gtTopBottom, E::gmPercent, 100, 25, 25, true, {7, 0}, 255},
        {E::gtTopBottom, E::gmPercent, 50, 50, 50, false, {7, 3}, Round(127 * 3 / 5.0)},
        {E::gtTopBottom, E::gmFixed, 10, 50, 50, false, {7, 3}, Round(127 * 3 / 5.0)},
        {E::gtTopBottom, E::gmFixed, 400, 50, 10, false, {7, 9}, Round(127 * 9 / 10.0)},
        {E::gtLeftRight, E::gmPercent, 100, 25, 25, false, {4, 11}, Round(127 * 4 / 5.0)},
        {E::gtLeftRight, E::gmPercent, 100, 25, 25, false, {18, 0}, Round(255 - 128 / 5.0)},
        {E::gtLeftRight, E::gmPercent, 100, 0, 0, false, {0, 5}, 0},
        {E::gtLeftRight, E::gmPercent, 100, 0, 0, false, {1, 5}, 127},
        // Span 20 x 53 / 100 = 10.6 rounds to 11: the first band covers column 10 too.
        {E::gtLeftRight, E::gmPercent, 53, 100, 0, false, {10, 5}, Round(127 * 10 / 11.0)},
        // Border: nearest edge; bands 5 (first) and 10 (last).
        {E::gtAsBorder, E::gmPercent, 100, 25, 50, false, {0, 10}, 0},
        {E::gtAsBorder, E::gmPercent, 100, 25, 50, false, {2, 1}, Round(127 / 5.0)},
        {E::gtAsBorder, E::gmPercent, 100, 25, 50, false, {19, 10}, 255},
        {E::gtAsBorder, E::gmPercent, 100, 25, 50, false, {10, 18}, Round(255 - 128 / 10.0)},
        // Top (1 of 5) against right (3 of 10): 0.2 < 0.3, the top decides.
        {E::gtAsBorder, E::gmPercent, 100, 25, 50, false, {16, 1}, Round(127 / 5.0)},
        // Top (3 of 5) against right (1 of 10): the right decides.
        {E::gtAsBorder, E::gmPercent, 100, 25, 50, false, {18, 3}, Round(255 - 128 / 10.0)},
        {E::gtAsBorder, E::gmPercent, 100, 25, 50, false, {7, 7}, 127},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(testing::Message()
                     << "layout " << k.layout << " mode " << k.mode << " at " << k.at.x() << "," << k.at.y());
        TPassiveGradient g;
        g.SetColor1(canvas::RGB(0, 10, 20));
        g.SetColor2(canvas::RGB(255, 10, 20));
        g.SetLayout(k.layout);
        g.SetMode(k.mode);
        g.SetWidth(k.width);
        g.SetPercent1(0);
        g.SetPercent2(k.p2);
        g.SetPercent1(k.p1);
        g.SetInvert(k.invert);
        QImage image(30, 30, QImage::Format_RGB32);
        image.fill(Qt::black);
        FillPassiveGradient(image, TRect(5, 5, 25, 25), g, QSize(20, 20));
        const TColor c = PixelAt(image, 5 + k.at.x(), 5 + k.at.y());
        EXPECT_EQ(channel(c), k.red);
        EXPECT_EQ(canvas::GetGValue(c), 10);
        EXPECT_EQ(PixelAt(image, 4, 4), canvas::clBlack) << "outside the rectangle";
    }
}

// Prepares a shaped window over a W x H work bitmap, as ActivateHint leaves it.
template <class Window> struct Shaped
{
    std::unique_ptr<TsHintManager> manager;
    Window window;
    Shaped(TsHintsPredefinitions preset, int w, int h, int quadrant)
        : manager(std::make_unique<TsHintManager>())
    {
        manager->SetPreDefinitions(preset);
        manager->sStyle()->WorkBitmap() = QImage(w, h, QImage::Format_RGB888);
        window.Quadrant = quadrant;
    }
};

bool Black(const QImage &mask, int x, int y)
{
    return PixelAt(mask, x, y) == canvas::clBlack;
}

TEST(PipelineTest, ShapeMasksAtStatedPoints)
{
    // Comics, 200 x 120, shadow offset 7, ExOffset 24, radius 25: body (0, 24, 193, 113) below
    // the tip at (3, 3).
    {
        Shaped<TsComicsHintWindow> s(E::shComicsGradient, 200, 120, 0);
        const QImage mask = s.window.ShapeMask(0, 0);
        EXPECT_TRUE(Black(mask, 96, 68)) << "body centre";
        EXPECT_TRUE(Black(mask, 27, 20)) << "tail, between the tip (3, 3) and the body";
        EXPECT_TRUE(Black(mask, 96, 30));
        EXPECT_FALSE(Black(mask, 0, 24)) << "rounded corner";
        EXPECT_FALSE(Black(mask, 196, 68)) << "shadow strip";
        EXPECT_FALSE(Black(mask, 150, 10)) << "beside the tail";
        EXPECT_FALSE(Black(mask, 96, 116));
    }
    // Above-left of the pointer: tip at (W - 3, H - 3), body at the top.
    {
        Shaped<TsComicsHintWindow> s(E::shComicsGradient, 200, 120, 3);
        const QImage mask = s.window.ShapeMask(0, 0);
        EXPECT_TRUE(Black(mask, 173, 100)) << "tail towards (197, 117)";
        EXPECT_TRUE(Black(mask, 96, 10));
        EXPECT_FALSE(Black(mask, 96, 100)) << "below the body, off the tail";
    }
    // Ellipse: the body's corners stay out, its edge midpoints are in.
    {
        Shaped<TsEllipseHintWindow> s(E::shEllipse, 200, 120, 2);
        const QImage mask = s.window.ShapeMask(0, 0); // body (0, 26, 184, 104), tip (197, 3)
        EXPECT_TRUE(Black(mask, 92, 65));
        EXPECT_TRUE(Black(mask, 1, 65));
        EXPECT_TRUE(Black(mask, 92, 27));
        EXPECT_FALSE(Black(mask, 2, 28));
        EXPECT_FALSE(Black(mask, 182, 102));
        EXPECT_TRUE(Black(mask, 168, 20)) << "tail towards (197, 3)";
        EXPECT_FALSE(Black(mask, 20, 20));
    }
    // Rings fade towards the edge: blur 2 gives 170, 85, 0 from the outside in.
    {
        Shaped<TsEllipseHintWindow> s(E::shEllipse, 200, 120, 0);
        const QImage mask = s.window.ShapeMask(2, 0);
        EXPECT_EQ(PixelAt(mask, 0, 65), canvas::RGB(170, 170, 170));
        EXPECT_EQ(PixelAt(mask, 1, 65), canvas::RGB(85, 85, 85));
        EXPECT_EQ(PixelAt(mask, 2, 65), canvas::clBlack);
        EXPECT_EQ(PixelAt(mask, 92, 65), canvas::clBlack);
        const QImage translucent = s.window.ShapeMask(2, 100);
        EXPECT_EQ(PixelAt(translucent, 92, 65), canvas::RGB(100, 100, 100));
        EXPECT_EQ(PixelAt(translucent, 0, 65), canvas::RGB(203, 203, 203));
    }
    // Balloon: three small ellipses between the tip and the body, growing towards the body; the
    // k-th centred k quarters of the tip-to-centre distance in from the edge on the tip's side.
    for (const int quadrant : {0, 2}) {
        Shaped<TsBalloonHintWindow> s(E::shBalloon, 240, 140, quadrant); // offset 9, ExOffset 25
        const QImage mask = s.window.ShapeMask(0, 0);                    // body (0, 25, 231, 131)
        const double b = 106 / 12.0;
        const int step = Round((25 - 3 * b) / 6);
        const int cx = 115;
        const int tipX = quadrant == 0 ? 3 : 237;
        int y = 0;
        int previous = 0;
        for (int k = 1; k <= 3; ++k) {
            const int h = Round(b + 2 * (k - 1) * step);
            const int in = Round(std::abs(cx - tipX) * k / 4.0);
            const int x = quadrant == 0 ? in : 240 - in;
            const int row = y + h / 2;
            EXPECT_TRUE(Black(mask, x, row)) << "quadrant " << quadrant << " ellipse " << k;
            int first = x, last = x;
            while (first > 0 && Black(mask, first - 1, row))
                --first;
            while (last < 239 && Black(mask, last + 1, row))
                ++last;
            // An ellipse (x - w/2, .., x - w/2 + w) is centred on x - 1/2 (even w) or x (odd w).
            EXPECT_LE(std::abs(first + last + 1 - 2 * x), 1) << "quadrant " << quadrant << " ellipse " << k;
            EXPECT_GE(h, previous);
            previous = h;
            y += h;
        }
        EXPECT_FALSE(Black(mask, quadrant == 0 ? 200 : 40, 5)) << "nothing else above the body";
        EXPECT_TRUE(Black(mask, 115, 78));
    }
}

// The protected steps of the pipeline, opened to the tests.
template <class Base> struct Open : Base
{
    using Base::PaintBackground;
};

// A manager made current with a known screen as its work bitmap; shadow and soft edges off.
std::unique_ptr<TsHintManager> PlainManager(TsHintsPredefinitions preset, int w, int h)
{
    auto m = std::make_unique<TsHintManager>();
    m->SetPreDefinitions(preset);
    m->SetBlur(0);
    m->SetBevelWidth(0);
    m->sStyle()->Shadow()->SetBlur(0);
    m->sStyle()->WorkBitmap() = BackgroundImage(QRect(0, 0, w, h));
    return m;
}

// PaintBackground on a 40 x 30 hint with an 8-pixel shadow offset: body (0, 0, 32, 22).
TEST(PipelineTest, BackgroundModesOverTheScreen)
{
    const TColor active = canvas::RGB(10, 200, 90);
    QImage tile(3, 2, QImage::Format_RGB32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            tile.setPixel(x, y, canvas::ToQRgb(canvas::RGB(40 * x, 100 + 50 * y, 7)));
    auto tileAt = [&](int x, int y) { return PixelAt(tile, x % 3, y % 2); };
    struct Case
    {
        E::TBgStyle mode;
        int transparency;
        QPoint at;
        TColor expected;
    } cases[] = {
        {E::bgsNone, 0, {0, 0}, active},
        {E::bgsNone, 0, {32, 22}, active}, // one pixel larger to the right and bottom
        {E::bgsNone, 0, {33, 22}, Background(33, 22)},
        {E::bgsNone, 0, {32, 23}, Background(32, 23)},
        {E::bgsImage, 0, {4, 3}, tileAt(4, 3)},
        {E::bgsImage, 0, {31, 21}, tileAt(31, 21)},
        {E::bgsImage, 0, {32, 21}, Background(32, 21)},
        {E::bgsTransparent, 40, {5, 5}, MixColor(40 * 255 / 100, Background(5, 5), active)},
        {E::bgsTransparent, 40, {32, 22}, Background(32, 22)},
        {E::bgsTransparent, 0, {32, 22}, active},
    };
    for (const Case &k : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << k.mode << " transparency " << k.transparency << " at "
                                        << k.at.x() << "," << k.at.y());
        auto m = PlainManager(E::shSimply, 40, 30);
        m->sStyle()->Background()->SetMode(k.mode);
        m->sStyle()->Background()->SetImage(tile);
        m->sStyle()->Painting()->SetColorActive(active);
        m->sStyle()->Painting()->SetTransparency(k.transparency);
        Open<TsSimplyHintWindow> window;
        QImage body(40, 30, QImage::Format_RGB32);
        window.PaintBackground(body, TRect(0, 0, 32, 22));
        EXPECT_EQ(PixelAt(body, k.at.x(), k.at.y()), k.expected);
    }
}

// The shadow's transparency grows with a translucent background's, and a shaped body is that
// translucent in its mask too.
TEST(PipelineTest, TranslucentBackgroundLightensShadowAndShapedBody)
{
    const TColor active = canvas::RGB(10, 200, 90);
    struct Case
    {
        E::TBgStyle mode;
        int transparency;
        int shadowLevel; // (50 + 50 * B / 100) * 255 div 100
    } cases[] = {{E::bgsNone, 40, 127}, {E::bgsTransparent, 40, 178}, {E::bgsTransparent, 0, 127}};
    for (const Case &k : cases) {
        SCOPED_TRACE(testing::Message() << "mode " << k.mode << " transparency " << k.transparency);
        auto m = PlainManager(E::shSimply, 40, 30);
        m->sStyle()->Shadow()->SetTransparency(50);
        m->sStyle()->Background()->SetMode(k.mode);
        m->sStyle()->Painting()->SetTransparency(k.transparency);
        TsSimplyHintWindow window;
        window.Compose();
        EXPECT_EQ(PixelAt(window.Composed(), 38, 28),
                  MixColor(k.shadowLevel, Background(38, 28), canvas::clBlack));
    }
    // Ellipse without shadow: the mask's inner level is the painting transparency too.
    auto m = PlainManager(E::shEllipse, 200, 120);
    m->sStyle()->Shadow()->SetEnabled(false);
    m->sStyle()->Background()->SetMode(E::bgsTransparent);
    m->sStyle()->Painting()->SetColorActive(active);
    m->sStyle()->Painting()->SetTransparency(40);
    TsEllipseHintWindow window;
    window.Compose();
    const int level = 40 * 255 / 100;
    const TColor screen = Background(100, 70);
    EXPECT_EQ(PixelAt(window.Composed(), 100, 70), MixColor(level, screen, MixColor(level, screen, active)));
}

// The speech bubble, ellipse and balloon cast their own shape as shadow; the balloon's is scaled
// into the area less the offset.
TEST(PipelineTest, ShapedShadowsFollowTheMask)
{
    // 200 x 120, offset 10, ExOffset 26: body (0, 26, 190, 110), bottom of its ellipse at row 109.
    const QPoint belowBody(95, 115), corner(197, 117);
    const TColor shadowed = MixColor(127, Background(95, 115), canvas::clBlack);
    auto prepare = [](TsHintsPredefinitions preset) {
        auto m = PlainManager(preset, 200, 120);
        m->SetExOffset(26);
        m->sStyle()->Background()->SetMode(E::bgsNone);
        m->sStyle()->Shadow()->SetOffset(10);
        m->sStyle()->Shadow()->SetTransparency(50);
        return m;
    };
    {
        auto m = prepare(E::shEllipse);
        TsEllipseHintWindow window;
        window.Compose();
        EXPECT_EQ(PixelAt(window.Composed(), belowBody.x(), belowBody.y()), shadowed);
        EXPECT_EQ(PixelAt(window.Composed(), corner.x(), corner.y()), Background(corner.x(), corner.y()))
            << "outside the moved ellipse";
    }
    {
        auto m = prepare(E::shBalloon);
        TsBalloonHintWindow window;
        window.Compose();
        // Scaled by 190 / 200 and 110 / 120 first, the ellipse's shadow ends near row 110.
        EXPECT_EQ(PixelAt(window.Composed(), belowBody.x(), belowBody.y()), Background(95, 115));
        EXPECT_EQ(PixelAt(window.Composed(), corner.x(), corner.y()), Background(corner.x(), corner.y()));
    }
}

// Dark pixels (text) of a picture composed on white.
QRect TextBox(const QImage &image)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (canvas::GetRValue(PixelAt(image, x, y)) < 128)
                box |= QRect(x, y, 1, 1);
    return box;
}

// A manager that composes black text on white, without shadow, edge or frame.
std::unique_ptr<TsHintManager> WhiteManager(TsHintsPredefinitions preset)
{
    auto m = PlainManager(preset, 1, 1);
    m->sStyle()->Shadow()->SetEnabled(false);
    m->sStyle()->Background()->SetMode(E::bgsNone);
    m->sStyle()->Painting()->SetColorActive(canvas::clWhite);
    m->Font()->setColor(canvas::clBlack);
    return m;
}

void Whiten(TsHintManager &m, const TRect &r)
{
    m.sStyle()->WorkBitmap() = QImage(r.Width(), r.Height(), QImage::Format_RGB888);
    m.sStyle()->WorkBitmap().fill(Qt::white);
}

// The shapes grow from the rectangle's size for the same text: all by ExOffset in height, the
// ellipse and balloon then by their extras; the text keeps ExtraWidth / 2 and ExtraHeight / 2 more
// from the body's edges.
TEST(PipelineTest, ShapedSizesAndTextInset)
{
    auto m = WhiteManager(E::shEllipse);
    const QString text = QStringLiteral("Частота сигнала генератора в герцах, от двадцати до двадцати тысяч");
    TsSimplyHintWindow plain;
    const TRect base = plain.CalcHintRect(m->MaxWidth(), text);
    const double w = base.Width(), h = base.Height() + m->ExOffset();
    const double d = std::sqrt(w * w + h * h) - w;
    const int extraWidth = Round(w * d / h), extraHeight = Round(d * h / w);
    TsComicsHintWindow comics;
    const TRect bubble = comics.CalcHintRect(m->MaxWidth(), text);
    EXPECT_EQ(bubble.Width(), base.Width());
    EXPECT_EQ(bubble.Height(), base.Height() + m->ExOffset());
    TsBalloonHintWindow balloon;
    const TRect thought = balloon.CalcHintRect(m->MaxWidth(), text);
    EXPECT_EQ(thought.Width(), base.Width() + extraWidth);
    EXPECT_EQ(thought.Height(), base.Height() + m->ExOffset() + extraHeight);

    TsEllipseHintWindow ellipse;
    const TRect r = ellipse.CalcHintRect(m->MaxWidth(), text);
    ASSERT_EQ(ellipse.ExtraWidth, extraWidth);
    ASSERT_EQ(ellipse.ExtraHeight, extraHeight);
    Whiten(*m, r);
    ellipse.SetCaption(text);
    ellipse.Compose();
    const QRect box = TextBox(ellipse.Composed());
    ASSERT_FALSE(box.isEmpty());
    const int dx = m->MarginH() + extraWidth / 2, dy = m->ExOffset() + m->MarginV() + extraHeight / 2;
    EXPECT_GE(box.left(), dx);
    EXPECT_LT(box.right(), r.Width() - dx);
    EXPECT_GE(box.top(), dy);
    // Without the extras the same text starts ExtraHeight / 2 higher.
    ellipse.ExtraWidth = ellipse.ExtraHeight = 0;
    Whiten(*m, r);
    ellipse.Compose();
    EXPECT_EQ(TextBox(ellipse.Composed()).top(), box.top() - extraHeight / 2);
}

// In HTMLMode the hint measures and draws the mark-up, not its tags.
TEST(PipelineTest, HtmlModeInsideTheHintWindow)
{
    auto m = WhiteManager(E::shSimply);
    const QString marked = QStringLiteral("<font color=\"red\">Red</font> text");
    TsSimplyHintWindow window;
    const TRect literal = window.CalcHintRect(m->MaxWidth(), marked);
    m->SetHTMLMode(true);
    const TRect html = window.CalcHintRect(m->MaxWidth(), marked);
    EXPECT_LT(html.Width(), literal.Width()) << "tags take no room";
    auto redPixels = [&] {
        Whiten(*m, html);
        window.SetCaption(marked);
        window.Compose();
        int n = 0;
        for (int y = 0; y < html.Height(); ++y)
            for (int x = 0; x < html.Width(); ++x)
                n += PixelAt(window.Composed(), x, y) == canvas::clRed;
        return n;
    };
    EXPECT_GT(redPixels(), 0);
    m->SetHTMLMode(false);
    EXPECT_EQ(redPixels(), 0);
}

TEST(PipelineTest, TracedOutline)
{
    QImage mask(8, 6, QImage::Format_RGB32);
    mask.fill(Qt::white);
    for (int y = 1; y <= 4; ++y)
        for (int x = 2; x <= 6; ++x)
            mask.setPixel(x, y, qRgb(x == 4 ? 40 : 0, 0, 0)); // any grey counts as inside
    mask.setPixel(7, 0, qRgb(0, 0, 0));                       // on the first row and last column
    QImage body(8, 6, QImage::Format_RGB32);
    body.fill(qRgb(9, 9, 9));
    const TColor top = canvas::RGB(255, 0, 0), bottom = canvas::RGB(0, 0, 255), none = canvas::RGB(9, 9, 9);
    TraceOutline(body, mask, top, bottom);
    // Light on the top and left, dark on the bottom and right; inside pixels keep the body.
    const char *expected[] = {
        ".......T", "..TTTTT.", "..T...B.", "..T...B.", "..TBBBB.", "........",
    };
    for (int y = 0; y < 6; ++y)
        for (int x = 0; x < 8; ++x) {
            const char e = expected[y][x];
            const TColor want = e == 'T' ? top : e == 'B' ? bottom : none;
            EXPECT_EQ(PixelAt(body, x, y), want) << x << "," << y;
        }
}

} // namespace
