#include "tests/layout/LayoutTestClasses.h"

#include "controls/Application.h"
#include "controls/Pictures.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <QTimer>
#include <fcntl.h>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

namespace layouttest {
namespace {

// Refuses the first close, as a form asking "are you sure?" would.
class TLtStubbornForm : public TLtForm
{
public:
    using TLtForm::TLtForm;
    int closeAttempts = 0;

protected:
    void closeEvent(QCloseEvent *event) override
    {
        if (++closeAttempts == 1)
            event->ignore();
        else
            event->accept();
    }
};

class Application : public ::testing::Test
{
protected:
    static void SetUpTestSuite() { RegisterLayoutTestClasses(); }

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        writeFile(QStringLiteral("Form1.layout"),
                  "TLtForm Form1 {\n  Caption = \"main\"\n  TLtPanel Panel1 {\n    Left = 4\n  }\n}\n");
        writeFile(QStringLiteral("Form2.layout"), "TLtForm Form2 {\n  Caption = \"about\"\n}\n");
        writeFile(QStringLiteral("Broken.layout"), "TLtForm Form3 {\n  Caption = 12\n}\n");
        savedEnvironment = qgetenv("SOUNDGEN_RESOURCES");
        qputenv("SOUNDGEN_RESOURCES", dir.path().toUtf8());
    }
    void TearDown() override { qputenv("SOUNDGEN_RESOURCES", savedEnvironment); }

