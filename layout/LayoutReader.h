#pragma once

#include "layout/LayoutBinding.h"
#include "layout/LayoutResult.h"

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

namespace layout {

// Builds `root`'s children from a stored layout and sets the properties of the root and of
// every created object, in file order, while they are loading. The file's root class must be
// the root's class or one it inherits. Widgets are created under the enclosing widget;
// non-visual objects are owned by the root. After the whole text is read, Loaded() runs on
// every created object in creation (file) order, then on the root.
// On an error everything created is destroyed again, the bindings made to the root are
// undone and the root leaves the loading state without Loaded(); property values already
// written to the root stay as written.
// Larger texts are refused unread: the program's own layouts are some 32 KiB, so 4 MiB leaves
// room for any hand-made one while a wrong file (a recording, a disk image) is named at once.
inline constexpr qint64 kMaxLayoutBytes = 4 * 1024 * 1024;

LayoutResult LoadLayout(QObject *root, const QString &path);
LayoutResult LoadLayoutText(QObject *root, const QByteArray &utf8, const QString &displayName);
LayoutResult LoadLayoutText(QObject *root, const QString &text, const QString &displayName);

} // namespace layout
