#include "widgets/iPropertyFile.h"

#include "core/Exception.h"
#include "layout/LayoutValues.h"

#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <QSet>
#include <QWidget>

#include <cmath>
#include <cstdio>
#include <limits>

namespace widgets {

namespace {

QString DecimalPoint()
{
    return QLocale().decimalPoint();
}

// General format, 15 significant digits: plain up to 1E15, scientific below 1E-4 and above.
QString FormatFloat(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    if (value == 0)
        return QStringLiteral("0");
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    QString text = QString::fromLatin1(buffer);
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    if (e >= 0) {
        // "1.5e-07" -> "1.5E-7", "1e+20" -> "1E20"
        QString mantissa = text.left(e);
        QString exponent = text.mid(e + 1);
        const bool negative = exponent.startsWith(QLatin1Char('-'));
        if (exponent.startsWith(QLatin1Char('+')) || negative)
            exponent.remove(0, 1);
        while (exponent.size() > 1 && exponent.startsWith(QLatin1Char('0')))
            exponent.remove(0, 1);
        text = mantissa + QLatin1Char('E') + (negative ? QStringLiteral("-") : QString()) + exponent;
    }
    return text.replace(QLatin1Char('.'), DecimalPoint());
}

bool ParseFloat(const QString &text, double &value)
{
    const QString upper = text.toUpper();
    if (upper == QLatin1String("NAN")) {
        value = std::numeric_limits<double>::quiet_NaN();
        return true;
    }
    if (upper == QLatin1String("INF") || upper == QLatin1String("+INF")) {
        value = std::numeric_limits<double>::infinity();
        return true;
    }
    if (upper == QLatin1String("-INF")) {
        value = -std::numeric_limits<double>::infinity();
        return true;
    }
    QLocale locale;
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    value = locale.toDouble(text, &ok);
    return ok;
}

QString Quoted(const QString &text)
{
    return QLatin1Char('\'') + text + QLatin1Char('\'');
}

// Sub-objects worth walking are the owned persistent ones (fonts); other controls are not.
bool IsPersistentObject(const QObject *object)
{
    return object && !object->isWidgetType();
}

void Walk(QObject *object, const QString &prefix, QList<TiPropertyEntry> &out, QSet<QObject *> &visited)
{
    const QMetaObject *meta = object->metaObject();
    QSet<QByteArray> seen;
    for (int i = 0; i < meta->propertyCount(); ++i) {
        if (!layout::IsPublishedProperty(meta, i))
            continue;
        const QByteArray name = meta->property(i).name();
        if (seen.contains(name))
            continue;
        seen.insert(name);
        // A re-published property is read and set through its most derived declaration.
        const QMetaProperty property = meta->property(meta->indexOfProperty(name.constData()));
        if (!property.isStored() || !property.isWritable() || !property.isReadable())
            continue;
        const QString path = prefix + QString::fromLatin1(name);
        if (layout::IsObjectPointer(property)) {
            QObject *sub = property.read(object).value<QObject *>();
            if (IsPersistentObject(sub) && !visited.contains(sub)) {
                visited.insert(sub);
                Walk(sub, path + QLatin1Char('.'), out, visited);
            }
            continue;
        }
        out.append({path, object, property});
    }
}

const QStringList &ExcludedUnlessSaveAll()
{
    static const QStringList names = {
        QStringLiteral("Left"),     QStringLiteral("Top"),   QStringLiteral("Width"),
        QStringLiteral("Height"),   QStringLiteral("Align"), QStringLiteral("Cursor"),
        QStringLiteral("ShowHint"), QStringLiteral("Tag"),   QStringLiteral("Visible"),
        QStringLiteral("Enabled"),  QStringLiteral("Hint"),  QStringLiteral("HelpContext"),
    };
    return names;
}

bool Excluded(const QString &path, bool saveAll)
{
    if (path.compare(QLatin1String("Name"), Qt::CaseInsensitive) == 0)
        return true;
    return !saveAll && ExcludedUnlessSaveAll().contains(path, Qt::CaseInsensitive);
}

// Converts the value text of a line to the property's type.
QVariant ConvertValue(const TiPropertyEntry &entry, const QString &rawValue)
{
    const QMetaProperty &property = entry.Property;
    const QMetaType type = property.metaType();
    const int id = type.id();
    const QString name = QString::fromLatin1(property.name());

    if (id == QMetaType::QString)
        return rawValue;

    const QString text = rawValue.trimmed();
    if (id == QMetaType::Double || id == QMetaType::Float) {
        double value = 0;
        if (!ParseFloat(text, value))
            throw core::Exception(Quoted(text) + QStringLiteral(" is not a valid floating point value"));
        if (id == QMetaType::Float)
            return QVariant(float(value));
        return QVariant(value);
    }

    bool ok = false;
    const qint64 number = text.toLongLong(&ok, 10);
    if (!ok)
        throw core::Exception(Quoted(text) + QStringLiteral(" is not a valid integer value"));
    auto invalid = [&] {
        return core::Exception(Quoted(text) + QStringLiteral(" is not a valid value for ") + name);
    };

    if (id == QMetaType::Bool) {
        if (number != 0 && number != 1)
            throw invalid();
        return QVariant(number == 1);
    }
    if (id == QMetaType::QChar) {
        if (number < 0 || number > 0xFFFF)
            throw invalid();
        return QVariant(QChar(char16_t(number)));
    }
    if (property.isEnumType()) {
        const QMetaEnum enumerator = property.enumerator();
        if (property.isFlagType()) {
            qint64 all = 0;
            for (int k = 0; k < enumerator.keyCount(); ++k)
                all |= enumerator.value(k);
            if ((number & ~all) != 0)
                throw invalid();
        } else if (number < std::numeric_limits<int>::min() || number > std::numeric_limits<int>::max() ||
                   !enumerator.valueToKey(int(number))) {
            throw invalid();
        }
    } else if (!layout::IsIntegerType(id)) {
        throw invalid();
    }
    QVariant value;
    if (!layout::MakeInteger(type, number, value))
        throw core::Exception(Quoted(text) + QStringLiteral(" is not a valid integer value"));
    return value;
}

QString tooLarge(const QString &file, qint64 size)
{
    return QStringLiteral("File \"%1\" is too large for a property file (%2 bytes, at most %3).")
        .arg(file)
        .arg(size)
        .arg(kMaxPropertyFileBytes);
}

} // namespace

QList<TiPropertyEntry> PublishedPropertyPaths(QObject *Object)
{
    QList<TiPropertyEntry> out;
    if (!Object)
        return out;
    QSet<QObject *> visited{Object};
    Walk(Object, QString(), out, visited);
    return out;
}

QString PropertyFileClassName(const QObject *Object)
{
    const QString name = QString::fromLatin1(Object->metaObject()->className());
    const qsizetype colon = name.lastIndexOf(QLatin1String("::"));
    return colon < 0 ? name : name.mid(colon + 2);
}

bool FormatPropertyValue(const QMetaProperty &Property, const QVariant &Value, QString &Text)
{
    const int id = Property.metaType().id();
    if (id == QMetaType::QString) {
        Text = Value.toString();
        return true;
    }
    if (id == QMetaType::Bool) {
        Text = Value.toBool() ? QStringLiteral("1") : QStringLiteral("0");
        return true;
    }
    if (id == QMetaType::QChar) {
        Text = QString::number(Value.toChar().unicode());
        return true;
    }
    if (id == QMetaType::Double || id == QMetaType::Float) {
        Text = FormatFloat(Value.toDouble());
        return true;
    }
    if (Property.isEnumType() || layout::IsIntegerType(id)) {
        // The files have always held colours as signed numbers.
        Text = QString::number(layout::IntegerOf(Value, layout::Unsigned32::AsSigned));
        return true;
    }
    return false;
}

QStringList PropertyFileLines(QObject *Object, bool SaveAll)
{
    QStringList lines{QStringLiteral("File Type = ") + PropertyFileClassName(Object)};
    for (const TiPropertyEntry &entry : PublishedPropertyPaths(Object)) {
        if (Excluded(entry.Path, SaveAll))
            continue;
        QString text;
        if (FormatPropertyValue(entry.Property, entry.Property.read(entry.Owner), text))
            lines.append(entry.Path + QStringLiteral(" = ") + text);
    }
    return lines;
}

void ApplyPropertyLines(QObject *Object, QStringList Lines)
{
    for (const TiPropertyEntry &entry : PublishedPropertyPaths(Object)) {
        QString dummy;
        if (!FormatPropertyValue(entry.Property, QVariant(entry.Property.metaType(), nullptr), dummy))
            continue; // a kind the files do not hold
        for (qsizetype i = 0; i < Lines.size(); ++i) {
            const QString &line = Lines.at(i);
            const qsizetype equals = line.indexOf(QLatin1Char('='));
            if (equals < 0)
                continue;
            if (line.left(equals).trimmed().compare(entry.Path, Qt::CaseInsensitive) != 0)
                continue;
            // Strings keep their own leading and trailing blanks: only the blank the writer puts
            // after '=' goes. Numbers are trimmed in the conversion.
            QString value = line.mid(equals + 1);
            if (value.startsWith(QLatin1Char(' ')))
                value.remove(0, 1);
            Lines.removeAt(i);
            const QVariant converted = ConvertValue(entry, value);
            if (!entry.Property.write(entry.Owner, converted))
                throw core::Exception(QStringLiteral("Cannot set property ") + entry.Path);
            break;
        }
    }
}

void WritePropertyFile(const QString &FileName, const QStringList &Lines)
{
    QSaveFile file(FileName);
    auto fail = [&] {
        return core::Exception(
            QStringLiteral("Cannot create file \"%1\". %2").arg(FileName, file.errorString()));
    };
    if (!file.open(QIODevice::WriteOnly))
        throw fail();
    QByteArray bytes;
    for (const QString &line : Lines) {
        bytes += line.toUtf8();
        bytes += '\n';
    }
    if (file.write(bytes) != bytes.size())
        throw fail();
    if (!file.commit())
        throw fail();
}

QByteArray ReadPropertyFileData(const QString &FileName)
{
    QFile file(FileName);
    if (!file.open(QIODevice::ReadOnly))
        throw core::Exception(
            QStringLiteral("Cannot open file \"%1\". %2").arg(FileName, file.errorString()));
    // Asked before reading, so a huge or endless file is never taken into memory.
    if (file.size() > kMaxPropertyFileBytes)
        throw core::Exception(tooLarge(FileName, file.size()));
    const QByteArray bytes = file.read(kMaxPropertyFileBytes + 1);
    if (file.error() != QFileDevice::NoError)
        throw core::Exception(
            QStringLiteral("Cannot read file \"%1\". %2").arg(FileName, file.errorString()));
    if (bytes.size() > kMaxPropertyFileBytes)
        throw core::Exception(tooLarge(FileName, bytes.size()));
    return bytes;
}

QStringList PropertyFileTextLines(const QByteArray &Bytes, const QString &Name)
{
    if (Bytes.size() > kMaxPropertyFileBytes)
        throw core::Exception(tooLarge(Name, Bytes.size()));
    QStringList lines = QString::fromUtf8(Bytes).split(QLatin1Char('\n'));
    for (QString &line : lines)
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

QStringList ReadPropertyFile(const QString &FileName)
{
    return PropertyFileTextLines(ReadPropertyFileData(FileName), FileName);
}

} // namespace widgets
