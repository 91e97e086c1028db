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
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
