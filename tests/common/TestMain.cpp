#include "tests/common/TestMain.h"

#include <QApplication>
#include <QDir>
#include <gtest/gtest.h>

namespace testsupport {

QString artifactDir()
{
    QString dir = qEnvironmentVariable("SOUNDGEN_ARTIFACT_DIR");
    if (dir.isEmpty())
        dir = QDir::temp().filePath("soundgen-artifacts");
    QDir().mkpath(dir);
    return dir;
}

} // namespace testsupport

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("SDL_AUDIODRIVER"))
        qputenv("SDL_AUDIODRIVER", "dummy");
    // The build's own folders, so a test program finds its data however it is started.
    if (qEnvironmentVariableIsEmpty("SOUNDGEN_SOURCE_DIR"))
        qputenv("SOUNDGEN_SOURCE_DIR", SOUNDGEN_TEST_SOURCE_DIR);
    if (qEnvironmentVariableIsEmpty("SOUNDGEN_ARTIFACT_DIR"))
        qputenv("SOUNDGEN_ARTIFACT_DIR", SOUNDGEN_TEST_ARTIFACT_DIR);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
