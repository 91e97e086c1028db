#include "controls/MessageBox.h"

#include "core/DesignMessage.h"

#include <QMessageBox>

namespace controls {

namespace {
MessageBoxHook &hookSlot()
{
    static MessageBoxHook hook;
    return hook;
}

QMessageBox::Icon toQt(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}
} // namespace

int ShowMessageBox(QWidget *owner, const QString &text, const QString &caption, MessageIcon icon)
{
    if (hookSlot())
        return hookSlot()(MessageBoxRequest{owner, text, caption, icon});
    QMessageBox box(toQt(icon), caption, text, QMessageBox::Ok, owner);
    box.exec();
    return 1;
}

void setMessageBoxHook(MessageBoxHook hook)
{
    hookSlot() = std::move(hook);
}

void ShowDesignMessagesAsErrorBoxes()
{
    core::SetDesignMessageHandler([](const core::DesignMessage &message) {
        ShowMessageBox(nullptr, message.text, message.caption, MessageIcon::Error);
    });
}

} // namespace controls
