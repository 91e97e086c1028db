#pragma once

// Multi-line rich-text box, used read-only for fixed texts.

#include "controls/Controls.h"

#include <QStringList>
#include <QTextEdit>

namespace controls {

class TRichEdit : public QTextEdit, public TControl
{
    Q_OBJECT
    FRAMEWORK_CONTROL
    FRAMEWORK_FOCUS_EVENTS
    Q_PROPERTY(QStringList Lines READ Lines WRITE setLines)
    Q_PROPERTY(bool ReadOnly READ isReadOnly WRITE setReadOnly)
    Q_PROPERTY(bool WordWrap READ WordWrap WRITE setWordWrap)
    Q_PROPERTY(controls::ControlEnums::TBorderStyle BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_CLASSINFO("default:Visible", "True")
    Q_CLASSINFO("default:Color", "clWindow")
    Q_CLASSINFO("default:TabStop", "True")
    Q_CLASSINFO("default:ReadOnly", "False")
    Q_CLASSINFO("default:WordWrap", "True")
    Q_CLASSINFO("default:BorderStyle", "bsSingle")

public:
    explicit TRichEdit(QWidget *parent = nullptr);

    // One string per line, exactly as set (blank lines and trailing blanks included) until
    // the user edits the text.
    QStringList Lines() const;
    void setLines(const QStringList &lines);
    bool WordWrap() const { return lineWrapMode() != QTextEdit::NoWrap; }
    void setWordWrap(bool wrap);
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(TBorderStyle style);

signals:
    void OnChange(QObject *Sender);

protected:
    void applyColor() override;

private:
    QStringList m_lines;
    TBorderStyle m_borderStyle = bsSingle;
};

} // namespace controls
