#include "lbbutton/LbButton.h"

#include "controls/Forms.h"
#include "controls/Pictures.h"
#include "layout/ClassRegistry.h"
#include "lbbutton/LbButtonRes.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <atomic>
#include <cstdint>

#include <sys/eventfd.h>
#include <unistd.h>

namespace lbbutton {

using namespace canvas;
using namespace controls;
using namespace layout;

namespace {

constexpr TColor Magenta = 0xFF00FF;

std::atomic<int> &intervalMs()
{
    static std::atomic<int> value{30};
    return value;
}

bool IsTransparentStyle(TLbButtonStyle style)
{
    return style == bsModern || style == bsShape || style == bsQuicken;
}

unsigned AlignmentFlag(TAlignment alignment)
{
    switch (alignment) {
    case taLeftJustify:
        return DT_LEFT;
    case taRightJustify:
        return DT_RIGHT;
    case taCenter:
        break;
    }
    return DT_CENTER;
}

// The character after a single '&' of the caption, or a null character.
QChar Accelerator(const QString &caption)
{
    for (int i = 0; i + 1 < caption.size(); ++i) {
        if (caption[i] != u'&')
            continue;
        if (caption[i + 1] != u'&')
            return caption[i + 1];
        ++i; // "&&" is a literal ampersand
    }
    return {};
}

QString ShortClassName(const QObject *object)
{
    QString name = RegisteredClassName(object);
    if (name.isEmpty()) {
        name = QString::fromLatin1(object->metaObject()->className());
        const int colon = name.lastIndexOf(u':');
        if (colon >= 0)
            name = name.mid(colon + 1);
    }
    return name;
}

} // namespace

TColor HotTrackMix(TColor color, TColor hot, int fadeLevel)
{
    const TColor c = ColorToRGB(color);
    const TColor h = ColorToRGB(hot);
    const double t = fadeLevel / 8.0;
    auto mix = [t](int a, int b) { return int((1.0 - t) * a + t * b); };
    return RGB(mix(GetRValue(c), GetRValue(h)), mix(GetGValue(c), GetGValue(h)),
               mix(GetBValue(c), GetBValue(h)));
}

void DrawGradient(Canvas &canvas, TColor a, TColor b, const TRect &box)
{
    const TColor from = ColorToRGB(a);
    const TColor to = ColorToRGB(b);
    double r = GetRValue(from), g = GetGValue(from), bl = GetBValue(from);
    const double dr = (GetRValue(to) - GetRValue(from)) / 31.0;
    const double dg = (GetGValue(to) - GetGValue(from)) / 31.0;
    const double db = (GetBValue(to) - GetBValue(from)) / 31.0;
    const int span = box.Bottom - box.Top;
    const TPen pen = canvas.Pen;
    const TBrush brush = canvas.Brush;
    canvas.Pen.Style = psClear;
    canvas.Brush.Style = bsSolid;
    for (int i = 0; i < 32; ++i) {
        const int y0 = box.Top + i * span / 31;
        const int y1 = std::min(y0 + span / 31 + 1, box.Bottom);
        canvas.Brush.Color = RGB(int(r), int(g), int(bl));
        canvas.FillRect(TRect(box.Left, y0, box.Right, y1));
        r += dr;
        g += dg;
        bl += db;
    }
    canvas.Pen = pen;
    canvas.Brush = brush;
}

void DrawGlyphCell(Canvas &canvas, const QImage &strip, int cellX, int gw, int gh, int gx, int gy)
{
    if (strip.isNull() || gw <= 0 || gh <= 0)
        return;
    // Starts as the first cell, so a cell beyond the strip shows the first one.
    QImage cell = strip.copy(0, 0, gw, gh).convertToFormat(QImage::Format_RGB32);
    Canvas cellCanvas(&cell);
    cellCanvas.Draw(-cellX, 0, strip.convertToFormat(QImage::Format_RGB32));
    canvas.DrawTransparent(gx, gy, cell);
}

void DrawFace(Canvas &canvas, const TLbFaceParams &p)
{
    const int W = p.W;
    const int H = p.H;
    const bool down = p.Enabled && p.Down;
    const int off = (down && p.Style != bsEncarta) ? 1 : 0;

    TColor face = ColorToRGB(p.Color);
    if (p.Enabled && p.HotTrackColor != clNone)
        face = HotTrackMix(face, p.HotTrackColor, p.FadeLevel);
    if (down && p.ColorWhenDown != clNone)
        face = ColorToRGB(p.ColorWhenDown);
    const TColor light = ColorToRGB(p.LightColor);
    const TColor shadow = ColorToRGB(p.ShadowColor);

    canvas.Pen.Style = psSolid;
    canvas.Pen.Width = 1;
    canvas.Brush.Style = bsSolid;
    if (!p.SkipBackground) {
        switch (p.Style) {
        case bsShape:
            canvas.Brush.Color = Magenta;
            canvas.FillRect(TRect(-1, -1, W + 1, H + 1));
            break;
        case bsNormal:
        case bsEncarta:
        case bsOld:
            canvas.Brush.Color = face;
            canvas.FillRect(TRect(-1, -1, W + 1, H + 1));
            break;
        case bsModern:
            DrawGradient(canvas, light, face, TRect(2, 2, W - 2, H / 4 + off));
            DrawGradient(canvas, face, light, TRect(2, H / 4 + off, W - 2, H - 1));
            break;
        case bsQuicken:
            break;
        }
    }

    canvas.Brush.Style = bsClear;
    switch (p.Style) {
    case bsNormal:
    case bsEncarta:
    case bsOld: {
        const bool border = (p.Enabled && (!p.Flat || p.Hot || down)) || (!p.Enabled && !p.Flat);
        if (!border)
            break;
        if (p.Style == bsOld) {
            canvas.Pen.Color = shadow;
            if (!down) {
                canvas.MoveTo(W - 2, 0);
                canvas.LineTo(W - 2, H - 2);
                canvas.LineTo(0, H - 2);
            } else {
                canvas.MoveTo(1, H - 3);
                canvas.LineTo(1, 1);
                canvas.LineTo(W - 2, 1);
            }
            const TColor dark = ColorToRGB(cl3DDkShadow);
            canvas.Pen.Color = down ? dark : light;
            canvas.MoveTo(0, H - 1);
            canvas.LineTo(0, 0);
            canvas.LineTo(W - 1, 0);
            canvas.Pen.Color = down ? light : dark;
            canvas.LineTo(W - 1, H - 1);
            canvas.LineTo(-1, H - 1);
        } else {
            canvas.Pen.Color = down ? shadow : light;
            canvas.MoveTo(0, H - 1);
            canvas.LineTo(0, 0);
            canvas.LineTo(W - 1, 0);
            canvas.Pen.Color = down ? light : shadow;
            canvas.LineTo(W - 1, H - 1);
            canvas.LineTo(0, H - 1);
        }
        break;
    }
    case bsModern:
        canvas.Pen.Color = down ? shadow : face;
        canvas.Rectangle(1, 1, W - 1, H - 1);
        canvas.Pen.Color = shadow;
        canvas.RoundRect(0, 0, W, H, 6, 6);
        break;
    case bsQuicken:
        canvas.Brush.Style = bsSolid;
        canvas.Brush.Color = face;
        canvas.Pen.Style = psClear;
        canvas.RoundRect(0, 1, W, H, 4, 4);
        canvas.Brush.Style = bsClear;
        canvas.Pen.Style = psSolid;
        canvas.Pen.Color = shadow;
        canvas.MoveTo(4, 0);
        canvas.LineTo(W - 5, 0);
        canvas.MoveTo(4, H - 1);
        canvas.LineTo(W - 5, H - 1);
        break;
    case bsShape:
        break;
    }

    if (p.Font)
        canvas.Font.Assign(*p.Font);
    if (p.Style == bsEncarta && down)
        canvas.Font.setStyle(canvas.Font.style() | TFont::fsBold);

    const int gh = p.Glyph.isNull() ? 0 : p.Glyph.height();
    const int gw = (p.NumGlyphs > 0 && !p.Glyph.isNull()) ? p.Glyph.width() / p.NumGlyphs : 0;
    int cellX = 0;
    if (!p.Enabled) {
        cellX = gw;
    } else {
        if (p.Hot && p.NumGlyphs > 3)
            cellX = 3 * gw;
        if (down && p.NumGlyphs > 2)
            cellX = 2 * gw;
    }

    const bool sideGlyph = p.Layout == blGlyphLeft || p.Layout == blGlyphRight;
    int tw = W - 8;
    if (gw > 0 && sideGlyph)
        tw -= gw + 4;
    tw = std::max(tw, 0);
    QString caption = p.Caption;
    if (!p.WordWrap)
        while (!caption.isEmpty() && canvas.TextWidth(caption) > tw)
            caption.chop(1);
    TRect measure(0, 0, tw, 0);
    if (!caption.isEmpty())
        canvas.DrawText(caption, measure, DT_CALCRECT | DT_WORDBREAK);
    const int th = caption.isEmpty() ? 0 : measure.Height();
    const int tw4 = caption.isEmpty() ? 0 : measure.Width() + 4;

    if (!p.Enabled)
        canvas.Font.setColor(0x808080);
    const bool drawGlyph = gw > 0 && gh > 0;

    if (p.Style == bsShape) {
        if (drawGlyph)
            DrawGlyphCell(canvas, p.Glyph, cellX, gw, gh, (W - gw) / 2, (H - gh) / 2);
        if (!caption.isEmpty())
            canvas.DrawText(caption, TRect(off, (H - th) / 2 + off, W, H), DT_WORDBREAK | DT_CENTER);
    } else {
        int tx = 0, ty = 0, gx = 0, gy = 0;
        const bool leftish = p.WordWrap || p.Alignment == taLeftJustify;
        if (sideGlyph) {
            ty = (H - th) / 2 + off;
            gy = (H - gh) / 2 + off;
            tx = off + 4;
            if (p.Layout == blGlyphLeft && gw > 0)
                tx += gw + 4;
            if (p.Layout == blGlyphLeft) {
                if (leftish)
                    gx = off + 4;
                else if (p.Alignment == taRightJustify)
                    gx = W - 4 - gw - tw4 + off;
                else
                    gx = (W - gw) / 2 + off - tw4 / 2;
            } else {
                if (leftish)
                    gx = tx + tw4;
                else if (p.Alignment == taRightJustify)
                    gx = W - 4 + off - gw;
                else
                    gx = (W - gw) / 2 + off + tw4 / 2;
            }
        } else {
            tx = off + 4;
            const int total = th + (gh > 0 ? gh + 4 : 0);
            if (p.Layout == blGlyphTop) {
                gy = (H - total) / 2 + off;
                ty = gy + gh;
            } else {
                ty = (H - total) / 2 + off;
                gy = ty + th;
            }
            if (p.Alignment == taLeftJustify)
                gx = off + 4;
            else if (p.Alignment == taRightJustify)
                gx = W - gw - 4 + off;
            else
                gx = (W - gw) / 2 + off;
        }
        if (!caption.isEmpty())
            canvas.DrawText(caption, TRect(tx, ty, tx + tw, ty + th),
                            DT_WORDBREAK | AlignmentFlag(p.Alignment));
        if (drawGlyph)
            DrawGlyphCell(canvas, p.Glyph, cellX, gw, gh, gx, gy);
    }

    if (p.HasPopup)
        canvas.DrawTransparent(W - 11, H / 2 - 1, LoadBitmapResource(QStringLiteral("LBARROW")));
}

// ---------------------------------------------------------------------------------------------

TLbButtonThread::TLbButtonThread(TLbButton *button) : FButton(button), FInterval(Interval())
{
    FWakeFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (FWakeFd >= 0) {
        FNotifier = std::make_unique<QSocketNotifier>(FWakeFd, QSocketNotifier::Read);
        QObject::connect(FNotifier.get(), &QSocketNotifier::activated, button, [this, button] {
            uint64_t count = 0;
            (void)!::read(FWakeFd, &count, sizeof count);
            button->FadeTick();
        });
    }
    FThread = std::thread([this] { Execute(); });
}

TLbButtonThread::~TLbButtonThread()
{
    Terminate();
    WaitFor();
    FNotifier.reset();
    if (FWakeFd >= 0)
        ::close(FWakeFd);
}

void TLbButtonThread::Wake()
{
    if (FWakeFd >= 0) {
        const uint64_t one = 1;
        (void)!::write(FWakeFd, &one, sizeof one);
    } else {
        // No descriptor to spare: a queued call does the same.
        QMetaObject::invokeMethod(FButton, "FadeTick", Qt::QueuedConnection);
    }
}

void TLbButtonThread::SetInterval(std::chrono::milliseconds interval)
{
    intervalMs().store(int(std::max<std::chrono::milliseconds::rep>(interval.count(), 0)));
}

std::chrono::milliseconds TLbButtonThread::Interval()
{
    return std::chrono::milliseconds(intervalMs().load());
}

void TLbButtonThread::Resume()
{
    std::lock_guard lock(FMutex);
    FSuspended = false;
    FWake.notify_all();
}

void TLbButtonThread::Suspend()
{
    std::lock_guard lock(FMutex);
    FSuspended = true;
}

bool TLbButtonThread::Suspended() const
{
    std::lock_guard lock(FMutex);
    return FSuspended;
}

void TLbButtonThread::Terminate()
{
    std::lock_guard lock(FMutex);
    FTerminated = true;
    FWake.notify_all();
}

bool TLbButtonThread::Terminated() const
{
    std::lock_guard lock(FMutex);
    return FTerminated;
}

void TLbButtonThread::WaitFor()
{
    if (FThread.joinable() && FThread.get_id() != std::this_thread::get_id())
        FThread.join();
}

bool TLbButtonThread::TakeStepRequest()
{
    std::lock_guard lock(FMutex);
    const bool requested = FStepRequested;
    FStepRequested = false;
    return requested;
}

void TLbButtonThread::StepDone()
{
    std::lock_guard lock(FMutex);
    FStepDone = true;
    FWake.notify_all();
}

void TLbButtonThread::Execute()
{
    std::unique_lock lock(FMutex);
    for (;;) {
        FWake.wait(lock, [this] { return !FSuspended || FTerminated; });
        if (FTerminated)
            return;
        if (FWake.wait_for(lock, FInterval, [this] { return FTerminated; }))
            return;
        FStepRequested = true;
        FStepDone = false;
        lock.unlock();
        // Never a blocking call: the GUI thread may be waiting for this thread right now.
        Wake();
        lock.lock();
        FWake.wait(lock, [this] { return FStepDone || FTerminated; });
        if (FTerminated)
            return;
    }
}

// ---------------------------------------------------------------------------------------------

TLbButton::TLbButton(QWidget *parent)
    : QWidget(parent), controls::TControl(this), FHotTrackFont(std::make_unique<TFont>())
{
    resize(100, 23);
    setDefaultFocus(true);
    setFocusPolicy(Qt::StrongFocus);
    setDefaultColor(clBtnFace, false);
    setAutoFillBackground(false);
    if (parent)
        if (auto *form = qobject_cast<TForm *>(parent->window()))
            FHotTrackFont->Assign(*form->Font());
    FFadeThread = std::make_unique<TLbButtonThread>(this);
    WatchWindow();
    // Named in a designer, the caption follows the name.
    connect(this, &QObject::objectNameChanged, this, [this](const QString &name) {
        if (isDesigning() && (FCaption.isEmpty() || FCaption == FLastName))
            SetCaption(name);
        FLastName = name;
    });
}

TLbButton::~TLbButton()
{
    setDestroying(true);
    StopFadeThread();
}

void TLbButton::StopFadeThread()
{
    if (!FFadeThread)
        return;
    try {
        FFadeThread->Resume();
        FFadeThread->Terminate();
        FFadeThread->WaitFor();
    } catch (...) {
    }
    FFadeThread.reset();
}

void TLbButton::RepaintNow()
{
    if (isLoading() || isDestroying())
        return;
    if (isVisible())
        repaint();
    else
        Paint();
}

void TLbButton::Invalidate()
{
    if (!isLoading())
        update();
}

void TLbButton::SetAlignment(TAlignment Value)
{
    if (Value == FAlignment)
        return;
    FAlignment = Value;
    RepaintNow();
}

void TLbButton::SetCaption(const QString &Value)
{
    if (Value == FCaption)
        return;
    FCaption = Value;
    setAccessibleName(Value);
    Invalidate();
}

void TLbButton::SetColorStyle(TLbColorStyle Value)
{
    if (Value == lcsCustom)
        return;
    const TLbColorPreset preset = ColorPreset(Value);
    FFlat = false;
    Font()->setColor(clBlack);
    setColor(preset.Color);
    FLightColor = preset.LightColor;
    FShadowColor = preset.ShadowColor;
    FColorWhenDown = preset.ColorWhenDown;
    FHotTrackColor = preset.HotTrackColor;
    FFlat = preset.Flat;
    FStyle = preset.Style; // the window style stays as it was
    Font()->setColor(preset.FontColor);
    RepaintNow();
}

void TLbButton::SetFlat(bool Value)
{
    if (Value == FFlat)
        return;
    FFlat = Value;
    RepaintNow();
}

void TLbButton::SetGlyph(const QString &Value)
{
    QImage image;
    if (IsBitmapResource(Value))
        image = LoadBitmapResource(Value);
    else if (!Value.isEmpty())
        image = LoadPicture(Value);
    SetGlyphImage(image, Value);
}

void TLbButton::SetGlyphImage(const QImage &Value, const QString &Name)
{
    FGlyph = Value.isNull() ? QImage() : Value.convertToFormat(QImage::Format_RGB32);
    FGlyphName = FGlyph.isNull() ? QString() : Name;
    FNumGlyphs = FGlyph.height() > 0 ? FGlyph.width() / FGlyph.height() : 0;
    FKind = bkCustom;
    Invalidate();
}

void TLbButton::SetNumGlyphs(int Value)
{
    Value = std::max(Value, 0);
    if (Value == FNumGlyphs)
        return;
    FNumGlyphs = Value;
    Invalidate();
}

void TLbButton::SetKind(TLbButtonKind Value)
{
    if (Value == bkCustom) {
        FKind = Value;
        Invalidate();
        return;
    }
    const TLbKindInfo info = KindInfo(Value);
    SetNumGlyphs(2);
    SetModalResult(info.ModalResult);
    FGlyphName = QString::fromLatin1(info.Resource);
    FGlyph = LoadBitmapResource(FGlyphName);
    SetCaption(DecodeWestern(info.Caption));
    FKind = Value;
    Invalidate();
}

void TLbButton::SetLayout(TLbButtonLayout Value)
{
    if (Value == FLayout)
        return;
    FLayout = Value;
    RepaintNow();
}

void TLbButton::SetLightColor(uint Value)
{
    if (Value == FLightColor)
        return;
    FLightColor = Value;
    RepaintNow();
}

void TLbButton::SetModalResult(int Value)
{
    FModalResult = Value;
    FKind = bkCustom;
}

void TLbButton::SetShadowColor(uint Value)
{
    if (Value == FShadowColor)
        return;
    FShadowColor = Value;
    RepaintNow();
}

void TLbButton::SetSlowDecease(bool Value)
{
    FSlowDecease = Value;
    if (Value) {
        if (!FFadeThread)
            FFadeThread = std::make_unique<TLbButtonThread>(this);
        return;
    }
    FFadeLevel = 0;
    StopFadeThread();
    Invalidate();
}

void TLbButton::SetStyle(TLbButtonStyle Value)
{
    if (Value == FStyle)
        return;
    FStyle = Value;
    FExTransparent = IsTransparentStyle(Value);
    Invalidate();
}

void TLbButton::SetWordWrap(bool Value)
{
    if (Value == FWordWrap)
        return;
    FWordWrap = Value;
    RepaintNow();
}

void TLbButton::SetPopupMenu(QMenu *Value)
{
    if (Value == FPopupMenu)
        return;
    FPopupMenu = Value;
    Invalidate();
}

void TLbButton::SetAction(QAction *Value)
{
    if (Value == FAction)
        return;
    if (FAction)
        disconnect(FAction, nullptr, this, nullptr);
    FAction = Value;
    if (FAction) {
        connect(FAction, &QAction::changed, this, &TLbButton::ActionChange);
        ActionChange();
    }
}

void TLbButton::ActionChange()
{
    if (!FAction)
        return;
    SetCaption(FAction->text());
    setEnabled(FAction->isEnabled());
    setHint(FAction->toolTip());
    const QIcon icon = FAction->icon();
    if (icon.isNull() || !FGlyph.isNull())
        return;
    const QList<QSize> sizes = icon.availableSizes();
    const QSize size = sizes.isEmpty() ? QSize(16, 16) : sizes.first();
    QImage image(size, QImage::Format_RGB32);
    image.fill(QColor(255, 0, 255));
    QPainter painter(&image);
    painter.drawPixmap(0, 0, icon.pixmap(size));
    painter.end();
    FGlyph = image;
    FNumGlyphs = 1;
    RepaintNow();
}

void TLbButton::Click()
{
    FDown = true;
    QPointer<TLbButton> guard(this);
    DoClick();
    if (guard && FAction)
        FAction->trigger();
}

void TLbButton::DoClick()
{
    if (!Visible() || !isEnabled() || !FDown)
        return;
    FDown = false;
    QPointer<TLbButton> guard(this);
    emit OnClick(this);
    if (!guard)
        return;
    if (FModalResult != 0) {
        for (QWidget *w = parentWidget(); w; w = w->parentWidget())
            if (auto *form = qobject_cast<TForm *>(w)) {
                form->setModalResult(FModalResult);
                break;
            }
    }
    if (!guard)
        return;
    if (FPopupMenu)
        FPopupMenu->popup(mapToGlobal(QPoint(0, height())));
}

void TLbButton::FadeStep()
{
    if (isDestroying() || (FFadeThread && FFadeThread->Terminated()))
        return;
    --FFadeLevel;
    if (FFadeLevel <= 0) {
        if (FFadeThread && !FFadeThread->Suspended())
            FFadeThread->Suspend();
        FFadeLevel = 0;
    }
    RepaintNow();
}

void TLbButton::FadeTick()
{
    TLbButtonThread *thread = FFadeThread.get();
    if (!thread || !thread->TakeStepRequest())
        return; // posted by a thread that has been stopped since
    FadeStep();
    if (FFadeThread.get() == thread)
        thread->StepDone();
}

void TLbButton::Paint()
{
    if ((!Visible() && !isDesigning()) || isLoading() || isDestroying())
        return;
    ++FPaintCount;
    const int W = width();
    const int H = height();
    const bool focused = hasFocus();
    const bool transparent = IsTransparentStyle(FStyle);

    Canvas bitmap(W, H);
    if (transparent) {
        bitmap.Brush.Color = Magenta;
        bitmap.FillRect(TRect(0, 0, W, H));
    }
    TFont font;
    font.Assign(*Font());
    if ((FMouseInside || focused) && FUseHotTrackFont)
        font.Assign(*FHotTrackFont);

    TLbFaceParams p;
    p.W = W;
    p.H = H;
    p.Alignment = FAlignment;
    p.Caption = FCaption;
    p.Layout = FLayout;
    p.Font = &font;
    p.ShadowColor = FShadowColor;
    p.LightColor = FLightColor;
    p.HotTrackColor = FHotTrackColor;
    p.ColorWhenDown = FColorWhenDown;
    p.Color = Color();
    p.Style = FStyle;
    p.HasPopup = !FPopupMenu.isNull();
    p.WordWrap = FWordWrap;
    p.Flat = FFlat;
    p.Enabled = isEnabled();
    p.Hot = FMouseInside || focused;
    p.Down = FDown;
    p.Glyph = FGlyph;
    p.NumGlyphs = FNumGlyphs;
    p.FadeLevel = FFadeLevel;

    if (FStyle == bsOld && focused) {
        p.W = W - 2;
        p.H = H - 2;
        if (FDown)
            p.LightColor = FShadowColor;
        DrawFace(bitmap, p);
        const QImage copy = bitmap.Image().copy();
        bitmap.Draw(1, 1, copy);
        bitmap.Brush.Style = bsClear;
        bitmap.Pen.Style = psSolid;
        bitmap.Pen.Color = clBlack;
        bitmap.Rectangle(0, 0, W, H);
    } else {
        DrawFace(bitmap, p);
    }

    FCanvas = bitmap.Image().convertToFormat(QImage::Format_ARGB32);
    if (transparent) {
        const QRgb key = ToQRgb(Magenta);
        for (int y = 0; y < FCanvas.height(); ++y) {
            auto *row = reinterpret_cast<QRgb *>(FCanvas.scanLine(y));
            for (int x = 0; x < FCanvas.width(); ++x)
                if ((row[x] | 0xFF000000u) == key)
                    row[x] = 0;
        }
    }
    if (focused && isEnabled() && FStyle != bsShape) {
        Canvas canvas(&FCanvas);
        canvas.DrawFocusRect(TRect(4, 4, W - 4, H - 4));
    }
}

void TLbButton::paintEvent(QPaintEvent *)
{
    Paint();
    if (FCanvas.size() != size())
        return;
    QPainter painter(this);
    painter.drawImage(0, 0, FCanvas);
}

void TLbButton::MouseEnter()
{
    if (!isEnabled() || !isVisible() || !parentWidget() || !parentWidget()->isVisible())
        return;
    FMouseInside = true;
    FFadeLevel = 8;
    RepaintNow();
    emit OnMouseEnter(this);
}

void TLbButton::MouseLeave()
{
    FMouseInside = false;
    if (FSlowDecease) {
        if (FFadeThread && FFadeThread->Suspended())
            FFadeThread->Resume();
    } else {
        FFadeLevel = 0;
        RepaintNow();
    }
    if (isEnabled() && isVisible() && parentWidget() && parentWidget()->isVisible())
        emit OnMouseExit(this);
}

void TLbButton::mousePressEvent(QMouseEvent *event)
{
    if (event->button() != Qt::LeftButton || !isEnabled())
        return;
    FDown = true;
    QPointer<TLbButton> guard(this);
    setFocus(Qt::MouseFocusReason); // an edit's exit check runs here, before the click
    if (guard)
        RepaintNow();
}

void TLbButton::mouseReleaseEvent(QMouseEvent *)
{
    // The mouse is grabbed while held, so a release outside the button still lands here.
    if (FDown) {
        QPointer<TLbButton> guard(this);
        Click();
        if (!guard)
            return;
    }
    FDown = false;
    RepaintNow();
}

void TLbButton::keyPressEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
        event->accept();
        if (!event->isAutoRepeat() && isEnabled()) {
            FDown = true;
            RepaintNow();
        }
        return;
    }
    QWidget::keyPressEvent(event);
}

