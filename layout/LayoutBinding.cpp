#include "layout/LayoutBinding.h"

#include "layout/LayoutValues.h"

#include <QHash>
#include <QMetaMethod>
#include <QPointer>

namespace layout {

namespace {

struct BindingRecord
{
    QString event;
    QPointer<QObject> receiver;
    QString handler;
    QMetaObject::Connection connection;
};

QHash<const QObject *, QList<BindingRecord>> &bindingTable()
{
    static QHash<const QObject *, QList<BindingRecord>> table;
    return table;
}

QList<QMetaMethod> methodsNamed(const QMetaObject *meta, const QByteArray &name, QMetaMethod::MethodType type)
{
    QList<QMetaMethod> found;
    for (int i = 0; i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.methodType() == type && method.name() == name)
            found.append(method);
    }
    return found;
}

} // namespace

void UnbindHandler(QObject *sender, const QString &event)
{
    auto it = bindingTable().find(sender);
    if (it == bindingTable().end())
        return;
    for (qsizetype i = 0; i < it->size(); ++i) {
        if (it->at(i).event == event) {
            QObject::disconnect(it->at(i).connection);
            it->removeAt(i);
            break;
        }
    }
}

LayoutResult BindHandler(QObject *sender, const QString &event, QObject *receiver, const QString &handler)
{
    auto fail = [](const QString &message) { return LayoutResult::Failure(message); };
    if (!sender || !receiver)
        return fail(QStringLiteral("no object to bind"));
    const QList<QMetaMethod> signalList =
        methodsNamed(sender->metaObject(), event.toLatin1(), QMetaMethod::Signal);
    if (signalList.isEmpty())
        return fail(QStringLiteral("%1 has no event %2")
                        .arg(ShortForMessage(sender->objectName()), ShortForMessage(event)));
    const QList<QMetaMethod> slotList =
        methodsNamed(receiver->metaObject(), handler.toLatin1(), QMetaMethod::Slot);
    if (slotList.isEmpty())
        return fail(QStringLiteral("handler %1 not found in %2")
                        .arg(ShortForMessage(handler), ShortForMessage(receiver->objectName())));
    for (const QMetaMethod &signal : signalList) {
        for (const QMetaMethod &slot : slotList) {
            if (!QMetaObject::checkConnectArgs(signal, slot))
                continue;
            UnbindHandler(sender, event);
            const QMetaObject::Connection connection = QObject::connect(sender, signal, receiver, slot);
            if (!connection)
                return fail(QStringLiteral("cannot connect %1 to %2")
                                .arg(ShortForMessage(event), ShortForMessage(handler)));
            auto &list = bindingTable()[sender];
            if (list.isEmpty()) {
                // Forget the bindings when the sender goes; the table must not outlive it.
                QObject::connect(sender, &QObject::destroyed, [sender] { bindingTable().remove(sender); });
            }
            list.append(BindingRecord{event, receiver, handler, connection});
            return {};
        }
    }
    return fail(
        QStringLiteral("handler %1 does not match the arguments of event %2")
            .arg(ShortForMessage(handler), QString::fromLatin1(signalList.first().methodSignature())));
}

bool HasEvent(const QObject *object, const QString &event)
{
    return object && !methodsNamed(object->metaObject(), event.toLatin1(), QMetaMethod::Signal).isEmpty();
}

QList<HandlerBinding> HandlerBindings(const QObject *sender)
{
    QList<HandlerBinding> result;
    for (const BindingRecord &record : bindingTable().value(sender))
        result.append(HandlerBinding{record.event, record.receiver.data(), record.handler});
    return result;
}

} // namespace layout
