#include "controls/Pictures.h"

#include "controls/Application.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QImageReader>
#include <QPixmap>

namespace controls {

QString FindResource(const QString &name)
{
    if (name.isEmpty())
        return {};
    // Only regular files: reading a pipe or a device would block the layout reader for good.
    if (name.startsWith(QLatin1String(":/")) || QDir::isAbsolutePath(name))
        return QFileInfo(name).isFile() ? name : QString();
    return ResourcePath(name);
}

QImage LoadPicture(const QString &name)
{
    const QString path = FindResource(name);
    if (path.isEmpty())
        return {};
    QImageReader reader(path);
    QImage image = reader.read();
    if (image.isNull())
        return {};
    return image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
}

QImage TransparentFromBottomLeft(const QImage &image)
{
    if (image.isNull())
        return {};
    QImage out = image.convertToFormat(QImage::Format_ARGB32);
    const QRgb key = out.pixel(0, out.height() - 1);
    for (int y = 0; y < out.height(); ++y) {
        auto *row = reinterpret_cast<QRgb *>(out.scanLine(y));
        for (int x = 0; x < out.width(); ++x) {
            if (row[x] == key)
                row[x] = 0;
        }
    }
    return out;
}

QImage LoadGlyph(const QString &name, int numGlyphs)
{
    QImage image = LoadPicture(name);
    if (image.isNull())
        return {};
    if (numGlyphs > 1 && image.width() >= numGlyphs)
        image = image.copy(0, 0, image.width() / numGlyphs, image.height());
    return TransparentFromBottomLeft(image);
}

QIcon CrispIcon(const QImage &image)
{
    if (image.isNull())
        return {};
    QIcon icon;
    for (int ratio = 1; ratio <= 4; ++ratio) {
        QPixmap pixmap = QPixmap::fromImage(ratio == 1 ? image : image.scaled(image.size() * ratio));
        pixmap.setDevicePixelRatio(ratio);
        icon.addPixmap(pixmap);
    }
    return icon;
}

} // namespace controls