    void writeFile(const QString &name, const QByteArray &text)
    {
        QFile file(dir.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    // Ends a loop that failed to end by itself, so a fault fails the test instead of hanging it.
    static void watchdog()
    {
        QTimer::singleShot(10000, qApp, [] { QCoreApplication::exit(99); });
    }

    QTemporaryDir dir;
    QByteArray savedEnvironment;
    int argc = 1;
    char arg0[8] = "test";
    char *argv[2] = {arg0, nullptr};
};

TEST_F(Application, ResourcePathLooksInTheConfiguredFolderFirst)
{
    EXPECT_EQ(controls::ResourcePath(QStringLiteral("Form1.layout")),
              dir.filePath(QStringLiteral("Form1.layout")));
    EXPECT_TRUE(controls::ResourcePath(QStringLiteral("no-such-file.layout")).isEmpty());
}

// Files the folder lacks come from the copies built into the program, whatever the working
// directory or the place of the executable.
TEST_F(Application, ResourcePathFallsBackToTheBuiltInCopies)
{
    // The configured folder has no pictures: those come from the built-in copies.
    EXPECT_EQ(controls::ResourcePath(QStringLiteral("speaker.xpm")),
              QStringLiteral(":/resources/speaker.xpm"));
    qputenv("SOUNDGEN_RESOURCES", "");
    for (const char *name : {"Form1.layout", "Form2.layout", "speaker.xpm", "noise.xpm", "glyph_start.xpm"}) {
        const QString file = QString::fromLatin1(name);
        const QString path = controls::ResourcePath(file);
        EXPECT_EQ(path, QStringLiteral(":/resources/") + file) << name;
        QFile resource(path);
        EXPECT_TRUE(resource.open(QIODevice::ReadOnly)) << name;
        EXPECT_GT(resource.size(), 0) << name;
    }
    EXPECT_TRUE(controls::ResourcePath(QStringLiteral("no-such-file.layout")).isEmpty());
}

// A picture named by a pipe or a device is refused at once instead of blocking in the reader.
TEST_F(Application, PicturesLoadOnlyFromRegularFiles)
{
    const QString fifo = dir.filePath(QStringLiteral("pipe.xpm"));
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    for (const QString &name : {fifo, QStringLiteral("pipe.xpm"), QStringLiteral("/dev/zero")}) {
        auto load = std::async(std::launch::async, [name] { return controls::LoadPicture(name); });
        const bool done = load.wait_for(std::chrono::seconds(5)) == std::future_status::ready;
        if (!done) { // release the blocked reader so the test fails instead of hanging
            const int fd = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
            if (fd >= 0)
                ::close(fd);
        }
        EXPECT_TRUE(done) << qPrintable(name);
        EXPECT_TRUE(load.get().isNull()) << qPrintable(name);
    }
    EXPECT_FALSE(controls::LoadPicture(QStringLiteral("speaker.xpm")).isNull());
}

TEST_F(Application, TitleIsKeptOutOfTheWindowTitles)
{
    controls::TApplication application(argc, argv);
    const QString before = QGuiApplication::applicationDisplayName();
    application.setTitle(QString::fromUtf8("Звуковой генератор"));
    EXPECT_EQ(application.Title(), QString::fromUtf8("Звуковой генератор"));
    EXPECT_EQ(controls::ApplicationTitle(), QString::fromUtf8("Звуковой генератор"));
    // Qt's display name is appended to every window caption on X11; the title must not be.
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), before);
}

TEST_F(Application, CreateFormLoadsTheLayoutAndTheFirstFormIsMain)
{
    controls::TApplication application(argc, argv);
    application.Initialize();
    TLtForm *main = application.CreateForm<TLtForm>(QStringLiteral("Form1.layout"));
    ASSERT_NE(main, nullptr) << application.LastError().toStdString();
    TLtForm *about = application.CreateForm<TLtForm>(QStringLiteral("Form2.layout"));
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(main->Caption(), "main");
    EXPECT_EQ(main->findChild<TLtPanel *>(QStringLiteral("Panel1"))->Left(), 4);
    EXPECT_EQ(about->Caption(), "about");
    EXPECT_EQ(application.MainForm(), main);
    const QString caption = main->windowTitle();
    application.setTitle(QStringLiteral("Title for the task bar"));
    EXPECT_EQ(main->windowIconText(), QStringLiteral("Title for the task bar"));
    EXPECT_EQ(main->windowTitle(), caption) << "the caption stays the form's own";
    EXPECT_TRUE(about->windowIconText().isEmpty());

    EXPECT_EQ(application.CreateForm<TLtForm>(QStringLiteral("Broken.layout")), nullptr);
    EXPECT_TRUE(application.LastError().endsWith(
        QStringLiteral("Broken.layout:2: bad value for Caption (QString): an integer not accepted")))
        << application.LastError().toStdString();
    EXPECT_EQ(application.CreateForm<TLtForm>(QStringLiteral("Missing.layout")), nullptr);
    EXPECT_EQ(application.MainForm(), main);
}

TEST_F(Application, LoopEndsWhenTheMainFormClosesWhileOtherFormsExist)
{
    controls::TApplication application(argc, argv);
    application.Initialize();
    TLtForm *main = application.CreateForm<TLtForm>(QStringLiteral("Form1.layout"));
    TLtForm *about = application.CreateForm<TLtForm>(QStringLiteral("Form2.layout"));
    ASSERT_TRUE(main && about);
    TLtForm other; // a visible window that is not the main form keeps nothing alive
    other.show();
    QTimer::singleShot(0, main, [main] {
        EXPECT_TRUE(main->isVisible());
        main->close();
    });
    watchdog();
    EXPECT_EQ(application.Run(), 0);
    EXPECT_FALSE(main->isVisible());
    EXPECT_FALSE(about->isVisible());
}

TEST_F(Application, ClosingAnotherFormDoesNotEndTheLoopAndARefusedCloseNeither)
{
    controls::TApplication application(argc, argv);
    application.Initialize();
    auto *main = application.CreateForm<TLtStubbornForm>(QStringLiteral("Form1.layout"));
    TLtForm *about = application.CreateForm<TLtForm>(QStringLiteral("Form2.layout"));
    ASSERT_TRUE(main && about);
    QTimer::singleShot(0, about, [about] {
        about->show();
        about->close();
    });
    QTimer::singleShot(0, main, [main] { main->close(); });  // refused
    QTimer::singleShot(50, main, [main] { main->close(); }); // accepted
    watchdog();
    EXPECT_EQ(application.Run(), 0);
    EXPECT_EQ(main->closeAttempts, 2);
}

} // namespace
} // namespace layouttest
