#pragma once

// The light button's bitmap resources: the kind glyphs (two 18-pixel cells, normal and
// disabled, 16 colours) and the 5 x 3 popup marker "LBARROW".

#include <QImage>
#include <QString>

namespace lbbutton {

// Null for an unknown name.
QImage LoadBitmapResource(const QString &name);
bool IsBitmapResource(const QString &name);

} // namespace lbbutton
