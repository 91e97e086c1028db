// The waveform preview: the pixels of each sketch, the noise picture, hover against the
// checked waveform, and the redraws by start and fold-out. Screenshots of the window's sizes are
// taken by the end-to-end run.

#include "tests/app/AppFixture.h"

namespace {

using namespace apptest;

class PreviewTest : public Form1Test
{
protected:
    const QImage &Picture() const { return form->Image2->PictureImage(); }

    // Pixels of `colour`, all others must be black.
    int Count(QRgb colour) const
    {
        int count = 0;
        for (int y = 0; y < Picture().height(); ++y)
            for (int x = 0; x < Picture().width(); ++x) {
                const QRgb pixel = Picture().pixel(x, y) | 0xFF000000;
                if (pixel == colour)
                    ++count;
                else
                    EXPECT_EQ(pixel, 0xFF000000u) << "stray pixel at " << x << "," << y;
            }
        return count;
    }

    bool Painted(int x, int y, QRgb colour) const { return (Picture().pixel(x, y) | 0xFF000000) == colour; }

    void Hover(QWidget *radio)
    {
        QTest::mouseMove(radio, radio->rect().center());
        QTest::mouseMove(radio, radio->rect().center() + QPoint(1, 0));
    }

    static constexpr QRgb Lime = 0xFF00FF00;
    static constexpr QRgb Aqua = 0xFF00FFFF;
    static constexpr QRgb Red = 0xFFFF0000;
    static constexpr QRgb Yellow = 0xFFFFFF00;
};

TEST_F(PreviewTest, StartsEmpty)
{
    EXPECT_FALSE(form->Image2->HasPicture());
    EXPECT_TRUE(form->Image3->isHidden());
}

TEST_F(PreviewTest, SineIsOnePeriodOfSinglePixels)
{
    form->RadioButton1Click(nullptr);
    ASSERT_EQ(Picture().size(), QSize(239, 121));
    const std::pair<int, int> reference[] = {{0, 60}, {1, 58}, {60, 0}, {120, 61}, {180, 120}, {238, 62}};
    for (const auto &[x, y] : reference)
        EXPECT_TRUE(Painted(x, y, Lime)) << x << "," << y;
    EXPECT_EQ(Count(Lime), 239) << "one pixel per column, nothing joined";
    EXPECT_FALSE(form->Image2->isHidden());
    EXPECT_TRUE(form->Image3->isHidden());
}

TEST_F(PreviewTest, LinePicturesLeaveEachLastPointUnpainted)
{
    form->RadioButton2Click(nullptr);
    EXPECT_TRUE(Painted(0, 90, Aqua));
    EXPECT_TRUE(Painted(50, 10, Aqua));
    EXPECT_TRUE(Painted(50, 89, Aqua));
    EXPECT_TRUE(Painted(150, 90, Aqua));
    EXPECT_FALSE(Painted(200, 10, Aqua));
    EXPECT_GT(Count(Aqua), 0);

    form->RadioButton3Click(nullptr);
    // Axis-parallel segments of 45, 80, 55, 80, 55, 80 and 45 pixels, each without its end.
    EXPECT_EQ(Count(Red), 440);
    EXPECT_TRUE(Painted(0, 90, Red));
    EXPECT_TRUE(Painted(45, 10, Red));
    EXPECT_TRUE(Painted(199, 10, Red));
    EXPECT_FALSE(Painted(200, 10, Red));

    form->RadioButton4Click(nullptr);
    for (const auto &[x, y] : {std::pair{0, 90}, {45, 10}, {90, 90}, {150, 10}})
        EXPECT_TRUE(Painted(x, y, Yellow)) << x << "," << y;
    EXPECT_FALSE(Painted(195, 90, Yellow));
    for (int y = 0; y < 121; ++y)
        for (int x = 195; x < 239; ++x)
            ASSERT_FALSE(Painted(x, y, Yellow)) << x << "," << y;
}

TEST_F(PreviewTest, NoiseShowsTheStoredPicture)
{
    form->RadioButton5Click(nullptr);
    EXPECT_TRUE(form->Image2->isHidden());
    EXPECT_FALSE(form->Image3->isHidden());
    EXPECT_EQ(form->Image3->PictureWidth(), 204);
    EXPECT_EQ(form->Image3->PictureHeight(), 133);
    form->RadioButton4Click(nullptr);
    EXPECT_FALSE(form->Image2->isHidden());
    EXPECT_TRUE(form->Image3->isHidden());
}

// The noise picture is taller than the box; what lies below the box is cut off, so the box's
// lower frame lines look the same as with a drawn waveform.
TEST_F(PreviewTest, NoisePictureLeavesTheFrameWhole)
{
    QWidget *panel = form->findChild<QWidget *>(QStringLiteral("Panel7"));
    ASSERT_NE(panel, nullptr);
    Click(form->findChild<QWidget *>(QStringLiteral("SpeedButton5"))); // open the fold-out panel
    const QImage withSine = panel->grab().toImage();
    form->RadioButton5Click(nullptr);
    const QImage withNoise = panel->grab().toImage();
    ASSERT_EQ(withSine.size(), withNoise.size());
    const int frameTop = 2 + 121; // the box's top-left sits 2 pixels in; the box is 121 high
    for (int y = frameTop; y < withSine.height(); ++y)
        for (int x = 0; x < withSine.width(); ++x)
            ASSERT_EQ(withNoise.pixel(x, y), withSine.pixel(x, y)) << x << "," << y;
    int differing = 0;
    for (int y = 2; y < frameTop; ++y)
        for (int x = 2; x < 2 + 239; ++x)
            differing += withNoise.pixel(x, y) != withSine.pixel(x, y);
    EXPECT_GT(differing, 1000) << "the noise picture shows inside the box";
}

TEST_F(PreviewTest, HoverShowsTheHoveredWaveformStartShowsTheChecked)
{
    Click(form->findChild<QWidget *>(QStringLiteral("SpeedButton5"))); // open the fold-out panel
    ASSERT_EQ(form->width(), 580);
    EXPECT_TRUE(Painted(60, 0, Lime)) << "the fold-out redraws the checked sine";

    Hover(form->RadioButton3);
    EXPECT_TRUE(Painted(199, 10, Red));
    EXPECT_TRUE(form->RadioButton1->isChecked());
    Hover(form->RadioButton5);
    EXPECT_FALSE(form->Image3->isHidden());
    EXPECT_TRUE(form->Image2->isHidden());
    Hover(form->RadioButton2);
    EXPECT_TRUE(form->Image3->isHidden());
    EXPECT_TRUE(Painted(0, 90, Aqua));

    Click(form->LbButton1);
    EXPECT_TRUE(Painted(60, 0, Lime));
    EXPECT_EQ(form->ToneGen1->Waveform(), TToneGen::tgSine) << "hovering never changes the generator";

    // A click on a waveform draws it.
    Click(form->LbButton2);
    Click(form->RadioButton4);
    EXPECT_TRUE(form->RadioButton4->isChecked());
    EXPECT_TRUE(Painted(45, 10, Yellow));
}

} // namespace
