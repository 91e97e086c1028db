#include "controls/RichEdit.h"

#include "core/Setter.h"

namespace controls {

TRichEdit::TRichEdit(QWidget *parent) : QTextEdit(parent), TControl(this)
{
    setDefaultColor(canvas::clWindow, false);
    setDefaultFocus(true);
    applyFont();
    setAcceptRichText(false);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    connect(this, &QTextEdit::textChanged, this, [this] {
        if (!isLoading())
            emit OnChange(this);
    });
}

QStringList TRichEdit::Lines() const
{
    const QString text = toPlainText();
    if (text == m_lines.join(QLatin1Char('\n')))
        return m_lines;
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void TRichEdit::setLines(const QStringList &lines)
{
    if (lines == m_lines && toPlainText() == lines.join(QLatin1Char('\n')))
        return;
    m_lines = lines;
    setPlainText(lines.join(QLatin1Char('\n')));
}

void TRichEdit::setWordWrap(bool wrap)
{
    if (wrap == WordWrap())
        return;
    setLineWrapMode(wrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
}

void TRichEdit::setBorderStyle(TBorderStyle style)
{
    if (!core::Assign(m_borderStyle, style))
        return;
    setFrameShape(style == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
}

void TRichEdit::applyColor()
{
    QPalette pal = palette();
    pal.setColor(QPalette::Base, canvas::ToQColor(Color()));
    setPalette(pal);
}

} // namespace controls
