#pragma once

// The stored-layout text: tokens and the values after '=', as the reader and writer share them.

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace layout {

enum class TokenKind {
    End,
    Ident,
    Integer,
    Real,
    String,
    Equals,
    OpenBrace,
    CloseBrace,
    OpenBracket,
    CloseBracket,
    Comma
};

struct Token
{
    TokenKind kind = TokenKind::End;
    QString text; // identifier, string contents, or the number as written
    qint64 integer = 0;
    double real = 0;
    int line = 1;
};

// Splits layout text into tokens. Errors (bad character, unterminated string, number out of
// range) are reported through error(); after an error every token is End.
class Lexer
{
public:
    explicit Lexer(QString text) : m_text(std::move(text)) {}

    Token next();
    Token peek();
    // Reads the hex digits of a binary block after its '{' up to and including the '}'.
    bool readBinary(QByteArray &out);

    int line() const { return m_line; }
    bool failed() const { return !m_error.isEmpty(); }
    const QString &error() const { return m_error; }
    int errorLine() const { return m_errorLine; }
    void fail(int line, const QString &message);

private:
    Token scan();
    // The rest of a string or number token whose first character is at m_pos.
    Token scanString(Token token);
    Token scanNumber(Token token, QChar c);
    void skipSpaceAndComments();

    QString m_text;
    qsizetype m_pos = 0;
    int m_line = 1;
    bool m_hasPeek = false;
    Token m_peek;
    QString m_error;
    int m_errorLine = 0;
};

enum class ValueKind { Integer, Real, String, Ident, Set, StringList, EmptyList, Binary };

struct Value
{
    ValueKind kind = ValueKind::Integer;
    qint64 integer = 0;
    double real = 0;
    QString text;      // string contents or identifier
    QStringList items; // set members or list strings
    QByteArray bytes;  // binary block
    int line = 1;
};

// Reads one value after '='. False on a syntax error (reported through the lexer).
bool ParseValue(Lexer &lexer, Value &value);

} // namespace layout
