// Panel client area and border, bevel and edge pixels, image placement, glyph transparency.

#include "controls/Buttons.h"
#include "controls/ExtControls.h"
#include "controls/Forms.h"
#include "controls/Pictures.h"

#include <QApplication>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

using namespace canvas;
using namespace controls;

namespace {

constexpr QRgb White = 0xFFFFFFFF;
constexpr QRgb Shadow = 0xFF808080;
constexpr QRgb Black = 0xFF000000;
constexpr QRgb Light = 0xFFC0C0C0;

QRgb rgbOf(TColor color)
{
    return ToQRgb(color);
}

QRgb at(const QImage &image, int x, int y)
{
    return image.pixel(x, y) | 0xFF000000;
}

struct Host
{
    TForm form;
    Host()
    {
        form.setClientWidth(300);
        form.setClientHeight(250);
        form.setColor(clWhite);
    }
    QImage grab()
    {
        form.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&form));
        return form.grab().toImage();
    }
};

} // namespace

TEST(PanelTest, SingleBorderAndBevelsGiveTheInnerArea)
{
    Host host;
    TPanel panel(&host.form);
    panel.SetBounds(10, 177, 247, 129);
    panel.setBevelInner(bvLowered);
    panel.setBorderStyle(bsSingle);
    TImage preview(&panel);
    preview.setAlign(alClient);
    // Bounds stay those stored; the client area loses 2 px per side to the border, the align
    // area another 1 + 1 to the two bevels: 239 x 121.
    EXPECT_EQ(panel.boundsRect(), QRect(10, 177, 247, 129));
    EXPECT_EQ(panel.size(), QSize(243, 125));
    EXPECT_EQ(panel.alignRect(), QRect(2, 2, 239, 121));
    EXPECT_EQ(preview.boundsRect(), QRect(2, 2, 239, 121));
    EXPECT_EQ(preview.mapTo(&host.form, QPoint(0, 0)), QPoint(14, 181));

    // A taller top-aligned picture takes the full inner width and keeps its height.
    TImage noise(&panel);
    noise.setAutoSize(true);
    noise.SetPictureImage(QImage(204, 133, QImage::Format_RGB32));
    noise.setAlign(alTop);
    EXPECT_EQ(noise.boundsRect(), QRect(2, 2, 239, 133));
    EXPECT_EQ(preview.boundsRect(), QRect(2, 135, 239, 0)) << "the client control gets what is left";
    noise.setVisible(false);
    EXPECT_EQ(preview.boundsRect(), QRect(2, 2, 239, 121));

    // Without the border the children sit 2 px further out; the panel's bounds do not move.
    panel.setBorderStyle(bsNone);
    EXPECT_EQ(panel.boundsRect(), QRect(10, 177, 247, 129));
    EXPECT_EQ(preview.boundsRect(), QRect(2, 2, 243, 125));
    EXPECT_EQ(preview.mapTo(&host.form, QPoint(0, 0)), QPoint(12, 179));
    panel.setLeft(20);
    EXPECT_EQ(panel.x(), 20);
}

TEST(PanelTest, BevelAndBorderPixels)
{
    Host host;
    TPanel panel(&host.form);
    panel.SetBounds(5, 5, 30, 20);
    panel.setColor(14278617);
    panel.setBevelInner(bvLowered);
    const QImage face = panel.Render();
    ASSERT_EQ(face.size(), QSize(30, 20));
    // Outer bevel raised: highlight top and left, shadow right and bottom (winning the corners).
    EXPECT_EQ(at(face, 0, 0), White);
    EXPECT_EQ(at(face, 28, 0), White);
    EXPECT_EQ(at(face, 29, 0), Shadow);
    EXPECT_EQ(at(face, 0, 18), White);
    EXPECT_EQ(at(face, 0, 19), Shadow);
    EXPECT_EQ(at(face, 29, 19), Shadow);
    // Inner bevel lowered, one pixel in.
    EXPECT_EQ(at(face, 1, 1), Shadow);
    EXPECT_EQ(at(face, 27, 1), Shadow);
    EXPECT_EQ(at(face, 28, 1), White);
    EXPECT_EQ(at(face, 1, 18), White);
    EXPECT_EQ(at(face, 28, 18), White);
    EXPECT_EQ(at(face, 2, 2), rgbOf(14278617));
    EXPECT_EQ(at(face, 27, 17), rgbOf(14278617));

    // The single border: a sunken 2-pixel edge around the client area.
    panel.setBorderStyle(bsSingle);
    const QImage shot = host.grab();
    EXPECT_EQ(at(shot, 5, 5), Shadow);
    EXPECT_EQ(at(shot, 33, 5), Shadow);
    EXPECT_EQ(at(shot, 34, 5), White);
    EXPECT_EQ(at(shot, 6, 6), Black);
    EXPECT_EQ(at(shot, 33, 23), Light);
    EXPECT_EQ(at(shot, 34, 24), White);
    EXPECT_EQ(at(shot, 7, 7), White) << "outer bevel of the client area";
    EXPECT_EQ(at(shot, 9, 9), rgbOf(14278617));
    EXPECT_EQ(at(shot, 4, 4), White) << "nothing outside the bounds";
    EXPECT_EQ(at(shot, 35, 25), White);
}

