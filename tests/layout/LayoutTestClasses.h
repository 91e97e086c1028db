#pragma once

// Small classes for the layout reader, writer and component-state tests.

#include "core/ComponentState.h"

#include <QByteArray>
#include <QChar>
#include <QObject>
#include <QStringList>
#include <QWidget>

namespace layouttest {

class TLtFont : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Name READ Name WRITE setName)
    Q_PROPERTY(int Height READ Height WRITE setHeight)
    Q_PROPERTY(TFontStyles Style READ Style WRITE setStyle)
    Q_PROPERTY(uint Color READ Color WRITE setColor)
    Q_PROPERTY(int Charset READ Charset WRITE setCharset)
    Q_CLASSINFO("default:Name", "\"MS Sans Serif\"")
    Q_CLASSINFO("default:Charset", "ANSI_CHARSET")
    Q_CLASSINFO("default:Height", "11")
    Q_CLASSINFO("default:Style", "[]")
    Q_CLASSINFO("default:Color", "clWindowText")

public:
    enum TFontStyle { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
    Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
    Q_FLAG(TFontStyles)
    enum TFontCharset { ANSI_CHARSET = 0, RUSSIAN_CHARSET = 204 };
    Q_ENUM(TFontCharset)

    using QObject::QObject;
    QString Name() const { return m_name; }
    void setName(const QString &v) { m_name = v; }
    int Height() const { return m_height; }
    void setHeight(int v) { m_height = v; }
    TFontStyles Style() const { return m_style; }
    void setStyle(TFontStyles v) { m_style = v; }
    uint Color() const { return m_color; }
    void setColor(uint v) { m_color = v; }
    int Charset() const { return m_charset; }
    void setCharset(int v) { m_charset = v; }

private:
    int m_charset = 0;
    QString m_name = QStringLiteral("MS Sans Serif");
    int m_height = 11;
    TFontStyles m_style;
    uint m_color = 0xFF000008;
};

struct TLtPoint
{
    Q_GADGET
    Q_PROPERTY(int X MEMBER X)
    Q_PROPERTY(int Y MEMBER Y)

public:
    int X = 0;
    int Y = 0;
    bool operator==(const TLtPoint &o) const { return X == o.X && Y == o.Y; }
};

// Form: the root of a layout; records the handler calls it gets.
class TLtForm : public QWidget, public core::ComponentState
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(uint Color READ Color WRITE setColor)
    Q_PROPERTY(int Left READ Left WRITE setLeft)
    Q_CLASSINFO("default:Left", "0")

public:
    explicit TLtForm(QWidget *parent = nullptr) : QWidget(parent) {}
    QString Caption() const { return m_caption; }
    void setCaption(const QString &v) { m_caption = v; }
    uint Color() const { return m_color; }
    void setColor(uint v) { m_color = v; }
    int Left() const { return m_left; }
    void setLeft(int v) { m_left = v; }

    void Loaded() override
    {
        ++loadedCount;
        ComponentState::Loaded();
    }

    bool LayoutComplete(QString &error) const override
    {
        if (requiredChild.isEmpty() || findChild<QObject *>(requiredChild))
            return true;
        error = requiredChild + QStringLiteral(" is missing");
        return false;
    }

    QString requiredChild; // a layout without an object of this name is refused
    QStringList calls;
    QList<QObject *> senders;
    int loadedCount = 0;

signals:
    void OnCreate(QObject *Sender);

public slots:
    void FormCreate(QObject *Sender) { record(QStringLiteral("FormCreate"), Sender); }
    void Button1Click(QObject *Sender) { record(QStringLiteral("Button1Click"), Sender); }
    void Button2Click(QObject *Sender) { record(QStringLiteral("Button2Click"), Sender); }
    void Edit1KeyPress(QObject *Sender, QChar &Key)
    {
        record(QStringLiteral("Edit1KeyPress"), Sender);
        Key = QChar();
    }
    void WrongArgs(int) { calls.append(QStringLiteral("WrongArgs")); }

private:
    void record(const QString &what, QObject *sender)
    {
        calls.append(what);
        senders.append(sender);
    }

    QString m_caption;
    uint m_color = 0;
    int m_left = 0;
};

// A second form class, for the class-mismatch check.
class TLtOtherForm : public QWidget
{
    Q_OBJECT
public:
    explicit TLtOtherForm(QWidget *parent = nullptr) : QWidget(parent) {}
};

// Panel: a widget with most property kinds; records the loading state seen by its setters and
// the order in which Loaded() arrives (shared log).
class TLtPanel : public QWidget, public core::ComponentState
{
    Q_OBJECT
    Q_PROPERTY(QString Caption READ Caption WRITE setCaption)
    Q_PROPERTY(int Left READ Left WRITE setLeft)
    Q_PROPERTY(short Tag READ Tag WRITE setTag)
    Q_PROPERTY(uint Color READ Color WRITE setColor)
    Q_PROPERTY(double Frequency READ Frequency WRITE setFrequency)
    Q_PROPERTY(float Gain READ Gain WRITE setGain)
    Q_PROPERTY(bool Flat READ Flat WRITE setFlat)
    Q_PROPERTY(TAlign Align READ Align WRITE setAlign)
    Q_PROPERTY(QStringList Items READ Items WRITE setItems)
    Q_PROPERTY(QByteArray Data READ Data WRITE setData)
    Q_PROPERTY(layouttest::TLtFont *Font READ Font CONSTANT)
    Q_PROPERTY(layouttest::TLtPoint Origin READ Origin WRITE setOrigin)
    Q_PROPERTY(int Hidden READ Hidden WRITE setHidden STORED false)
    Q_CLASSINFO("default:Left", "0")
    Q_CLASSINFO("default:Color", "clBtnFace")
    Q_CLASSINFO("default:Flat", "False")
    Q_CLASSINFO("default:Align", "alNone")
    Q_CLASSINFO("default:Frequency", "440")

public:
    enum TAlign : unsigned char { alNone, alTop, alBottom, alClient };
    Q_ENUM(TAlign)

