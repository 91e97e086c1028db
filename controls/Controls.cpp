#include "controls/Controls.h"

#include "core/Setter.h"

#include <QCoreApplication>
#include <QEvent>
#include <QFocusEvent>
#include <QHelpEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QToolTip>

#include <algorithm>

namespace controls {

Qt::CursorShape CursorShape(TCursor cursor)
{
    switch (cursor) {
    case crNone:
        return Qt::BlankCursor;
    case crCross:
        return Qt::CrossCursor;
    case crIBeam:
        return Qt::IBeamCursor;
    case crSizeAll:
        return Qt::SizeAllCursor;
    case crHourGlass:
        return Qt::WaitCursor;
    case crNo:
        return Qt::ForbiddenCursor;
    case crHandPoint:
        return Qt::PointingHandCursor;
    case crDefault:
    case crArrow:
        break;
    }
    return Qt::ArrowCursor;
}

// Sees the control's own events before the Qt widget does.
class ControlEventFilter : public QObject
{
public:
    ControlEventFilter(TControl *control, QObject *parent) : QObject(parent), m_control(control) {}

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched != m_control->asWidget())
            return false;
        if (m_swallowing)
            return true;
        return m_control->handleEvent(event);
    }

    void setSwallowing(bool on) { m_swallowing = on; }

private:
    TControl *m_control;
    bool m_swallowing = false;
};

namespace {

// Re-aligns the children of parents that are not controls themselves (forms of other classes).
class AlignWatcher : public QObject
{
public:
    using QObject::QObject;

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Resize && watched->isWidgetType())
            TControl::AlignChildren(static_cast<QWidget *>(watched));
        return false;
    }
};

AlignWatcher *alignWatcher()
{
    static QPointer<AlignWatcher> watcher;
    if (!watcher)
        watcher = new AlignWatcher(QCoreApplication::instance());
    return watcher;
}

TControl *controlOf(QWidget *widget)
{
    return widget ? dynamic_cast<TControl *>(widget) : nullptr;
}

canvas::TFont *fontOf(QObject *object)
{
    if (!object)
        return nullptr;
    const QVariant v = object->property("Font");
    return v.isValid() ? v.value<canvas::TFont *>() : nullptr;
}

bool isUserFocusChange(const QFocusEvent *event)
{
    return event->reason() != Qt::ActiveWindowFocusReason && event->reason() != Qt::PopupFocusReason;
}

} // namespace

TControl::TControl(QWidget *self) : m_self(self), m_font(std::make_unique<canvas::TFont>())
{
    m_filter = new ControlEventFilter(this, self);
    self->installEventFilter(m_filter);
    // Children are visible unless a layout says otherwise; a hidden parent keeps them unseen.
    // The events showing sends at once are kept from the widget: they would reach its own class,
    // whose members are not built yet (this runs inside its constructor).
    if (!self->isWindow() && self->parentWidget()) {
        m_filter->setSwallowing(true);
        self->setVisible(true);
        m_filter->setSwallowing(false);
    }
    self->setMouseTracking(true);
    QObject::connect(m_font.get(), &canvas::TFont::OnChange, m_filter, [this] { fontChanged(); });
    if (canvas::TFont *parentFont = fontOf(self->parentWidget())) {
        m_syncingFont = true;
        m_font->Assign(*parentFont);
        m_syncingFont = false;
    }
}

TControl::~TControl()
{
    // The Qt part outlives this mixin by a moment; it must not call back into it.
    m_self->removeEventFilter(m_filter);
    delete m_filter;
}

void TControl::setLeft(int left)
{
    const QRect r = boundsRect();
    SetBounds(left, r.y(), r.width(), r.height());
}

void TControl::setTop(int top)
{
    const QRect r = boundsRect();
    SetBounds(r.x(), top, r.width(), r.height());
}

void TControl::setWidth(int width)
{
    const QRect r = boundsRect();
    SetBounds(r.x(), r.y(), width, r.height());
}

void TControl::setHeight(int height)
{
    const QRect r = boundsRect();
    SetBounds(r.x(), r.y(), r.width(), height);
}

void TControl::SetBounds(int left, int top, int width, int height)
{
    const QRect r(left, top, std::max(0, width), std::max(0, height));
    if (r == boundsRect())
        return;
    m_self->setGeometry(r);
}

QRect TControl::boundsRect() const
{
    return m_self->geometry();
}

bool TControl::Visible() const
{
    return !m_self->isHidden();
}

