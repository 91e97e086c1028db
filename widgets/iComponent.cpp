#include "widgets/iComponent.h"

#include "core/Exception.h"
#include "widgets/iPropertyFile.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMetaMethod>
#include <QMouseEvent>
#include <QPainter>
#include <algorithm>
#include <exception>

namespace widgets {

TiComponent::TiComponent(QWidget *parent)
    : QWidget(parent), controls::TControl(this), FBackGroundColor(canvas::clBtnFace)
{
    // Opaque: every paint covers the whole widget, so Qt need not erase or paint the parent.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    // Moves are reported without a button held, as the framework's mouse-move events are.
    setMouseTracking(true);
    setFocusPolicy(Qt::NoFocus);
    setClickOnRelease(true);
    FLastRepaintTime = Now();
    FBoundsSeen = geometry();
}

TiComponent::~TiComponent()
{
    setDestroying(true);
}

QPoint TiComponent::GetCenterPoint() const
{
    return QPoint(width() / 2 + FOffsetX, height() / 2 + FOffsetY);
}

void TiComponent::SetCachedDrawing(bool Value)
{
    if (!core::Assign(FCachedDrawing, Value))
        return;
    if (!Value)
        FBackGroundCache.reset();
    InvalidateBackGround();
}

void TiComponent::SetBorderStyle(TiBevelStyle Value)
{
    if (Assign(FBorderStyle, Value))
        InvalidateBackGround();
}

void TiComponent::SetBackGroundColor(canvas::TColor Value)
{
    if (Assign(FBackGroundColor, Value))
        InvalidateBackGround();
}

void TiComponent::DrawBackGround(canvas::Canvas &Canvas, canvas::TColor BackGroundColor)
{
    FBackGroundDirty = false;
    if (FBackGroundPicture && FBackGroundPicture->width() != 0) {
        Canvas.StretchDraw(canvas::Rect(0, 0, width(), height()), *FBackGroundPicture);
        return;
    }
    Canvas.Brush.Style = canvas::bsSolid;
    Canvas.Brush.Color = BackGroundColor;
    Canvas.FillRect(canvas::Rect(0, 0, width(), height()));
    DrawBorder(Canvas);
}

void TiComponent::DrawBorder(canvas::Canvas &Canvas)
{
    const canvas::TRect r(0, 0, width(), height());
    switch (FBorderStyle) {
    case ibsRaised:
        Canvas.DrawEdge(r, canvas::EDGE_RAISED, canvas::BF_RECT);
        break;
    case ibsLowered:
        Canvas.DrawEdge(r, canvas::EDGE_SUNKEN, canvas::BF_RECT);
        break;
    case ibsNone:
        break;
    }
}

bool TiComponent::BindingWriteBack(const QString &PropertyName, const QVariant &Value)
{
    Q_UNUSED(PropertyName);
    Q_UNUSED(Value);
    return false;
}

void TiComponent::DoFocusEnter()
{
    FHasFocus = true;
    // The control-parent window style has no counterpart here: Qt already routes tab
    // navigation through nested widgets.
    update();
}

void TiComponent::DoFocusLeave()
{
    FHasFocus = false;
    try {
        iMouseUp(Qt::LeftButton, Qt::NoModifier, 0, 0);
        update();
    } catch (const std::exception &) {
    }
}

void TiComponent::iWantSpecialKey(int &Key, bool &Wanted)
{
    Q_UNUSED(Key);
    Q_UNUSED(Wanted);
}

void TiComponent::iKeyUp(int Key, Qt::KeyboardModifiers Shift)
{
    Q_UNUSED(Key);
    Q_UNUSED(Shift);
}

void TiComponent::iKeyDown(int &Key, Qt::KeyboardModifiers Shift)
{
    Q_UNUSED(Key);
    Q_UNUSED(Shift);
}

void TiComponent::iKeyPress(QChar &Key)
{
    Q_UNUSED(Key);
}

void TiComponent::iMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)
{
    Q_UNUSED(Button);
    Q_UNUSED(Shift);
    Q_UNUSED(X);
    Q_UNUSED(Y);
}

