#pragma once

#include "widgets/iComponent.h"

#include <QBasicTimer>
#include <QRecursiveMutex>

namespace widgets {

// Windowed widget base: pseudo-transparency through a snapshot of the parent's own pixels,
// the paint lock, special-key and wheel answers, and the data-binding hook points.
class TiVCLComponent : public TiComponent
{
    Q_OBJECT

public:
    // The platform's want-all-keys dialog code.
    static constexpr int dlgcWantAllKeys = 4;

    explicit TiVCLComponent(QWidget *parent = nullptr);
    ~TiVCLComponent() override;

    bool TimerIsRunning() const override;
    void TimerStart(int IntervalMs) override;
    void TimerStop() override;
    bool BindingWriteBack(const QString &PropertyName, const QVariant &Value) override;
    void DrawBackGround(canvas::Canvas &Canvas, canvas::TColor BackGroundColor) override;
    void RefreshBackGround() override;
    void Lock() override;
    void Unlock() override;
    virtual void SetTransparent(bool Value);
    // No binding items exist in this system, so nothing is applied.
    virtual bool BindingApply(QObject *Item);
    virtual void Reserved2() {}

    bool GetTransparent() const { return FTransparent; }
    bool SnapshotPending() const { return FSnapshotPending; }
    // Null exactly while Transparent is off.
    const QImage *ParentSnapshot() const { return FParentSnapshot.get(); }

    // Answer to the dialog-code query: every key.
    int DialogCode() const { return dlgcWantAllKeys; }
    // Answer to the special-key query (arrows, tab, return, escape): the framework's answer
    // (not wanted), which iWantSpecialKey may turn into wanted.
    bool WantsSpecialKey(int Key);
    static bool IsSpecialKey(int Key);

signals:
    void OnNewOPCData(QObject *Sender);
    void OnBeforeNewOPCData(QObject *Sender);

protected:
    void RequestSnapshot(bool Invalidate = true);
    void ReflectedKeyUp(int Key) override;
    // Copies the parent's pixels under the widget into ParentSnapshot when all four test
    // points are visible; otherwise fills it with BackGroundColor and keeps the request.
    void CaptureSnapshot();
    bool PointVisible(QPoint Point) const;

    void BoundsChanged(bool Moved, bool Resized) override;
    // A failed capture is retried at every paint, cache or not.
    bool StaticPictureStale() const override { return FTransparent && FSnapshotPending; }
    bool event(QEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;
    void changeEvent(QEvent *event) override;

private:
    bool FTransparent = false;
    std::unique_ptr<QImage> FParentSnapshot;
    bool FSnapshotPending = false;
    QRecursiveMutex FPaintLock;
    QBasicTimer FTimer;
};

} // namespace widgets
