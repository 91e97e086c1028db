#include "canvas/CanvasText.h"

#include <QPainter>
#include <QStringList>

#include <algorithm>

namespace canvas {

namespace {

constexpr int kTextLimit = 1 << 28;

// '&' underlines the next character, "&&" is a literal '&'.
QString stripPrefix(const QString &raw, int *underline)
{
    QString out;
    out.reserve(raw.size());
    *underline = -1;
    for (qsizetype i = 0; i < raw.size(); ++i) {
        const QChar ch = raw.at(i);
        if (ch == QLatin1Char('&')) {
            if (i + 1 < raw.size() && raw.at(i + 1) == QLatin1Char('&')) {
                out += ch;
                ++i;
            } else if (i + 1 < raw.size()) {
                *underline = int(out.size());
            }
            continue;
        }
        out += ch;
    }
    return out;
}

// Tab stops every 8 characters, counted from the start of each line.
QString expandTabs(const QString &text)
{
    QString expanded;
    for (const QChar ch : text) {
        if (ch == QLatin1Char('\t')) {
            const qsizetype col = expanded.size() - (expanded.lastIndexOf(QLatin1Char('\n')) + 1);
            expanded += QString(8 - col % 8, QLatin1Char(' '));
        } else {
            expanded += ch;
        }
    }
    return expanded;
}

QStringList paragraphsOf(QString body, bool single)
{
    if (single) {
        body.remove(QLatin1Char('\r'));
        body.remove(QLatin1Char('\n'));
        return {body};
    }
    body.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    body.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return body.split(QLatin1Char('\n'));
}

// Greedy breaks between words; a single word that is too wide stays whole.
template <typename WidthFn>
void wrapInto(QStringList &lines, const QString &para, int width, WidthFn &&widthOf)
{
    const QStringList words = para.split(QLatin1Char(' '));
    QString current;
    bool any = false;
    for (const QString &word : words) {
        const QString candidate = any ? current + QLatin1Char(' ') + word : word;
        if (!any || widthOf(candidate) <= width) {
            current = candidate;
            any = true;
        } else {
            lines << current;
            current = word;
        }
    }
    lines << current;
}

} // namespace

bool TextCoordInRange(int64_t v)
{
    return v > -kTextLimit && v < kTextLimit;
}

TRect ClampTextRect(const TRect &r)
{
    auto c = [](int v) { return std::clamp(v, -kTextLimit, kTextLimit); };
    return TRect(c(r.Left), c(r.Top), c(r.Right), c(r.Bottom));
}

TextLayout LayoutText(const QString &text, const TRect &r, unsigned flags, const QFontMetrics &fm)
{
    const bool prefix = !(flags & DT_NOPREFIX);
    const bool single = flags & DT_SINGLELINE;
    const bool ellipsis = flags & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS);
    const int width = r.Width();

    auto display = [&](const QString &raw, int *underline) {
        if (prefix)
            return stripPrefix(raw, underline);
        *underline = -1;
        return raw;
    };
    auto rawWidth = [&](const QString &raw) {
        int u;
        return fm.horizontalAdvance(display(raw, &u));
    };

    QStringList lines;
    for (const QString &para : paragraphsOf((flags & DT_EXPANDTABS) ? expandTabs(text) : text, single)) {
        if (single || !(flags & DT_WORDBREAK))
            lines << para;
        else
            wrapInto(lines, para, width, rawWidth);
    }

    TextLayout out;
    out.lineHeight = fm.height();
    for (const QString &raw : std::as_const(lines)) {
        TextLine line;
        line.text = display(raw, &line.underline);
        line.width = fm.horizontalAdvance(line.text);
        if (ellipsis && line.width > width) {
            const QString dots = QStringLiteral("...");
            QString cut = line.text;
            while (!cut.isEmpty() && fm.horizontalAdvance(cut + dots) > width)
                cut.chop(1);
            if (line.underline >= cut.size())
                line.underline = -1;
            line.text = cut + dots;
            line.width = fm.horizontalAdvance(line.text);
        }
        out.width = std::max(out.width, line.width);
        out.lines.push_back(line);
    }
    out.height = int(out.lines.size()) * out.lineHeight;

    int top = r.Top;
    if (single && (flags & DT_VCENTER))
        top = (r.Top + r.Bottom - out.lineHeight) / 2;
    else if (single && (flags & DT_BOTTOM))
        top = r.Bottom - out.lineHeight;
    int y = top;
    for (TextLine &line : out.lines) {
        line.x = r.Left;
        if (flags & DT_CENTER)
            line.x = (r.Left + r.Right - line.width) / 2;
        else if (flags & DT_RIGHT)
            line.x = r.Right - line.width;
        line.y = y;
        y += out.lineHeight;
    }
    out.result = (single && (flags & (DT_VCENTER | DT_BOTTOM))) ? top - r.Top + out.lineHeight : out.height;
    return out;
}

void PaintTextLine(QImage &image, const QRect &clip, const QFont &font, TColor color, int x, int y,
                   const QString &text, int underline)
{
    if (clip.isEmpty() || text.isEmpty())
        return;
    QPainter p(&image);
    p.setClipRect(clip);
    p.setRenderHint(QPainter::TextAntialiasing, false);
    p.setFont(font);
    p.setPen(ToQColor(color));
    const QFontMetrics fm(font);
    p.drawText(QPoint(x, y + fm.ascent()), text);
    if (underline >= 0 && underline < text.size()) {
        const int ux = x + fm.horizontalAdvance(text.left(underline));
        const int uw = fm.horizontalAdvance(text.mid(underline, 1));
        const int uy = y + fm.ascent() + std::max(1, fm.underlinePos());
        p.fillRect(QRect(ux, uy, uw, std::max(1, fm.lineWidth())), ToQColor(color));
    }
}

} // namespace canvas
