// The About box as stored.

#include "app/Unit2.h"
#include "controls/Application.h"
#include "controls/RichEdit.h"
#include "layout/LayoutReader.h"
#include "tests/app/AppFixture.h"

namespace {

TEST(Form2Test, ShowsItsStoredTextsAndClosesWithOk)
{
    apptest::RegisterOnce();
    app::TForm2 form;
    const layout::LayoutResult result =
        layout::LoadLayout(&form, controls::ResourcePath(QStringLiteral("Form2.layout")));
    ASSERT_TRUE(result.ok) << result.error.toStdString();
    EXPECT_TRUE(form.isHidden());
    EXPECT_EQ(form.windowTitle(), QStringLiteral("О программе !"));
    EXPECT_EQ(form.ClientWidth(), 271);
    EXPECT_EQ(form.ClientHeight(), 151);
    EXPECT_FALSE(form.windowFlags() & Qt::FramelessWindowHint);

    auto *text = form.findChild<controls::TRichEdit *>(QStringLiteral("RichEdit1"));
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
    QTest::mouseClick(ok, Qt::LeftButton, {}, ok->rect().center());
    EXPECT_TRUE(form.isHidden());
}

} // namespace
