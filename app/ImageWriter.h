#pragma once

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace app {

// Writes `size` bytes to the file named by the bytes `path`; "-" is standard output. A regular
// file (or a new one) is written beside the target and renamed over it, so a failed write leaves
// no partial file; a character device, a pipe or a socket is written to directly; anything else
// is refused. Returns an empty string when done, else the cause ("No space left on device").
QString WriteImage(const QByteArray &path, const uint8_t *data, size_t size);

} // namespace app
