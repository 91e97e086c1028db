#include "layout/LayoutValues.h"

#include "canvas/Colors.h"

#include <QMetaEnum>
#include <QMetaType>
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace layout {

namespace {

bool isUnsignedType(int id)
{
    return id == QMetaType::UInt || id == QMetaType::UShort || id == QMetaType::UChar ||
           id == QMetaType::ULong || id == QMetaType::ULongLong;
}

bool isColorProperty(const QMetaProperty &property)
{
    return QByteArray(property.name()).contains("Color");
}

// A plain integer property may take the keys of an enumeration its class declares for it
// (a font's Charset = RUSSIAN_CHARSET).
bool enumKeyOfClass(const QMetaProperty &property, const QString &key, qint64 &number)
{
    const QMetaObject *meta = property.enclosingMetaObject();
    const QByteArray latin = key.toLatin1();
    for (int i = meta ? meta->enumeratorOffset() : 0; meta && i < meta->enumeratorCount(); ++i) {
        const QMetaEnum enumerator = meta->enumerator(i);
        bool ok = false;
        const int v = enumerator.keyToValue(latin.constData(), &ok);
        if (ok && !enumerator.isFlag()) {
            number = v;
            return true;
        }
    }
    return false;
}

QString kindName(ValueKind kind)
{
    switch (kind) {
    case ValueKind::Integer:
        return QStringLiteral("an integer");
    case ValueKind::Real:
        return QStringLiteral("a real number");
    case ValueKind::String:
        return QStringLiteral("a string");
    case ValueKind::Ident:
        return QStringLiteral("an identifier");
    case ValueKind::Set:
        return QStringLiteral("a set");
    case ValueKind::StringList:
        return QStringLiteral("a string list");
    case ValueKind::EmptyList:
        return QStringLiteral("an empty list");
    case ValueKind::Binary:
        return QStringLiteral("a binary block");
    }
    return {};
}

QString formatReal(double value, bool isFloat)
{
    char buffer[64];
    const auto result = isFloat ? std::to_chars(buffer, buffer + sizeof buffer, float(value))
                                : std::to_chars(buffer, buffer + sizeof buffer, value);
    QString text = QString::fromLatin1(buffer, result.ptr - buffer);
    if (!text.contains(u'.') && !text.contains(u'e'))
        text += QStringLiteral(".0");
    return text;
}

QString formatBinary(const QByteArray &bytes)
{
    const QByteArray hex = bytes.toHex().toUpper();
    constexpr qsizetype lineLength = 64;
    if (hex.size() <= lineLength)
        return QStringLiteral("{%1}").arg(QString::fromLatin1(hex));
    QString text = QStringLiteral("{");
    for (qsizetype i = 0; i < hex.size(); i += lineLength)
        text += QStringLiteral("\n") + QString::fromLatin1(hex.mid(i, lineLength));
    return text + QStringLiteral("}");
}

QString formatStringList(const QStringList &list)
{
    QStringList quoted;
    for (const QString &s : list)
        quoted.append(QuoteString(s));
    return QStringLiteral("[%1]").arg(quoted.join(QStringLiteral(", ")));
}

} // namespace

// ---- integers -------------------------------------------------------------------------------

bool IsIntegerType(int typeId)
{
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
        return true;
    default:
        return false;
    }
}

bool MakeInteger(QMetaType type, qint64 number, QVariant &out)
{
    const qsizetype size = type.sizeOf();
    const bool isUnsigned = isUnsignedType(type.id());
    qint64 low = 0;
    qint64 high = 0;
    switch (size) {
    case 1:
        low = isUnsigned ? 0 : std::numeric_limits<qint8>::min();
        high = isUnsigned ? std::numeric_limits<quint8>::max() : std::numeric_limits<qint8>::max();
        break;
    case 2:
        low = isUnsigned ? 0 : std::numeric_limits<qint16>::min();
        high = isUnsigned ? std::numeric_limits<quint16>::max() : std::numeric_limits<qint16>::max();
        break;
    case 4:
        low = std::numeric_limits<qint32>::min();
        high = std::numeric_limits<quint32>::max();
        break;
    case 8:
        low = isUnsigned ? 0 : std::numeric_limits<qint64>::min();
        high = std::numeric_limits<qint64>::max();
        break;
    default:
        return false;
    }
    if (number < low || number > high)
        return false;
    out = QVariant(type, nullptr);
    void *data = out.data();
    switch (size) {
    case 1: {
        const auto v = quint8(number);
        std::memcpy(data, &v, 1);
        break;
    }
    case 2: {
        const auto v = quint16(number);
        std::memcpy(data, &v, 2);
        break;
    }
    case 4: {
        const auto v = quint32(number);
        std::memcpy(data, &v, 4);
        break;
    }
    default:
        std::memcpy(data, &number, 8);
        break;
    }
    return true;
}

