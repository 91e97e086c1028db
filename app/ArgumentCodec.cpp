#include "app/ArgumentCodec.h"

#include <cstdint>

namespace app {

namespace {

constexpr char16_t kEscapeBase = 0xDC00;

// Length of the well-formed UTF-8 sequence at `p` (at most `left` bytes), or 0.
int SequenceLength(const uint8_t *p, qsizetype left)
{
    const uint8_t b = p[0];
    if (b < 0x80)
        return 1;
    int length = 0;
    uint8_t lo = 0x80, hi = 0xBF; // allowed range of the second byte
    if (b >= 0xC2 && b <= 0xDF) {
        length = 2;
    } else if (b >= 0xE0 && b <= 0xEF) {
        length = 3;
        if (b == 0xE0)
            lo = 0xA0;
        if (b == 0xED)
            hi = 0x9F; // no encoded surrogates
    } else if (b >= 0xF0 && b <= 0xF4) {
        length = 4;
        if (b == 0xF0)
            lo = 0x90;
        if (b == 0xF4)
            hi = 0x8F;
    } else {
        return 0;
    }
    if (left < length || p[1] < lo || p[1] > hi)
        return 0;
    for (int i = 2; i < length; ++i)
        if (p[i] < 0x80 || p[i] > 0xBF)
            return 0;
    return length;
}

} // namespace

QString DecodeArgument(const QByteArray &bytes)
{
    QString text;
    const auto *p = reinterpret_cast<const uint8_t *>(bytes.constData());
    const qsizetype size = bytes.size();
    for (qsizetype i = 0; i < size;) {
        const int length = SequenceLength(p + i, size - i);
        if (length == 0) {
            text.append(QChar(static_cast<char16_t>(kEscapeBase + p[i])));
            ++i;
        } else {
            text.append(QString::fromUtf8(bytes.constData() + i, length));
            i += length;
        }
    }
    return text;
}

QByteArray EncodeFileName(const QString &name)
{
    QByteArray bytes;
    qsizetype runStart = 0;
    for (qsizetype i = 0; i <= name.size(); ++i) {
        const bool end = i == name.size();
        const char16_t c = end ? 0 : name[i].unicode();
        const bool escaped = !end && c >= kEscapeBase + 0x80 && c <= kEscapeBase + 0xFF &&
                             (i == 0 || !name[i - 1].isHighSurrogate());
        if (!end && !escaped)
            continue;
        bytes.append(name.mid(runStart, i - runStart).toUtf8());
        if (escaped)
            bytes.append(static_cast<char>(c - kEscapeBase));
        runStart = i + 1;
    }
    return bytes;
}

} // namespace app
