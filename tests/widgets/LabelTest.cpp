// The framed label: defaults, auto-size, repaint requests, text placement, shadow,
// accelerator and frames, checked on its painted pixels and with simulated keys.

#include "canvas/Canvas.h"
#include "layout/LayoutReader.h"
#include "layout/LayoutWriter.h"
#include "widgets/WidgetClasses.h"
#include "widgets/iLabel.h"
#include "widgets/iPropertyFile.h"

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <memory>

namespace {

using canvas::TColor;
using widgets::TiLabel;

constexpr TColor kText = canvas::clRed;
constexpr TColor kShadow = canvas::clLime;

QRgb Rgb(TColor c)
{
    return canvas::ToQRgb(c);
}

// Bounding box of the pixels of one colour; empty when there are none.
QRect BoxOf(const QImage &image, TColor color)
{
    QRect box;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == Rgb(color))
                box |= QRect(x, y, 1, 1);
    return box;
}

QSize TextSize(const canvas::TFont &font, const QString &text)
{
    canvas::Canvas canvas;
    canvas.Font.Assign(font);
    return QSize(canvas.TextWidth(text), canvas.TextHeight(text));
}

// A fixed-size label in plain colours, so text pixels can be told apart.
std::unique_ptr<TiLabel> PlainLabel(const QString &caption, int w = 120, int h = 40)
{
    auto label = std::make_unique<TiLabel>();
    label->SetAutoSize(false);
    label->SetBounds(0, 0, w, h);
    label->SetBackGroundColor(canvas::clWhite);
    label->GetFont()->setColor(kText);
    label->GetFont()->setHeight(16);
    label->GetFont()->setStyle(canvas::TFont::fsBold);
    label->SetCaption(caption);
    return label;
}

TEST(LabelTest, ConstructorDefaults)
{
    TiLabel label;
    EXPECT_EQ(label.width(), 28);
    EXPECT_EQ(label.height(), 13);
    EXPECT_EQ(label.GetCaption(), QStringLiteral("iLabel"));
    EXPECT_TRUE(label.GetAutoSize());
    EXPECT_EQ(label.GetAlignment(), widgets::TiLabel::iahLeft);
    EXPECT_EQ(int(widgets::TiLabel::iahLeft), 1);
    EXPECT_EQ(int(widgets::TiLabel::iahCenter), 0);
    EXPECT_EQ(label.GetBorderStyle(), widgets::TiLabel::ilbsNone);
    EXPECT_EQ(label.TiVCLComponent::GetBorderStyle(), widgets::ibsNone);
    EXPECT_EQ(label.GetShadowXOffset(), 1);
    EXPECT_EQ(label.GetShadowYOffset(), 1);
    EXPECT_EQ(label.GetShadowColor(), 8421504u);
    EXPECT_FALSE(label.GetShadowShow());
    EXPECT_EQ(label.GetBackGroundColor(), canvas::clBtnFace);
    EXPECT_FALSE(label.GetTransparent());
    EXPECT_EQ(label.GetFocusControl(), nullptr);
}

// A run-time label keeps 28 x 13 until something that sizes it changes.
TEST(LabelTest, RunTimeLabelKeepsItsSizeUntilASizingChange)
{
    TiLabel label;
    label.SetCaption(QStringLiteral("iLabel")); // unchanged
    label.SetAlignment(widgets::TiLabel::iahRight);
    label.SetShadowColor(canvas::clRed);
    EXPECT_EQ(label.size(), QSize(28, 13));

    label.SetOuterMarginLeft(0); // unchanged
    EXPECT_EQ(label.size(), QSize(28, 13));
    label.SetShadowXOffset(4); // a sizing property, though without a shadow it adds nothing
    const QSize text = TextSize(*label.GetFont(), QStringLiteral("iLabel"));
    EXPECT_EQ(label.size(), text);
}