void TLbButton::keyReleaseEvent(QKeyEvent *event)
{
    const int key = event->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space) {
        event->accept();
        if (event->isAutoRepeat())
            return; // one click per press, however long the key is held
        QPointer<TLbButton> guard(this);
        Click();
        if (guard)
            RepaintNow();
        return;
    }
    QWidget::keyReleaseEvent(event);
}

void TLbButton::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    RepaintNow();
}

void TLbButton::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    RepaintNow();
}

void TLbButton::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() == QEvent::EnabledChange) {
        FDown = false;
        RepaintNow();
    }
}

bool TLbButton::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Enter:
        MouseEnter();
        break;
    case QEvent::Leave:
        MouseLeave();
        break;
    case QEvent::ParentChange:
        WatchWindow();
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

// Keys the focused control leaves alone come up to the window; the form's default and cancel
// buttons and the accelerators take them there.
void TLbButton::WatchWindow()
{
    QWidget *top = window();
    if (top == this || top == FWatchedWindow)
        return;
    if (FWatchedWindow)
        FWatchedWindow->removeEventFilter(this);
    FWatchedWindow = top;
    top->installEventFilter(this);
}

bool TLbButton::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != FWatchedWindow || event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->isAutoRepeat())
        return false;
    if (DialogKey(key->key(), key->modifiers())) {
        key->accept();
        return true;
    }
    const QString text = key->text();
    if (text.size() == 1 && text[0].isPrint() && !(key->modifiers() & Qt::ControlModifier) &&
        DialogChar(text[0])) {
        key->accept();
        return true;
    }
    return false;
}

