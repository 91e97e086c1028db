#include "controls/StdControls.h"

#include "core/Setter.h"

#include <QFontMetrics>
#include <QKeyEvent>
#include <QPainter>
#include <QStyledItemDelegate>

#include <algorithm>

namespace controls {

namespace {

QString applyCase(TEditCharCase charCase, const QString &text)
{
    switch (charCase) {
    case ecLowerCase:
        return text.toLower();
    case ecUpperCase:
        return text.toUpper();
    case ecNormal:
        break;
    }
    return text;
}

void setBaseColor(QWidget *widget, QColor color)
{
    QPalette pal = widget->palette();
    for (QPalette::ColorRole role : {QPalette::Base, QPalette::Window, QPalette::Button})
        pal.setColor(role, color);
    widget->setPalette(pal);
}

// Fixed height of the items in the drop-down list.
class ItemHeightDelegate : public QStyledItemDelegate
{
public:
    ItemHeightDelegate(const int *height, QObject *parent) : QStyledItemDelegate(parent), m_height(height) {}

    QSize sizeHint(const QStyleOptionViewItem &option, const QModelIndex &index) const override
    {
        QSize size = QStyledItemDelegate::sizeHint(option, index);
        size.setHeight(*m_height);
        return size;
    }

private:
    const int *m_height;
};

} // namespace

// --- TEdit ----------------------------------------------------------------------------------

TEdit::TEdit(QWidget *parent) : QLineEdit(parent), TControl(this)
{
    setDefaultColor(canvas::clWindow, false);
    setDefaultFocus(true);
    applyFont();
    QLineEdit::setMaxLength(32767);
    connect(this, &QLineEdit::textChanged, this, [this] {
        if (!isLoading())
            emit OnChange(this);
    });
}

void TEdit::setMaxLength(int length)
{
    length = std::max(0, length);
    if (!core::Assign(m_maxLength, length))
        return;
    QLineEdit::setMaxLength(length == 0 ? 32767 : length);
}

void TEdit::setCharCase(TEditCharCase charCase)
{
    if (!core::Assign(m_charCase, charCase))
        return;
    const QString cased = applyCase(charCase, text());
    if (cased != text())
        setText(cased);
}

void TEdit::setBevelKind(TBevelKind kind)
{
    if (!core::Assign(m_bevelKind, kind))
        return;
    applyFrame();
}

void TEdit::setBorderStyle(TBorderStyle style)
{
    if (!core::Assign(m_borderStyle, style))
        return;
    applyFrame();
}

void TEdit::applyFrame()
{
    // A flat bevel replaces the sunken frame with a one-pixel line.
    const bool flat = m_bevelKind != bkNone;
    setFrame(!flat && m_borderStyle != bsNone);
    setTextMargins(flat ? 2 : 0, 0, flat ? 2 : 0, 0);
    requestRepaint();
}

void TEdit::keyPressEvent(QKeyEvent *event)
{
    const QString typed = event->text();
    // Delete edits but types nothing (X11 still hands it the character 127), so no key filter sees it.
    if (typed.isEmpty() || event->key() == Qt::Key_Delete) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    QChar key = typed.at(0);
    const QChar original = key;
    emit OnKeyPress(this, key);
    if (key.isNull()) {
        event->accept();
        return;
    }
    key = applyCase(m_charCase, QString(key)).at(0);
    if (key == original) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    QKeyEvent changed(event->type(), event->key(), event->modifiers(), QString(key), event->isAutoRepeat());
    QLineEdit::keyPressEvent(&changed);
    event->setAccepted(changed.isAccepted());
}

void TEdit::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    if (m_bevelKind == bkNone)
        return;
    QPainter painter(this);
    painter.setPen(canvas::ToQColor(canvas::clBtnShadow));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

void TEdit::applyColor()
{
    setBaseColor(this, canvas::ToQColor(Color()));
}

// --- TComboBox ------------------------------------------------------------------------------

TComboBox::TComboBox(QWidget *parent) : QComboBox(parent), TControl(this)
{
    setDefaultColor(canvas::clWindow, false);
    setDefaultFocus(true);
    applyFont();
    setEditable(true);
    setInsertPolicy(QComboBox::NoInsert);
    setMaxVisibleItems(8);
    setItemDelegate(new ItemHeightDelegate(&m_itemHeight, this));
    connectEditor();
    connect(this, &QComboBox::activated, this, [this] {
        if (!isLoading())
            emit OnChange(this);
    });
}

void TComboBox::setStyle(TComboBoxStyle style)
{
    if (!core::Assign(m_style, style))
        return;
    const int index = currentIndex();
    setEditable(style == csDropDown || style == csSimple);
    connectEditor();
    setCurrentIndex(index);
    applyColor();
    requestRepaint();
}

void TComboBox::setCharCase(TEditCharCase charCase)
{
    if (!core::Assign(m_charCase, charCase))
        return;
    setItems(Items());
}

void TComboBox::connectEditor()
{
    if (!lineEdit() || lineEdit() == m_connectedEditor)
        return;
    m_connectedEditor = lineEdit();
    connect(lineEdit(), &QLineEdit::textEdited, this, [this] {
        if (!isLoading())
            emit OnChange(this);
    });
}

QString TComboBox::cased(const QString &text) const
{
    return applyCase(m_charCase, text);
}

QStringList TComboBox::Items() const
{
    QStringList items;
    for (int i = 0; i < count(); ++i)
        items << itemText(i);
    return items;
}

void TComboBox::setItems(const QStringList &items)
{
    QStringList casedItems;
    for (const QString &item : items)
        casedItems << cased(item);
    if (casedItems == Items())
        return;
    const QString text = currentText();
    const QSignalBlocker blocker(this);
    clear();
    addItems(casedItems);
    // A new list selects nothing, except the same text again when it is still there.
    setCurrentIndex(casedItems.indexOf(text));
    if (isEditable() && currentIndex() < 0)
        setEditText(text);
    requestRepaint();
}

void TComboBox::setItemIndex(int index)
{
    if (index < -1 || index >= count())
        index = -1;
    if (index == currentIndex())
        return;
    setCurrentIndex(index);
}

void TComboBox::setText(const QString &text)
{
    const QString value = cased(text);
    const int index = findText(value, Qt::MatchExactly);
    if (isEditable()) {
        setCurrentIndex(index);
        setEditText(value);
    } else {
        setCurrentIndex(index);
    }
}

void TComboBox::setItemHeight(int height)
{
    height = std::max(1, height);
    if (!core::Assign(m_itemHeight, height))
        return;
    requestRepaint();
}

void TComboBox::setDropDownCount(int count)
{
    setMaxVisibleItems(std::max(1, count));
}

void TComboBox::applyColor()
{
    setBaseColor(this, canvas::ToQColor(Color()));
    if (lineEdit())
        setBaseColor(lineEdit(), canvas::ToQColor(Color()));
}

// --- TGroupBox ------------------------------------------------------------------------------

TGroupBox::TGroupBox(QWidget *parent) : QGroupBox(parent), TControl(this)
{
    setClickOnRelease(true);
    setDefaultColor(canvas::clBtnFace, true);
    applyFont();
}

void TGroupBox::setCaption(const QString &caption)
{
    if (caption == title())
        return;
    setTitle(caption);
}

QRect TGroupBox::alignRect() const
{
    QRect r = rect();
    r.setTop(r.top() + QFontMetrics(font()).height());
    return r.adjusted(2, 2, -2, -2);
}

// --- TRadioButton ---------------------------------------------------------------------------

TRadioButton::TRadioButton(QWidget *parent) : QRadioButton(parent), TControl(this)
{
    setDefaultColor(canvas::clBtnFace, true);
    applyFont();
    connect(this, &QAbstractButton::toggled, this, [this](bool checked) {
        if (checked && !isLoading())
            emit OnClick(this);
    });
}

void TRadioButton::setCaption(const QString &caption)
{
    if (caption != text())
        setText(caption);
}

// --- TCheckBox ------------------------------------------------------------------------------

TCheckBox::TCheckBox(QWidget *parent) : QCheckBox(parent), TControl(this)
{
    setDefaultColor(canvas::clBtnFace, true);
    setDefaultFocus(true);
    applyFont();
    connect(this, &QAbstractButton::toggled, this, [this] {
        if (!isLoading())
            emit OnClick(this);
    });
}

void TCheckBox::setCaption(const QString &caption)
{
    if (caption != text())
        setText(caption);
}

// --- TLabel ---------------------------------------------------------------------------------

TLabel::TLabel(QWidget *parent) : QLabel(parent), TControl(this)
{
    setTextFormat(Qt::PlainText);
    setDefaultColor(canvas::clBtnFace, true);
    applyFont();
    setClickOnRelease(true);
    QLabel::setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void TLabel::setCaption(const QString &caption)
{
    if (caption == text())
        return;
    setText(caption);
    adjustBounds();
}

void TLabel::setAutoSize(bool autoSize)
{
    if (!core::Assign(m_autoSize, autoSize))
        return;
    adjustBounds();
}

void TLabel::setTransparent(bool transparent)
{
    if (!core::Assign(m_transparent, transparent))
        return;
    applyColor();
    requestRepaint();
}

void TLabel::setAlignmentValue(TAlignment alignment)
{
    if (!core::Assign(m_alignment, alignment))
        return;
    const Qt::Alignment h = alignment == taCenter         ? Qt::AlignHCenter
                            : alignment == taRightJustify ? Qt::AlignRight
                                                          : Qt::AlignLeft;
    QLabel::setAlignment(h | Qt::AlignTop);
}

void TLabel::Loaded()
{
    TControl::Loaded();
    adjustBounds();
}

void TLabel::applyColor()
{
    TControl::applyColor();
    setAutoFillBackground(!m_transparent && !ParentColor());
}

void TLabel::applyFont()
{
    TControl::applyFont();
    adjustBounds();
}

void TLabel::adjustBounds()
{
    if (!m_autoSize || isLoading() || wordWrap())
        return;
    const QFontMetrics metrics(font());
    SetBounds(Left(), Top(), metrics.horizontalAdvance(text()), metrics.height());
}

} // namespace controls