TEST(LabelTest, AutoSizeAddsBorderMarginsAndShadow)
{
    struct Case
    {
        const char *name;
        TiLabel::TiLabelBorderStyle border;
        int left, top, right, bottom;
        bool shadow;
        int sx, sy;
        int extraW, extraH;
    };
    const Case cases[] = {
        {"none", TiLabel::ilbsNone, 0, 0, 0, 0, false, 1, 1, 0, 0},
        {"single", TiLabel::ilbsSingle, 0, 0, 0, 0, false, 1, 1, 2, 2},
        {"lowered", TiLabel::ilbsLowered, 0, 0, 0, 0, false, 1, 1, 4, 4},
        {"raised with margins", TiLabel::ilbsRaised, 1, 2, 3, 4, false, 1, 1, 4 + 4, 4 + 6},
        {"shadow -2,3", TiLabel::ilbsNone, 0, 0, 0, 0, true, -2, 3, 2, 3},
        {"single with shadow 5,-1", TiLabel::ilbsSingle, 0, 0, 0, 0, true, 5, -1, 2 + 5, 2 + 1},
        {"offsets without shadow", TiLabel::ilbsNone, 0, 0, 0, 0, false, 7, 9, 0, 0},
    };
    const QString caption = QStringLiteral("A&B wide");
    for (const Case &c : cases) {
        TiLabel label;
        label.SetCaption(caption);
        label.SetBorderStyle(c.border);
        label.SetOuterMarginLeft(c.left);
        label.SetOuterMarginTop(c.top);
        label.SetOuterMarginRight(c.right);
        label.SetOuterMarginBottom(c.bottom);
        label.SetShadowXOffset(c.sx);
        label.SetShadowYOffset(c.sy);
        label.SetShadowShow(c.shadow);
        // The ampersand is measured as a character.
        const QSize text = TextSize(*label.GetFont(), caption);
        EXPECT_EQ(label.size(), text + QSize(c.extraW, c.extraH)) << c.name;
    }
}

TEST(LabelTest, AutoSizeOffKeepsTheSize)
{
    TiLabel label;
    label.SetAutoSize(false);
    label.SetBounds(3, 4, 50, 20);
    label.SetCaption(QStringLiteral("a much longer caption than fits"));
    label.SetBorderStyle(TiLabel::ilbsRaised);
    label.GetFont()->setHeight(30);
    EXPECT_EQ(label.geometry(), QRect(3, 4, 50, 20));
    // Switching it on sizes at once, keeping the position.
    label.SetAutoSize(true);
    EXPECT_EQ(label.pos(), QPoint(3, 4));
    EXPECT_EQ(label.size(), TextSize(*label.GetFont(), label.GetCaption()) + QSize(4, 4));
}

TEST(LabelTest, FontChangeReSizesAndLoadingKeepsTheStoredSize)
{
    TiLabel label;
    label.SetCaption(QStringLiteral("Text"));
    const QSize small = label.size();
    label.GetFont()->setHeight(30);
    EXPECT_GT(label.height(), small.height());
    EXPECT_EQ(label.size(), TextSize(*label.GetFont(), QStringLiteral("Text")));

    canvas::TFont other;
    other.setHeight(8);
    label.SetFont(&other);
    EXPECT_EQ(label.GetFont()->height(), 8);
    EXPECT_EQ(label.size(), TextSize(other, QStringLiteral("Text")));

    // Read from a stored form: the stored size stays, also after loading ends.
    TiLabel stored;
    stored.setLoading(true);
    stored.SetBounds(0, 0, 125, 15);
    stored.SetCaption(QStringLiteral("Частота сигнала Гц "));
    stored.SetBorderStyle(TiLabel::ilbsSingle);
    stored.GetFont()->setHeight(11);
    stored.GetFont()->setStyle(canvas::TFont::fsBold);
    stored.Loaded();
    EXPECT_EQ(stored.size(), QSize(125, 15));
    stored.SetOuterMarginLeft(1);
    EXPECT_EQ(stored.size(), TextSize(*stored.GetFont(), stored.GetCaption()) + QSize(3, 2));
}

TEST(LabelTest, CaptionVetoKeepsTheOldCaption)
{
    TiLabel label;
    QStringList asked;
    bool allow = false;
    QObject::connect(&label, &TiLabel::OnPropertyChangeRequest,
                     [&](QObject *, const QString &name, bool &ok) {
                         asked << name;
                         ok = allow;
                     });
    label.ResetCounters();
    label.SetCaption(QStringLiteral("vetoed"));
    EXPECT_EQ(label.GetCaption(), QStringLiteral("iLabel"));
    EXPECT_EQ(label.size(), QSize(28, 13));
    EXPECT_EQ(label.Counters().InvalidateForeGround, 0);
    allow = true;
    label.SetCaption(QStringLiteral("allowed"));
    EXPECT_EQ(label.GetCaption(), QStringLiteral("allowed"));
    EXPECT_EQ(asked, QStringList({QStringLiteral("Caption"), QStringLiteral("Caption")}));
    label.SetCaption(QStringLiteral("allowed"));
    EXPECT_EQ(asked.size(), 2) << "an unchanged caption asks nobody";
}

