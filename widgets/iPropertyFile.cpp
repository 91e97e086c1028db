#include "widgets/iPropertyFile.h"

#include "core/Exception.h"
#include "layout/LayoutValues.h"

#include <QFile>
#include <QLocale>
#include <QSaveFile>
#include <QSet>
#include <QStringDecoder>
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

// Only finite values: nothing a widget holds is infinite, and such a value would not survive the
// next save and load.
bool ParseFloat(const QString &text, double &value)
{
    QLocale locale;
    locale.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    value = locale.toDouble(text, &ok);
    return ok && std::isfinite(value);
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
        if (layout::IsControlReference(property)) {
            out.append({path, object, property});
            continue;
        }
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
    const QString quoted = layout::QuoteForMessage(text);
    auto invalid = [&] {
        return core::Exception(quoted + QStringLiteral(" is not a valid value for ") + name);
    };
    if (id == QMetaType::Double || id == QMetaType::Float) {
        double value = 0;
        if (!ParseFloat(text, value))
            throw core::Exception(quoted + QStringLiteral(" is not a valid floating point value"));
        if (id == QMetaType::Float) {
            if (std::fabs(value) > double(std::numeric_limits<float>::max()))
                throw invalid();
            return QVariant(float(value));
        }
        return QVariant(value);
    }

    if (layout::IsControlReference(property)) {
        if (text.isEmpty())
            return QVariant(type);
        // By name, among the controls of the owner's window.
        const auto *owner = qobject_cast<const QWidget *>(entry.Owner);
        QWidget *window = owner ? owner->window() : nullptr;
        QWidget *target = nullptr;
        if (window)
            target = window->objectName() == text ? window : window->findChild<QWidget *>(text);
        if (!target)
            throw invalid();
        return QVariant::fromValue(target);
    }

    bool ok = false;
    const qint64 number = text.toLongLong(&ok, 10);
    if (!ok)
        throw core::Exception(quoted + QStringLiteral(" is not a valid integer value"));

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
        if (!layout::IsEnumerationValue(property.enumerator(), number))
            throw invalid();
    } else if (!layout::IsIntegerType(id) || !layout::CoordinateInRange(property, number)) {
        throw invalid();
    }
    QVariant value;
    if (!layout::MakeInteger(type, number, value))
        throw core::Exception(quoted + QStringLiteral(" is not a valid integer value"));
    return value;
}

// Files written by older tools hold their Russian strings in the single-byte Cyrillic code page
// (Windows-1251); its upper half from 0xC0 is the alphabet in order.
QString FromCyrillicCodePage(const QByteArray &bytes)
{
    static constexpr char16_t upper[64] = {
        0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021, //
        0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F, //
        0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, //
        0xFFFD, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F, //
        0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7, //
        0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407, //
        0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7, //
        0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,
    };
    QString text(bytes.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        text[i] = QChar(b < 0x80 ? char16_t(b) : b < 0xC0 ? upper[b - 0x80] : char16_t(0x0410 + b - 0xC0));
    }
    return text;
}

QString DecodeText(const QByteArray &bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    return utf8.hasError() ? FromCyrillicCodePage(bytes) : text;
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
    if (layout::IsControlReference(Property)) {
        const QObject *target = Value.value<QObject *>();
        Text = target ? target->objectName() : QString();
        return true;
    }
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
    QStringList lines = DecodeText(Bytes).split(QLatin1Char('\n'));
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
