#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace controls {

enum class MessageIcon { None, Information, Warning, Error, Question };

struct MessageBoxRequest
{
    QWidget *owner = nullptr;
    QString text;
    QString caption;
    MessageIcon icon = MessageIcon::None;
};

// A modal box with one OK button. Returns the button pressed (1 = OK).
int ShowMessageBox(QWidget *owner, const QString &text, const QString &caption, MessageIcon icon);

// Tests replace the real box; the hook sees every request and answers it.
using MessageBoxHook = std::function<int(const MessageBoxRequest &)>;
void setMessageBoxHook(MessageBoxHook hook);

// Makes the lower layers' designer messages appear as error boxes without an owner.
void ShowDesignMessagesAsErrorBoxes();

} // namespace controls
