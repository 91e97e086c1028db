#include "widgets/iLabel.h"

#include "controls/WindowKeyWatch.h"
#include "widgets/iGPFunctions.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QShortcutEvent>
#include <cstdlib>

namespace widgets {

TiLabel::TiLabel(QWidget *parent)
    : TiVCLComponent(parent), FCaption(QStringLiteral("iLabel")), FFont(new canvas::TFont(this)),
      FShadowColor(canvas::clGray)
{
    // The constructor's size stays until something that sizes the label changes.
    resize(28, 13);
    connect(FFont, &canvas::TFont::OnChange, this, [this](QObject *) { FontChanged(); });
    new controls::TWindowKeyWatch(this, [this](QKeyEvent *key) {
        const QChar c = controls::DialogCharOf(key);
        return !c.isNull() && DialogChar(c);
    });
}

TiLabel::~TiLabel()
{
    if (FFocusControlWatch)
        disconnect(FFocusControlWatch);
}

int TiLabel::BorderWidth() const
{
    switch (FLabelBorderStyle) {
    case ilbsSingle:
        return 1;
    case ilbsLowered:
    case ilbsRaised:
        return 2;
    case ilbsNone:
        break;
    }
    return 0;
}

canvas::TRect TiLabel::TextRect() const
{
    const int b = BorderWidth();
    return canvas::TRect(b + FOuterMarginLeft, b + FOuterMarginTop, width() - b - FOuterMarginRight,
                         height() - b - FOuterMarginBottom);
}

QChar TiLabel::AcceleratorOf(const QString &Caption)
{
    return controls::AcceleratorOf(Caption);
}

void TiLabel::SetCaption(const QString &Value)
{
    if (FCaption == Value)
        return;
    bool allow = true;
    emit OnPropertyChangeRequest(this, QStringLiteral("Caption"), allow);
    if (!allow)
        return;
    FCaption = Value;
    UpdateShortcut();
    DoAutoSize();
    InvalidateForeGround();
}

void TiLabel::SetFont(canvas::TFont *Value)
{
    if (Value)
        FFont->Assign(*Value);
}

void TiLabel::FontChanged()
{
    DoAutoSize();
    InvalidateForeGround();
}

void TiLabel::SetAlignment(TiAlignmentHorizontal Value)
{
    if (Assign(FAlignment, Value))
        InvalidateForeGround();
}

void TiLabel::SetShadowColor(canvas::TColor Value)
{
    if (Assign(FShadowColor, Value))
        InvalidateForeGround();
}

// The sizing properties: store, re-size, repaint.
template <class T> void TiLabel::SetSizing(T &Field, T Value)
{
    if (!Assign(Field, Value))
        return;
    DoAutoSize();
    InvalidateForeGround();
}

void TiLabel::SetAutoSize(bool Value)
{
    SetSizing(FAutoSize, Value);
}

void TiLabel::SetBorderStyle(TiLabelBorderStyle Value)
{
    SetSizing(FLabelBorderStyle, Value);
}

void TiLabel::SetShadowShow(bool Value)
{
    SetSizing(FShadowShow, Value);
}

void TiLabel::SetShadowXOffset(int Value)
{
    SetSizing(FShadowXOffset, Value);
}

void TiLabel::SetShadowYOffset(int Value)
{
    SetSizing(FShadowYOffset, Value);
}

void TiLabel::SetOuterMarginLeft(int Value)
{
    SetSizing(FOuterMarginLeft, Value);
}

void TiLabel::SetOuterMarginTop(int Value)
{
    SetSizing(FOuterMarginTop, Value);
}

void TiLabel::SetOuterMarginRight(int Value)
{
    SetSizing(FOuterMarginRight, Value);
}

void TiLabel::SetOuterMarginBottom(int Value)
{
    SetSizing(FOuterMarginBottom, Value);
}

void TiLabel::SetFocusControl(QWidget *Value)
{
    if (FFocusControlWatch)
        disconnect(FFocusControlWatch);
    FFocusControl = Value;
    if (Value)
        FFocusControlWatch = connect(Value, &QObject::destroyed, this, [this] { FocusControlDestroyed(); });
    UpdateShortcut();
    InvalidateForeGround();
}

void TiLabel::FocusControlDestroyed()
{
    FFocusControl = nullptr;
    FFocusControlWatch = {};
    UpdateShortcut();
    InvalidateForeGround();
}

// The accelerator only acts while a focus control is assigned.
void TiLabel::UpdateShortcut()
{
    if (FShortcutId != 0) {
        releaseShortcut(FShortcutId);
        FShortcutId = 0;
    }
    if (!FFocusControl)
        return;
    const QChar key = AcceleratorOf(FCaption);
    if (key.isNull())
        return;
    FShortcutId =
        grabShortcut(QKeySequence(QKeyCombination(Qt::AltModifier, Qt::Key(key.toUpper().unicode()))));
}

bool TiLabel::DialogChar(QChar Char)
{
    QWidget *target = FFocusControl.data();
    const QChar accel = AcceleratorOf(FCaption);
    if (!target || accel.isNull() || accel.toUpper() != Char.toUpper() || !isVisible() || !isEnabled())
        return false;
    if (!target->isEnabled() || !target->isVisible() || target->focusPolicy() == Qt::NoFocus)
        return false;
    target->setFocus(Qt::ShortcutFocusReason);
    return true;
}

// Alt plus the accelerator is a shortcut, so that it reaches the label even from an editor that
// takes plain characters itself.
bool TiLabel::event(QEvent *e)
{
    if (e->type() == QEvent::Shortcut) {
        auto *se = static_cast<QShortcutEvent *>(e);
        if (se->shortcutId() == FShortcutId && DialogChar(AcceleratorOf(FCaption))) {
            e->accept();
            return true;
        }
        e->ignore();
        return false;
    }
    return TiVCLComponent::event(e);
}

void TiLabel::DoAutoSize()
{
    if (!FAutoSize || isLoading() || FAutoSizing)
        return;
    FAutoSizing = true;
    struct Reset
    {
        bool &flag;
        ~Reset() { flag = false; }
    } reset{FAutoSizing};

    canvas::Canvas canvas;
    canvas.Font.Assign(*FFont);
    const int allowX = FShadowShow ? std::abs(FShadowXOffset) : 0;
    const int allowY = FShadowShow ? std::abs(FShadowYOffset) : 0;
    const int b = BorderWidth();
    const int w = 2 * b + FOuterMarginLeft + FOuterMarginRight + canvas.TextWidth(FCaption) + allowX;
    const int h = 2 * b + FOuterMarginTop + FOuterMarginBottom + canvas.TextHeight(FCaption) + allowY;
    SetBounds(Left(), Top(), w, h);
    if (OnResize)
        OnResize(this);
}

void TiLabel::iPaintTo(canvas::Canvas &Canvas)
{
    DrawBackGround(Canvas, GetBackGroundColor());

    Canvas.Font.Assign(*FFont);
    Canvas.Brush.Style = canvas::bsClear;

    const canvas::TRect r = TextRect();
    TiTextOptions options = itoSingleLine | itoVerticalCenter;
    switch (FAlignment) {
    case iahCenter:
        options |= itoCenter;
        break;
    case iahLeft:
        options |= itoLeft;
        break;
    case iahRight:
        options |= itoRight;
        break;
    }
    if (FFocusControl)
        options |= itoNoPrefix;

    auto draw = [&](canvas::TRect where, canvas::TColor color) {
        Canvas.Font.setColor(color);
        iDrawText(Canvas, FCaption, where, options);
    };
    auto moved = [&](int dx, int dy) {
        return canvas::TRect(r.Left + dx, r.Top + dy, r.Right + dx, r.Bottom + dy);
    };
    if (FShadowShow) {
        // The shadow always lies at (ShadowXOffset, ShadowYOffset) from the caption.
        if (FShadowXOffset >= 0) {
            draw(moved(FShadowXOffset, FShadowYOffset), FShadowColor);
            draw(r, FFont->color());
        } else {
            draw(r, FShadowColor);
            draw(moved(-FShadowXOffset, -FShadowYOffset), FFont->color());
        }
    } else {
        draw(r, FFont->color());
    }

    const canvas::TRect client(0, 0, width(), height());
    switch (FLabelBorderStyle) {
    case ilbsSingle:
        Canvas.Brush.Style = canvas::bsClear;
        Canvas.Pen.Style = canvas::psSolid;
        Canvas.Pen.Width = 1;
        Canvas.Pen.Color = canvas::clWindowFrame;
        Canvas.Rectangle(client);
        break;
    case ilbsLowered:
        iDrawBevel(Canvas, client, 0);
        break;
    case ilbsRaised:
        iDrawBevel(Canvas, client, 1);
        break;
    case ilbsNone:
        break;
    }
}

} // namespace widgets
