#include "controls/WindowKeyWatch.h"

#include <QKeyEvent>
#include <QWidget>

namespace controls {

TWindowKeyWatch::TWindowKeyWatch(QWidget *Control, Handler OnKey)
    : QObject(Control), FControl(Control), FOnKey(std::move(OnKey))
{
    Control->installEventFilter(this);
    Watch();
}

void TWindowKeyWatch::Watch()
{
    QWidget *top = FControl->window();
    if (top == FControl || top == FWindow)
        return;
    if (FWindow)
        FWindow->removeEventFilter(this);
    FWindow = top;
    top->installEventFilter(this);
}

bool TWindowKeyWatch::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == FControl) {
        if (event->type() == QEvent::ParentChange)
            Watch();
        return false;
    }
    if (watched != FWindow || event->type() != QEvent::KeyPress)
        return false;
    auto *key = static_cast<QKeyEvent *>(event);
    if (key->isAutoRepeat() || !FOnKey(key))
        return false;
    key->accept();
    return true;
}

QChar AcceleratorOf(const QString &Caption)
{
    for (qsizetype i = 0; i + 1 < Caption.size(); ++i) {
        if (Caption.at(i) != u'&')
            continue;
        if (Caption.at(i + 1) != u'&')
            return Caption.at(i + 1);
        ++i;
    }
    return {};
}

QChar DialogCharOf(const QKeyEvent *Key)
{
    const QString text = Key->text();
    if (text.size() != 1 || !text[0].isPrint() || (Key->modifiers() & Qt::ControlModifier))
        return {};
    return text[0];
}

} // namespace controls
