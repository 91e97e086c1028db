#pragma once

#include <QString>
#include <functional>

namespace core {

// A message that only a form designer shows (a component's range error). The program decides
// how it appears; without a handler it goes nowhere.
struct DesignMessage
{
    QString text;
    QString caption;
};

using DesignMessageHandler = std::function<void(const DesignMessage &)>;

void SetDesignMessageHandler(DesignMessageHandler handler);
void ShowDesignMessage(const QString &text, const QString &caption);

} // namespace core
