#include "controls/Forms.h"

#include "controls/Pictures.h"
#include "core/Setter.h"

#include <QEventLoop>
#include <QGuiApplication>
#include <QIcon>
#include <QPixmap>
#include <QPointer>
#include <QScreen>

#include <algorithm>

namespace controls {

namespace {

constexpr int mrCancel = 2;

bool isFixedSize(TBorderStyle style)
{
    return style == bsSingle || style == bsDialog || style == bsToolWindow;
}

} // namespace

TForm::TForm(QWidget *parent) : QWidget(parent, Qt::Window), TControl(this)
{
    setClickOnRelease(true);
    setParentFont(false);
    setDefaultColor(canvas::clBtnFace, false);
    applyFont();
    applyWindowFlags();
}

TForm::~TForm()
{
    if (m_modalLoop)
        m_modalLoop->quit();
}

void TForm::setCaption(const QString &caption)
{
    if (caption != windowTitle())
        setWindowTitle(caption);
}

void TForm::setClientWidth(int width)
{
    resizeClient(width, height());
}

void TForm::setClientHeight(int height)
{
    resizeClient(width(), height);
}

void TForm::resizeClient(int w, int h)
{
    const QSize size(std::max(0, w), std::max(0, h));
    if (size == this->size() && (!isFixedSize(m_borderStyle) || minimumSize() == size))
        return;
    // The program may resize a window the user cannot.
    setMinimumSize(0, 0);
    setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    resize(size);
    if (isFixedSize(m_borderStyle))
        setFixedSize(size);
}

void TForm::SetBounds(int left, int top, int w, int h)
{
    const QSize frame = frameGeometry().size() - geometry().size();
    move(left, top);
    resizeClient(w - frame.width(), h - frame.height());
}

QRect TForm::boundsRect() const
{
    return QRect(pos(), frameGeometry().size());
}

void TForm::setBorderStyle(TBorderStyle style)
{
    if (!core::Assign(m_borderStyle, style))
        return;
    applyWindowFlags();
}

void TForm::setBorderIcons(TBorderIcons icons)
{
    if (!core::Assign(m_borderIcons, icons))
        return;
    applyWindowFlags();
}

void TForm::applyWindowFlags()
{
    Qt::WindowFlags flags = Qt::Window;
    if (m_borderStyle == bsNone) {
        flags |= Qt::FramelessWindowHint;
    } else {
        if (m_borderStyle == bsDialog)
            flags = Qt::Dialog;
        else if (m_borderStyle == bsToolWindow || m_borderStyle == bsSizeToolWin)
            flags = Qt::Tool;
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint;
        if (m_borderIcons.testFlag(biSystemMenu))
            flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (m_borderIcons.testFlag(biMinimize) && m_borderStyle != bsDialog)
            flags |= Qt::WindowMinimizeButtonHint;
        if (m_borderIcons.testFlag(biMaximize) && !isFixedSize(m_borderStyle))
            flags |= Qt::WindowMaximizeButtonHint;
    }
    const bool wasVisible = isVisible();
    setWindowFlags(flags);
    if (isFixedSize(m_borderStyle)) {
        setFixedSize(size());
    } else {
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    }
    if (wasVisible)
        show();
}

void TForm::setPosition(TPosition position)
{
    m_position = position;
}

TWindowState TForm::WindowState() const
{
    const Qt::WindowStates state = windowState();
    if (state.testFlag(Qt::WindowMinimized))
        return wsMinimized;
    if (state.testFlag(Qt::WindowMaximized))
        return wsMaximized;
    return wsNormal;
}

void TForm::setFormWindowState(TWindowState state)
{
    Qt::WindowStates qtState = windowState() & ~(Qt::WindowMinimized | Qt::WindowMaximized);
    if (state == wsMinimized)
        qtState |= Qt::WindowMinimized;
    else if (state == wsMaximized)
        qtState |= Qt::WindowMaximized;
    setWindowState(qtState);
}

void TForm::setIcon(const QString &fileName)
{
    if (!core::Assign(m_iconFile, fileName))
        return;
    const QImage image = LoadPicture(fileName);
    setWindowIcon(CrispIcon(image));
}

void TForm::placeAtStart()
{
    m_placed = true;
    if (m_position != poScreenCenter && m_position != poDesktopCenter && m_position != poMainFormCenter &&
        m_position != poOwnerFormCenter)
        return;
    QScreen *screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return;
    const QRect area = m_position == poDesktopCenter ? screen->virtualGeometry() : screen->geometry();
    const QRect bounds = boundsRect();
    move(area.x() + (area.width() - bounds.width()) / 2, area.y() + (area.height() - bounds.height()) / 2);
}

void TForm::setVisible(bool visible)
{
    if (visible && !m_placed)
        placeAtStart();
    QWidget::setVisible(visible);
}

int TForm::ShowModal()
{
    if (m_modalLoop)
        return 0;
    m_modalResult = 0;
    setWindowModality(Qt::ApplicationModal);
    show();
    QEventLoop loop;
    m_modalLoop = &loop;
    QPointer<TForm> guard(this);
    if (isVisible())
        loop.exec(QEventLoop::DialogExec);
    if (!guard)
        return mrCancel;
    m_modalLoop = nullptr;
    setWindowModality(Qt::NonModal);
    if (m_modalResult == 0)
        m_modalResult = mrCancel;
    return m_modalResult;
}

void TForm::setModalResult(int result)
{
    m_modalResult = result;
    if (result != 0 && m_modalLoop)
        hide();
}

void TForm::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (m_modalLoop)
        m_modalLoop->quit();
}

void TForm::Loaded()
{
    TControl::Loaded();
    emit OnCreate(this);
}

void TForm::applyColor()
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, canvas::ToQColor(Color()));
    setPalette(pal);
    setAutoFillBackground(true);
}

} // namespace controls
