#include "hints/sHintWindow.h"

#include "hints/sGraphUtils.h"
#include "hints/sHintManager.h"
#include "hints/sHtmlParse.h"
#include "hints/sUtils.h"

#include <QApplication>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace hints {

using canvas::TColor;
using canvas::TRect;

namespace {

// Frame of `width` rings; top and left in `top`, bottom and right in `bottom`, which wins at the
// corners. `r` is inclusive of its right and bottom edge pixels minus one, as a filled rectangle.
void Frame3D(QImage &body, TRect r, TColor top, TColor bottom, int width)
{
    canvas::Canvas c(&body);
    c.Pen.Width = 1;
    int l = r.Left, t = r.Top, rt = r.Right - 1, b = r.Bottom - 1;
    for (int i = 0; i < width && l <= rt && t <= b; ++i) {
        c.Pen.Color = top;
        c.Polyline({QPoint(l, b), QPoint(l, t), QPoint(rt, t)});
        c.Pen.Color = bottom;
        c.Polyline({QPoint(rt, t), QPoint(rt, b), QPoint(l - 1, b)});
        ++l;
        ++t;
        --rt;
        --b;
    }
}

} // namespace

QRect PlaceHint(const QPoint &p, int w, int h, const QRect &desktop, int *quadrant)
{
    int left = p.x(), top = p.y();
    const int deskRight = desktop.x() + desktop.width(), deskBottom = desktop.y() + desktop.height();
    if (top + h > deskBottom) {
        top = p.y() - h;
        if (top < desktop.y())
            top = p.y();
    }
    if (left + w > deskRight) {
        left = p.x() - w;
        if (left < desktop.x())
            left = p.x();
    }
    if (quadrant)
        *quadrant = (top < p.y() ? 1 : 0) + (left < p.x() ? 2 : 0);
    return QRect(left, top, w, h);
}

TsCustomHintWindow::TsCustomHintWindow(QWidget *parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput |
                          Qt::NoDropShadowWindowHint) // the painted shadow is the only one
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
}

TsCustomHintWindow::~TsCustomHintWindow() = default;

int TsCustomHintWindow::ShadowOffset() const
{
    const TsHintManager *m = Manager();
    return m && m->sStyle()->Shadow()->Enabled() ? m->sStyle()->Shadow()->Offset() : 0;
}

int TsCustomHintWindow::ShadowTransparency() const
{
    const TsHintManager *m = Manager();
    if (!m)
        return 100;
    const TsPassivePainting *painting = m->sStyle()->Painting();
    const int b =
        m->sStyle()->Background()->Mode() == TsHintEnums::bgsTransparent && painting->Transparency() > 0
            ? painting->Transparency()
            : 0;
    const int t = m->sStyle()->Shadow()->Transparency();
    return RoundEven(t + (100 - t) * b / 100.0);
}

QImage &TsCustomHintWindow::Work()
{
    static QImage none;
    TsHintManager *m = Manager();
    return m ? m->sStyle()->WorkBitmap() : none;
}

const QImage &TsCustomHintWindow::Composed() const
{
    return const_cast<TsCustomHintWindow *>(this)->Work();
}

TRect TsCustomHintWindow::CalcHintRect(int maxWidth, const QString &text)
{
    const TsHintManager *m = Manager();
    TRect r(0, 0, maxWidth, 0);
    if (!m)
        return r;
    canvas::Canvas c(1, 1);
    c.Font.Assign(*m->Font());
    if (m->HTMLMode()) {
        TsHtml html;
        html.BeginLayout(&c, text, r);
        html.LayoutText(r);
    } else {
        c.DrawText(text, r,
                   canvas::DT_CALCRECT | canvas::DT_WORDBREAK | canvas::DT_CENTER | canvas::DT_NOPREFIX);
    }
    const int offset = ShadowOffset();
    r.Right += offset + 2 * (m->MarginH() + m->BevelWidth());
    r.Bottom += offset + 2 * (m->MarginV() + m->BevelWidth());
    ExtraWidth = 0;
    ExtraHeight = 0;
    AddShapeSize(r);
    return r;
}

QPoint TsCustomHintWindow::GetHintOrigin()
{
    return HintPointerPos();
}

