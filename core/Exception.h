#pragma once

#include <QByteArray>
#include <QString>
#include <exception>

namespace core {

// The framework's error: a message for the user. Painting and input handlers swallow it.
class Exception : public std::exception
{
public:
    explicit Exception(const QString &Message) : FMessage(Message), FUtf8(Message.toUtf8()) {}

    const QString &Message() const { return FMessage; }
    const char *what() const noexcept override { return FUtf8.constData(); }

private:
    QString FMessage;
    QByteArray FUtf8;
};

} // namespace core
