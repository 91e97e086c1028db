#pragma once

#include "canvas/Colors.h"

#include <QFont>
#include <QObject>
#include <QString>

namespace canvas {

// Font description of a control or canvas. Every property setter compares, stores and then
// emits OnChange once; Assign emits it at most once for the whole copy.
class TFont : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QString Name READ name WRITE setName)
    Q_PROPERTY(int Height READ height WRITE setHeight)
    Q_PROPERTY(TFontStyles Style READ style WRITE setStyle)
    Q_PROPERTY(uint Color READ color WRITE setColor)
    Q_PROPERTY(int Charset READ charset WRITE setCharset)

public:
    enum TFontStyle {
        fsBold = 0x1,
        fsItalic = 0x2,
        fsUnderline = 0x4,
        fsStrikeOut = 0x8,
    };
    Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
    Q_FLAG(TFontStyles)

    // Charset values as layouts write them (the property itself is a plain int).
    enum TFontCharset {
        ANSI_CHARSET = 0,
        DEFAULT_CHARSET = 1,
        SYMBOL_CHARSET = 2,
        RUSSIAN_CHARSET = 204,
        EASTEUROPE_CHARSET = 238,
        OEM_CHARSET = 255,
    };
    Q_ENUM(TFontCharset)

    static constexpr const char *DefaultName = "MS Sans Serif";
    static constexpr int DefaultHeight = 11;

    explicit TFont(QObject *parent = nullptr);

    QString name() const { return m_name; }
    void setName(const QString &name);

    // Pixel height of the characters (QFont pixel size). A negative value, as layouts store it,
    // is taken as its absolute value; 0 means the default height.
    int height() const { return m_height; }
    void setHeight(int height);

    TFontStyles style() const { return m_style; }
    void setStyle(TFontStyles style);

    TColor color() const { return m_color; }
    void setColor(TColor color);

    int charset() const { return m_charset; }
    void setCharset(int charset);

    // Copies all five properties; emits OnChange once if anything differed.
    void Assign(const TFont &source);

    // The matching QFont: family Name (the faces "MS Sans Serif" and "Tahoma" resolve to
    // Liberation Sans through a font substitution installed at first use), pixel size Height,
    // bold/italic/underline/strike-out from Style. No dpi scaling.
    QFont toQFont() const;

    // Installs the face substitutions; toQFont does this by itself, callers that build QFonts
    // with those faces directly may call it first.
    static void InstallSubstitutions();

    // Reads the system's font configuration and font list on another thread, so that a program
    // can overlap it with the toolkit's own start; WaitForFontList returns once it is read.
    // Either may be called alone and more than once.
    static void StartLoadingFontList();
    static void WaitForFontList();

signals:
    void OnChange(QObject *Sender);

private:
    void changed();

    QString m_name = QString::fromLatin1(DefaultName);
    int m_height = DefaultHeight;
    TFontStyles m_style;
    TColor m_color = clWindowText;
    int m_charset = DEFAULT_CHARSET;
};

Q_DECLARE_OPERATORS_FOR_FLAGS(TFont::TFontStyles)

} // namespace canvas