void TsCustomHintWindow::ActivateHint(const TRect &rect, const QString &text)
{
    TsHintManager *m = Manager();
    if (!m || m->Style() == TsHintEnums::hsNone)
        return;
    TApplicationHints::Instance().SetHintHidePause(m->PauseHide());
    hide();
    FCaption = text;
    const QPoint p = GetHintOrigin();
    const QRect placed = PlaceHint(p, rect.Width(), rect.Height(), HintDesktopRect(p), &Quadrant);
    Work() = HintScreenArea(placed, this);
    FComposed = false;
    setGeometry(placed);
    show();
    raise();
    update();
}

void TsCustomHintWindow::Compose()
{
    TsHintManager *m = Manager();
    if (!m || Work().isNull())
        return;
    if (m->sStyle()->Shadow()->Enabled())
        PaintShadow();
    const QImage mask = BuildMask();
    const QImage body = BuildBody();
    MergeThroughMask(Work(), body, mask);
    FComposed = true;
}

void TsCustomHintWindow::PaintShadow()
{
    const TsPassiveShadow *shadow = Manager()->sStyle()->Shadow();
    QImage &work = Work();
    const int offset = shadow->Offset();
    BlendSoftRect(work, TRect(offset, offset, work.width(), work.height()), ShadowTransparency(), 0,
                  shadow->Blur(), shadow->Color());
}

QImage TsCustomHintWindow::BuildMask()
{
    QImage mask(Work().size(), QImage::Format_RGB32);
    mask.fill(Qt::white);
    BlendSoftRect(mask, GetBodyRect(), 0, 0, Manager()->Blur(), canvas::clBlack);
    return mask;
}

QImage TsCustomHintWindow::BuildBody()
{
    QImage body(Work().size(), QImage::Format_RGB32);
    const TRect rect = GetBodyRect();
    PaintBackground(body, rect);
    PaintText(body);
    PaintBorder(body);
    return body;
}

TRect TsCustomHintWindow::GetBodyRect()
{
    const int offset = ShadowOffset();
    return TRect(0, 0, Work().width() - offset, Work().height() - offset);
}

void TsCustomHintWindow::PaintBackground(QImage &body, const TRect &rect)
{
    const TsHintManager *m = Manager();
    CopyPixels(Work(), body);
    const TsPassivePainting *painting = m->sStyle()->Painting();
    const TsPassiveBackground *background = m->sStyle()->Background();
    auto fill = [&] {
        canvas::Canvas c(&body);
        c.Brush = canvas::TBrush{painting->ColorActive(), canvas::bsSolid};
        c.FillRect(TRect(rect.Left, rect.Top, rect.Right + 1, rect.Bottom + 1));
    };
    switch (background->Mode()) {
    case TsHintEnums::bgsNone:
        fill();
        break;
    case TsHintEnums::bgsImage:
        TileImage(body, rect, background->Image());
        break;
    case TsHintEnums::bgsGradient:
        FillPassiveGradient(body, rect, *background->Gradient(), Work().size());
        break;
    case TsHintEnums::bgsTransparent:
        if (painting->Transparency() > 0)
            BlendSoftRect(body, rect, painting->Transparency(), 0, 0, painting->ColorActive());
        else
            fill();
        break;
    }
}

void TsCustomHintWindow::PaintText(QImage &body)
{
    const TsHintManager *m = Manager();
    canvas::Canvas c(&body);
    c.Brush.Style = canvas::bsClear;
    c.Pen.Style = canvas::psSolid;
    c.Font.Assign(*m->Font());
    const TRect b = GetBodyRect();
    const int dx = m->MarginH() + m->BevelWidth() + ExtraWidth / 2;
    const int dy = m->MarginV() + m->BevelWidth() + ExtraHeight / 2;
    TRect r(b.Left + dx, b.Top + dy, b.Right - dx, b.Bottom - dy);
    if (m->HTMLMode()) {
        TsHtml html;
        html.BeginLayout(&c, FCaption, r);
        html.LayoutText(r);
    } else {
        c.DrawText(FCaption, r, canvas::DT_WORDBREAK | canvas::DT_CENTER | canvas::DT_NOPREFIX);
    }
}

