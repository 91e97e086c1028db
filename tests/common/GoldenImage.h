#pragma once

// Pictures too large to probe pixel by pixel, compared with stored ones under the source tree.
// SOUNDGEN_RECORD_GOLDEN=1 rewrites the stored pictures; a mismatch leaves the actual picture and
// a difference picture (changed pixels red) in the artifact folder.

#include "tests/common/TestMain.h"

#include <QDir>
#include <QFileInfo>
#include <QImage>
#include <gtest/gtest.h>

namespace testsupport {

// `folder` is relative to the source tree, for example "tests/widgets/golden".
inline QString GoldenPath(const QString &folder, const QString &name)
{
    QString root = qEnvironmentVariable("SOUNDGEN_SOURCE_DIR");
    if (root.isEmpty())
        root = QFileInfo(QString::fromUtf8(__FILE__)).absolutePath() + QStringLiteral("/../..");
    return QDir(root).filePath(folder + u'/' + name + QStringLiteral(".png"));
}

inline void ExpectGolden(const QImage &actualIn, const QString &folder, const QString &name)
{
    const QImage actual = actualIn.convertToFormat(QImage::Format_RGB32);
    const QString path = GoldenPath(folder, name);
    if (qEnvironmentVariable("SOUNDGEN_RECORD_GOLDEN") == QLatin1String("1")) {
        QDir().mkpath(QFileInfo(path).absolutePath());
        ASSERT_TRUE(actual.save(path)) << path.toStdString();
        return;
    }
    QImage expected(path);
    ASSERT_FALSE(expected.isNull()) << "missing golden " << path.toStdString();
    expected = expected.convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(expected.size(), actual.size()) << name.toStdString();
    QImage diff(actual.size(), QImage::Format_RGB32);
    int different = 0;
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x) {
            const bool same = actual.pixel(x, y) == expected.pixel(x, y);
            different += !same;
            diff.setPixel(x, y,
                          same ? qRgb(qGray(actual.pixel(x, y)) / 3, 0, 0) | 0xFF808080 : qRgb(255, 0, 0));
        }
    if (different) {
        const QDir dir(artifactDir());
        actual.save(dir.filePath(name + QStringLiteral("-actual.png")));
        diff.save(dir.filePath(name + QStringLiteral("-diff.png")));
    }
    EXPECT_EQ(different, 0) << name.toStdString() << ": see " << artifactDir().toStdString();
}

} // namespace testsupport