// Each setter requests one foreground repaint when the value changes, none otherwise.
TEST(LabelTest, SettersRequestOneForegroundRepaint)
{
    struct Case
    {
        const char *name;
        std::function<void(TiLabel &)> set;
    };
    const Case cases[] = {
        {"Caption", [](TiLabel &l) { l.SetCaption(QStringLiteral("x")); }},
        {"Alignment", [](TiLabel &l) { l.SetAlignment(TiLabel::iahRight); }},
        {"AutoSize", [](TiLabel &l) { l.SetAutoSize(false); }},
        {"BorderStyle", [](TiLabel &l) { l.SetBorderStyle(TiLabel::ilbsLowered); }},
        {"OuterMarginLeft", [](TiLabel &l) { l.SetOuterMarginLeft(2); }},
        {"OuterMarginTop", [](TiLabel &l) { l.SetOuterMarginTop(2); }},
        {"OuterMarginRight", [](TiLabel &l) { l.SetOuterMarginRight(2); }},
        {"OuterMarginBottom", [](TiLabel &l) { l.SetOuterMarginBottom(2); }},
        {"ShadowShow", [](TiLabel &l) { l.SetShadowShow(true); }},
        {"ShadowXOffset", [](TiLabel &l) { l.SetShadowXOffset(3); }},
        {"ShadowYOffset", [](TiLabel &l) { l.SetShadowYOffset(3); }},
        {"ShadowColor", [](TiLabel &l) { l.SetShadowColor(canvas::clRed); }},
        {"Font", [](TiLabel &l) { l.GetFont()->setColor(canvas::clRed); }},
    };
    for (const Case &c : cases) {
        TiLabel label;
        label.SetAutoSize(false); // a resize would add its own background request
        label.ResetCounters();
        c.set(label);
        const int foreground = label.Counters().InvalidateForeGround;
        if (std::string(c.name) == "AutoSize")
            EXPECT_EQ(foreground, 0) << "already switched off above";
        else
            EXPECT_EQ(foreground, 1) << c.name;
        EXPECT_EQ(label.Counters().InvalidateBackGround, 0) << c.name;
        label.ResetCounters();
        c.set(label);
        EXPECT_EQ(label.Counters().InvalidateForeGround, 0) << c.name << " unchanged";
    }
}

TEST(LabelTest, TextRectangleIsInsetByBorderAndMargins)
{
    auto label = PlainLabel(QStringLiteral("x"), 100, 30);
    EXPECT_EQ(label->TextRect(), canvas::TRect(0, 0, 100, 30));
    label->SetBorderStyle(TiLabel::ilbsSingle);
    EXPECT_EQ(label->TextRect(), canvas::TRect(1, 1, 99, 29));
    label->SetBorderStyle(TiLabel::ilbsRaised);
    label->SetOuterMarginLeft(3);
    label->SetOuterMarginTop(4);
    label->SetOuterMarginRight(5);
    label->SetOuterMarginBottom(6);
    EXPECT_EQ(label->TextRect(), canvas::TRect(5, 6, 93, 22));
}

