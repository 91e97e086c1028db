#pragma once

#include <QObject>
#include <QString>

namespace framework {

// Writes `root` and its registered, named children (depth first, in creation order) in the
// stored-layout format: per object its published properties in declaration order, those equal
// to their Q_CLASSINFO("default:<Prop>") omitted, sub-object properties dotted, then handler
// bindings to the root, then the extra stored values, then the children.
// Values that cannot be written are skipped and named in `error` (empty when all were written).
QString SaveLayout(const QObject *root, QString *error = nullptr);
bool SaveLayoutToFile(const QObject *root, const QString &path, QString *error = nullptr);

} // namespace framework