qint64 IntegerOf(const QVariant &value, Unsigned32 reading)
{
    const QMetaType type = value.metaType();
    const bool isUnsigned = isUnsignedType(type.id());
    const void *data = value.constData();
    switch (type.sizeOf()) {
    case 1: {
        qint8 v;
        std::memcpy(&v, data, 1);
        return isUnsigned ? qint64(quint8(v)) : qint64(v);
    }
    case 2: {
        qint16 v;
        std::memcpy(&v, data, 2);
        return isUnsigned ? qint64(quint16(v)) : qint64(v);
    }
    case 4: {
        qint32 v;
        std::memcpy(&v, data, 4);
        return isUnsigned && reading == Unsigned32::AsUnsigned ? qint64(quint32(v)) : qint64(v);
    }
    case 8: {
        qint64 v;
        std::memcpy(&v, data, 8);
        return v;
    }
    default:
        return 0;
    }
}

QVariant ConvertValue(const QMetaProperty &property, const Value &value, QString &error)
{
    const QMetaType type = property.metaType();
    const QString typeName = QString::fromLatin1(type.name());
    auto mismatch = [&] {
        error = QStringLiteral("bad value for %1 (%2): %3 not accepted")
                    .arg(QString::fromLatin1(property.name()), typeName, kindName(value.kind));
        return QVariant();
    };

    if (property.isEnumType()) {
        const QMetaEnum enumerator = property.enumerator();
        qint64 number = 0;
        if (value.kind == ValueKind::Integer) {
            number = value.integer;
        } else if (property.isFlagType() &&
                   (value.kind == ValueKind::Set || value.kind == ValueKind::EmptyList)) {
            for (const QString &key : value.items) {
                bool ok = false;
                const int bit = enumerator.keyToValue(key.toLatin1().constData(), &ok);
                if (!ok) {
                    error =
                        QStringLiteral("unknown identifier %1 for %2").arg(QuoteForMessage(key), typeName);
                    return {};
                }
                number |= bit;
            }
        } else if (!property.isFlagType() && value.kind == ValueKind::Ident) {
            bool ok = false;
            number = enumerator.keyToValue(value.text.toLatin1().constData(), &ok);
            if (!ok) {
                error =
                    QStringLiteral("unknown identifier %1 for %2").arg(QuoteForMessage(value.text), typeName);
                return {};
            }
        } else {
            return mismatch();
        }
        QVariant result;
        if (!IsEnumerationValue(enumerator, number) || !MakeInteger(type, number, result)) {
            error = QStringLiteral("value %1 is not one of the values of %2").arg(number).arg(typeName);
            return {};
        }
        return result;
    }

    const int id = type.id();
    if (IsIntegerType(id)) {
        qint64 number = 0;
        if (value.kind == ValueKind::Integer) {
            number = value.integer;
        } else if (value.kind == ValueKind::Ident) {
            if (!IdentToColorValue(value.text, number) && !enumKeyOfClass(property, value.text, number)) {
                error = QStringLiteral("unknown identifier %1 for %2")
                            .arg(QuoteForMessage(value.text), QString::fromLatin1(property.name()));
                return {};
            }
        } else {
            return mismatch();
        }
        QVariant result;
        if (!MakeInteger(type, number, result) || !CoordinateInRange(property, number)) {
            error = QStringLiteral("value %1 out of range for %2")
                        .arg(number)
                        .arg(QString::fromLatin1(property.name()));
            return {};
        }
        return result;
    }

    switch (id) {
    case QMetaType::Bool:
        if (value.kind == ValueKind::Ident &&
            (value.text == QLatin1String("True") || value.text == QLatin1String("False")))
            return QVariant(value.text == QLatin1String("True"));
        if (value.kind == ValueKind::Ident) {
            error = QStringLiteral("expected True or False for %1, found %2")
                        .arg(QString::fromLatin1(property.name()), QuoteForMessage(value.text));
            return {};
        }
        return mismatch();
    case QMetaType::Double:
    case QMetaType::Float: {
        double number = 0;
        if (value.kind == ValueKind::Integer)
            number = double(value.integer);
        else if (value.kind == ValueKind::Real)
            number = value.real;
        else
            return mismatch();
        // A double beyond the float range has no float value at all.
        if (id == QMetaType::Float && std::fabs(number) > double(std::numeric_limits<float>::max())) {
            error = QStringLiteral("value %1 out of range for %2")
                        .arg(number)
                        .arg(QString::fromLatin1(property.name()));
            return {};
        }
        return id == QMetaType::Float ? QVariant(float(number)) : QVariant(number);
    }
    case QMetaType::QString:
        if (value.kind == ValueKind::String)
            return QVariant(value.text);
        return mismatch();
    case QMetaType::QChar:
        if (value.kind == ValueKind::String && value.text.size() == 1)
            return QVariant(value.text.at(0));
        return mismatch();
    case QMetaType::QStringList:
        if (value.kind == ValueKind::StringList || value.kind == ValueKind::EmptyList)
            return QVariant(value.items);
        return mismatch();
    case QMetaType::QByteArray:
        if (value.kind == ValueKind::Binary)
            return QVariant(value.bytes);
        return mismatch();
    default:
        error = QStringLiteral("property %1 has a type the layout cannot hold (%2)")
                    .arg(QString::fromLatin1(property.name()), typeName);
        return {};
    }
}