bool TControl::Enabled() const
{
    return !m_self->testAttribute(Qt::WA_ForceDisabled);
}

void TControl::setHint(const QString &hint)
{
    m_hint = hint;
}

bool TControl::ShowHint() const
{
    if (m_parentShowHint && m_self->parentWidget()) {
        const QVariant v = m_self->parentWidget()->property("ShowHint");
        if (v.isValid())
            return v.toBool();
    }
    return m_showHint;
}

void TControl::setShowHint(bool show)
{
    m_showHint = show;
    m_parentShowHint = false;
}

void TControl::setParentShowHint(bool parentShowHint)
{
    if (parentShowHint == m_parentShowHint)
        return;
    if (!parentShowHint)
        m_showHint = ShowHint();
    m_parentShowHint = parentShowHint;
}

void TControl::setCursorType(TCursor cursor)
{
    if (!core::Assign(m_cursor, cursor))
        return;
    if (cursor == crDefault)
        m_self->unsetCursor();
    else
        m_self->setCursor(CursorShape(cursor));
}

uint TControl::Color() const
{
    if (m_parentColor && m_self->parentWidget()) {
        bool ok = false;
        const uint parentColor = m_self->parentWidget()->property("Color").toUInt(&ok);
        if (ok)
            return parentColor;
    }
    return m_color;
}

void TControl::setColor(uint color)
{
    if (!m_parentColor && color == m_color)
        return;
    m_color = color;
    m_parentColor = false;
    colorChanged();
}

void TControl::setParentColor(bool parentColor)
{
    if (parentColor == m_parentColor)
        return;
    if (!parentColor)
        m_color = Color();
    m_parentColor = parentColor;
    colorChanged();
}

void TControl::setParentFont(bool parentFont)
{
    if (!core::Assign(m_parentFont, parentFont))
        return;
    if (parentFont)
        parentFontChanged();
}

void TControl::setAlign(TAlign align)
{
    if (!core::Assign(m_align, align))
        return;
    QWidget *parent = m_self->parentWidget();
    if (!parent)
        return;
    if (!controlOf(parent))
        parent->installEventFilter(alignWatcher());
    if (!isLoading())
        AlignChildren(parent);
}

void TControl::setTabStop(bool tabStop)
{
    if (!core::Assign(m_tabStop, tabStop))
        return;
    const Qt::FocusPolicy policy = m_self->focusPolicy();
    if (policy == Qt::NoFocus)
        return;
    m_self->setFocusPolicy(tabStop ? Qt::StrongFocus : Qt::ClickFocus);
}

void TControl::Loaded()
{
    core::ComponentState::Loaded();
    AlignChildren(m_self);
    if (m_align != alNone && m_self->parentWidget())
        AlignChildren(m_self->parentWidget());
    m_self->update();
}

QRect TControl::alignRect() const
{
    return m_self->rect();
}

void TControl::AlignChildren(QWidget *parent)
{
    if (!parent)
        return;
    TControl *parentControl = controlOf(parent);
    QRect area = parentControl ? parentControl->alignRect() : parent->rect();
    for (TAlign pass : {alTop, alBottom, alLeft, alRight, alClient}) {
        for (QObject *object : parent->children()) {
            TControl *child = object->isWidgetType() ? controlOf(static_cast<QWidget *>(object)) : nullptr;
            if (!child || child->m_align != pass || child->m_self->isHidden())
                continue;
            const QRect old = child->boundsRect();
            QRect r;
            switch (pass) {
            case alTop:
                r = QRect(area.left(), area.top(), area.width(), old.height());
                area.setTop(area.top() + old.height());
                break;
            case alBottom:
                r = QRect(area.left(), area.bottom() + 1 - old.height(), area.width(), old.height());
                area.setBottom(area.bottom() - old.height());
                break;
            case alLeft:
                r = QRect(area.left(), area.top(), old.width(), area.height());
                area.setLeft(area.left() + old.width());
                break;
            case alRight:
                r = QRect(area.right() + 1 - old.width(), area.top(), old.width(), area.height());
                area.setRight(area.right() - old.width());
                break;
            case alClient:
                r = area;
                break;
            case alNone:
                break;
            }
            child->SetBounds(r.x(), r.y(), r.width(), r.height());
        }
    }
}

