#pragma once

#include <QByteArray>
#include <QList>
#include <QObject>
#include <QString>

namespace framework {

struct LayoutResult
{
    bool ok = true;
    QString error; // "<file>:<line>: <message>"; empty when ok
    int line = 0;  // line of the fault, 0 when ok

    explicit operator bool() const { return ok; }
};

// Builds `root`'s children from a stored layout and sets the properties of the root and of
// every created object, in file order, while they are loading. The file's root class must be
// the root's class or one it inherits. Widgets are created under the enclosing widget;
// non-visual objects are owned by the root. After the whole text is read, Loaded() runs on
// every created object in creation (file) order, then on the root.
// On an error everything created is destroyed again, the bindings made to the root are
// undone and the root leaves the loading state without Loaded(); property values already
// written to the root stay as written.
LayoutResult LoadLayout(QObject *root, const QString &path);
LayoutResult LoadLayoutText(QObject *root, const QByteArray &utf8, const QString &displayName);
LayoutResult LoadLayoutText(QObject *root, const QString &text, const QString &displayName);

// One event of `sender` connected to a handler slot of `receiver` by name.
struct HandlerBinding
{
    QString event;
    QObject *receiver = nullptr;
    QString handler;
};

// Connects `sender`'s signal `event` to `receiver`'s slot `handler` (the first overload pair
// with compatible arguments) and records the binding for the writer. A later binding of the
// same event replaces the earlier one. False with `error` set when either side is missing.
bool BindHandler(QObject *sender, const QString &event, QObject *receiver, const QString &handler,
                 QString *error = nullptr);
void UnbindHandler(QObject *sender, const QString &event);
// Bindings made through BindHandler, in the order they were made.
QList<HandlerBinding> HandlerBindings(const QObject *sender);

} // namespace framework
