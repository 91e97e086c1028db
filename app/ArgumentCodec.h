#pragma once

#include <QByteArray>
#include <QString>

namespace app {

// Arguments are bytes; file names among them must reach the file system unchanged even when they
// are not UTF-8. Each byte that is not part of a UTF-8 sequence becomes the lone surrogate
// U+DC80 + byte, which EncodeFileName turns back into that byte.
QString DecodeArgument(const QByteArray &bytes);
QByteArray EncodeFileName(const QString &name);

} // namespace app