// Left, centre (value 0) and right within the text rectangle, vertically centred.
TEST(LabelTest, AlignmentPlacesTheTextInTheTextRectangle)
{
    struct Case
    {
        TiLabel::TiAlignmentHorizontal alignment;
        int marginLeft, marginRight;
    };
    const Case cases[] = {{TiLabel::iahLeft, 0, 0},  {TiLabel::iahCenter, 0, 0},  {TiLabel::iahRight, 0, 0},
                          {TiLabel::iahLeft, 20, 0}, {TiLabel::iahCenter, 20, 6}, {TiLabel::iahRight, 0, 15}};
    for (const Case &c : cases) {
        auto label = PlainLabel(QStringLiteral("HHH"), 140, 40);
        label->SetBorderStyle(TiLabel::ilbsSingle);
        label->SetOuterMarginLeft(c.marginLeft);
        label->SetOuterMarginRight(c.marginRight);
        label->SetAlignment(c.alignment);
        const QRect box = BoxOf(label->PaintToImage(), kText);
        ASSERT_FALSE(box.isEmpty());
        const canvas::TRect r = label->TextRect();
        const int slack = 3; // side bearings of the glyphs
        switch (c.alignment) {
        case TiLabel::iahLeft:
            EXPECT_NEAR(box.left(), r.Left, slack) << c.marginLeft;
            break;
        case TiLabel::iahRight:
            EXPECT_NEAR(box.right(), r.Right - 1, slack) << c.marginRight;
            break;
        case TiLabel::iahCenter:
            EXPECT_NEAR(box.center().x(), (r.Left + r.Right) / 2, slack);
            break;
        }
        EXPECT_NEAR(box.center().y(), 20, 3) << "vertically centred";
    }
}

// The shadow lies at (ShadowXOffset, ShadowYOffset) from the caption, whatever the sign.
TEST(LabelTest, ShadowLiesAtItsOffsetFromTheCaption)
{
    const QString caption = QStringLiteral("HI");
    auto plain = PlainLabel(caption);
    const QRect unmoved = BoxOf(plain->PaintToImage(), kText);
    ASSERT_FALSE(unmoved.isEmpty());

    struct Case
    {
        int sx, sy;
        QPoint captionShift;
    };
    // A negative X offset draws the shadow in the unmoved rectangle and moves the caption.
    const Case cases[] = {{1, 1, {0, 0}}, {3, 2, {0, 0}}, {-2, 3, {2, -3}}, {-1, -1, {1, 1}}};
    for (const Case &c : cases) {
        auto label = PlainLabel(caption);
        label->SetShadowColor(kShadow);
        label->SetShadowXOffset(c.sx);
        label->SetShadowYOffset(c.sy);
        label->SetShadowShow(true);
        const QImage image = label->PaintToImage();
        const QRect text = BoxOf(image, kText);
        EXPECT_EQ(text, unmoved.translated(c.captionShift)) << c.sx << "," << c.sy;
        // Every shadow pixel is a caption pixel moved by the offset.
        const QRect shadow = BoxOf(image, kShadow);
        ASSERT_FALSE(shadow.isEmpty());
        EXPECT_TRUE(text.translated(c.sx, c.sy).contains(shadow)) << c.sx << "," << c.sy;
        EXPECT_EQ(shadow.bottomRight(), text.translated(c.sx, c.sy).bottomRight()) << c.sx << "," << c.sy;
    }
}

// "A&B": B underlined without a focus control; all three characters with one.
TEST(LabelTest, AcceleratorIsUnderlinedUnlessAFocusControlIsSet)
{
    const QImage ab = PlainLabel(QStringLiteral("AB"))->PaintToImage();
    auto accel = PlainLabel(QStringLiteral("A&B"));
    const QImage underlined = accel->PaintToImage();
    EXPECT_EQ(TiLabel::AcceleratorOf(QStringLiteral("A&B")), QChar(u'B'));
    EXPECT_EQ(TiLabel::AcceleratorOf(QStringLiteral("A&&B")), QChar());

    // The only difference to "AB" is the underline below B.
    const QRect boxAB = BoxOf(ab, kText);
    QRect changed;
    for (int y = 0; y < ab.height(); ++y)
        for (int x = 0; x < ab.width(); ++x)
            if (ab.pixel(x, y) != underlined.pixel(x, y))
                changed |= QRect(x, y, 1, 1);
    ASSERT_FALSE(changed.isEmpty());
    EXPECT_GT(changed.top(), boxAB.bottom() - 3);
    EXPECT_LE(changed.height(), 2);
    const int widthA = TextSize(*accel->GetFont(), QStringLiteral("A")).width();
    EXPECT_GE(changed.left(), widthA - 1) << "under B, not A";

    QLineEdit target;
    accel->SetFocusControl(&target);
    const QRect literal = BoxOf(accel->PaintToImage(), kText);
    const int widthAmp = TextSize(*accel->GetFont(), QStringLiteral("&")).width();
    EXPECT_GE(literal.width(), boxAB.width() + widthAmp - 2) << "the ampersand is drawn";
    EXPECT_LT(literal.bottom(), changed.top()) << "and nothing is underlined";
}