TEST(PanelTest, BevelShapesPaintTheirLinesOnly)
{
    Host host;
    TBevel left(&host.form);
    left.SetBounds(10, 10, 11, 31);
    left.setShape(bsLeftLine);
    left.setStyle(bsRaised);
    TBevel top(&host.form);
    top.SetBounds(40, 10, 50, 11);
    top.setShape(bsTopLine);
    TBevel box(&host.form);
    box.SetBounds(100, 10, 20, 10);
    TPanel under(&host.form);
    under.SetBounds(150, 10, 30, 30);
    under.setColor(clRed);
    under.setBevelOuter(bvNone);
    TBevel onRed(&under);
    onRed.SetBounds(0, 0, 30, 30);
    onRed.setShape(bsTopLine);

    const QImage shot = host.grab();
    for (int y : {10, 25, 40}) {
        EXPECT_EQ(at(shot, 10, y), White);
        EXPECT_EQ(at(shot, 11, y), Shadow);
        EXPECT_EQ(at(shot, 12, y), White) << "beyond the line the parent shows";
    }
    EXPECT_EQ(at(shot, 40, 10), Shadow);
    EXPECT_EQ(at(shot, 89, 10), Shadow);
    EXPECT_EQ(at(shot, 40, 11), White);
    // Lowered box: shadow top-left, highlight bottom-right.
    EXPECT_EQ(at(shot, 100, 10), Shadow);
    EXPECT_EQ(at(shot, 118, 10), Shadow);
    EXPECT_EQ(at(shot, 119, 10), White);
    EXPECT_EQ(at(shot, 100, 19), Shadow);
    EXPECT_EQ(at(shot, 101, 19), White);
    EXPECT_EQ(at(shot, 119, 19), White);
    EXPECT_EQ(at(shot, 150, 10), Shadow);
    EXPECT_EQ(at(shot, 150, 11), White);
    EXPECT_EQ(at(shot, 150, 12), rgbOf(clRed)) << "a bevel is transparent";
}

TEST(PanelTest, ImageCentresStretchesAndSizesToItsPicture)
{
    Host host;
    TImage image(&host.form);
    image.SetBounds(10, 10, 40, 30);
    QImage picture(10, 6, QImage::Format_RGB32);
    picture.fill(QColor(0, 0, 255));
    picture.setPixel(0, 0, qRgb(255, 0, 0));
    image.SetPictureImage(picture);
    EXPECT_EQ(image.DestRect(), QRect(0, 0, 10, 6));
    image.setCenter(true);
    EXPECT_EQ(image.DestRect(), QRect(15, 12, 10, 6));
    QImage shot = host.grab();
    EXPECT_EQ(at(shot, 25, 22), qRgb(255, 0, 0));
    EXPECT_EQ(at(shot, 26, 22), qRgb(0, 0, 255));
    EXPECT_EQ(at(shot, 24, 22), White);

    image.setStretch(true);
    EXPECT_EQ(image.DestRect(), QRect(0, 0, 40, 30));
    image.setStretch(false);
    image.setAutoSize(true);
    EXPECT_EQ(image.boundsRect(), QRect(10, 10, 10, 6));

    image.setPicture("no such picture.xpm");
    EXPECT_FALSE(image.HasPicture());
    image.setPicture("speaker.xpm");
    EXPECT_EQ(image.PictureWidth(), 32);
    EXPECT_EQ(image.Width(), 32);
}

TEST(PanelTest, ImageCanvasDrawsIntoAFreshBlackBitmap)
{
    Host host;
    TImage image(&host.form);
    image.SetBounds(0, 0, 239, 121);
    EXPECT_FALSE(image.HasPicture());
    image.NewBitmap();
    EXPECT_EQ(image.PictureWidth(), 0);
    Canvas *canvas = image.Canvas();
    canvas->Brush.Color = clBlack;
    image.setPictureWidth(image.Width());
    image.setPictureHeight(image.Height());
    EXPECT_EQ(image.PictureImage().size(), QSize(239, 121));
    EXPECT_EQ(image.PictureImage().pixel(238, 120) | 0xFF000000, Black);
    canvas->Pen.Color = clLime;
    canvas->MoveTo(0, 90);
    canvas->LineTo(50, 10);
    const QImage shot = host.grab();
    EXPECT_EQ(at(shot, 0, 90), qRgb(0, 255, 0));
    EXPECT_EQ(at(shot, 50, 10), Black) << "a line's end pixel is not painted";

    // Without a picture the canvas starts as a bitmap of the control's size.
    TImage blank(&host.form);
    blank.SetBounds(0, 0, 20, 10);
    blank.Canvas()->SetPixel(19, 9, clRed);
    EXPECT_EQ(blank.PictureImage().size(), QSize(20, 10));
}

