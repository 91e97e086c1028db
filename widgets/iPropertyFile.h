#pragma once

#include <QMetaProperty>
#include <QObject>
#include <QString>
#include <QStringList>

namespace widgets {

// Property text files: a "File Type = <class>" line, then one "path = value" line per
// published, stored, writable property; fonts and other owned sub-objects are walked with
// dotted paths. Failures raise core::Exception.

// One property reached by the walk.
struct TiPropertyEntry
{
    QString Path;
    QObject *Owner = nullptr;
    QMetaProperty Property;
};

// Published properties of Object in declaration order (a re-published property keeps its first
// place), skipping those not stored or without a setter; sub-objects are expanded in place.
QList<TiPropertyEntry> PublishedPropertyPaths(QObject *Object);

// Class name written after "File Type = ".
QString PropertyFileClassName(const QObject *Object);

// The lines a save writes. Without SaveAll, position, size and framework properties are left
// out; "Name" is always left out.
QStringList PropertyFileLines(QObject *Object, bool SaveAll);

// Value text of one property: ordinals for integers, characters, enumerations and sets
// (Booleans 0/1), up to 15 significant digits with the locale's decimal separator for floats.
// False for kinds that are not written.
bool FormatPropertyValue(const QMetaProperty &Property, const QVariant &Value, QString &Text);

// Sets the properties named in Lines through their setters; the first matching line wins and
// unmatched lines are ignored. Throws on the first value that does not convert; properties set
// before it keep their new values.
void ApplyPropertyLines(QObject *Object, QStringList Lines);

// Writes the lines, replacing the file as a whole (a failure leaves the old file as it was).
void WritePropertyFile(const QString &FileName, const QStringList &Lines);
QStringList ReadPropertyFile(const QString &FileName);

// A widget's file is a few KiB; anything over 1 MiB is not one, and is refused unread.
inline constexpr qint64 kMaxPropertyFileBytes = 1024 * 1024;
// The file's bytes, refused with an error naming the file when it is over the limit.
QByteArray ReadPropertyFileData(const QString &FileName);
// The lines of a file's bytes (UTF-8, or else the Cyrillic code page Windows-1251; LF or CR LF); `Name` names
// the file in the error.
QStringList PropertyFileTextLines(const QByteArray &Bytes, const QString &Name);

} // namespace widgets