QVariant PlainVariant(const Value &value)
{
    switch (value.kind) {
    case ValueKind::Integer:
        return QVariant(value.integer);
    case ValueKind::Real:
        return QVariant(value.real);
    case ValueKind::String:
        return QVariant(value.text);
    case ValueKind::Ident:
        if (value.text == QLatin1String("True") || value.text == QLatin1String("False"))
            return QVariant(value.text == QLatin1String("True"));
        return QVariant(value.text);
    case ValueKind::Set:
    case ValueKind::StringList:
    case ValueKind::EmptyList:
        return QVariant(value.items);
    case ValueKind::Binary:
        return QVariant(value.bytes);
    }
    return {};
}

QString QuoteString(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"':
            out += QStringLiteral("\\\"");
            break;
        case '\\':
            out += QStringLiteral("\\\\");
            break;
        case '\n':
            out += QStringLiteral("\\n");
            break;
        case '\r':
            out += QStringLiteral("\\r");
            break;
        case '\t':
            out += QStringLiteral("\\t");
            break;
        default:
            if (c.unicode() < 0x20 || c.unicode() == 0x7F)
                out += QStringLiteral("\\u%1").arg(int(c.unicode()), 4, 16, QLatin1Char('0'));
            else
                out += c;
        }
    }
    return out + u'"';
}

QString ShortForMessage(const QString &text)
{
    constexpr qsizetype shownAtMost = 60;
    qsizetype shown = std::min(text.size(), shownAtMost);
    if (shown < text.size() && text.at(shown - 1).isHighSurrogate())
        --shown;
    QString out;
    for (qsizetype i = 0; i < shown; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == '\n')
            out += QStringLiteral("\\n");
        else if (c == '\r')
            out += QStringLiteral("\\r");
        else if (c == '\t')
            out += QStringLiteral("\\t");
        else if (c < 0x20 || (c >= 0x7F && c <= 0x9F)) // C0, DEL and C1 (terminal escapes)
            out += QStringLiteral("\\x%1").arg(int(c), 2, 16, QLatin1Char('0'));
        else
            out += text.at(i);
    }
    if (shown < text.size())
        out += QChar(0x2026);
    return out;
}

QString QuoteForMessage(const QString &text)
{
    return u'\'' + ShortForMessage(text) + u'\'';
}

bool CoordinateInRange(const QMetaProperty &property, qint64 number)
{
    static const QByteArray geometry[] = {"Left", "Top", "Width", "Height", "ClientWidth", "ClientHeight"};
    if (std::find(std::begin(geometry), std::end(geometry), QByteArray(property.name())) ==
        std::end(geometry))
        return true;
    return number >= kMinCoordinate && number <= kMaxCoordinate;
}