void TsCustomHintWindow::PaintBorder(QImage &body)
{
    const TsHintManager *m = Manager();
    if (m->BevelWidth() <= 0)
        return;
    const TRect b = GetBodyRect();
    const TsPassivePainting *painting = m->sStyle()->Painting();
    Frame3D(body, TRect(b.Left + 1, b.Top + 1, b.Right, b.Bottom), painting->ColorBorderTop(),
            painting->ColorBorderBottom(), m->BevelWidth());
}

void TsCustomHintWindow::paintEvent(QPaintEvent *)
{
    if (!FComposed)
        Compose();
    QPainter painter(this);
    const QImage &work = Work();
    if (work.isNull())
        painter.fillRect(rect(), palette().color(QPalette::ToolTipBase));
    else
        painter.drawImage(0, 0, work);
}

QPoint TsSimplyHintWindow::GetHintOrigin()
{
    return HintPointerPos() + QPoint(0, SimplyHintDrop);
}

void TsSimplyHintWindow::PaintBorder(QImage &body)
{
    const TsHintManager *m = Manager();
    if (m->BevelWidth() <= 0)
        return;
    const TRect b = GetBodyRect();
    const TsPassivePainting *painting = m->sStyle()->Painting();
    Frame3D(body, TRect(b.Left, b.Top, b.Right - 1, b.Bottom - 1), painting->ColorBorderTop(),
            painting->ColorBorderBottom(), m->BevelWidth());
}

// --- shapes with a tail ----------------------------------------------------------------------

void TsShapedHintWindow::AddShapeSize(TRect &r)
{
    r.Bottom += Manager()->ExOffset();
    if (!AddsExtraSize())
        return;
    const double w = r.Width(), h = r.Height();
    if (w <= 0 || h <= 0)
        return;
    const double d = std::sqrt(w * w + h * h) - w;
    ExtraWidth = RoundEven(w * d / h);
    ExtraHeight = RoundEven(d * h / w);
    r.Right += ExtraWidth;
    r.Bottom += ExtraHeight;
}

TRect TsShapedHintWindow::GetBodyRect()
{
    const int offset = ShadowOffset();
    const int ex = Manager()->ExOffset();
    const int w = Work().width(), h = Work().height();
    if (Quadrant == 0 || Quadrant == 2)
        return TRect(0, ex, w - offset, h - offset);
    return TRect(0, 0, w - offset, h - offset - ex);
}

QPoint TsShapedHintWindow::TailTip() const
{
    const QImage &work = const_cast<TsShapedHintWindow *>(this)->Work();
    const int w = work.width(), h = work.height();
    switch (Quadrant) {
    case 1:
        return QPoint(TailTipInset, h - TailTipInset);
    case 2:
        return QPoint(w - TailTipInset, TailTipInset);
    case 3:
        return QPoint(w - TailTipInset, h - TailTipInset);
    default:
        return QPoint(TailTipInset, TailTipInset);
    }
}

int TsShapedHintWindow::MaskLevel() const
{
    const TsHintManager *m = Manager();
    const TsPassivePainting *painting = m->sStyle()->Painting();
    if (m->sStyle()->Background()->Mode() == TsHintEnums::bgsTransparent && painting->Transparency() > 0)
        return painting->Transparency() * 255 / 100;
    return 0;
}

QImage TsShapedHintWindow::ShapeMask(int blur, int level)
{
    const QImage &work = Work();
    canvas::Canvas mask(work.width(), work.height());
    mask.Pen.Style = canvas::psClear;
    const TRect body = GetBodyRect();
    blur = std::max(blur, 0);
    for (int c = 0; c <= blur; ++c) {
        const int grey = RoundEven(level + double(blur - c) * (255 - level) / (blur + 1)) & 0xFF;
        mask.Brush = canvas::TBrush{canvas::RGB(grey, grey, grey), canvas::bsSolid};
        DrawBodyRing(mask, body, c);
        DrawTailRing(mask, body, c);
    }
    return mask.Image();
}

