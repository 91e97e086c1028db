#pragma once

// Conversion between layout values and property values, both ways, and which properties a
// layout holds.

#include "layout/LayoutLexer.h"

#include <QMetaProperty>
#include <QString>
#include <QVariant>

namespace layout {

// Converts a parsed value to the type of `property`; on failure `error` says why.
QVariant ConvertValue(const QMetaProperty &property, const Value &value, QString &error);

// The value as the stored-value hook receives it (no target type known).
QVariant PlainVariant(const Value &value);

// Layout text for a property value, or a null string with `error` set.
QString FormatProperty(const QMetaProperty &property, const QVariant &value, QString &error);
// Layout text for a stored value of its own type.
QString FormatVariant(const QVariant &value, QString &error);

QString QuoteString(const QString &text);

// Colour constants: the framework's names for the integer encoding.
bool IdentToColorValue(const QString &ident, qint64 &value);
QString ColorValueToIdent(qint64 value);

// True for properties declared by our own classes, not by Qt's (QObject, QWidget ...).
bool IsPublishedProperty(const QMetaObject *metaObject, int propertyIndex);

bool IsObjectPointer(const QMetaProperty &property);
bool IsGadget(const QMetaProperty &property);

} // namespace layout