TEST(LabelTest, FocusControlIsDroppedWhenDestroyed)
{
    auto label = PlainLabel(QStringLiteral("A&B"));
    const QImage underlined = label->PaintToImage();
    auto target = std::make_unique<QLineEdit>();
    label->SetFocusControl(target.get());
    EXPECT_NE(label->PaintToImage(), underlined);
    label->ResetCounters();
    target.reset();
    EXPECT_EQ(label->GetFocusControl(), nullptr);
    EXPECT_EQ(label->Counters().InvalidateForeGround, 1);
    EXPECT_EQ(label->PaintToImage(), underlined);
}

// FocusControl is stored by the control's name, which may be declared after the label.
TEST(LabelTest, FocusControlIsStoredByName)
{
    widgets::RegisterWidgetClasses();
    const QString text = QStringLiteral("QWidget Root {\n    TiLabel L {\n        FocusControl = G\n    }\n"
                                        "    TiGradient G {\n    }\n}\n");
    QWidget root;
    const layout::LayoutResult loaded = layout::LoadLayoutText(&root, text, QStringLiteral("t.layout"));
    ASSERT_TRUE(loaded.ok) << loaded.error.toStdString();
    auto *label = root.findChild<TiLabel *>(QStringLiteral("L"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetFocusControl(), root.findChild<QWidget *>(QStringLiteral("G")));
    const QString saved = layout::SaveLayout(&root);
    EXPECT_TRUE(saved.contains(QStringLiteral("FocusControl = G\n"))) << saved.toStdString();

    QWidget other;
    const layout::LayoutResult unknown =
        layout::LoadLayoutText(&other, QString(text).replace(QStringLiteral("= G"), QStringLiteral("= H")),
                               QStringLiteral("t.layout"));
    EXPECT_EQ(unknown.error, QStringLiteral("t.layout:3: no control named H for FocusControl"));
    EXPECT_TRUE(other.children().isEmpty());

    // A property file names it the same way, within the label's window.
    const QStringList lines = widgets::PropertyFileLines(label, false);
    EXPECT_TRUE(lines.contains(QStringLiteral("FocusControl = G"))) << lines.join(u'|').toStdString();
    label->SetFocusControl(nullptr);
    widgets::ApplyPropertyLines(label, lines);
    EXPECT_EQ(label->GetFocusControl(), root.findChild<QWidget *>(QStringLiteral("G")));
    widgets::ApplyPropertyLines(label, {QStringLiteral("FocusControl = ")});
    EXPECT_EQ(label->GetFocusControl(), nullptr);
}

// The accelerator moves the focus to the focus control when it can take it: with Alt from any
// control, alone from one that leaves characters alone; a hidden label's does nothing.
TEST(LabelTest, AcceleratorMovesTheFocus)
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *edit = new QLineEdit(&window);
    auto *button = new QPushButton(QStringLiteral("x"), &window);
    auto *target = new QLineEdit(&window);
    auto *label = new TiLabel(&window);
    layout->addWidget(edit);
    layout->addWidget(button);
    layout->addWidget(target);
    layout->addWidget(label);
    label->SetCaption(QStringLiteral("A&B"));
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));

    struct Case
    {
        const char *name;
        bool assign, labelEnabled, labelShown, targetEnabled;
        QWidget *start;
        Qt::KeyboardModifiers modifiers;
        bool moves;
    };
    const Case cases[] = {
        {"no focus control", false, true, true, true, edit, Qt::AltModifier, false},
        {"focus control", true, true, true, true, edit, Qt::AltModifier, true},
        {"label disabled", true, false, true, true, edit, Qt::AltModifier, false},
        {"target disabled", true, true, true, false, edit, Qt::AltModifier, false},
        {"plain character from a button", true, true, true, true, button, Qt::NoModifier, true},
        {"plain character typed into an edit", true, true, true, true, edit, Qt::NoModifier, false},
        {"hidden label, Alt", true, true, false, true, edit, Qt::AltModifier, false},
        {"hidden label, plain", true, true, false, true, button, Qt::NoModifier, false},
    };
    for (const Case &c : cases) {
        label->SetFocusControl(c.assign ? target : nullptr);
        label->setEnabled(c.labelEnabled);
        label->setVisible(c.labelShown);
        target->setEnabled(c.targetEnabled);
        c.start->setFocus();
        QApplication::processEvents();
        ASSERT_TRUE(c.start->hasFocus()) << c.name;
        QTest::keyClick(c.start, Qt::Key_B, c.modifiers);
        EXPECT_EQ(target->hasFocus(), c.moves) << c.name;
        EXPECT_EQ(c.start->hasFocus(), !c.moves) << c.name;
    }
    // Another letter does nothing.
    label->setEnabled(true);
    label->setVisible(true);
    target->setEnabled(true);
    button->setFocus();
    QTest::keyClick(button, Qt::Key_A, Qt::AltModifier);
    QTest::keyClick(button, Qt::Key_A);
    EXPECT_TRUE(button->hasFocus());
}

