#pragma once

// Edit, drop-down list, group box, radio button, check box and label.

#include "controls/Controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QRadioButton>

namespace controls {

// Single-line edit. OnKeyPress sees every typed character first and may change it; setting it
// to the null character swallows the key. OnChange follows every text change but those made
// while loading.
class TEdit : public QLineEdit, public TControl
{
    Q_OBJECT
    FRAMEWORK_CONTROL
    FRAMEWORK_FOCUS_EVENTS
    Q_PROPERTY(QString Text READ text WRITE setText)
    Q_PROPERTY(int MaxLength READ MaxLength WRITE setMaxLength)
    Q_PROPERTY(bool ReadOnly READ isReadOnly WRITE setReadOnly)
    Q_PROPERTY(controls::ControlEnums::TEditCharCase CharCase READ CharCase WRITE setCharCase)
    Q_PROPERTY(controls::ControlEnums::TBevelKind BevelKind READ BevelKind WRITE setBevelKind)
    Q_PROPERTY(controls::ControlEnums::TBorderStyle BorderStyle READ BorderStyle WRITE setBorderStyle)
    Q_CLASSINFO("default:Visible", "True")
    Q_CLASSINFO("default:Color", "clWindow")
    Q_CLASSINFO("default:TabStop", "True")
    Q_CLASSINFO("default:Text", "\"\"")
    Q_CLASSINFO("default:MaxLength", "0")
    Q_CLASSINFO("default:ReadOnly", "False")
    Q_CLASSINFO("default:CharCase", "ecNormal")
    Q_CLASSINFO("default:BevelKind", "bkNone")
    Q_CLASSINFO("default:BorderStyle", "bsSingle")

public:
    explicit TEdit(QWidget *parent = nullptr);

    // 0 = no limit.
    int MaxLength() const { return m_maxLength; }
    void setMaxLength(int length);
    TEditCharCase CharCase() const { return m_charCase; }
    void setCharCase(TEditCharCase charCase);
    TBevelKind BevelKind() const { return m_bevelKind; }
    void setBevelKind(TBevelKind kind);
    TBorderStyle BorderStyle() const { return m_borderStyle; }
    void setBorderStyle(TBorderStyle style);

signals:
    void OnChange(QObject *Sender);
    void OnKeyPress(QObject *Sender, QChar &Key);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void paintEvent(QPaintEvent *event) override;
    void applyColor() override;

private:
    void applyFrame();

    int m_maxLength = 0;
    TEditCharCase m_charCase = ecNormal;
    TBevelKind m_bevelKind = bkNone;
    TBorderStyle m_borderStyle = bsSingle;
};

// Drop-down list. OnChange runs when the user chooses an item (or edits the text of an
// editable one), never for changes made by the program.
class TComboBox : public QComboBox, public TControl
{
    Q_OBJECT
    FRAMEWORK_CONTROL
    FRAMEWORK_FOCUS_EVENTS
    Q_PROPERTY(controls::ControlEnums::TComboBoxStyle Style READ Style WRITE setStyle)
    Q_PROPERTY(controls::ControlEnums::TEditCharCase CharCase READ CharCase WRITE setCharCase)
    Q_PROPERTY(QStringList Items READ Items WRITE setItems)
    Q_PROPERTY(int ItemIndex READ ItemIndex WRITE setItemIndex)
    Q_PROPERTY(QString Text READ Text WRITE setText)
    Q_PROPERTY(int ItemHeight READ ItemHeight WRITE setItemHeight)
    Q_PROPERTY(int DropDownCount READ DropDownCount WRITE setDropDownCount)
    Q_CLASSINFO("default:Visible", "True")
    Q_CLASSINFO("default:Color", "clWindow")
    Q_CLASSINFO("default:TabStop", "True")
    Q_CLASSINFO("default:Style", "csDropDown")
    Q_CLASSINFO("default:CharCase", "ecNormal")
    Q_CLASSINFO("default:ItemIndex", "-1")
    Q_CLASSINFO("default:Text", "\"\"")
    Q_CLASSINFO("default:ItemHeight", "16")
    Q_CLASSINFO("default:DropDownCount", "8")

public:
    explicit TComboBox(QWidget *parent = nullptr);

