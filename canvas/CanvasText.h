#pragma once

// Text layout behind Canvas::DrawText and the painting of one laid-out line.

#include "canvas/Canvas.h"

#include <QFont>
#include <QFontMetrics>
#include <QImage>
#include <QRect>
#include <QString>

#include <cstdint>
#include <vector>

namespace canvas {

// Text far off the image is not drawn at all; this keeps QPainter's int arithmetic in range.
bool TextCoordInRange(int64_t v);
TRect ClampTextRect(const TRect &r);

struct TextLine
{
    QString text;       // as shown: prefixes resolved, ellipsis applied
    int underline = -1; // index of the underlined character in `text`
    int width = 0;
    int x = 0; // top-left of the line's cell
    int y = 0;
};

struct TextLayout
{
    std::vector<TextLine> lines;
    int lineHeight = 0;
    int width = 0;  // of the widest line
    int height = 0; // of all lines
    int result = 0; // what DrawText returns when it draws
};

// Lines of `text` placed in `r` by the DT_* flags (see Canvas::DrawText).
TextLayout LayoutText(const QString &text, const TRect &r, unsigned flags, const QFontMetrics &fm);

// One line with its cell's top-left at (x, y), without anti-aliasing, optionally underlining
// one character; nothing outside `clip`.
void PaintTextLine(QImage &image, const QRect &clip, const QFont &font, TColor color, int x, int y,
                   const QString &text, int underline);

} // namespace canvas
