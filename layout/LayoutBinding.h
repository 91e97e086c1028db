#pragma once

// Events of stored objects bound to handler slots of the layout's root, by name, as the reader
// makes them and the writer writes them back.

#include "layout/LayoutResult.h"

#include <QList>
#include <QObject>
#include <QString>

namespace layout {

// One event of `sender` connected to a handler slot of `receiver` by name.
struct HandlerBinding
{
    QString event;
    QObject *receiver = nullptr;
    QString handler;
};

// Connects `sender`'s signal `event` to `receiver`'s slot `handler` (the first overload pair
// with compatible arguments) and records the binding for the writer. A later binding of the
// same event replaces the earlier one. Fails when either side is missing or they do not match.
LayoutResult BindHandler(QObject *sender, const QString &event, QObject *receiver, const QString &handler);
void UnbindHandler(QObject *sender, const QString &event);
// True when `object` has a signal named `event`.
bool HasEvent(const QObject *object, const QString &event);
// Bindings made through BindHandler, in the order they were made.
QList<HandlerBinding> HandlerBindings(const QObject *sender);

} // namespace layout