bool TLbButton::DialogChar(QChar Char)
{
    const QChar accel = Accelerator(FCaption);
    if (accel.isNull() || accel.toUpper() != Char.toUpper())
        return false;
    if (!Visible() || !isEnabled() || !parentWidget() || !parentWidget()->isVisible())
        return false;
    FDown = true;
    Click();
    return true;
}

QWidget *TLbButton::FindOwnerForm() const
{
    for (QWidget *w = parentWidget(); w; w = w->parentWidget())
        if (qobject_cast<TForm *>(w) || w->isWindow())
            return w;
    return nullptr;
}

bool TLbButton::DialogKey(int Key, Qt::KeyboardModifiers Modifiers)
{
    const bool wanted =
        ((Key == Qt::Key_Return || Key == Qt::Key_Enter) && FDefault) || (Key == Qt::Key_Escape && FCancel);
    if (!wanted || (Modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier)))
        return false;
    if (!Visible() || !isEnabled())
        return false;
    if (QWidget *form = FindOwnerForm()) {
        if (QWidget *active = form->focusWidget()) {
            const QString name = ShortClassName(active).toUpper();
            if (name.contains(QLatin1String("BUTTON")) && !name.contains(QLatin1String("RADIOBUTTON")))
                return false; // the focused button takes the key itself
        }
    }
    FDown = true;
    Click();
    return true;
}

void RegisterLbButtonClasses()
{
    RegisterClass<TLbButton>(QStringLiteral("TLbButton"));
}

} // namespace lbbutton
