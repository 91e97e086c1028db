#pragma once

#include "layout/LayoutResult.h"

#include <QObject>
#include <QString>

namespace layout {

// Writes `root` and its registered, named children (depth first, in creation order) in the
// stored-layout format: per object its published properties in declaration order, those equal
// to their Q_CLASSINFO("default:<Prop>") omitted, sub-object properties dotted, then handler
// bindings to the root, then the extra stored values, then the children.
// Values that cannot be written are skipped and named in `result`'s error, one per line.
QString SaveLayout(const QObject *root, LayoutResult *result = nullptr);
// Fails when the file cannot be written or a value was skipped (the file is written anyway).
LayoutResult SaveLayoutToFile(const QObject *root, const QString &path);

} // namespace layout