// The frame is drawn last over the whole client area.
TEST(LabelTest, FramePixels)
{
    const QRgb silver = Rgb(canvas::clSilver);
    const QRgb frame = Rgb(canvas::clWindowFrame);
    const QRgb shadow = Rgb(canvas::clBtnShadow);
    const QRgb highlight = Rgb(canvas::clBtnHighlight);
    const QRgb dark = Rgb(canvas::cl3DDkShadow);
    const QRgb light = Rgb(canvas::cl3DLight);
    struct Case
    {
        TiLabel::TiLabelBorderStyle style;
        // left column x = 0, 1; right column x = W-1, W-2 (all at mid-height)
        QRgb outerLeft, innerLeft, outerRight, innerRight;
    };
    const Case cases[] = {
        {TiLabel::ilbsNone, silver, silver, silver, silver},
        {TiLabel::ilbsSingle, frame, silver, frame, silver},
        {TiLabel::ilbsLowered, shadow, dark, highlight, light},
        {TiLabel::ilbsRaised, light, highlight, dark, shadow},
    };
    for (const Case &c : cases) {
        TiLabel label;
        label.SetAutoSize(false);
        label.SetBounds(0, 0, 60, 20);
        label.SetCaption(QString());
        label.SetBackGroundColor(canvas::clSilver);
        label.SetBorderStyle(c.style);
        const QImage image = label.PaintToImage();
        const int w = image.width();
        const int h = image.height();
        EXPECT_EQ(image.pixel(0, h / 2), c.outerLeft) << int(c.style);
        EXPECT_EQ(image.pixel(1, h / 2), c.innerLeft) << int(c.style);
        EXPECT_EQ(image.pixel(w - 1, h / 2), c.outerRight) << int(c.style);
        EXPECT_EQ(image.pixel(w - 2, h / 2), c.innerRight) << int(c.style);
        // Top row mirrors the left column, bottom row the right one.
        EXPECT_EQ(image.pixel(w / 2, 0), c.outerLeft) << int(c.style);
        EXPECT_EQ(image.pixel(w / 2, h - 1), c.outerRight) << int(c.style);
        EXPECT_EQ(image.pixel(w / 2, h / 2), silver) << int(c.style);
    }
}

// The single frame is not hidden by text running under it.
TEST(LabelTest, FrameIsDrawnOverTheText)
{
    auto label = PlainLabel(QStringLiteral("WWWWWWWWWWWW"), 40, 14);
    label->SetBorderStyle(TiLabel::ilbsSingle);
    label->SetOuterMarginTop(-10);
    label->SetOuterMarginBottom(-10);
    label->SetOuterMarginLeft(-10);
    const QImage image = label->PaintToImage();
    const QRgb frame = Rgb(canvas::clWindowFrame);
    for (int x = 0; x < image.width(); ++x) {
        EXPECT_EQ(image.pixel(x, 0), frame) << x;
        EXPECT_EQ(image.pixel(x, image.height() - 1), frame) << x;
    }
    for (int y = 0; y < image.height(); ++y)
        EXPECT_EQ(image.pixel(0, y), frame) << y;
    EXPECT_FALSE(BoxOf(image, kText).isEmpty());
}

} // namespace
