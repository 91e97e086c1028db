#pragma once

// What a hint needs from the desktop: the pointer, the desktop's extent and the picture under
// a rectangle. Tests replace the sources with known ones.

#include <QImage>
#include <QPoint>
#include <QRect>

#include <functional>

class QWidget;

namespace hints {

using TPointerSource = std::function<QPoint()>;
using TDesktopSource = std::function<QRect(const QPoint &)>;
using TScreenSource = std::function<QImage(const QRect &)>;

// The pointer in global coordinates.
QPoint HintPointerPos();
// The desktop area around `p`: the screen holding it, else the primary screen.
QRect HintDesktopRect(const QPoint &p);
// The screen under `r`, 24 bits per pixel and exactly r's size. Grabbed from the screen where the
// platform allows; otherwise the program's own visible top-level windows are rendered, over the
// window colour, so see-through parts show what the user sees rather than garbage.
QImage HintScreenArea(const QRect &r, const QWidget *except = nullptr);
// The fallback alone: the program's windows under `r`.
QImage RenderOwnWindows(const QRect &r, const QWidget *except = nullptr);

// Empty functions restore the real sources.
void SetPointerSource(TPointerSource source);
void SetDesktopSource(TDesktopSource source);
void SetScreenSource(TScreenSource source);

} // namespace hints
