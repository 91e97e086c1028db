// The main window's three framed captions and the About box's gradient backdrop, as stored and
// as painted on the shown windows.

#include "app/Unit2.h"
#include "tests/app/AppFixture.h"
#include "widgets/iGradient.h"
#include "widgets/iLabel.h"

namespace {

using namespace apptest;
using widgets::TiLabel;

QRect Box(const QImage &image, QRect area, QRgb rgb)
{
    QRect box;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) == rgb)
                box |= QRect(x, y, 1, 1);
    return box;
}

TEST_F(Form1Test, CaptionsAreFramedLabelsWithTheirStoredSettings)
{
    struct Caption
    {
        const char *name;
        const char *parent;
        QRect geometry;
        QString text;
        int fontHeight;
        canvas::TColor fontColor;
        canvas::TColor shadowColor;
    };
    const Caption captions[] = {
        {"iLabel1",
         "Panel2",
         {53, 494, 124, 15},
         QStringLiteral("Уровень громкости "),
         11,
         canvas::clNavy,
         canvas::clGray},
        {"iLabel2",
         "Panel2",
         {53, 10, 125, 15},
         QStringLiteral("Частота сигнала Гц "),
         11,
         canvas::clNavy,
         canvas::clSilver},
        {"iLabel3",
         "Panel1",
         {340, 23, 174, 22},
         QStringLiteral(" ДОПОЛНИТЕЛЬНО "),
         16,
         canvas::clMaroon,
         canvas::clGray},
    };
    // Wide enough to show the fold-out panel's caption too.
    form->resize(580, 650);
    const QImage window = form->grab().toImage();
    for (const Caption &c : captions) {
        auto *label = form->findChild<TiLabel *>(QLatin1String(c.name));
        ASSERT_NE(label, nullptr) << c.name;
        EXPECT_EQ(label->parentWidget()->objectName(), QLatin1String(c.parent));
        EXPECT_EQ(label->geometry(), c.geometry) << c.name << ": the stored size stays";
        EXPECT_EQ(label->GetCaption(), c.text);
        EXPECT_EQ(label->GetBorderStyle(), TiLabel::ilbsSingle);
        EXPECT_EQ(label->GetBackGroundColor(), canvas::clSilver);
        EXPECT_EQ(label->GetShadowColor(), c.shadowColor) << c.name;
        EXPECT_FALSE(label->GetShadowShow());
        EXPECT_EQ(label->GetFont()->height(), c.fontHeight) << c.name;
        EXPECT_EQ(label->GetFont()->color(), c.fontColor) << c.name;
        EXPECT_TRUE(label->GetFont()->style().testFlag(canvas::TFont::fsBold)) << c.name;

        // On the window: a black frame, silver inside, the caption in its colour within the frame.
        const QRect r(label->mapTo(form.get(), QPoint(0, 0)), label->size());
        const QRgb black = qRgb(0, 0, 0);
        EXPECT_EQ(window.pixel(r.left(), r.center().y()), black) << c.name;
        EXPECT_EQ(window.pixel(r.right(), r.center().y()), black) << c.name;
        EXPECT_EQ(window.pixel(r.center().x(), r.top()), black) << c.name;
        EXPECT_EQ(window.pixel(r.center().x(), r.bottom()), black) << c.name;
        EXPECT_EQ(window.pixel(r.left() + 1, r.top() + 1), qRgb(0xC0, 0xC0, 0xC0)) << c.name;
        const QRect text = Box(window, r, canvas::ToQRgb(c.fontColor));
        EXPECT_TRUE(r.adjusted(1, 1, -1, -1).contains(text)) << c.name;
        EXPECT_GT(text.width(), r.width() / 2) << c.name;
    }
    // The fold-out caption lies above the fold-out panel.
    auto *panel1 = form->findChild<QWidget *>(QStringLiteral("Panel1"));
    auto *label3 = form->findChild<TiLabel *>(QStringLiteral("iLabel3"));
    EXPECT_EQ(panel1->childAt(label3->geometry().center()), label3);
}

TEST(AboutBoxTest, BackdropIsTheStoredGradient)
{
    apptest::RegisterOnce();
    app::TForm2 box;
    const layout::LayoutResult result =
        layout::LoadLayout(&box, controls::ResourcePath(QStringLiteral("Form2.layout")));
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    auto *gradient = box.findChild<widgets::TiGradient *>(QStringLiteral("iGradient1"));
    ASSERT_NE(gradient, nullptr);
    EXPECT_EQ(gradient->geometry(), QRect(0, 0, 273, 153));
    EXPECT_EQ(gradient->GetDirection(), widgets::TiGradient::ifdTopBottom);
    EXPECT_EQ(gradient->GetColorStart(), 12615808u);
    EXPECT_EQ(gradient->GetColorStop(), 4194304u);
    EXPECT_EQ(box.findChild<QWidget *>(QStringLiteral("RichEdit1"))->parentWidget(), gradient);
    EXPECT_EQ(box.findChild<QWidget *>(QStringLiteral("SpeedButton1"))->parentWidget(), gradient);

    box.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&box));
    const QImage shown = box.grab().toImage();
    // Rows 0, 1 and 76 where no child covers them; row 152 lies below the 151-pixel client area.
    EXPECT_EQ(shown.pixel(100, 0), qRgb(128, 128, 192));
    EXPECT_EQ(shown.pixel(100, 1), qRgb(127, 127, 191));
    EXPECT_EQ(shown.pixel(3, 76), qRgb(64, 64, 128));
    EXPECT_EQ(gradient->PaintToImage().pixel(100, 152), qRgb(0, 0, 64));
    EXPECT_EQ(gradient->RenderCount(), 1) << "every paint so far came from the cache";
}

} // namespace