void TiComponent::iMouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)
{
    Q_UNUSED(Button);
    Q_UNUSED(Shift);
    Q_UNUSED(X);
    Q_UNUSED(Y);
}

void TiComponent::iMouseMove(Qt::KeyboardModifiers Shift, int X, int Y)
{
    Q_UNUSED(Shift);
    Q_UNUSED(X);
    Q_UNUSED(Y);
}

void TiComponent::iDoubleClick() {}

bool TiComponent::iMouseWheel(Qt::KeyboardModifiers Shift, int WheelDelta, QPoint MousePos)
{
    Q_UNUSED(Shift);
    Q_UNUSED(WheelDelta);
    Q_UNUSED(MousePos);
    return false;
}

void TiComponent::RefreshBackGround()
{
    InvalidateBackGround();
}

void TiComponent::BeginUpdate()
{
    FUpdateLocked = true;
}

void TiComponent::EndUpdate()
{
    FUpdateLocked = false;
    if (FPendingBackGround || FPendingForeGround)
        RepaintThrottled();
}

bool TiComponent::SavePropertiesToFile(const QString &FileName)
{
    try {
        WritePropertyFile(FileName, PropertyFileLines(this, FOptionSaveAllProperties));
    } catch (const core::Exception &e) {
        throw core::Exception(QStringLiteral("Error Saving Properties - ") + e.Message());
    }
    return true;
}

bool TiComponent::LoadPropertiesFromFile(const QString &FileName)
{
    QByteArray bytes;
    try {
        bytes = ReadPropertyFileData(FileName);
    } catch (const core::Exception &e) {
        throw core::Exception(QStringLiteral("Error Loading Properties - ") + e.Message());
    }
    return LoadPropertiesFromData(bytes, FileName);
}

bool TiComponent::LoadPropertiesFromData(const QByteArray &Data, const QString &Name)
{
    try {
        const QStringList lines = PropertyFileTextLines(Data, Name);
        BeginUpdate();
        try {
            ApplyPropertyLines(this, lines);
        } catch (...) {
            // Otherwise the widget would never repaint again.
            EndUpdate();
            throw;
        }
        EndUpdate();
    } catch (const core::Exception &e) {
        throw core::Exception(QStringLiteral("Error Loading Properties - ") + e.Message());
    }
    return true;
}

void TiComponent::InvalidateBackGround()
{
    ++FCounters.InvalidateBackGround;
    FBackGroundDirty = true;
    Invalidate(FPendingBackGround);
}

void TiComponent::InvalidateForeGround()
{
    ++FCounters.InvalidateForeGround;
    Invalidate(FPendingForeGround);
}

void TiComponent::InvalidateForeGround(const QRect &Area)
{
    if (FUpdateLocked || FAutoFrameRate) {
        InvalidateForeGround();
        return;
    }
    ++FCounters.InvalidateForeGround;
    RepaintArea(Area);
}

void TiComponent::Invalidate(bool &PendingFlag)
{
    if (FUpdateLocked) {
        PendingFlag = true;
        return;
    }
    if (FAutoFrameRate) {
        PendingFlag = true;
        RepaintThrottled();
        return;
    }
    RepaintNow();
}

void TiComponent::RepaintNow()
{
    RepaintArea(rect());
}

void TiComponent::RepaintArea(const QRect &Area)
{
    ++FCounters.RepaintNow;
    FPendingBackGround = false;
    FPendingForeGround = false;
    FLastRepaintTime = Now();
    update(Area);
}

void TiComponent::RepaintThrottled()
{
    if (FAutoFrameRate && FUpdateFrameRate != 0 &&
        Now() <= FLastRepaintTime + 1.0 / (static_cast<double>(FUpdateFrameRate) * 86400.0))
        return;
    RepaintNow();
}

void TiComponent::SetAutoFrameRate(bool Value)
{
    if (!core::Assign(FAutoFrameRate, Value))
        return;
    if (Value)
        InvalidateBackGround();
    else
        EndUpdate();
}

void TiComponent::SetUpdateFrameRate(int Value)
{
    if (Assign(FUpdateFrameRate, Value))
        InvalidateBackGround();
}

