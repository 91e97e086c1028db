#pragma once

// Pixel work of the hint windows on 24-bit (RGB888) and 32-bit (RGB32) images through direct
// row access; every pixel is touched a constant number of times.

#include "canvas/Canvas.h"
#include "canvas/Colors.h"
#include "hints/sStylePassive.h"

#include <QImage>

namespace hints {

// Nearest integer, halves to the even neighbour.
int RoundEven(double value);

// Grey level of the soft rectangle's mask at `distance` pixels in from its outer edge.
int SoftRectLevel(int distance, int edge, int level);

// Blends `color` over `rect` of `bitmap`: opaque to 100 - transparency percent inside, fading
// to nothing over `edge` pixels at the border, corners rounded by `radius`.
void BlendSoftRect(QImage &bitmap, const canvas::TRect &rect, int transparency, int radius, int edge,
                   canvas::TColor color);

// work := m * work + (1 - m) * body per channel, m being the mask's channel / 255.
void MergeThroughMask(QImage &work, const QImage &body, const QImage &mask);

// work := m * work + (1 - m) * color, with the mask moved right and down by (dx, dy); outside
// the moved mask the work stays.
void BlendColorThroughMask(QImage &work, const QImage &mask, int dx, int dy, canvas::TColor color);

// Copies the pixels of `from` into `to` (same size; either format).
void CopyPixels(const QImage &from, QImage &to);

// Fills `rect` with the gradient; its bands are measured on the hint window's size.
void FillPassiveGradient(QImage &bitmap, const canvas::TRect &rect, const TPassiveGradient &gradient,
                         const QSize &hintSize);

// Tiles `picture` over `rect` from its top-left corner, column by column.
void TileImage(QImage &bitmap, const canvas::TRect &rect, const QImage &picture);

// One-pixel outline of the mask's shape (pixels that are not pure white) painted into `body`:
// `top` where the left or upper neighbour lies outside, else `bottom` where the right or lower one does.
void TraceOutline(QImage &body, const QImage &mask, canvas::TColor top, canvas::TColor bottom);

// Pixel of a 24- or 32-bit image in the framework encoding.
canvas::TColor PixelAt(const QImage &image, int x, int y);

} // namespace hints
