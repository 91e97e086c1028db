#include "layout/LayoutWriter.h"

#include "core/ComponentState.h"
#include "layout/ClassRegistry.h"
#include "layout/LayoutBinding.h"
#include "layout/LayoutValues.h"

#include <QFile>
#include <QMetaProperty>
#include <QSaveFile>
#include <QSet>

namespace layout {

namespace {

class Writer
{
public:
    explicit Writer(const QObject *root) : m_root(root) {}

    QString run()
    {
        QString className = RegisteredClassName(m_root);
        if (className.isEmpty())
            className = UnqualifiedClassName(m_root->metaObject()->className());
        writeObject(m_root, className, 0);
        return m_out;
    }

    QStringList errors;

private:
    void line(int indent, const QString &text) { m_out += QString(indent * 4, u' ') + text + u'\n'; }

    void writeObject(const QObject *object, const QString &className, int indent)
    {
        line(indent, QStringLiteral("%1 %2 {").arg(className, object->objectName()));
        const QSet<const QObject *> subObjects =
            writeProperties(object, nullptr, object->metaObject(), QString(), indent + 1);

        for (const HandlerBinding &binding : HandlerBindings(object)) {
            if (binding.receiver == m_root)
                line(indent + 1, QStringLiteral("%1 = %2").arg(binding.event, binding.handler));
        }

        if (const auto *state = dynamic_cast<const core::ComponentState *>(object)) {
            for (const auto &[name, value] : state->StoredValues()) {
                QString error;
                const QString text = FormatVariant(value, error);
                if (!error.isEmpty())
                    errors.append(QStringLiteral("%1.%2: %3").arg(object->objectName(), name, error));
                else
                    line(indent + 1, QStringLiteral("%1 = %2").arg(name, text));
            }
        }

        for (const QObject *child : object->children()) {
            const QString childClass = RegisteredClassName(child);
            if (childClass.isEmpty() || child->objectName().isEmpty() || subObjects.contains(child))
                continue;
            writeObject(child, childClass, indent + 1);
        }
        line(indent, QStringLiteral("}"));
    }

    // Writes the properties of `object` (or of the gadget at `gadget`) under `prefix` and
    // returns the sub-objects met, which are not written again as children.
    QSet<const QObject *> writeProperties(const QObject *object, const void *gadget, const QMetaObject *meta,
                                          const QString &prefix, int indent)
    {
        QSet<const QObject *> subObjects;
        for (int i = 0; i < meta->propertyCount(); ++i) {
            if (!IsPublishedProperty(meta, i))
                continue;
            const QMetaProperty property = meta->property(i);
            if (!property.isReadable() || !property.isStored())
                continue;
            const QString name = prefix + QString::fromLatin1(property.name());
            const QVariant value = gadget ? property.readOnGadget(gadget) : property.read(object);

            if (IsControlReference(property)) {
                const QObject *target = value.value<QObject *>();
                if (target && !target->objectName().isEmpty())
                    line(indent, QStringLiteral("%1 = %2").arg(name, target->objectName()));
                continue;
            }
            if (IsObjectPointer(property)) {
                if (const QObject *sub = value.value<QObject *>()) {
                    subObjects.insert(sub);
                    if (sub != m_root && !m_visited.contains(sub)) {
                        m_visited.insert(sub);
                        writeProperties(sub, nullptr, sub->metaObject(), name + u'.', indent);
                    }
                }
                continue;
            }
            if (IsGadget(property)) {
                if (const QMetaObject *gadgetMeta = property.metaType().metaObject();
                    gadgetMeta && value.isValid())
                    writeProperties(nullptr, value.constData(), gadgetMeta, name + u'.', indent);
                continue;
            }
            if (!property.isWritable())
                continue;

            QString error;
            const QString text = FormatProperty(property, value, error);
            if (!error.isEmpty()) {
                errors.append(QStringLiteral("%1.%2: %3").arg(objectLabel(object), name, error));
                continue;
            }
            if (isDefault(meta, property, text))
                continue;
            line(indent, QStringLiteral("%1 = %2").arg(name, text));
        }
        return subObjects;
    }

    static QString objectLabel(const QObject *object)
    {
        return object ? object->objectName() : QStringLiteral("(value)");
    }

    // The default is compared as the writer would write it, so "0x10" and "16" agree.
    static bool isDefault(const QMetaObject *meta, const QMetaProperty &property, const QString &text)
    {
        const QByteArray key = QByteArray("default:") + property.name();
        const int index = meta->indexOfClassInfo(key.constData());
        if (index < 0)
            return false;
        const QString defaultText = QString::fromUtf8(meta->classInfo(index).value());
        if (defaultText == text)
            return true;
        Lexer lexer(defaultText);
        Value value;
        if (!ParseValue(lexer, value) || lexer.next().kind != TokenKind::End)
            return false;
        QString error;
        const QVariant converted = ConvertValue(property, value, error);
        if (!error.isEmpty())
            return false;
        return FormatProperty(property, converted, error) == text && error.isEmpty();
    }

    const QObject *m_root;
    QString m_out;
    QSet<const QObject *> m_visited;
};

} // namespace

QString SaveLayout(const QObject *root, LayoutResult *result)
{
    if (result)
        *result = {};
    if (!root)
        return {};
    Writer writer(root);
    QString text = writer.run();
    if (result && !writer.errors.isEmpty())
        *result = LayoutResult::Failure(writer.errors.join(u'\n'));
    return text;
}

LayoutResult SaveLayoutToFile(const QObject *root, const QString &path)
{
    LayoutResult written;
    const QString text = SaveLayout(root, &written);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return LayoutResult::Failure(QStringLiteral("%1: cannot write: %2").arg(path, file.errorString()));
    file.write(text.toUtf8());
    if (!file.commit())
        return LayoutResult::Failure(QStringLiteral("%1: cannot write: %2").arg(path, file.errorString()));
    return written;
}

} // namespace layout
