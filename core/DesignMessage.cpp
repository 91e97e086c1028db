#include "core/DesignMessage.h"

namespace core {

namespace {

DesignMessageHandler &handlerSlot()
{
    static DesignMessageHandler handler;
    return handler;
}

} // namespace

void SetDesignMessageHandler(DesignMessageHandler handler)
{
    handlerSlot() = std::move(handler);
}

void ShowDesignMessage(const QString &text, const QString &caption)
{
    if (handlerSlot())
        handlerSlot()(DesignMessage{text, caption});
}

} // namespace core
