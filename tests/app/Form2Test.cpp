// The About box as stored, and both layouts written back.

#include "app/StandIns.h"
#include "app/Unit2.h"
#include "framework/Application.h"
#include "framework/LayoutReader.h"
#include "framework/LayoutWriter.h"
#include "framework/RichEdit.h"
#include "hints/sHintManager.h"
#include "tests/app/AppFixture.h"

#include <QDir>

namespace {

TEST(Form2Test, StoredLayoutTextsAndClose)
{
    apptest::RegisterOnce();
    app::TForm2 form;
    const framework::LayoutResult result =
        framework::LoadLayout(&form, framework::ResourcePath(QStringLiteral("Form2.layout")));
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_TRUE(form.isHidden());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("О программе !"));
    EXPECT_EQ(form.ClientWidth(), 271);
    EXPECT_EQ(form.ClientHeight(), 151);
    EXPECT_FALSE(form.windowFlags() & Qt::FramelessWindowHint);

    auto *text = form.findChild<framework::TRichEdit *>(QStringLiteral("RichEdit1"));
    ASSERT_NE(text, nullptr);
    const QStringList lines = text->Lines();
    ASSERT_GE(lines.size(), 6);
    EXPECT_EQ(lines[0], QString(20, u' '));
    EXPECT_EQ(lines[1], QString(21, u' ') + QStringLiteral("Звуковой генератор."));
    EXPECT_TRUE(lines[2].isEmpty());
    EXPECT_EQ(lines[5], QString(13, u' ') + QStringLiteral("Версия  4.0"));
    EXPECT_TRUE(text->isReadOnly());

    auto *ok = form.findChild<QWidget *>(QStringLiteral("SpeedButton1"));
    ASSERT_NE(ok, nullptr);
    EXPECT_EQ(ok->property("Caption").toString(), QStringLiteral("ОК"));

    form.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&form));
    EXPECT_TRUE(form.grab().toImage().save(QDir(testsupport::artifactDir()).filePath("form2.png")));
    QTest::mouseClick(ok, Qt::LeftButton, {}, ok->rect().center());
    EXPECT_TRUE(form.isHidden());
}

} // namespace

namespace {

// The stored main window survives writing and reading back, the stand-ins' settings too.
TEST(LayoutRoundTrip, MainWindowWritesBackItsSettings)
{
    apptest::RegisterOnce();
    framework::ScopedFakeSoundPlayer fake;
    app::TForm1 first;
    ASSERT_TRUE(framework::LoadLayout(&first, framework::ResourcePath(QStringLiteral("Form1.layout"))).ok);
    QString error;
    const QString written = framework::SaveLayout(&first, &error);
    ASSERT_TRUE(error.isEmpty()) << error.toStdString();
    EXPECT_TRUE(written.contains(QStringLiteral("Style = bsModern")));
    EXPECT_TRUE(written.contains(QStringLiteral("BorderStyle = ilbsSingle")));

    app::TForm1 second;
    const framework::LayoutResult result =
        framework::LoadLayoutText(&second, written, QStringLiteral("written"));
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    // The stand-ins' settings and the hint manager's come back as they were stored.
    auto *button = second.findChild<QWidget *>(QStringLiteral("LbButton2"));
    EXPECT_EQ(button->property("ColorWhenDown").toUInt(), 9079551u);
    EXPECT_EQ(button->property("HotTrackColor").toUInt(), 8441834u);
    EXPECT_EQ(button->property("Style").toInt(), int(app::TLbButton::bsModern));
    EXPECT_EQ(button->property("Layout").toInt(), int(framework::blGlyphRight));
    EXPECT_TRUE(button->property("SlowDecease").toBool());
    auto *label = second.findChild<QWidget *>(QStringLiteral("iLabel3"));
    EXPECT_EQ(label->property("BorderStyle").toInt(), int(app::TiLabel::ilbsSingle));
    EXPECT_EQ(label->property("Caption").toString(), QStringLiteral(" ДОПОЛНИТЕЛЬНО "));
    auto *manager = second.findChild<hints::TsHintManager *>(QStringLiteral("sHintManager1"));
    ASSERT_NE(manager, nullptr);
    EXPECT_EQ(manager->sStyle()->Background()->Gradient()->Color1(), 2917517u);
    EXPECT_EQ(manager->sStyle()->Background()->Gradient()->Layout(), hints::TsHintEnums::gtAsBorder);
    EXPECT_EQ(manager->sStyle()->Shadow()->Offset(), 11);
    EXPECT_EQ(manager->sStyle()->Painting()->ColorActive(), 11992314u);
    EXPECT_EQ(manager->sStyle()->GroupIndex(), -101);
    EXPECT_EQ(manager->PauseHide(), 7000);
    EXPECT_EQ(manager->PreDefinitions(), hints::TsHintEnums::shCustom);
    EXPECT_EQ(second.LbButton1->property("Color").toUInt(), 14680029u);
    EXPECT_EQ(second.ToneGen1->Duration(), 1000);
}

} // namespace
