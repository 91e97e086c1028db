#include "widgets/iVCLComponent.h"

#include <QKeyEvent>
#include <QPainter>
#include <QWheelEvent>
#include <exception>

namespace widgets {

TiVCLComponent::TiVCLComponent(QWidget *parent) : TiComponent(parent) {}

TiVCLComponent::~TiVCLComponent()
{
    setDestroying(true);
    FTimer.stop();
}

bool TiVCLComponent::TimerIsRunning() const
{
    return FTimer.isActive();
}

void TiVCLComponent::TimerStart(int IntervalMs)
{
    FTimer.start(IntervalMs, this);
}

void TiVCLComponent::TimerStop()
{
    FTimer.stop();
}

bool TiVCLComponent::BindingWriteBack(const QString &PropertyName, const QVariant &Value)
{
    Q_UNUSED(PropertyName);
    Q_UNUSED(Value);
    return false;
}

bool TiVCLComponent::BindingApply(QObject *Item)
{
    Q_UNUSED(Item);
    return false;
}

void TiVCLComponent::Lock()
{
    if (!isDestroying())
        FPaintLock.lock();
}

void TiVCLComponent::Unlock()
{
    if (!isDestroying())
        FPaintLock.unlock();
}

void TiVCLComponent::SetTransparent(bool Value)
{
    if (!core::Assign(FTransparent, Value))
        return;
    if (Value) {
        if (!FParentSnapshot)
            FParentSnapshot = std::make_unique<QImage>(size(), QImage::Format_RGB32);
        RequestSnapshot(false);
    } else {
        FParentSnapshot.reset();
        FSnapshotPending = false;
    }
    InvalidateBackGround();
}

void TiVCLComponent::RequestSnapshot(bool Invalidate)
{
    if (!FTransparent || FSnapshotPending)
        return;
    FSnapshotPending = true;
    if (Invalidate)
        InvalidateBackGround();
}

void TiVCLComponent::RefreshBackGround()
{
    TiComponent::RefreshBackGround();
    RequestSnapshot();
}

void TiVCLComponent::BoundsChanged(bool Moved, bool Resized)
{
    TiComponent::BoundsChanged(Moved, Resized);
    if (Resized && FParentSnapshot)
        *FParentSnapshot = QImage(size(), QImage::Format_RGB32);
    RequestSnapshot();
}

void TiVCLComponent::DrawBackGround(canvas::Canvas &Canvas, canvas::TColor BackGroundColor)
{
    if (!FTransparent) {
        TiComponent::DrawBackGround(Canvas, BackGroundColor);
        return;
    }
    if (!FParentSnapshot || FParentSnapshot->size() != size())
        FParentSnapshot = std::make_unique<QImage>(size(), QImage::Format_RGB32);
    if (FSnapshotPending)
        CaptureSnapshot();
    Canvas.Draw(0, 0, *FParentSnapshot);
}

bool TiVCLComponent::PointVisible(QPoint Point) const
{
    return isVisible() && visibleRegion().contains(Point);
}

void TiVCLComponent::CaptureSnapshot()
{
    QImage &snapshot = *FParentSnapshot;
    const int w = width();
    const int h = height();
    QWidget *parent = parentWidget();
    const bool visible = parent && PointVisible(QPoint(9, 9)) && PointVisible(QPoint(w - 9, 9)) &&
                         PointVisible(QPoint(9, h - 9)) && PointVisible(QPoint(w - 9, h - 9));
    snapshot.fill(canvas::ToQRgb(FBackGroundColor));
    if (!visible)
        return; // tried again at the next paint
    // The parent's own pixels under the widget, without any of its children (this one included).
    parent->render(&snapshot, QPoint(0, 0), QRegion(geometry()), QWidget::DrawWindowBackground);
    FSnapshotPending = false;
}

bool TiVCLComponent::IsSpecialKey(int Key)
{
    switch (Key) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Escape:
        return true;
    default:
        return false;
    }
}

bool TiVCLComponent::WantsSpecialKey(int Key)
{
    bool wanted = false;
    int key = Key;
    iWantSpecialKey(key, wanted);
    return wanted;
}

bool TiVCLComponent::event(QEvent *e)
{
    if (e->type() == QEvent::KeyPress) {
        auto *ke = static_cast<QKeyEvent *>(e);
        const int key = ke->key();
        if (IsSpecialKey(key)) {
            bool wanted = false;
            try {
                wanted = WantsSpecialKey(key);
            } catch (const std::exception &) {
            }
            if (wanted) {
                keyPressEvent(ke);
                return true;
            }
            switch (key) {
            case Qt::Key_Tab:
            case Qt::Key_Backtab:
                return TiComponent::event(e);
            case Qt::Key_Right:
            case Qt::Key_Down:
                focusNextPrevChild(true);
                return true;
            case Qt::Key_Left:
            case Qt::Key_Up:
                focusNextPrevChild(false);
                return true;
            default:
                // Return and escape go on to the window (default and cancel buttons).
                keyPressEvent(ke);
                ke->ignore();
                return true;
            }
        }
    }
    return TiComponent::event(e);
}

void TiVCLComponent::ReflectedKeyUp(int Key)
{
    iKeyUp(Key, Qt::NoModifier);
}

void TiVCLComponent::wheelEvent(QWheelEvent *e)
{
    bool handled = false;
    try {
        handled = iMouseWheel(e->modifiers(), e->angleDelta().y(), e->position().toPoint());
    } catch (const std::exception &) {
    }
    e->setAccepted(handled);
}

void TiVCLComponent::changeEvent(QEvent *e)
{
    TiComponent::changeEvent(e);
    if (e->type() == QEvent::PaletteChange || e->type() == QEvent::StyleChange)
        InvalidateBackGround();
}

} // namespace widgets
