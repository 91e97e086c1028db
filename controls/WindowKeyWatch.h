#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QKeyEvent;
class QWidget;

namespace controls {

// Keys the focused control leaves alone come up to its window. A control that answers dialog
// characters (its accelerator) or dialog keys watches its window for them and follows it when
// it is moved to another window. The handler returns true for a key it took.
class TWindowKeyWatch : public QObject
{
public:
    using Handler = std::function<bool(QKeyEvent *)>;
    TWindowKeyWatch(QWidget *Control, Handler OnKey);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void Watch();

    QWidget *FControl;
    Handler FOnKey;
    QPointer<QWidget> FWindow;
};

// The accelerator of a caption: the character after a single '&' ("&&" is a literal ampersand),
// or a null character.
QChar AcceleratorOf(const QString &Caption);

// The character a key press offers as a dialog character (printable, without Control), or a
// null character.
QChar DialogCharOf(const QKeyEvent *Key);

} // namespace controls
