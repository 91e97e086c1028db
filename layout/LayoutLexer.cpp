#include "layout/LayoutLexer.h"

#include "layout/LayoutValues.h"

#include <cmath>

namespace layout {

namespace {

bool isIdentStart(QChar c)
{
    return c.isLetter() || c == u'_';
}

bool isIdentChar(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'.';
}

int hexDigit(QChar c)
{
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

QString describe(const Token &token)
{
    switch (token.kind) {
    case TokenKind::End:
        return QStringLiteral("end of file");
    case TokenKind::Ident:
    case TokenKind::Integer:
    case TokenKind::Real:
        return QuoteForMessage(token.text);
    case TokenKind::String:
        return QStringLiteral("a string");
    case TokenKind::Equals:
        return QStringLiteral("'='");
    case TokenKind::OpenBrace:
        return QStringLiteral("'{'");
    case TokenKind::CloseBrace:
        return QStringLiteral("'}'");
    case TokenKind::OpenBracket:
        return QStringLiteral("'['");
    case TokenKind::CloseBracket:
        return QStringLiteral("']'");
    case TokenKind::Comma:
        return QStringLiteral("','");
    }
    return {};
}

} // namespace

void Lexer::fail(int line, const QString &message)
{
    if (!m_error.isEmpty())
        return;
    m_error = message;
    m_errorLine = line;
}

void Lexer::skipSpaceAndComments()
{
    while (m_pos < m_text.size()) {
        const QChar c = m_text.at(m_pos);
        if (c == u'\n') {
            ++m_line;
            ++m_pos;
        } else if (c.isSpace()) {
            ++m_pos;
        } else if (c == u'/' && m_pos + 1 < m_text.size() && m_text.at(m_pos + 1) == u'/') {
            while (m_pos < m_text.size() && m_text.at(m_pos) != u'\n')
                ++m_pos;
        } else {
            break;
        }
    }
}

Token Lexer::peek()
{
    if (!m_hasPeek) {
        m_peek = scan();
        m_hasPeek = true;
    }
    return m_peek;
}

Token Lexer::next()
{
    if (m_hasPeek) {
        m_hasPeek = false;
        return m_peek;
    }
    return scan();
}

Token Lexer::scan()
{
    Token token;
    if (failed()) {
        token.line = m_errorLine;
        return token;
    }
    skipSpaceAndComments();
    token.line = m_line;
    if (m_pos >= m_text.size())
        return token;

    const QChar c = m_text.at(m_pos);
    auto single = [&](TokenKind kind) {
        ++m_pos;
        token.kind = kind;
        return token;
    };
    switch (c.unicode()) {
    case '=':
        return single(TokenKind::Equals);
    case '{':
        return single(TokenKind::OpenBrace);
    case '}':
        return single(TokenKind::CloseBrace);
    case '[':
        return single(TokenKind::OpenBracket);
    case ']':
        return single(TokenKind::CloseBracket);
    case ',':
        return single(TokenKind::Comma);
    default:
        break;
    }

    if (c == u'"')
        return scanString(token);
    if (c.isDigit() || (c == u'-' && m_pos + 1 < m_text.size() && m_text.at(m_pos + 1).isDigit()))
        return scanNumber(token, c);

    if (isIdentStart(c)) {
        const qsizetype start = m_pos;
        while (m_pos < m_text.size() && isIdentChar(m_text.at(m_pos)))
            ++m_pos;
        token.kind = TokenKind::Ident;
        token.text = m_text.mid(start, m_pos - start);
        if (token.text.endsWith(u'.') || token.text.contains(QStringLiteral(".."))) {
            fail(token.line, QStringLiteral("bad name %1").arg(QuoteForMessage(token.text)));
            return Token{TokenKind::End, {}, 0, 0, token.line};
        }
        return token;
    }

    fail(token.line, QStringLiteral("unexpected character %1").arg(QuoteForMessage(c)));
    return Token{TokenKind::End, {}, 0, 0, token.line};
}

Token Lexer::scanString(Token token)
{
    ++m_pos;
    QString text;
    while (true) {
        if (m_pos >= m_text.size() || m_text.at(m_pos) == u'\n') {
            fail(token.line, QStringLiteral("unterminated string"));
            return Token{TokenKind::End, {}, 0, 0, token.line};
        }
        const QChar ch = m_text.at(m_pos++);
        if (ch == u'"')
            break;
        if (ch != u'\\') {
            text += ch;
            continue;
        }
        if (m_pos >= m_text.size()) {
            fail(token.line, QStringLiteral("unterminated string"));
            return Token{TokenKind::End, {}, 0, 0, token.line};
        }
        const QChar esc = m_text.at(m_pos++);
        switch (esc.unicode()) {
        case '"':
            text += u'"';
            break;
        case '\\':
            text += u'\\';
            break;
        case 'n':
            text += u'\n';
            break;
        case 'r':
            text += u'\r';
            break;
        case 't':
            text += u'\t';
            break;
        case 'u': {
            int code = 0;
            for (int i = 0; i < 4; ++i) {
                const int d = m_pos < m_text.size() ? hexDigit(m_text.at(m_pos)) : -1;
                if (d < 0) {
                    fail(token.line, QStringLiteral("bad \\u escape in string"));
                    return Token{TokenKind::End, {}, 0, 0, token.line};
                }
                code = code * 16 + d;
                ++m_pos;
            }
            text += QChar(char16_t(code));
            break;
        }
        default:
            fail(token.line,
                 QStringLiteral("unknown escape %1 in string").arg(QuoteForMessage(u'\\' + QString(esc))));
            return Token{TokenKind::End, {}, 0, 0, token.line};
        }
    }
    token.kind = TokenKind::String;
    token.text = text;
    return token;
}

Token Lexer::scanNumber(Token token, QChar c)
{
    const qsizetype start = m_pos;
    if (c == u'-')
        ++m_pos;
    bool real = false;
    bool hex = false;
    if (m_text.at(m_pos) == u'0' && m_pos + 1 < m_text.size() &&
        (m_text.at(m_pos + 1) == u'x' || m_text.at(m_pos + 1) == u'X')) {
        hex = true;
        m_pos += 2;
        while (m_pos < m_text.size() && hexDigit(m_text.at(m_pos)) >= 0)
            ++m_pos;
    } else {
        while (m_pos < m_text.size() && m_text.at(m_pos).isDigit())
            ++m_pos;
        if (m_pos < m_text.size() && m_text.at(m_pos) == u'.') {
            real = true;
            ++m_pos;
            while (m_pos < m_text.size() && m_text.at(m_pos).isDigit())
                ++m_pos;
        }
        if (m_pos < m_text.size() && (m_text.at(m_pos) == u'e' || m_text.at(m_pos) == u'E')) {
            real = true;
            ++m_pos;
            if (m_pos < m_text.size() && (m_text.at(m_pos) == u'+' || m_text.at(m_pos) == u'-'))
                ++m_pos;
            while (m_pos < m_text.size() && m_text.at(m_pos).isDigit())
                ++m_pos;
        }
    }
    token.text = m_text.mid(start, m_pos - start);
    if (m_pos < m_text.size() && isIdentChar(m_text.at(m_pos))) {
        fail(token.line, QStringLiteral("bad number %1").arg(QuoteForMessage(token.text + m_text.at(m_pos))));
        return Token{TokenKind::End, {}, 0, 0, token.line};
    }
    bool ok = false;
    if (real) {
        token.kind = TokenKind::Real;
        token.real = token.text.toDouble(&ok);
    } else {
        token.kind = TokenKind::Integer;
        if (hex) {
            const bool negative = token.text.startsWith(u'-');
            const qint64 magnitude = token.text.mid(negative ? 3 : 2).toLongLong(&ok, 16);
            token.integer = negative ? -magnitude : magnitude;
        } else {
            token.integer = token.text.toLongLong(&ok, 10);
        }
    }
    if (!ok || (real && !std::isfinite(token.real))) {
        fail(token.line, QStringLiteral("bad number %1").arg(QuoteForMessage(token.text)));
        return Token{TokenKind::End, {}, 0, 0, token.line};
    }
    return token;
}

bool Lexer::readBinary(QByteArray &out)
{
    const int startLine = m_line;
    int high = -1;
    while (true) {
        if (m_pos >= m_text.size()) {
            fail(startLine, QStringLiteral("binary block not closed with '}'"));
            return false;
        }
        const QChar c = m_text.at(m_pos++);
        if (c == u'}')
            break;
        if (c == u'\n') {
            ++m_line;
            continue;
        }
        if (c.isSpace())
            continue;
        const int d = hexDigit(c);
        if (d < 0) {
            fail(m_line, QStringLiteral("bad character %1 in binary block").arg(QuoteForMessage(c)));
            return false;
        }
        if (high < 0) {
            high = d;
        } else {
            out.append(char(high * 16 + d));
            high = -1;
        }
    }
    if (high >= 0) {
        fail(m_line, QStringLiteral("odd number of hex digits in binary block"));
        return false;
    }
    return true;
}

bool ParseValue(Lexer &lexer, Value &value)
{
    const Token token = lexer.next();
    value.line = token.line;
    switch (token.kind) {
    case TokenKind::Integer:
        value.kind = ValueKind::Integer;
        value.integer = token.integer;
        return true;
    case TokenKind::Real:
        value.kind = ValueKind::Real;
        value.real = token.real;
        return true;
    case TokenKind::String:
        value.kind = ValueKind::String;
        value.text = token.text;
        return true;
    case TokenKind::Ident:
        value.kind = ValueKind::Ident;
        value.text = token.text;
        return true;
    case TokenKind::OpenBrace:
        value.kind = ValueKind::Binary;
        return lexer.readBinary(value.bytes);
    case TokenKind::OpenBracket: {
        value.kind = ValueKind::EmptyList;
        Token item = lexer.next();
        if (item.kind == TokenKind::CloseBracket)
            return true;
        while (true) {
            const ValueKind kind = item.kind == TokenKind::Ident    ? ValueKind::Set
                                   : item.kind == TokenKind::String ? ValueKind::StringList
                                                                    : ValueKind::EmptyList;
            if (kind == ValueKind::EmptyList || (value.kind != ValueKind::EmptyList && value.kind != kind)) {
                lexer.fail(item.line, QStringLiteral("expected a list of identifiers or of strings, found %1")
                                          .arg(describe(item)));
                return false;
            }
            value.kind = kind;
            value.items.append(item.text);
            const Token separator = lexer.next();
            if (separator.kind == TokenKind::CloseBracket)
                return true;
            if (separator.kind != TokenKind::Comma) {
                lexer.fail(separator.line,
                           QStringLiteral("expected ',' or ']', found %1").arg(describe(separator)));
                return false;
            }
            item = lexer.next();
        }
    }
    default:
        lexer.fail(token.line, QStringLiteral("expected a value, found %1").arg(describe(token)));
        return false;
    }
}

} // namespace layout