void TControl::applyColor()
{
    QPalette pal = m_self->palette();
    pal.setColor(QPalette::Window, canvas::ToQColor(Color()));
    m_self->setPalette(pal);
    // A control that follows its parent's colour lets the parent show through.
    m_self->setAutoFillBackground(!m_parentColor);
}

void TControl::applyFont()
{
    m_self->setFont(m_font->toQFont());
    QPalette pal = m_self->palette();
    const QColor text = canvas::ToQColor(m_font->color());
    for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText})
        pal.setColor(role, text);
    m_self->setPalette(pal);
}

void TControl::requestRepaint()
{
    if (!isLoading())
        m_self->update();
}

void TControl::setDefaultColor(uint color, bool parentColor)
{
    m_color = color;
    m_parentColor = parentColor;
    applyColor();
}

void TControl::setDefaultFocus(bool tabStop)
{
    m_tabStop = tabStop;
}

void TControl::parentFontChanged()
{
    if (!m_parentFont)
        return;
    if (canvas::TFont *parentFont = fontOf(m_self->parentWidget())) {
        m_syncingFont = true;
        m_font->Assign(*parentFont);
        m_syncingFont = false;
    }
}

void TControl::parentColorChanged()
{
    if (!m_parentColor)
        return;
    colorChanged();
}

void TControl::colorChanged()
{
    applyColor();
    notifyChildren(false);
    requestRepaint();
}

void TControl::visibilityChanged()
{
    if (m_align != alNone && !isLoading())
        AlignChildren(m_self->parentWidget());
}

void TControl::fontChanged()
{
    if (!m_syncingFont)
        m_parentFont = false;
    applyFont();
    notifyChildren(true);
    requestRepaint();
}

void TControl::notifyChildren(bool font)
{
    for (QObject *object : m_self->children()) {
        if (!object->isWidgetType())
            continue;
        if (TControl *child = controlOf(static_cast<QWidget *>(object))) {
            if (font)
                child->parentFontChanged();
            else
                child->parentColorChanged();
        }
    }
}

bool TControl::handleEvent(QEvent *event)
{
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove:
        if (!m_self->isEnabled())
            return false;
        handleMouse(static_cast<QMouseEvent *>(event));
        return true;
    case QEvent::FocusIn:
        if (isUserFocusChange(static_cast<QFocusEvent *>(event)))
            DoEnter();
        return false;
    case QEvent::FocusOut:
        if (isUserFocusChange(static_cast<QFocusEvent *>(event)))
            DoExit();
        return false;
    case QEvent::Resize:
        AlignChildren(m_self);
        return false;
    case QEvent::ShowToParent:
    case QEvent::HideToParent:
        visibilityChanged();
        return false;
    case QEvent::ParentChange:
        parentFontChanged();
        parentColorChanged();
        return false;
    case QEvent::ToolTip:
        showHint(static_cast<QHelpEvent *>(event));
        return true;
    default:
        return false;
    }
}

// The hint as the toolkit's tooltip, its text shown exactly as stored (blanks kept, nothing read
// as mark-up). The text is read when the pointer rests, so hints changed on a move show at once.
void TControl::showHint(QHelpEvent *event)
{
    if (!ShowHint() || m_hint.isEmpty()) {
        QToolTip::hideText();
        return;
    }
    QToolTip::showText(event->globalPos(),
                       QStringLiteral("<p style='white-space:pre'>%1</p>").arg(m_hint.toHtmlEscaped()),
                       m_self);
}

void TControl::handleMouse(QMouseEvent *event)
{
    // The Qt widget reacts first (a button's click comes before the mouse-up event); the
    // event then stops here, so presses on a control never reach the surface beneath it.
    QPointer<QWidget> guard(m_self);
    static_cast<QObject *>(m_self)->event(event);
    event->accept();
    if (!guard)
        return;
    const QPoint p = event->position().toPoint();
    switch (event->type()) {
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
        if (event->button() == Qt::LeftButton)
            m_pressedForClick = m_clickOnRelease;
        DoMouseDown(event->button(), event->modifiers(), p.x(), p.y());
        break;
    case QEvent::MouseButtonRelease:
        if (event->button() == Qt::LeftButton && m_pressedForClick) {
            m_pressedForClick = false;
            if (m_self->rect().contains(p)) {
                DoClick();
                if (!guard)
                    return;
            }
        }
        DoMouseUp(event->button(), event->modifiers(), p.x(), p.y());
        break;
    default:
        DoMouseMove(event->modifiers(), p.x(), p.y());
        break;
    }
}

} // namespace controls