void TiComponent::SetOffsetX(int Value)
{
    if (Assign(FOffsetX, Value))
        InvalidateBackGround();
}

void TiComponent::SetOffsetY(int Value)
{
    if (Assign(FOffsetY, Value))
        InvalidateBackGround();
}

QImage TiComponent::GetBackGroundPicture() const
{
    return FBackGroundPicture ? *FBackGroundPicture : QImage();
}

void TiComponent::SetBackGroundPicture(const QImage &Value)
{
    if (FBackGroundPicture)
        *FBackGroundPicture = Value;
    else
        FBackGroundPicture = std::make_unique<QImage>(Value);
    InvalidateBackGround();
}

void TiComponent::CreateBackGroundPicture()
{
    if (!FBackGroundPicture)
        FBackGroundPicture = std::make_unique<QImage>();
}

void TiComponent::SetTabStop(bool Value)
{
    setTabStop(Value);
    setFocusPolicy(Value ? Qt::TabFocus : Qt::NoFocus);
}

void TiComponent::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
    const QRect bounds(ALeft, ATop, qMax(0, AWidth), qMax(0, AHeight));
    if (bounds == FBoundsSeen)
        return;
    setGeometry(bounds);
    CheckBounds();
}

void TiComponent::CheckBounds()
{
    const QRect now = geometry();
    if (now == FBoundsSeen)
        return;
    const bool moved = now.topLeft() != FBoundsSeen.topLeft();
    const bool resized = now.size() != FBoundsSeen.size();
    FBoundsSeen = now;
    BoundsChanged(moved, resized);
}

void TiComponent::BoundsChanged(bool Moved, bool Resized)
{
    Q_UNUSED(Moved);
    if (Resized && FBackGroundCache)
        *FBackGroundCache = QImage(size(), QImage::Format_RGB32);
    InvalidateBackGround();
}

QImage &TiComponent::EnsureBackGroundCache()
{
    if (!FBackGroundCache)
        FBackGroundCache = std::make_unique<QImage>(size(), QImage::Format_RGB32);
    else if (FBackGroundCache->size() != size())
        *FBackGroundCache = QImage(size(), QImage::Format_RGB32);
    return *FBackGroundCache;
}

void TiComponent::DrawStaticPicture(canvas::Canvas &Canvas,
                                    const std::function<void(canvas::Canvas &)> &DrawStatic)
{
    if (!FCachedDrawing) {
        DrawStatic(Canvas);
        return;
    }
    QImage &cache = EnsureBackGroundCache();
    if (FBackGroundDirty || StaticPictureStale()) {
        canvas::Canvas cacheCanvas(&cache);
        DrawStatic(cacheCanvas);
        FBackGroundDirty = false;
    }
    Canvas.Draw(0, 0, cache);
}

bool TiComponent::PaintedOver() const
{
    return isSignalConnected(QMetaMethod::fromSignal(&TiComponent::OnAfterPaint));
}

QImage TiComponent::PaintToImage()
{
    QImage bitmap;
    PaintInto(bitmap, rect());
    return bitmap;
}

void TiComponent::PaintInto(QImage &Bitmap, const QRect &Area)
{
    Lock();
    struct Unlocker
    {
        TiComponent *self;
        ~Unlocker() { self->Unlock(); }
    } unlocker{this};
    const QSize size(qMax(width(), 0), qMax(height(), 0));
    if (Bitmap.size() != size || Bitmap.format() != QImage::Format_RGB32)
        Bitmap = QImage(size, QImage::Format_RGB32);
    const bool whole = Area.contains(QRect(QPoint(0, 0), size)) || PaintedOver();
    const QRect area = whole ? QRect(QPoint(0, 0), size) : Area & QRect(QPoint(0, 0), size);
    for (int y = area.top(); y <= area.bottom(); ++y)
        std::fill_n(reinterpret_cast<QRgb *>(Bitmap.scanLine(y)) + area.left(), area.width(), 0xffffffffu);
    canvas::Canvas canvas(&Bitmap);
    if (!whole)
        canvas.SetClipRect(canvas::Bounds(area.x(), area.y(), area.width(), area.height()));
    canvas.Brush.Style = canvas::bsSolid;
    canvas.Pen.Style = canvas::psSolid;
    iPaintTo(canvas);
    emit OnAfterPaint(this, &canvas);
}

