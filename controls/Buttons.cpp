#include "controls/Buttons.h"

#include "controls/Pictures.h"
#include "core/Setter.h"

#include <QIcon>
#include <QPixmap>

#include <algorithm>

namespace controls {

bool GlyphButtonPart::loadGlyph(const QString &fileName, int numGlyphs)
{
    m_glyphFile = fileName;
    m_numGlyphs = std::max(1, numGlyphs);
    m_glyph = LoadGlyph(fileName, m_numGlyphs);
    return !m_glyph.isNull();
}

void GlyphButtonPart::setGlyph(const QString &fileName)
{
    loadGlyph(fileName, m_numGlyphs);
    applyLook();
}

void GlyphButtonPart::setNumGlyphs(int count)
{
    if (std::max(1, count) == m_numGlyphs)
        return;
    loadGlyph(m_glyphFile, count);
    applyLook();
}

void GlyphButtonPart::setLayout(TButtonLayout layout)
{
    if (!core::Assign(m_layout, layout))
        return;
    applyLook();
}

void GlyphButtonPart::applyGlyph(QAbstractButton *button) const
{
    if (m_glyph.isNull()) {
        button->setIcon(QIcon());
        return;
    }
    button->setIcon(CrispIcon(m_glyph));
    button->setIconSize(m_glyph.size());
    // The glyph sits on the side the layout names; Qt places icons before the text.
    button->setLayoutDirection(m_layout == blGlyphRight ? Qt::RightToLeft : Qt::LeftToRight);
}

// --- TSpeedButton ---------------------------------------------------------------------------

TSpeedButton::TSpeedButton(QWidget *parent) : QToolButton(parent), TControl(this)
{
    setDefaultColor(canvas::clBtnFace, true);
    applyFont();
    setFocusPolicy(Qt::NoFocus);
    connect(this, &QAbstractButton::clicked, this, [this] { emit OnClick(this); });
    applyLook();
}

void TSpeedButton::setCaption(const QString &caption)
{
    if (caption == text())
        return;
    setText(caption);
    applyLook();
}

void TSpeedButton::setFlat(bool flat)
{
    if (flat == autoRaise())
        return;
    setAutoRaise(flat);
    requestRepaint();
}

void TSpeedButton::setTransparent(bool transparent)
{
    if (!core::Assign(m_transparent, transparent))
        return;
    setAutoFillBackground(!transparent);
    requestRepaint();
}

void TSpeedButton::applyLook()
{
    applyGlyph(this);
    if (text().isEmpty())
        setToolButtonStyle(Qt::ToolButtonIconOnly);
    else if (m_glyph.isNull())
        setToolButtonStyle(Qt::ToolButtonTextOnly);
    else if (m_layout == blGlyphTop || m_layout == blGlyphBottom)
        setToolButtonStyle(Qt::ToolButtonTextUnderIcon);
    else
        setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    requestRepaint();
}

// --- TBitBtn --------------------------------------------------------------------------------

TBitBtn::TBitBtn(QWidget *parent) : QPushButton(parent), TControl(this)
{
    setDefaultColor(canvas::clBtnFace, false);
    setDefaultFocus(true);
    applyFont();
    setFocusPolicy(Qt::StrongFocus);
    setAutoDefault(false);
    connect(this, &QAbstractButton::clicked, this, [this] { emit OnClick(this); });
}

void TBitBtn::setCaption(const QString &caption)
{
    if (caption == text())
        return;
    setText(caption);
    requestRepaint();
}

void TBitBtn::applyLook()
{
    applyGlyph(this);
    requestRepaint();
}

} // namespace controls
