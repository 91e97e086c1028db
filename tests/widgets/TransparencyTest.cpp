#include "tests/widgets/BaseTestWidgets.h"

#include "canvas/Colors.h"

#include <QPainter>
#include <QTest>
#include <gtest/gtest.h>

using namespace widgets;
using basetest::TestWidget;

namespace {

// A parent whose own pixels encode their position: red = x, green = y.
class PatternParent : public QWidget
{
public:
    PatternParent() { resize(200, 150); }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QImage image(size(), QImage::Format_RGB32);
        for (int y = 0; y < height(); ++y)
            for (int x = 0; x < width(); ++x)
                image.setPixel(x, y, qRgb(x, y, 77));
        QPainter(this).drawImage(0, 0, image);
    }
};

canvas::TColor PixelOf(const QImage &image, int x, int y)
{
    return canvas::FromQRgb(image.pixel(x, y));
}

canvas::TColor Pattern(int x, int y)
{
    return canvas::RGB(x, y, 77);
}

} // namespace

TEST(Transparency, SnapshotHoldsTheParentsOwnPixelsWithoutChildrenOrBevel)
{
    PatternParent parent;
    TestWidget w(&parent);
    TestWidget sibling(&parent);
    sibling.SetBounds(60, 40, 10, 10); // under w, but a child: not part of the parent's pixels
    w.SetBounds(50, 30, 40, 30);
    w.SetBorderStyle(ibsRaised);
    w.SetBackGroundColor(canvas::clYellow);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));

    w.ResetCounters();
    w.SetTransparent(true);
    EXPECT_EQ(w.Counters().InvalidateBackGround, 1) << "one request for the whole switch";
    ASSERT_NE(w.ParentSnapshot(), nullptr);
    EXPECT_EQ(w.ParentSnapshot()->size(), QSize(40, 30));
    EXPECT_TRUE(w.SnapshotPending());

    const QImage image = w.PaintToImage();
    EXPECT_FALSE(w.SnapshotPending());
    EXPECT_EQ(PixelOf(image, 0, 0), Pattern(50, 30)) << "no bevel over the snapshot";
    EXPECT_EQ(PixelOf(image, 15, 12), Pattern(65, 42)) << "the sibling is not in the snapshot";
    EXPECT_EQ(PixelOf(image, 39, 29), Pattern(89, 59));
    EXPECT_EQ(PixelOf(image, 4, 4), canvas::clNavy) << "the widget draws on top";

    // Later paints reuse the snapshot: its pixels are not written again.
    const qint64 captured = w.ParentSnapshot()->cacheKey();
    (void)w.PaintToImage();
    EXPECT_EQ(w.ParentSnapshot()->cacheKey(), captured);

    // Moving requests a new capture at the next paint.
    w.SetBounds(100, 80, 40, 30);
    EXPECT_TRUE(w.SnapshotPending());
    const QImage moved = w.PaintToImage();
    EXPECT_EQ(PixelOf(moved, 0, 0), Pattern(100, 80));

    w.RefreshBackGround();
    EXPECT_TRUE(w.SnapshotPending());

    w.SetTransparent(false);
    EXPECT_EQ(w.ParentSnapshot(), nullptr);
    const QImage opaque = w.PaintToImage();
    EXPECT_EQ(PixelOf(opaque, 0, 0), 0xC0C0C0u) << "bevel back";
    EXPECT_EQ(PixelOf(opaque, 20, 15), canvas::clYellow);
}

TEST(Transparency, CoveredTestPointGivesAColourFillAndARetry)
{
    PatternParent parent;
    TestWidget w(&parent);
    w.SetBounds(20, 20, 60, 40);
    w.SetBackGroundColor(canvas::clFuchsia);
    QWidget cover(&parent); // opaque sibling above w, over the point (w - 9, h - 9)
    cover.setAutoFillBackground(true);
    cover.setGeometry(60, 45, 50, 50);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    w.SetTransparent(true);

    const QImage covered = w.PaintToImage();
    EXPECT_TRUE(w.SnapshotPending());
    EXPECT_EQ(PixelOf(covered, 10, 30), canvas::clFuchsia);

    (void)w.PaintToImage();
    EXPECT_TRUE(w.SnapshotPending()) << "still covered";

    cover.hide();
    const QImage uncovered = w.PaintToImage();
    EXPECT_FALSE(w.SnapshotPending());
    EXPECT_EQ(PixelOf(uncovered, 10, 30), Pattern(30, 50));
}

TEST(Transparency, ResizeResizesTheSnapshotAndCapturesAgain)
{
    PatternParent parent;
    TestWidget w(&parent);
    parent.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&parent));
    w.SetTransparent(true);
    (void)w.PaintToImage();
    ASSERT_FALSE(w.SnapshotPending());
    w.resize(70, 50); // through Qt directly
    EXPECT_TRUE(w.SnapshotPending());
    EXPECT_EQ(w.ParentSnapshot()->size(), QSize(70, 50));
    const QImage image = w.PaintToImage();
    EXPECT_EQ(PixelOf(image, 69, 49), Pattern(69, 49));
}