    explicit TLtPanel(QWidget *parent = nullptr) : QWidget(parent), m_font(new TLtFont(this)) {}

    QString Caption() const { return m_caption; }
    void setCaption(const QString &v)
    {
        note();
        m_caption = v;
    }
    int Left() const { return m_left; }
    void setLeft(int v)
    {
        note();
        m_left = v;
    }
    short Tag() const { return m_tag; }
    void setTag(short v)
    {
        note();
        m_tag = v;
    }
    uint Color() const { return m_color; }
    void setColor(uint v)
    {
        note();
        m_color = v;
    }
    double Frequency() const { return m_frequency; }
    void setFrequency(double v)
    {
        note();
        m_frequency = v;
    }
    float Gain() const { return m_gain; }
    void setGain(float v)
    {
        note();
        m_gain = v;
    }
    bool Flat() const { return m_flat; }
    void setFlat(bool v)
    {
        note();
        m_flat = v;
    }
    TAlign Align() const { return m_align; }
    void setAlign(TAlign v)
    {
        note();
        m_align = v;
    }
    QStringList Items() const { return m_items; }
    void setItems(const QStringList &v)
    {
        note();
        m_items = v;
    }
    QByteArray Data() const { return m_data; }
    void setData(const QByteArray &v)
    {
        note();
        m_data = v;
    }
    TLtFont *Font() const { return m_font; }
    TLtPoint Origin() const { return m_origin; }
    void setOrigin(const TLtPoint &v)
    {
        note();
        m_origin = v;
    }
    int Hidden() const { return m_hidden; }
    void setHidden(int v) { m_hidden = v; }

    void Loaded() override
    {
        ++loadedCount;
        loadingInLoaded = isLoading();
        if (log)
            log->append(objectName());
        ComponentState::Loaded();
    }

    QList<bool> loadingSeenBySetters;
    int loadedCount = 0;
    bool loadingInLoaded = false;
    bool designingAtFirstSetter = false;
    static inline QStringList *log = nullptr;

signals:
    void OnClick(QObject *Sender);
    void OnKeyPress(QObject *Sender, QChar &Key);

private:
    void note()
    {
        if (loadingSeenBySetters.isEmpty())
            designingAtFirstSetter = isDesigning();
        loadingSeenBySetters.append(isLoading());
    }

    QString m_caption;
    int m_left = 0;
    short m_tag = 0;
    uint m_color = 0xFF00000F;
    double m_frequency = 440;
    float m_gain = 1;
    bool m_flat = false;
    TAlign m_align = alNone;
    QStringList m_items;
    QByteArray m_data;
    TLtFont *m_font;
    TLtPoint m_origin;
    int m_hidden = 0;
};

// Knob: the extra stored value PositionMax_2 goes straight into the field, bypassing the
// clamping setter.
class TLtKnob : public QWidget, public core::ComponentState
{
    Q_OBJECT
    Q_PROPERTY(double PositionMax READ PositionMax WRITE setPositionMax)
    Q_CLASSINFO("default:PositionMax", "100")

public:
    explicit TLtKnob(QWidget *parent = nullptr) : QWidget(parent) {}
    double PositionMax() const { return FPositionMax; }
    void setPositionMax(double v) { FPositionMax = qMin(v, 1000.0); }

    bool ReadStoredValue(const QString &name, const QVariant &value) override
    {
        if (name != QLatin1String("PositionMax_2"))
            return false;
        FPositionMax = value.toDouble();
        return true;
    }
    QList<QPair<QString, QVariant>> StoredValues() const override
    {
        return {{QStringLiteral("PositionMax_2"), FPositionMax}};
    }

    double FPositionMax = 100;
};

// A non-visual component with a binary stored value.
class TLtTable : public QObject, public core::ComponentState
{
    Q_OBJECT
    Q_PROPERTY(int Size READ Size WRITE setSize)

public:
    explicit TLtTable(QObject *owner = nullptr) : QObject(owner) {}
    int Size() const { return m_size; }
    void setSize(int v) { m_size = v; }

    bool ReadStoredValue(const QString &name, const QVariant &value) override
    {
        if (name != QLatin1String("AMArrayData") || value.metaType().id() != QMetaType::QByteArray)
            return false;
        table = value.toByteArray();
        return true;
    }
    QList<QPair<QString, QVariant>> StoredValues() const override
    {
        return {{QStringLiteral("AMArrayData"), table}};
    }

    QByteArray table;

signals:
    void OnTimer(QObject *Sender);

private:
    int m_size = 0;
};

void RegisterLayoutTestClasses();

} // namespace layouttest

Q_DECLARE_METATYPE(layouttest::TLtPoint)
Q_DECLARE_OPERATORS_FOR_FLAGS(layouttest::TLtFont::TFontStyles)
