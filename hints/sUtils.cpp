#include "hints/sUtils.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>
#include <QPainter>
#include <QPixmap>
#include <QScreen>
#include <QWidget>

namespace hints {

namespace {

TPointerSource &pointerSource()
{
    static TPointerSource source;
    return source;
}

TDesktopSource &desktopSource()
{
    static TDesktopSource source;
    return source;
}

TScreenSource &screenSource()
{
    static TScreenSource source;
    return source;
}

QImage to24(const QImage &image, const QSize &size)
{
    QImage out = image.convertToFormat(QImage::Format_RGB888);
    if (out.size() != size)
        out = out.copy(0, 0, size.width(), size.height());
    return out;
}

} // namespace

void SetPointerSource(TPointerSource source)
{
    pointerSource() = std::move(source);
}

void SetDesktopSource(TDesktopSource source)
{
    desktopSource() = std::move(source);
}

void SetScreenSource(TScreenSource source)
{
    screenSource() = std::move(source);
}

QPoint HintPointerPos()
{
    if (pointerSource())
        return pointerSource()();
    return QCursor::pos();
}

QRect HintDesktopRect(const QPoint &p)
{
    if (desktopSource())
        return desktopSource()(p);
    QScreen *screen = QGuiApplication::screenAt(p);
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    return screen ? screen->geometry() : QRect(0, 0, 1024, 768);
}

QImage RenderOwnWindows(const QRect &r, const QWidget *except)
{
    QImage out(r.size(), QImage::Format_RGB32);
    out.fill(QApplication::palette().color(QPalette::Window));
    QPainter painter(&out);
    const QWidgetList windows = QApplication::topLevelWidgets();
    // Dialogs and tool windows lie over the main windows: paint them last.
    for (int pass = 0; pass < 2; ++pass) {
        for (QWidget *w : windows) {
            if (w == except || !w->isVisible() || w->isMinimized() ||
                (w->windowFlags() & Qt::ToolTip) == Qt::ToolTip)
                continue;
            const bool onTop = w->windowType() == Qt::Dialog || w->windowType() == Qt::Tool || w->isModal();
            if (onTop != (pass == 1))
                continue;
            const QRect g = w->frameGeometry().isValid() ? w->geometry() : QRect();
            const QRect common = g & r;
            if (common.isEmpty())
                continue;
            w->render(&painter, common.topLeft() - r.topLeft(), QRegion(common.translated(-g.topLeft())),
                      QWidget::DrawWindowBackground | QWidget::DrawChildren);
        }
    }
    painter.end();
    return to24(out, r.size());
}

QImage HintScreenArea(const QRect &r, const QWidget *except)
{
    if (r.isEmpty())
        return QImage(r.size().expandedTo(QSize(0, 0)), QImage::Format_RGB888);
    if (screenSource())
        return to24(screenSource()(r), r.size());
    // Wayland and the offscreen platform give nothing (or only part) from a grab.
    const bool grabs = QGuiApplication::platformName() == QLatin1String("xcb") ||
                       QGuiApplication::platformName() == QLatin1String("windows");
    if (grabs) {
        QScreen *screen = QGuiApplication::screenAt(r.center());
        if (!screen)
            screen = QGuiApplication::primaryScreen();
        if (screen) {
            const QPoint local = r.topLeft() - screen->geometry().topLeft();
            const QPixmap grabbed = screen->grabWindow(0, local.x(), local.y(), r.width(), r.height());
            if (!grabbed.isNull() && grabbed.size() == r.size())
                return to24(grabbed.toImage(), r.size());
        }
    }
    return RenderOwnWindows(r, except);
}

} // namespace hints
