#include "controls/ExtControls.h"

#include "core/Setter.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <utility>

namespace controls {

void Frame3D(canvas::Canvas &canvas, canvas::TRect &rect, canvas::TColor topColor, canvas::TColor bottomColor,
             int width)
{
    canvas.Pen.Width = 1;
    canvas.Pen.Style = canvas::psSolid;
    --rect.Bottom;
    --rect.Right;
    for (; width > 0; --width) {
        canvas.Pen.Color = topColor;
        canvas.Polyline(
            {QPoint(rect.Left, rect.Bottom), QPoint(rect.Left, rect.Top), QPoint(rect.Right, rect.Top)});
        canvas.Pen.Color = bottomColor;
        canvas.Polyline({QPoint(rect.Right, rect.Top), QPoint(rect.Right, rect.Bottom),
                         QPoint(rect.Left - 1, rect.Bottom)});
        ++rect.Left;
        ++rect.Top;
        --rect.Right;
        --rect.Bottom;
    }
    ++rect.Bottom;
    ++rect.Right;
}

// The sunken client edge of a bordered panel: a sibling just beneath the panel, one edge
// larger on every side.
class PanelClientEdge : public QWidget
{
public:
    explicit PanelClientEdge(QWidget *parent) : QWidget(parent) {}

protected:
    void paintEvent(QPaintEvent *) override
    {
        canvas::Canvas canvas(width(), height());
        canvas.DrawEdge(canvas::TRect(0, 0, width(), height()), canvas::EDGE_SUNKEN, canvas::BF_RECT);
        QPainter(this).drawImage(0, 0, canvas.Image());
    }
    // Like a window border: presses on it go nowhere.
    void mousePressEvent(QMouseEvent *event) override { event->accept(); }
};

namespace {

void bevelColors(TBevelCut bevel, canvas::TColor &top, canvas::TColor &bottom)
{
    top = bevel == bvLowered ? canvas::clBtnShadow : canvas::clBtnHighlight;
    bottom = bevel == bvLowered ? canvas::clBtnHighlight : canvas::clBtnShadow;
}

} // namespace

// --- TPanel ---------------------------------------------------------------------------------

TPanel::TPanel(QWidget *parent) : QWidget(parent), TControl(this)
{
    setClickOnRelease(true);
    setDefaultColor(canvas::clBtnFace, false);
    applyFont();
}

TPanel::~TPanel()
{
    delete m_edge;
}

void TPanel::setCaption(const QString &caption)
{
    if (!core::Assign(m_caption, caption))
        return;
    requestRepaint();
}

void TPanel::setAlignment(TAlignment alignment)
{
    if (!core::Assign(m_alignment, alignment))
        return;
    requestRepaint();
}

void TPanel::changeFrame(const std::function<void()> &change)
{
    // The outer bounds stay; the client area and the aligned children follow the new frame.
    const QRect outer = boundsRect();
    change();
    const int inset = BorderInset();
    setGeometry(outer.x() + inset, outer.y() + inset, std::max(0, outer.width() - 2 * inset),
                std::max(0, outer.height() - 2 * inset));
    syncEdge();
    if (!isLoading())
        AlignChildren(this);
    requestRepaint();
}

void TPanel::setBevelInner(TBevelCut bevel)
{
    if (bevel != m_bevelInner)
        changeFrame([&] { m_bevelInner = bevel; });
}

void TPanel::setBevelOuter(TBevelCut bevel)
{
    if (bevel != m_bevelOuter)
        changeFrame([&] { m_bevelOuter = bevel; });
}

void TPanel::setBevelWidth(int width)
{
    width = std::max(0, width);
    if (width != m_bevelWidth)
        changeFrame([&] { m_bevelWidth = width; });
}

void TPanel::setBorderWidth(int width)
{
    width = std::max(0, width);
    if (width != m_borderWidth)
        changeFrame([&] { m_borderWidth = width; });
}

void TPanel::setBorderStyle(TBorderStyle style)
{
    if (style != m_borderStyle)
        changeFrame([&] { m_borderStyle = style; });
}

int TPanel::BorderInset() const
{
    return m_borderStyle == bsNone ? 0 : 2;
}

void TPanel::SetBounds(int left, int top, int width, int height)
{
    const int inset = BorderInset();
    const QRect inner(left + inset, top + inset, std::max(0, width - 2 * inset),
                      std::max(0, height - 2 * inset));
    if (inner != geometry())
        setGeometry(inner);
}

QRect TPanel::boundsRect() const
{
    const int inset = BorderInset();
    return geometry().adjusted(-inset, -inset, inset, inset);
}

QRect TPanel::alignRect() const
{
    int inset = m_borderWidth;
    if (m_bevelOuter != bvNone)
        inset += m_bevelWidth;
    if (m_bevelInner != bvNone)
        inset += m_bevelWidth;
    QRect r = rect().adjusted(inset, inset, -inset, -inset);
    if (r.width() < 0)
        r.setWidth(0);
    if (r.height() < 0)
        r.setHeight(0);
    return r;
}

QImage TPanel::Render() const
{
    canvas::Canvas canvas(width(), height());
    canvas::TRect r(0, 0, width(), height());
    canvas::TColor top = 0;
    canvas::TColor bottom = 0;
    const canvas::TColor color = Color();
    if (m_bevelOuter != bvNone) {
        bevelColors(m_bevelOuter, top, bottom);
        Frame3D(canvas, r, top, bottom, m_bevelWidth);
    }
    Frame3D(canvas, r, color, color, m_borderWidth);
    if (m_bevelInner != bvNone) {
        bevelColors(m_bevelInner, top, bottom);
        Frame3D(canvas, r, top, bottom, m_bevelWidth);
    }
    canvas.Brush.Color = color;
    canvas.Brush.Style = canvas::bsSolid;
    canvas.FillRect(r);
    if (!m_caption.isEmpty()) {
        canvas.Font.Assign(*Font());
        canvas.Brush.Style = canvas::bsClear;
        unsigned flags = canvas::DT_EXPANDTABS | canvas::DT_VCENTER | canvas::DT_SINGLELINE;
        if (m_alignment == taCenter)
            flags |= canvas::DT_CENTER;
        else if (m_alignment == taRightJustify)
            flags |= canvas::DT_RIGHT;
        canvas.DrawText(m_caption, r, flags);
    }
    return canvas.Image();
}

void TPanel::paintEvent(QPaintEvent *)
{
    QPainter(this).drawImage(0, 0, Render());
}

bool TPanel::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
    case QEvent::ZOrderChange:
    case QEvent::ParentChange:
        syncEdge();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

void TPanel::syncEdge()
{
    QWidget *parent = parentWidget();
    if (m_borderStyle == bsNone || !parent || isWindow()) {
        delete m_edge;
        return;
    }
    if (!m_edge)
        m_edge = new PanelClientEdge(parent);
    else if (m_edge->parentWidget() != parent)
        m_edge->setParent(parent);
    m_edge->setGeometry(boundsRect());
    m_edge->stackUnder(this);
    m_edge->setVisible(!isHidden());
}

// --- TBevel ---------------------------------------------------------------------------------

TBevel::TBevel(QWidget *parent) : QWidget(parent), TControl(this)
{
    setClickOnRelease(true);
    setDefaultColor(canvas::clBtnFace, true);
    applyFont();
}

void TBevel::setShape(TBevelShape shape)
{
    if (!core::Assign(m_shape, shape))
        return;
    requestRepaint();
}

void TBevel::setStyle(TBevelStyle style)
{
    if (!core::Assign(m_style, style))
        return;
    requestRepaint();
}

void TBevel::Paint(canvas::Canvas &canvas, int w, int h, TBevelShape shape, TBevelStyle style)
{
    canvas::TColor color1 = style == bsLowered ? canvas::clBtnShadow : canvas::clBtnHighlight;
    canvas::TColor color2 = style == bsLowered ? canvas::clBtnHighlight : canvas::clBtnShadow;
    canvas.Pen.Width = 1;
    canvas.Pen.Style = canvas::psSolid;
    auto rectLines = [&](int l, int t, int r, int b) {
        canvas.Pen.Color = color1;
        canvas.Polyline({QPoint(l, b), QPoint(l, t), QPoint(r, t)});
        canvas.Pen.Color = color2;
        canvas.Polyline({QPoint(r, t), QPoint(r, b), QPoint(l, b)});
    };
    auto line = [&](canvas::TColor c, int x1, int y1, int x2, int y2) {
        canvas.Pen.Color = c;
        canvas.MoveTo(x1, y1);
        canvas.LineTo(x2, y2);
    };
    switch (shape) {
    case bsBox:
        rectLines(0, 0, w - 1, h - 1);
        break;
    case bsFrame: {
        const canvas::TColor outer = color1;
        color1 = color2;
        rectLines(1, 1, w - 1, h - 1);
        color1 = outer;
        color2 = outer;
        rectLines(0, 0, w - 2, h - 2);
        break;
    }
    case bsTopLine:
        line(color1, 0, 0, w, 0);
        line(color2, 0, 1, w, 1);
        break;
    case bsBottomLine:
        line(color1, 0, h - 2, w, h - 2);
        line(color2, 0, h - 1, w, h - 1);
        break;
    case bsLeftLine:
        line(color1, 0, 0, 0, h);
        line(color2, 1, 0, 1, h);
        break;
    case bsRightLine:
        line(color1, w - 2, 0, w - 2, h);
        line(color2, w - 1, 0, w - 1, h);
        break;
    case bsSpacer:
        break;
    }
}

void TBevel::paintEvent(QPaintEvent *)
{
    if (width() <= 0 || height() <= 0)
        return;
    // Drawn on a transparent image so the parent shows between the lines.
    QImage image(width(), height(), QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        canvas::Canvas canvas(&image);
        Paint(canvas, width(), height(), m_shape, m_style);
    }
    QPainter(this).drawImage(0, 0, image);
}

// --- TImage ---------------------------------------------------------------------------------

TImage::TImage(QWidget *parent) : QWidget(parent), TControl(this)
{
    setClickOnRelease(true);
    setDefaultColor(canvas::clBtnFace, true);
    applyFont();
}

void TImage::setPicture(const QString &fileName)
{
    if (fileName == m_pictureFile && !fileName.isEmpty())
        return;
    m_pictureFile = fileName;
    const QImage image = LoadPicture(fileName);
    m_canvas.Image() = image;
    m_canvas.ResetClipRect();
    m_hasPicture = !image.isNull();
    m_pictureSize = image.size();
    pictureChanged();
}

void TImage::SetPictureImage(const QImage &image)
{
    m_pictureFile.clear();
    m_canvas.Image() =
        image.convertToFormat(image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    m_canvas.ResetClipRect();
    m_hasPicture = !image.isNull();
    m_pictureSize = image.size();
    pictureChanged();
}

void TImage::NewBitmap()
{
    m_pictureFile.clear();
    resizePicture(0, 0);
}

void TImage::setPictureWidth(int width)
{
    m_pictureFile.clear();
    resizePicture(width, PictureHeight());
}

void TImage::setPictureHeight(int height)
{
    m_pictureFile.clear();
    resizePicture(PictureWidth(), height);
}

void TImage::resizePicture(int width, int height)
{
    m_hasPicture = true;
    m_pictureSize = QSize(std::max(0, width), std::max(0, height));
    m_canvas.SetSize(m_pictureSize.width(), m_pictureSize.height());
    pictureChanged();
}

canvas::Canvas *TImage::Canvas()
{
    if (!m_hasPicture)
        resizePicture(width(), height());
    update();
    return &m_canvas;
}

void TImage::pictureChanged()
{
    if (m_autoSize && PictureWidth() > 0 && PictureHeight() > 0)
        SetBounds(Left(), Top(), PictureWidth(), PictureHeight());
    requestRepaint();
}

void TImage::setAutoSize(bool autoSize)
{
    if (!core::Assign(m_autoSize, autoSize))
        return;
    pictureChanged();
}

void TImage::setCenter(bool center)
{
    if (!core::Assign(m_center, center))
        return;
    requestRepaint();
}

void TImage::setStretch(bool stretch)
{
    if (!core::Assign(m_stretch, stretch))
        return;
    requestRepaint();
}

void TImage::setProportional(bool proportional)
{
    if (!core::Assign(m_proportional, proportional))
        return;
    requestRepaint();
}

void TImage::setTransparent(bool transparent)
{
    if (!core::Assign(m_transparent, transparent))
        return;
    requestRepaint();
}

QRect TImage::DestRect() const
{
    int w = PictureWidth();
    int h = PictureHeight();
    const int cw = width();
    const int ch = height();
    if (m_stretch || (m_proportional && (w > cw || h > ch))) {
        if (m_proportional && w > 0 && h > 0) {
            // Largest size of the picture's aspect that fits.
            if (qint64(cw) * h > qint64(ch) * w) {
                w = int(qint64(ch) * w / h);
                h = ch;
            } else {
                h = int(qint64(cw) * h / w);
                w = cw;
            }
        } else {
            w = cw;
            h = ch;
        }
    }
    QRect r(0, 0, w, h);
    if (m_center)
        r.translate((cw - w) / 2, (ch - h) / 2);
    return r;
}

void TImage::paintEvent(QPaintEvent *)
{
    if (!m_hasPicture || m_canvas.Image().isNull())
        return;
    QPainter painter(this);
    // An aligned picture larger than the room it is aligned in is cut off at that room's edge, so
    // the parent's bevels stay in sight.
    if (Align() != alNone)
        if (const auto *parent = dynamic_cast<const TControl *>(parentWidget()))
            painter.setClipRect(parent->alignRect().translated(-pos()));
    const QImage picture = m_transparent ? TransparentFromBottomLeft(m_canvas.Image()) : m_canvas.Image();
    // Nearest-pixel scaling, as the picture's own pixels matter.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(DestRect(), picture);
}

// --- TTimer ---------------------------------------------------------------------------------

TTimer::TTimer(QObject *owner) : QObject(owner)
{
    m_timer.setTimerType(Qt::PreciseTimer);
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &TTimer::deliver);
    updateTimer();
}

void TTimer::Defer(int ticks)
{
    m_deferred = std::max(ticks, 0);
}

void TTimer::deliver()
{
    const unsigned restarts = m_restarts;
    const int batch = std::exchange(m_batch, 1);
    for (int i = 0; i < batch; ++i) {
        // What the last tick's handler asks for counts.
        m_deferred = 0;
        emit OnTimer(this);
        if (m_restarts != restarts || !IsRunning())
            return;
    }
    m_batch = 1 + std::exchange(m_deferred, 0);
    const auto now = std::chrono::steady_clock::now();
    const auto interval = std::chrono::milliseconds(m_interval);
    // Late ticks are not made up for, as with a message timer.
    m_due = std::max(m_due, now) + m_batch * interval;
    m_timer.start(std::chrono::ceil<std::chrono::milliseconds>(m_due - now));
}

void TTimer::setEnabled(bool enabled)
{
    if (!core::Assign(m_enabled, enabled))
        return;
    updateTimer();
}

void TTimer::setInterval(int interval)
{
    interval = std::max(0, interval);
    if (!core::Assign(m_interval, interval))
        return;
    updateTimer();
}

void TTimer::Loaded()
{
    core::ComponentState::Loaded();
    updateTimer();
}

void TTimer::updateTimer()
{
    ++m_restarts;
    m_timer.stop();
    m_batch = 1;
    m_deferred = 0;
    if (IsRunning()) {
        m_due = std::chrono::steady_clock::now() + std::chrono::milliseconds(m_interval);
        m_timer.start(m_interval);
    }
}

} // namespace controls