bool IsEnumerationValue(const QMetaEnum &enumerator, qint64 number)
{
    if (enumerator.isFlag()) {
        qint64 all = 0;
        for (int k = 0; k < enumerator.keyCount(); ++k)
            all |= enumerator.value(k);
        return (number & ~all) == 0;
    }
    return number >= std::numeric_limits<int>::min() && number <= std::numeric_limits<int>::max() &&
           enumerator.valueToKey(int(number)) != nullptr;
}

QString FormatProperty(const QMetaProperty &property, const QVariant &value, QString &error)
{
    if (property.isEnumType()) {
        const QMetaEnum enumerator = property.enumerator();
        const qint64 number = IntegerOf(value);
        if (property.isFlagType()) {
            QStringList keys;
            qint64 named = 0;
            for (int i = 0; i < enumerator.keyCount(); ++i) {
                const qint64 bit = enumerator.value(i);
                if (bit != 0 && (number & bit) == bit && (named & bit) != bit) {
                    keys.append(QString::fromLatin1(enumerator.key(i)));
                    named |= bit;
                }
            }
            if (named != number)
                return QString::number(number); // bits without names stay readable as a number
            return QStringLiteral("[%1]").arg(keys.join(QStringLiteral(", ")));
        }
        if (const char *key = enumerator.valueToKey(int(number)))
            return QString::fromLatin1(key);
        return QString::number(number);
    }
    const int id = property.metaType().id();
    if (IsIntegerType(id)) {
        const qint64 number = IntegerOf(value);
        if (isColorProperty(property)) {
            const QString ident = ColorValueToIdent(number);
            if (!ident.isEmpty())
                return ident;
        }
        return QString::number(number);
    }
    if (id == QMetaType::Float)
        return formatReal(value.toDouble(), true);
    return FormatVariant(value, error);
}

QString FormatVariant(const QVariant &value, QString &error)
{
    const int id = value.metaType().id();
    if (IsIntegerType(id))
        return QString::number(IntegerOf(value));
    switch (id) {
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case QMetaType::Double:
    case QMetaType::Float: {
        const double number = value.toDouble();
        if (!std::isfinite(number)) {
            error = QStringLiteral("%1 cannot be stored").arg(number);
            return {};
        }
        return formatReal(number, id == QMetaType::Float);
    }
    case QMetaType::QString:
        return QuoteString(value.toString());
    case QMetaType::QChar:
        return QuoteString(QString(value.toChar()));
    case QMetaType::QStringList:
        return formatStringList(value.toStringList());
    case QMetaType::QByteArray:
        return formatBinary(value.toByteArray());
    default:
        error = QStringLiteral("a value of type %1 cannot be stored")
                    .arg(QString::fromLatin1(value.metaType().name()));
        return {};
    }
}

// ---- colours --------------------------------------------------------------------------------

bool IdentToColorValue(const QString &ident, qint64 &value)
{
    canvas::TColor color = 0;
    if (!canvas::IdentToColor(ident, color))
        return false;
    value = color;
    return true;
}

QString ColorValueToIdent(qint64 value)
{
    const QString text = canvas::ColorToIdent(canvas::TColor(value));
    return text.startsWith(QLatin1String("cl")) ? text : QString();
}

// ---- property classification -------------------------------------------------------------------

namespace {

bool isQtClass(const char *className)
{
    return className[0] == 'Q' && className[1] >= 'A' && className[1] <= 'Z' && !std::strstr(className, "::");
}

} // namespace

bool IsPublishedProperty(const QMetaObject *metaObject, int propertyIndex)
{
    for (const QMetaObject *m = metaObject; m; m = m->superClass()) {
        if (propertyIndex >= m->propertyOffset())
            return !isQtClass(m->className());
    }
    return false;
}

bool IsObjectPointer(const QMetaProperty &property)
{
    return (property.metaType().flags() & QMetaType::PointerToQObject) != 0;
}

bool IsControlReference(const QMetaProperty &property)
{
    if (!IsObjectPointer(property) || !property.isWritable())
        return false;
    for (const QMetaObject *m = property.metaType().metaObject(); m; m = m->superClass())
        if (std::strcmp(m->className(), "QWidget") == 0)
            return true;
    return false;
}

bool IsGadget(const QMetaProperty &property)
{
    return !IsObjectPointer(property) && (property.metaType().flags() & QMetaType::IsGadget) != 0;
}
} // namespace layout
