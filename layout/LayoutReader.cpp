#include "layout/LayoutReader.h"

#include "core/ComponentState.h"
#include "layout/ClassRegistry.h"
#include "layout/LayoutBinding.h"
#include "layout/LayoutValues.h"

#include <QFile>
#include <QPointer>
#include <QSet>
#include <QStringDecoder>
#include <exception>

namespace layout {

namespace {

constexpr int maxDepth = 200;

bool classMatches(const QObject *root, const QString &className)
{
    for (const QMetaObject *m = root->metaObject(); m; m = m->superClass()) {
        if (className == QLatin1String(m->className()) || className == UnqualifiedClassName(m->className()))
            return true;
        if (IsClassRegistered(className) && RegisteredClassName(m) == className)
            return true;
    }
    return false;
}

class Reader
{
public:
    Reader(QObject *root, const QString &text, const QString &displayName)
        : m_root(root), m_lexer(text), m_file(displayName)
    {
    }

    LayoutResult run();

private:
    bool parseRoot();
    bool parseBody(QObject *object, int depth);
    bool parseChild(QObject *enclosing, const Token &classToken, int depth);
    bool assign(QObject *object, const Token &nameToken);
    bool setDotted(QObject *object, const void *gadget, const QMetaObject *meta, const QStringList &path,
                   const Value &value, QVariant *gadgetValue);
    bool fail(int line, const QString &message)
    {
        m_lexer.fail(line, message);
        return false;
    }
    void rollBack();
    bool resolveReferences();

    // A control named before it may be declared, set once the whole layout is read.
    struct Reference
    {
        QPointer<QObject> object;
        QMetaProperty property;
        QString target;
        int line;
    };
    QList<Reference> m_references;

