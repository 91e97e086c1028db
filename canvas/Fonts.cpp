#include "canvas/Fonts.h"

#include <QStringList>

#include <fontconfig/fontconfig.h>

#include <climits>
#include <cstdlib>
#include <future>
#include <mutex>

namespace canvas {

TFont::TFont(QObject *parent) : QObject(parent) {}

void TFont::InstallSubstitutions()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const QString liberation = QStringLiteral("Liberation Sans");
        QFont::insertSubstitution(QStringLiteral("MS Sans Serif"), liberation);
        QFont::insertSubstitution(QStringLiteral("Tahoma"), liberation);
    });
}

namespace {
std::mutex fontListMutex;
std::future<void> fontListLoading;
} // namespace

// The toolkit reads the same configuration at its first text; once read, that is a no-op.
void TFont::StartLoadingFontList()
{
    const std::lock_guard<std::mutex> lock(fontListMutex);
    if (!fontListLoading.valid())
        fontListLoading = std::async(std::launch::async, [] { FcInit(); });
}

void TFont::WaitForFontList()
{
    const std::lock_guard<std::mutex> lock(fontListMutex);
    if (fontListLoading.valid())
        fontListLoading.wait();
}

void TFont::changed()
{
    emit OnChange(this);
}

void TFont::setName(const QString &name)
{
    if (m_name == name)
        return;
    m_name = name;
    changed();
}

void TFont::setHeight(int height)
{
    // Layouts store the character height as a negative number.
    const int h =
        height == 0 ? DefaultHeight : (height < 0 ? (height == INT_MIN ? INT_MAX : -height) : height);
    if (m_height == h)
        return;
    m_height = h;
    changed();
}

void TFont::setStyle(TFontStyles style)
{
    if (m_style == style)
        return;
    m_style = style;
    changed();
}

void TFont::setColor(TColor color)
{
    if (m_color == color)
        return;
    m_color = color;
    changed();
}

void TFont::setCharset(int charset)
{
    if (m_charset == charset)
        return;
    m_charset = charset;
    changed();
}

void TFont::Assign(const TFont &source)
{
    if (&source == this)
        return;
    const bool differs = m_name != source.m_name || m_height != source.m_height ||
                         m_style != source.m_style || m_color != source.m_color ||
                         m_charset != source.m_charset;
    if (!differs)
        return;
    m_name = source.m_name;
    m_height = source.m_height;
    m_style = source.m_style;
    m_color = source.m_color;
    m_charset = source.m_charset;
    changed();
}

QFont TFont::toQFont() const
{
    InstallSubstitutions();
    QFont f(m_name);
    // QFont refuses absurd sizes; keep them drawable.
    f.setPixelSize(qBound(1, m_height, 4096));
    f.setBold(m_style.testFlag(fsBold));
    f.setItalic(m_style.testFlag(fsItalic));
    f.setUnderline(m_style.testFlag(fsUnderline));
    f.setStrikeOut(m_style.testFlag(fsStrikeOut));
    return f;
}

} // namespace canvas
