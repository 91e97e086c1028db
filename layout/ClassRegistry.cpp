#include "layout/ClassRegistry.h"

#include <QHash>

namespace layout {

namespace {

struct Entry
{
    const QMetaObject *metaObject = nullptr;
    ObjectFactory factory;
};

QHash<QString, Entry> &classes()
{
    static QHash<QString, Entry> table;
    return table;
}

// Reverse map for the writer: exact meta-object -> registered name.
QHash<const QMetaObject *, QString> &names()
{
    static QHash<const QMetaObject *, QString> table;
    return table;
}

} // namespace

void RegisterFactory(const QString &className, const QMetaObject *metaObject, ObjectFactory factory)
{
    auto old = classes().constFind(className);
    if (old != classes().constEnd())
        names().remove(old->metaObject);
    classes().insert(className, Entry{metaObject, std::move(factory)});
    names().insert(metaObject, className);
}

QObject *CreateObject(const QString &className, QObject *parent)
{
    auto it = classes().constFind(className);
    if (it == classes().constEnd())
        return nullptr;
    return it->factory(parent);
}

bool IsClassRegistered(const QString &className)
{
    return classes().contains(className);
}

QStringList RegisteredClassNames()
{
    QStringList list = classes().keys();
    list.sort();
    return list;
}

bool IsWidgetClass(const QString &className)
{
    auto it = classes().constFind(className);
    if (it == classes().constEnd())
        return false;
    for (const QMetaObject *m = it->metaObject; m; m = m->superClass()) {
        if (qstrcmp(m->className(), "QWidget") == 0)
            return true;
    }
    return false;
}

QString RegisteredClassName(const QObject *object)
{
    if (!object)
        return {};
    return names().value(object->metaObject());
}

QString RegisteredClassName(const QMetaObject *metaObject)
{
    return names().value(metaObject);
}

QString UnqualifiedClassName(const char *className)
{
    const QString name = QString::fromLatin1(className);
    const qsizetype colon = name.lastIndexOf(QLatin1String("::"));
    return colon < 0 ? name : name.mid(colon + 2);
}

} // namespace layout