    TComboBoxStyle Style() const { return m_style; }
    void setStyle(TComboBoxStyle style);
    TEditCharCase CharCase() const { return m_charCase; }
    void setCharCase(TEditCharCase charCase);
    QStringList Items() const;
    void setItems(const QStringList &items);
    // -1 for no item; values out of range select none.
    int ItemIndex() const { return currentIndex(); }
    void setItemIndex(int index);
    // The shown text; setting it on a list-only box selects the item with that text, if any.
    QString Text() const { return currentText(); }
    void setText(const QString &text);
    int ItemHeight() const { return m_itemHeight; }
    void setItemHeight(int height);
    int DropDownCount() const { return maxVisibleItems(); }
    void setDropDownCount(int count);

signals:
    void OnChange(QObject *Sender);

protected:
    void applyColor() override;

private:
    QString cased(const QString &text) const;
    void connectEditor();

    TComboBoxStyle m_style = csDropDown;
    TEditCharCase m_charCase = ecNormal;
    int m_itemHeight = 16;
    QPointer<QLineEdit> m_connectedEditor;
};

class TGroupBox : public QGroupBox, public TControl
{
    Q_OBJECT
    FRAMEWORK_CONTROL
    Q_PROPERTY(QString Caption READ title WRITE setCaption)
    Q_CLASSINFO("default:Visible", "True")
    Q_CLASSINFO("default:TabStop", "False")
    Q_CLASSINFO("default:Caption", "\"\"")

public:
    explicit TGroupBox(QWidget *parent = nullptr);

    void setCaption(const QString &caption);
    QRect alignRect() const override;
};

// Radio button; the radio buttons of one parent form one exclusive group. OnClick runs when
// the button becomes checked, by the user or by the program (not while loading).
class TRadioButton : public QRadioButton, public TControl
{
    Q_OBJECT
    FRAMEWORK_CONTROL
    FRAMEWORK_FOCUS_EVENTS
    Q_PROPERTY(QString Caption READ text WRITE setCaption)
    Q_PROPERTY(bool Checked READ isChecked WRITE setChecked)
    Q_CLASSINFO("default:Visible", "True")
    Q_CLASSINFO("default:TabStop", "False")
    Q_CLASSINFO("default:Caption", "\"\"")
    Q_CLASSINFO("default:Checked", "False")

public:
    explicit TRadioButton(QWidget *parent = nullptr);

    void setCaption(const QString &caption);
};

// Check box. OnClick runs whenever Checked changes, by the user or by the program (not while
// loading), so handlers that keep other controls in step with the box see every change.
class TCheckBox : public QCheckBox, public TControl
{
    Q_OBJECT
    FRAMEWORK_CONTROL
    FRAMEWORK_FOCUS_EVENTS
    Q_PROPERTY(QString Caption READ text WRITE setCaption)
    Q_PROPERTY(bool Checked READ isChecked WRITE setChecked)
    Q_CLASSINFO("default:Visible", "True")
    Q_CLASSINFO("default:TabStop", "True")
    Q_CLASSINFO("default:Caption", "\"\"")
    Q_CLASSINFO("default:Checked", "False")

public:
    explicit TCheckBox(QWidget *parent = nullptr);

    void setCaption(const QString &caption);
};

// Static text. With AutoSize the control takes the size of its text (after loading, and at
// every caption or font change).
class TLabel : public QLabel, public TControl
{
    Q_OBJECT
    FRAMEWORK_CONTROL
    Q_PROPERTY(QString Caption READ text WRITE setCaption)
    Q_PROPERTY(bool AutoSize READ AutoSize WRITE setAutoSize)
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent)
    Q_PROPERTY(controls::ControlEnums::TAlignment Alignment READ Alignment WRITE setAlignmentValue)
    Q_PROPERTY(bool WordWrap READ wordWrap WRITE setWordWrap)
    Q_CLASSINFO("default:Visible", "True")
    Q_CLASSINFO("default:TabStop", "False")
    Q_CLASSINFO("default:Caption", "\"\"")
    Q_CLASSINFO("default:AutoSize", "True")
    Q_CLASSINFO("default:Transparent", "False")
    Q_CLASSINFO("default:Alignment", "taLeftJustify")
    Q_CLASSINFO("default:WordWrap", "False")

public:
    explicit TLabel(QWidget *parent = nullptr);

    void setCaption(const QString &caption);
    bool AutoSize() const { return m_autoSize; }
    void setAutoSize(bool autoSize);
    bool Transparent() const { return m_transparent; }
    void setTransparent(bool transparent);
    TAlignment Alignment() const { return m_alignment; }
    void setAlignmentValue(TAlignment alignment);

    void Loaded() override;

protected:
    void applyColor() override;
    void applyFont() override;

private:
    void adjustBounds();

    TAlignment m_alignment = taLeftJustify;
    bool m_autoSize = true;
    bool m_transparent = false;
};

} // namespace controls
