#pragma once

// Pictures and glyphs stored as files in the resources folder (XPM or PNG).

#include <QIcon>
#include <QImage>
#include <QString>

namespace controls {

// Full path of a resource: absolute and ":/" names as they are, others where ResourcePath
// looks. Empty when not found.
QString FindResource(const QString &name);

// The picture in 32-bit form (ARGB32 when it has transparency, RGB32 otherwise); a null image
// when the file is missing or unreadable.
QImage LoadPicture(const QString &name);

// Copy of `image` (ARGB32) with every pixel of its bottom-left pixel's colour transparent.
QImage TransparentFromBottomLeft(const QImage &image);

// A button glyph: the first of `numGlyphs` equal-width images side by side, its bottom-left
// pixel's colour made transparent. Null when the file is missing.
QImage LoadGlyph(const QString &name, int numGlyphs = 1);

// An icon of `image` that stays pixel art on scaled screens: whole-number device pixel ratios
// get copies enlarged pixel by pixel instead of the toolkit's smoothing.
QIcon CrispIcon(const QImage &image);

} // namespace controls