    QObject *m_root;
    Lexer m_lexer;
    QString m_file;
    QList<QPointer<QObject>> m_created;
    QSet<QString> m_names;
    QStringList m_rootEvents;
    QString m_oldRootName;
    QString m_dottedName;
};

LayoutResult Reader::run()
{
    m_oldRootName = m_root->objectName();
    auto *rootState = dynamic_cast<core::ComponentState *>(m_root);
    bool ok = false;
    try {
        ok = parseRoot() && resolveReferences();
    } catch (const std::exception &e) {
        fail(m_lexer.line(),
             QStringLiteral("error while setting values: %1").arg(QString::fromLocal8Bit(e.what())));
    }
    QString incomplete;
    if (ok && !m_lexer.failed() && rootState && !rootState->LayoutComplete(incomplete)) {
        rollBack();
        rootState->setLoading(false);
        return LayoutResult::Failure(QStringLiteral("%1: %2").arg(m_file, incomplete));
    }
    if (!ok || m_lexer.failed()) {
        rollBack();
        if (rootState)
            rootState->setLoading(false);
        return LayoutResult::Failure(
            QStringLiteral("%1:%2: %3").arg(m_file).arg(m_lexer.errorLine()).arg(m_lexer.error()),
            m_lexer.errorLine());
    }
    // Everything is read: now the objects may act on their values.
    for (const QPointer<QObject> &object : std::as_const(m_created)) {
        if (auto *state = dynamic_cast<core::ComponentState *>(object.data())) {
            state->Loaded();
            state->setLoading(false);
        }
    }
    if (rootState) {
        rootState->Loaded();
        rootState->setLoading(false);
    }
    return {};
}

void Reader::rollBack()
{
    for (qsizetype i = m_created.size() - 1; i >= 0; --i)
        delete m_created.at(i).data();
    m_created.clear();
    for (const QString &event : std::as_const(m_rootEvents))
        UnbindHandler(m_root, event);
    m_root->setObjectName(m_oldRootName);
}

bool Reader::resolveReferences()
{
    for (const Reference &reference : std::as_const(m_references)) {
        QObject *target = m_root->objectName() == reference.target
                              ? m_root
                              : m_root->findChild<QObject *>(reference.target, Qt::FindChildrenRecursively);
        if (!target || !target->isWidgetType())
            return fail(reference.line, QStringLiteral("no control named %1 for %2")
                                            .arg(ShortForMessage(reference.target),
                                                 QString::fromLatin1(reference.property.name())));
        if (!reference.object || !reference.property.write(reference.object, QVariant::fromValue(target)))
            return fail(
                reference.line,
                QStringLiteral("cannot set property %1").arg(QString::fromLatin1(reference.property.name())));
    }
    return true;
}

bool Reader::parseRoot()
{
    const Token classToken = m_lexer.next();
    if (classToken.kind != TokenKind::Ident)
        return fail(classToken.line, QStringLiteral("expected the root object's class name"));
    const Token nameToken = m_lexer.next();
    if (nameToken.kind != TokenKind::Ident || nameToken.text.contains(u'.'))
        return fail(nameToken.line, QStringLiteral("expected the root object's name"));
    const Token open = m_lexer.next();
    if (open.kind != TokenKind::OpenBrace)
        return fail(open.line, QStringLiteral("expected '{' after %1 %2")
                                   .arg(ShortForMessage(classToken.text), ShortForMessage(nameToken.text)));
    if (!classMatches(m_root, classToken.text))
        return fail(classToken.line, QStringLiteral("layout is for class %1, not %2")
                                         .arg(ShortForMessage(classToken.text),
                                              QString::fromLatin1(m_root->metaObject()->className())));
    m_root->setObjectName(nameToken.text);
    m_names.insert(nameToken.text);
    if (auto *state = dynamic_cast<core::ComponentState *>(m_root))
        state->setLoading(true);
    if (!parseBody(m_root, 0))
        return false;
    const Token end = m_lexer.next();
    if (end.kind != TokenKind::End)
        return fail(end.line, QStringLiteral("text after the end of the root object"));
    return !m_lexer.failed();
}

bool Reader::parseBody(QObject *object, int depth)
{
    const int openLine = m_lexer.line();
    while (true) {
        const Token token = m_lexer.next();
        if (m_lexer.failed())
            return false;
        switch (token.kind) {
        case TokenKind::CloseBrace:
            return true;
        case TokenKind::End:
            return fail(token.line,
                        QStringLiteral("unexpected end of file: '}' missing for %1 opened on line %2")
                            .arg(ShortForMessage(object->objectName()))
                            .arg(openLine));
        case TokenKind::Ident: {
            const Token after = m_lexer.peek();
            if (after.kind == TokenKind::Equals) {
                m_lexer.next();
                if (!assign(object, token))
                    return false;
            } else if (after.kind == TokenKind::Ident) {
                if (!parseChild(object, token, depth + 1))
                    return false;
            } else if (!m_lexer.failed()) {
                return fail(after.line, QStringLiteral("expected '=' or an object name after %1")
                                            .arg(QuoteForMessage(token.text)));
            } else {
                return false;
            }
            break;
        }
        default:
            return fail(token.line, QStringLiteral("expected a property or an object, found something else"));
        }
    }
}

bool Reader::parseChild(QObject *enclosing, const Token &classToken, int depth)
{
    const Token nameToken = m_lexer.next();
    const Token open = m_lexer.next();
    if (m_lexer.failed())
        return false;
    if (open.kind != TokenKind::OpenBrace)
        return fail(open.line, QStringLiteral("expected '{' after %1 %2")
                                   .arg(ShortForMessage(classToken.text), ShortForMessage(nameToken.text)));
    if (depth > maxDepth)
        return fail(classToken.line, QStringLiteral("objects nested too deeply"));
    if (classToken.text.contains(u'.') || nameToken.text.contains(u'.'))
        return fail(classToken.line,
                    QStringLiteral("bad object header %1 %2")
                        .arg(ShortForMessage(classToken.text), ShortForMessage(nameToken.text)));
    if (!IsClassRegistered(classToken.text))
        return fail(classToken.line,
                    QStringLiteral("unknown class %1").arg(ShortForMessage(classToken.text)));
    if (m_names.contains(nameToken.text))
        return fail(nameToken.line,
                    QStringLiteral("duplicate object name %1").arg(ShortForMessage(nameToken.text)));

    QObject *parent = m_root;
    if (IsWidgetClass(classToken.text)) {
        if (!enclosing->isWidgetType())
            return fail(classToken.line,
                        QStringLiteral("widget %1 cannot be placed inside non-visual %2")
                            .arg(ShortForMessage(nameToken.text), ShortForMessage(enclosing->objectName())));
        parent = enclosing;
    }
    QObject *child = CreateObject(classToken.text, parent);
    if (!child)
        return fail(classToken.line, QStringLiteral("cannot create %1").arg(classToken.text));
    m_created.append(child);
    m_names.insert(nameToken.text);
    child->setObjectName(nameToken.text);
    if (auto *state = dynamic_cast<core::ComponentState *>(child)) {
        if (auto *rootState = dynamic_cast<core::ComponentState *>(m_root);
            rootState && rootState->isDesigning())
            state->setDesigning(true);
        state->setLoading(true);
    }
    return parseBody(child, depth);
}

bool Reader::assign(QObject *object, const Token &nameToken)
{
    Value value;
    if (!ParseValue(m_lexer, value))
        return false;
    const QString &name = nameToken.text;
    const int line = nameToken.line;

    if (name.contains(u'.')) {
        m_dottedName = name;
        return setDotted(object, nullptr, object->metaObject(), name.split(u'.'), value, nullptr);
    }

    const QMetaObject *meta = object->metaObject();
    const int index = meta->indexOfProperty(name.toLatin1().constData());
    if (index >= 0) {
        const QMetaProperty property = meta->property(index);
        if (!property.isWritable())
            return fail(line, QStringLiteral("property %1 is read-only").arg(name));
        if (IsControlReference(property) && value.kind == ValueKind::Ident) {
            m_references.append({object, property, value.text, value.line});
            return true;
        }
        QString error;
        const QVariant converted = ConvertValue(property, value, error);
        if (!error.isEmpty())
            return fail(value.line, error);
        if (!property.write(object, converted))
            return fail(value.line, QStringLiteral("cannot set property %1").arg(name));
        return true;
    }

    if (name.startsWith(QLatin1String("On")) && value.kind == ValueKind::Ident && HasEvent(object, name)) {
        if (const LayoutResult bound = BindHandler(object, name, m_root, value.text); !bound)
            return fail(value.line, bound.error);
        if (object == m_root)
            m_rootEvents.append(name);
        return true;
    }

    if (auto *state = dynamic_cast<core::ComponentState *>(object)) {
        QString error;
        if (state->ReadStoredValueChecked(name, PlainVariant(value), error))
            return true;
        if (!error.isEmpty())
            return fail(line, error);
    }
    if (name.startsWith(QLatin1String("On")) && value.kind == ValueKind::Ident)
        return fail(line, QStringLiteral("unknown event %1 of %2")
                              .arg(ShortForMessage(name), ShortForMessage(object->objectName())));
    return fail(line, QStringLiteral("unknown property %1 of %2")
                          .arg(ShortForMessage(name), ShortForMessage(object->objectName())));
}

// Follows `path` through object properties (QObject pointers) and value gadgets. For a gadget
// level the modified copy is handed back in `gadgetValue` and written by the caller.
bool Reader::setDotted(QObject *object, const void *gadget, const QMetaObject *meta, const QStringList &path,
                       const Value &value, QVariant *gadgetValue)
{
    const QString &name = path.first();
    const int index = meta->indexOfProperty(name.toLatin1().constData());
    if (index < 0)
        return fail(value.line, QStringLiteral("unknown property %1").arg(ShortForMessage(m_dottedName)));
    const QMetaProperty property = meta->property(index);
    QString error;

    if (path.size() == 1) {
        const QVariant converted = ConvertValue(property, value, error);
        if (!error.isEmpty())
            return fail(value.line, error);
        const bool written = gadget ? property.writeOnGadget(gadgetValue->data(), converted)
                                    : property.write(object, converted);
        if (!written)
            return fail(value.line, QStringLiteral("cannot set property %1").arg(name));
        return true;
    }

    const QStringList rest = path.mid(1);
    const QVariant current = gadget ? property.readOnGadget(gadget) : property.read(object);
    if (IsObjectPointer(property)) {
        QObject *sub = current.value<QObject *>();
        if (!sub)
            return fail(value.line, QStringLiteral("property %1 holds no object").arg(name));
        return setDotted(sub, nullptr, sub->metaObject(), rest, value, nullptr);
    }
    if (IsGadget(property)) {
        QVariant copy = current;
        const QMetaObject *gadgetMeta = property.metaType().metaObject();
        if (!gadgetMeta || !copy.isValid())
            return fail(value.line, QStringLiteral("property %1 cannot be read").arg(name));
        if (!setDotted(nullptr, copy.data(), gadgetMeta, rest, value, &copy))
            return false;
        const bool written =
            gadget ? property.writeOnGadget(gadgetValue->data(), copy) : property.write(object, copy);
        if (!written)
            return fail(value.line, QStringLiteral("cannot set property %1").arg(name));
        return true;
    }
    return fail(value.line, QStringLiteral("property %1 has no sub-properties").arg(name));
}

LayoutResult tooLarge(const QString &file, qint64 size)
{
    return LayoutResult::Failure(QStringLiteral("%1: too large for a layout (%2 bytes, at most %3)")
                                     .arg(file)
                                     .arg(size)
                                     .arg(kMaxLayoutBytes));
}

} // namespace

LayoutResult LoadLayoutText(QObject *root, const QString &text, const QString &displayName)
{
    if (!root)
        return LayoutResult::Failure(QStringLiteral("%1: no object to load into").arg(displayName));
    if (text.size() > kMaxLayoutBytes)
        return tooLarge(displayName, text.size());
    Reader reader(root, text, displayName);
    return reader.run();
}

LayoutResult LoadLayoutText(QObject *root, const QByteArray &utf8, const QString &displayName)
{
    if (utf8.size() > kMaxLayoutBytes)
        return tooLarge(displayName, utf8.size());
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder.decode(utf8);
    if (decoder.hasError()) {
        const QList<QByteArray> lines = utf8.split('\n');
        int line = 1;
        for (const QByteArray &bytes : lines) {
            QStringDecoder lineDecoder(QStringDecoder::Utf8);
            const QString decoded = lineDecoder.decode(bytes);
            if (lineDecoder.hasError())
                break;
            ++line;
        }
        return LayoutResult::Failure(
            QStringLiteral("%1:%2: text is not valid UTF-8").arg(displayName).arg(line), line);
    }
    return LoadLayoutText(root, text, displayName);
}

LayoutResult LoadLayout(QObject *root, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return LayoutResult::Failure(QStringLiteral("%1: cannot open: %2").arg(path, file.errorString()));
    // Asked before reading, so a huge or endless file is never taken into memory.
    if (file.size() > kMaxLayoutBytes)
        return tooLarge(path, file.size());
    const QByteArray bytes = file.read(kMaxLayoutBytes + 1);
    if (file.error() != QFileDevice::NoError)
        return LayoutResult::Failure(QStringLiteral("%1: cannot read: %2").arg(path, file.errorString()));
    return LoadLayoutText(root, bytes, path);
}

} // namespace layout
