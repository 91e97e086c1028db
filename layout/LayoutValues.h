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

// Outside text as an error message shows it: control characters escaped and cut after 60
// characters with "…", so that one message stays one short line. The quoted form adds ''.
QString ShortForMessage(const QString &text);
QString QuoteForMessage(const QString &text);

// Positions and sizes the readers accept: the window system's 16-bit coordinates, so that no
// rectangle arithmetic (x + w - 1) further down can overflow.
inline constexpr qint64 kMinCoordinate = -32768;
inline constexpr qint64 kMaxCoordinate = 32767;
// False when `property` is a position or size and `number` lies outside those limits.
bool CoordinateInRange(const QMetaProperty &property, qint64 number);
// True when `number` is the value of one of the enumeration's keys (for a set: made of its bits).
bool IsEnumerationValue(const QMetaEnum &enumerator, qint64 number);

// Integers, as stored layouts and property files both read and write them.
bool IsIntegerType(int typeId);
// A variant of integer or enumeration type `type` holding `number`; false when it does not fit.
// 32-bit types take both the signed and the unsigned range, so colours can be written either way.
bool MakeInteger(QMetaType type, qint64 number, QVariant &out);
// How a 32-bit unsigned value reads: as itself, or as the signed number of its bits (property
// files have always held colours that way).
enum class Unsigned32 { AsUnsigned, AsSigned };
// The integer an integer or enumeration variant holds, read by its size.
qint64 IntegerOf(const QVariant &value, Unsigned32 reading = Unsigned32::AsUnsigned);

// Colour constants: the framework's names for the integer encoding.
bool IdentToColorValue(const QString &ident, qint64 &value);
QString ColorValueToIdent(qint64 value);

// True for properties declared by our own classes, not by Qt's (QObject, QWidget ...).
bool IsPublishedProperty(const QMetaObject *metaObject, int propertyIndex);

bool IsObjectPointer(const QMetaProperty &property);
// A writable reference to another control (a label's FocusControl): stored as that control's
// name, not walked like an owned sub-object.
bool IsControlReference(const QMetaProperty &property);
bool IsGadget(const QMetaProperty &property);

} // namespace layout
