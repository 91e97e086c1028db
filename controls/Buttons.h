#pragma once

// Flat speed button and bitmap button, both with a glyph loaded from the resources folder.

#include "controls/Controls.h"

#include <QImage>
#include <QPushButton>
#include <QToolButton>

namespace controls {

// Glyph, caption and layout shared by both buttons.
class GlyphButtonPart
{
public:
    QString Glyph() const { return m_glyphFile; }
    void setGlyph(const QString &fileName);
    const QImage &GlyphImage() const { return m_glyph; }
    int NumGlyphs() const { return m_numGlyphs; }
    void setNumGlyphs(int count);
    TButtonLayout Layout() const { return m_layout; }
    void setLayout(TButtonLayout layout);
    int Spacing() const { return m_spacing; }
    void setSpacing(int spacing) { m_spacing = spacing; }
    int Margin() const { return m_margin; }
    void setMargin(int margin) { m_margin = margin; }

protected:
    ~GlyphButtonPart() = default;

    // Each button shows a new glyph or layout its own way.
    virtual void applyLook() = 0;

    // Loads the glyph (bottom-left pixel transparent); a missing file leaves no glyph.
    bool loadGlyph(const QString &fileName, int numGlyphs);
    void applyGlyph(QAbstractButton *button) const;

    QString m_glyphFile;
    QImage m_glyph;
    int m_numGlyphs = 1;
    TButtonLayout m_layout = blGlyphLeft;
    int m_spacing = 4;
    int m_margin = -1;
};

// Flat-capable tool button that never takes the focus, so clicking it leaves an edit's exit
// check alone.
class TSpeedButton : public QToolButton, public TControl, public GlyphButtonPart
{
    Q_OBJECT
    FRAMEWORK_CONTROL
    Q_PROPERTY(QString Caption READ text WRITE setCaption)
    Q_PROPERTY(bool Flat READ Flat WRITE setFlat)
    Q_PROPERTY(QString Glyph READ Glyph WRITE setGlyph)
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE setNumGlyphs)
    Q_PROPERTY(controls::ControlEnums::TButtonLayout Layout READ Layout WRITE setLayout)
    Q_PROPERTY(int Spacing READ Spacing WRITE setSpacing)
    Q_PROPERTY(int Margin READ Margin WRITE setMargin)
    Q_PROPERTY(bool Transparent READ Transparent WRITE setTransparent)
    Q_CLASSINFO("default:Visible", "True")
    Q_CLASSINFO("default:TabStop", "False")
    Q_CLASSINFO("default:Caption", "\"\"")
    Q_CLASSINFO("default:Flat", "False")
    Q_CLASSINFO("default:Glyph", "\"\"")
    Q_CLASSINFO("default:NumGlyphs", "1")
    Q_CLASSINFO("default:Layout", "blGlyphLeft")
    Q_CLASSINFO("default:Spacing", "4")
    Q_CLASSINFO("default:Margin", "-1")
    Q_CLASSINFO("default:Transparent", "True")

public:
    explicit TSpeedButton(QWidget *parent = nullptr);

    void setCaption(const QString &caption);
    // Flat: only the glyph and caption show until the mouse is over the button.
    bool Flat() const { return autoRaise(); }
    void setFlat(bool flat);
    // QWidget::setLayout would make the name ambiguous.
    using GlyphButtonPart::setLayout;
    bool Transparent() const { return m_transparent; }
    void setTransparent(bool transparent);

private:
    void applyLook() override;

    bool m_transparent = true;
};

// Push button with a glyph; takes the focus when pressed.
class TBitBtn : public QPushButton, public TControl, public GlyphButtonPart
{
    Q_OBJECT
    FRAMEWORK_CONTROL
    FRAMEWORK_FOCUS_EVENTS
    Q_PROPERTY(QString Caption READ text WRITE setCaption)
    Q_PROPERTY(QString Glyph READ Glyph WRITE setGlyph)
    Q_PROPERTY(int NumGlyphs READ NumGlyphs WRITE setNumGlyphs)
    Q_PROPERTY(controls::ControlEnums::TButtonLayout Layout READ Layout WRITE setLayout)
    Q_PROPERTY(int Spacing READ Spacing WRITE setSpacing)
    Q_PROPERTY(int Margin READ Margin WRITE setMargin)
    Q_PROPERTY(int ModalResult READ ModalResult WRITE setModalResult)
    Q_CLASSINFO("default:Visible", "True")
    Q_CLASSINFO("default:Color", "clBtnFace")
    Q_CLASSINFO("default:TabStop", "True")
    Q_CLASSINFO("default:Caption", "\"\"")
    Q_CLASSINFO("default:Glyph", "\"\"")
    Q_CLASSINFO("default:NumGlyphs", "1")
    Q_CLASSINFO("default:Layout", "blGlyphLeft")
    Q_CLASSINFO("default:Spacing", "4")
    Q_CLASSINFO("default:Margin", "-1")
    Q_CLASSINFO("default:ModalResult", "0")

public:
    explicit TBitBtn(QWidget *parent = nullptr);

    void setCaption(const QString &caption);
    using GlyphButtonPart::setLayout;
    int ModalResult() const { return m_modalResult; }
    void setModalResult(int result) { m_modalResult = result; }

private:
    void applyLook() override;

    int m_modalResult = 0;
};

} // namespace controls