void TsShapedHintWindow::DrawTailRing(canvas::Canvas &mask, const TRect &body, int c)
{
    const QPoint tip = TailTip();
    const int h = Work().height();
    const int bw = body.Width(), bh = body.Height();
    const int cx = (body.Left + body.Right) / 2, cy = (body.Top + body.Bottom) / 2;
    const double q = tip.y() < body.Top ? (bh / 2.0 + body.Top) / (body.Top + 1)
                                        : (h - (body.Bottom - bh / 2.0)) / (h - body.Bottom + 1);
    const int l = std::max(0, RoundEven(bw / 8 - 2 * c * q));
    mask.Polygon({tip, QPoint(cx - l, cy), QPoint(cx + l, cy)});
}

QImage TsShapedHintWindow::BuildMask()
{
    return ShapeMask(Manager()->Blur(), MaskLevel());
}

void TsShapedHintWindow::PaintShadow()
{
    const TsPassiveShadow *shadow = Manager()->sStyle()->Shadow();
    const QImage mask = ShapeMask(shadow->Blur(), ShadowTransparency() * 255 / 100);
    BlendColorThroughMask(Work(), mask, shadow->Offset(), shadow->Offset(), shadow->Color());
}

void TsShapedHintWindow::PaintBorder(QImage &body)
{
    const TsHintManager *m = Manager();
    if (m->BevelWidth() <= 0)
        return;
    const TsPassivePainting *painting = m->sStyle()->Painting();
    TraceOutline(body, ShapeMask(m->Blur(), MaskLevel()), painting->ColorBorderTop(),
                 painting->ColorBorderBottom());
}

void TsComicsHintWindow::DrawBodyRing(canvas::Canvas &mask, const TRect &body, int c)
{
    const int r = Manager()->Radius();
    mask.RoundRect(body.Left + c, body.Top + c, body.Right - c, body.Bottom - c, r, r);
}

void TsEllipseHintWindow::DrawBodyRing(canvas::Canvas &mask, const TRect &body, int c)
{
    mask.Ellipse(body.Left + c, body.Top + c, body.Right - c, body.Bottom - c);
}

void TsBalloonHintWindow::DrawBodyRing(canvas::Canvas &mask, const TRect &body, int c)
{
    mask.Ellipse(body.Left + c, body.Top + c, body.Right - c, body.Bottom - c);
}

// Three small ellipses from the tip towards the body, growing as they go.
void TsBalloonHintWindow::DrawTailRing(canvas::Canvas &mask, const TRect &body, int c)
{
    const QPoint tip = TailTip();
    const int bw = body.Width(), bh = body.Height();
    if (bw <= 0 || bh <= 0)
        return;
    const double b = bh / 12.0;
    const int s = RoundEven((Manager()->ExOffset() - 3 * b) / 6);
    const int cx = (body.Left + body.Right) / 2;
    const bool below = Quadrant == 0 || Quadrant == 2;
    const bool leftOfOrigin = Quadrant == 2 || Quadrant == 3;
    const double distance = std::abs(cx - tip.x());
    int y = below ? 0 : Work().height() - ShadowOffset();
    for (int k = 1; k <= 3; ++k) {
        const int eh = RoundEven(b + 2 * (k - 1) * s);
        const int ew = RoundEven(double(eh) * bw / (2.0 * bh));
        // Measured from the window's edge on the tip's side, not from the tip.
        const int in = RoundEven(distance * k / 4);
        const int ex = leftOfOrigin ? Work().width() - in : in;
        const int top = below ? y : y - eh;
        mask.Ellipse(ex - ew / 2 + c, top + c, ex - ew / 2 + ew - c, top + eh - c);
        y = below ? y + eh : y - eh;
    }
}

void TsBalloonHintWindow::PaintShadow()
{
    const TsPassiveShadow *shadow = Manager()->sStyle()->Shadow();
    QImage &work = Work();
    const int offset = shadow->Offset();
    const QImage mask = ShapeMask(shadow->Blur(), ShadowTransparency() * 255 / 100);
    const int w = work.width() - offset, h = work.height() - offset;
    if (w <= 0 || h <= 0)
        return;
    BlendColorThroughMask(work, mask.scaled(w, h, Qt::IgnoreAspectRatio, Qt::FastTransformation), offset,
                          offset, shadow->Color());
}

} // namespace hints