void TiComponent::paintEvent(QPaintEvent *event)
{
    try {
        // Only the requested part is drawn and copied; the bitmap is kept for the next paint.
        const QRect area = event->rect() & rect();
        if (area.isEmpty())
            return;
        PaintInto(FPaintBitmap, area);
        QPainter painter(this);
        painter.drawImage(area.topLeft(), FPaintBitmap, area);
    } catch (const std::exception &) {
        // The window keeps what it showed before.
    }
}

void TiComponent::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    CheckBounds();
}

void TiComponent::moveEvent(QMoveEvent *event)
{
    QWidget::moveEvent(event);
    CheckBounds();
}

void TiComponent::keyPressEvent(QKeyEvent *event)
{
    try {
        int key = event->key();
        const Qt::KeyboardModifiers shift = event->modifiers();
        emit OnKeyDown(this, key, shift);
        // A user handler that clears the key keeps it from the widget's own handling.
        if (key != 0)
            iKeyDown(key, shift);
        const QString text = event->text();
        if (!text.isEmpty() && text.at(0).isPrint()) {
            QChar ch = text.at(0);
            emit OnKeyPress(this, ch);
            if (!ch.isNull())
                iKeyPress(ch);
        }
        event->accept();
    } catch (const std::exception &) {
    }
}

void TiComponent::keyReleaseEvent(QKeyEvent *event)
{
    try {
        int key = event->key();
        const Qt::KeyboardModifiers shift = event->modifiers();
        ReflectedKeyUp(key);
        emit OnKeyUp(this, key, shift);
        if (key != 0)
            iKeyUp(key, shift);
    } catch (const std::exception &) {
    }
}

void TiComponent::ReflectedKeyUp(int Key)
{
    Q_UNUSED(Key);
}

// The framework delivers mouse events here first, then raises the user's events (Do*).
void TiComponent::mousePressEvent(QMouseEvent *event)
{
    try {
        const QPoint p = event->position().toPoint();
        iMouseDown(event->button(), event->modifiers(), p.x(), p.y());
    } catch (const std::exception &) {
    }
}

void TiComponent::mouseReleaseEvent(QMouseEvent *event)
{
    try {
        const QPoint p = event->position().toPoint();
        iMouseUp(event->button(), event->modifiers(), p.x(), p.y());
    } catch (const std::exception &) {
    }
}

void TiComponent::mouseMoveEvent(QMouseEvent *event)
{
    const QPoint p = event->position().toPoint();
    iMouseMove(event->modifiers(), p.x(), p.y());
}

void TiComponent::mouseDoubleClickEvent(QMouseEvent *event)
{
    try {
        iDoubleClick();
        if (event->button() == Qt::LeftButton)
            emit OnDblClick(this);
    } catch (const std::exception &) {
    }
}

void TiComponent::DoClick()
{
    try {
        emit OnClick(this);
    } catch (const std::exception &) {
    }
}

void TiComponent::DoMouseDown(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)
{
    try {
        emit OnMouseDown(this, Button, Shift, X, Y);
    } catch (const std::exception &) {
    }
}

void TiComponent::DoMouseMove(Qt::KeyboardModifiers Shift, int X, int Y)
{
    emit OnMouseMove(this, Shift, X, Y);
}

void TiComponent::DoMouseUp(Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)
{
    try {
        emit OnMouseUp(this, Button, Shift, X, Y);
    } catch (const std::exception &) {
    }
}

void TiComponent::focusInEvent(QFocusEvent *event)
{
    DoFocusEnter();
    QWidget::focusInEvent(event);
}

void TiComponent::focusOutEvent(QFocusEvent *event)
{
    if (QApplication::focusWidget() != this)
        DoFocusLeave();
    QWidget::focusOutEvent(event);
}

} // namespace widgets
