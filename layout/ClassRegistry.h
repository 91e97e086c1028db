#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <type_traits>
#include <utility>

namespace layout {

// Creates an object of a registered class under `parent`. Widget classes get `parent` only
// when it is a widget (otherwise they start top-level); other classes get it as owner.
// This layer knows widgets only through the classes registered from the layers above.
using ObjectFactory = std::function<QObject *(QObject *parent)>;

void RegisterFactory(const QString &className, const QMetaObject *metaObject, ObjectFactory factory);

// Registration is explicit: each library has one function that registers its classes.
template <class T> void RegisterClass(const QString &className)
{
    static_assert(std::is_base_of_v<QObject, T>, "registered classes are QObjects");
    if constexpr (std::is_constructible_v<T, QObject *>) {
        RegisterFactory(className, &T::staticMetaObject,
                        [](QObject *parent) -> QObject * { return new T(parent); });
    } else {
        // A widget class: its parent type is whatever parentWidget() returns.
        using Widget = std::remove_pointer_t<decltype(std::declval<T &>().parentWidget())>;
        RegisterFactory(className, &T::staticMetaObject,
                        [](QObject *parent) -> QObject * { return new T(qobject_cast<Widget *>(parent)); });
    }
}

// nullptr for an unknown class name.
QObject *CreateObject(const QString &className, QObject *parent);

bool IsClassRegistered(const QString &className);

// Every registered class name, sorted.
QStringList RegisteredClassNames();

// True when the registered class constructs a QWidget.
bool IsWidgetClass(const QString &className);

// The name under which the object's exact class is registered; empty if it is not.
QString RegisteredClassName(const QObject *object);
QString RegisteredClassName(const QMetaObject *metaObject);

// A C++ class name without its namespaces ("controls::TPanel" -> "TPanel").
QString UnqualifiedClassName(const char *className);

} // namespace layout