TEST(PanelTest, GlyphsTakeTheirTransparentColourFromTheBottomLeftPixel)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    QImage two(8, 4, QImage::Format_RGB32);
    two.fill(qRgb(255, 0, 255));
    two.setPixel(1, 1, qRgb(0, 128, 0));
    two.setPixel(5, 1, qRgb(0, 0, 200));
    two.setPixel(0, 0, qRgb(10, 20, 30));
    ASSERT_TRUE(two.save(dir.filePath("glyph.png")));
    const QString path = dir.filePath("glyph.png");

    const QImage glyph = LoadGlyph(path);
    ASSERT_EQ(glyph.size(), QSize(8, 4));
    EXPECT_EQ(qAlpha(glyph.pixel(0, 3)), 0);
    EXPECT_EQ(qAlpha(glyph.pixel(7, 0)), 0);
    EXPECT_EQ(glyph.pixel(1, 1), qRgb(0, 128, 0));
    EXPECT_EQ(glyph.pixel(0, 0), qRgb(10, 20, 30));
    const QImage first = LoadGlyph(path, 2);
    EXPECT_EQ(first.size(), QSize(4, 4));
    EXPECT_TRUE(LoadGlyph(dir.filePath("missing.xpm")).isNull());

    TSpeedButton button;
    button.setGlyph(path);
    button.setCursorType(crHandPoint);
    EXPECT_FALSE(button.icon().isNull());
    EXPECT_EQ(button.iconSize(), QSize(8, 4));
    EXPECT_EQ(button.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(button.focusPolicy(), Qt::NoFocus);
    button.setGlyph("missing.xpm");
    EXPECT_TRUE(button.icon().isNull());
    EXPECT_TRUE(button.GlyphImage().isNull());

    // The stored glyphs load through the resource folder.
    TBitBtn bit;
    bit.setGlyph("glyph_hand.xpm");
    EXPECT_EQ(bit.GlyphImage().size(), QSize(16, 16));
    EXPECT_EQ(qAlpha(bit.GlyphImage().pixel(0, 15)), 0);
}

// On a screen with a whole-number pixel ratio the glyph of either button kind, and a form's
// icon, is the glyph enlarged pixel by pixel, never smoothed.
TEST(Glyphs, StayPixelArtAtWholeNumberRatios)
{
    TSpeedButton speed;
    speed.setGlyph("glyph_lightning.xpm");
    TBitBtn bit;
    bit.setGlyph("glyph_hand.xpm");
    TForm form;
    form.setIcon("speaker.xpm");
    const struct
    {
        const char *what;
        QIcon icon;
        QImage glyph;
    } cases[] = {
        {"speed button", speed.icon(), speed.GlyphImage()},
        {"bit button", bit.icon(), bit.GlyphImage()},
        {"form icon", form.windowIcon(), LoadPicture("speaker.xpm")},
    };
    for (const auto &c : cases) {
        ASSERT_FALSE(c.glyph.isNull()) << c.what;
        for (int ratio : {1, 2, 3}) {
            const QImage shown =
                c.icon.pixmap(c.glyph.size(), qreal(ratio)).toImage().convertToFormat(QImage::Format_ARGB32);
            ASSERT_EQ(shown.size(), c.glyph.size() * ratio) << c.what << " at " << ratio;
            int differing = 0;
            for (int y = 0; y < shown.height(); ++y)
                for (int x = 0; x < shown.width(); ++x)
                    differing += shown.pixel(x, y) != c.glyph.pixel(x / ratio, y / ratio);
            EXPECT_EQ(differing, 0) << c.what << " at " << ratio;
        }
    }
}

namespace {

// A control made under a parent, shown or not, gets no event before its own constructor has run:
// its members would still be unbuilt.
int g_eventsWhileBuilding = 0;
bool g_building = false;

class ProbePanel : public TPanel
{
public:
    explicit ProbePanel(QWidget *parent) : TPanel(parent) { g_building = false; }

protected:
    bool event(QEvent *e) override
    {
        if (g_building)
            ++g_eventsWhileBuilding;
        return TPanel::event(e);
    }
};

TEST(PanelTest, NoEventReachesAControlWhileItIsBuilt)
{
    for (const bool shown : {false, true}) {
        Host host;
        if (shown) {
            host.form.show();
            ASSERT_TRUE(QTest::qWaitForWindowExposed(&host.form));
        }
        g_eventsWhileBuilding = 0;
        g_building = true;
        auto *panel = new ProbePanel(&host.form);
        EXPECT_EQ(g_eventsWhileBuilding, 0) << (shown ? "shown parent" : "hidden parent");
        EXPECT_FALSE(panel->isHidden());
        EXPECT_EQ(panel->isVisible(), shown);
    }
}

} // namespace
