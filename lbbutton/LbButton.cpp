#include "lbbutton/LbButton.h"

#include "controls/Forms.h"
#include "controls/Pictures.h"
#include "controls/WindowKeyWatch.h"
#include "core/Setter.h"
#include "layout/ClassRegistry.h"
#include "lbbutton/LbButtonRes.h"

#include <QAction>
#include <QApplication>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cstdint>

namespace lbbutton {

using namespace canvas;
using namespace controls;
using namespace layout;

namespace {

bool IsTransparentStyle(TLbButtonStyle style)
{
    return style == bsModern || style == bsShape || style == bsQuicken;
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
    new controls::TWindowKeyWatch(this, [this](QKeyEvent *key) {
        if (DialogKey(key->key(), key->modifiers()))
            return true;
        const QChar c = controls::DialogCharOf(key);
        return !c.isNull() && DialogChar(c);
    });
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
    if (!core::Assign(FAlignment, Value))
        return;
    RepaintNow();
}

void TLbButton::SetCaption(const QString &Value)
{
    if (!core::Assign(FCaption, Value))
        return;
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
    if (!core::Assign(FFlat, Value))
        return;
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
    if (!core::Assign(FNumGlyphs, Value))
        return;
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
    if (!core::Assign(FLayout, Value))
        return;
    RepaintNow();
}

void TLbButton::SetLightColor(uint Value)
{
    if (!core::Assign(FLightColor, Value))
        return;
    RepaintNow();
}

void TLbButton::SetModalResult(int Value)
{
    FModalResult = Value;
    FKind = bkCustom;
}

void TLbButton::SetShadowColor(uint Value)
{
    if (!core::Assign(FShadowColor, Value))
        return;
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
    if (!core::Assign(FStyle, Value))
        return;
    FExTransparent = IsTransparentStyle(Value);
    Invalidate();
}

void TLbButton::SetWordWrap(bool Value)
{
    if (!core::Assign(FWordWrap, Value))
        return;
    RepaintNow();
}

void TLbButton::SetPopupMenu(QMenu *Value)
{
    if (!core::Assign(FPopupMenu, Value))
        return;
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
        bitmap.Brush.Color = FaceKeyColor;
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
        const QRgb key = ToQRgb(FaceKeyColor);
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
    default:
        break;
    }
    return QWidget::event(event);
}

bool TLbButton::DialogChar(QChar Char)
{
    const QChar accel = controls::AcceleratorOf(FCaption);
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
