#pragma once

// Small stand-ins for controls whose own units come later. Each is registered under the class
// name the layouts use and offers what the window's handlers need; settings it has no use for
// are kept as they were read, so a layout still loads and writes back unchanged.

#include "framework/Colors.h"
#include "framework/ComponentState.h"
#include "framework/Controls.h"

#include <QLabel>
#include <QObject>
#include <QPushButton>
#include <QWidget>

namespace app {

// Settings kept for the real control (styles, looks).
class TKeptSettings
{
public:
    void Keep(const QString &name, const QVariant &value);
    QList<QPair<QString, QVariant>> Kept() const { return FKept; }
    QVariant KeptValue(const QString &name) const;

private:
    QList<QPair<QString, QVariant>> FKept;
};

// The light button as a push button: caption, glyph, colour, enabling and click.
class TLbButton : public QPushButton, public framework::TControl
{
    Q_OBJECT
    FRAMEWORK_CONTROL
    Q_PROPERTY(QString Caption READ text WRITE setText)
    Q_PROPERTY(QString Glyph READ Glyph WRITE SetGlyph)
    Q_PROPERTY(uint ColorWhenDown MEMBER FColorWhenDown)
    Q_PROPERTY(uint HotTrackColor MEMBER FHotTrackColor)
    Q_PROPERTY(uint LightColor MEMBER FLightColor)
    Q_PROPERTY(uint ShadowColor MEMBER FShadowColor)
    Q_PROPERTY(framework::ControlEnums::TButtonLayout Layout MEMBER FLayout)
    Q_PROPERTY(TLbButtonStyle Style MEMBER FStyle)
    Q_PROPERTY(bool Flat MEMBER FFlat)
    Q_PROPERTY(bool SlowDecease MEMBER FSlowDecease)
    Q_PROPERTY(bool UseHotTrackFont MEMBER FUseHotTrackFont)
    Q_PROPERTY(framework::TFont *HotTrackFont READ HotTrackFont)
    Q_PROPERTY(int ModalResult MEMBER FModalResult)
    Q_PROPERTY(int NumGlyphs MEMBER FNumGlyphs)

public:
    enum TLbButtonStyle { bsNormal, bsEncarta, bsModern, bsOld, bsShape, bsQuicken };
    Q_ENUM(TLbButtonStyle)

    explicit TLbButton(QWidget *parent = nullptr);

    QString Glyph() const { return FGlyph; }
    void SetGlyph(const QString &Value);
    framework::TFont *HotTrackFont() const { return FHotTrackFont; }

    bool ReadStoredValue(const QString &name, const QVariant &value) override;
    QList<QPair<QString, QVariant>> StoredValues() const override { return FKeptSettings.Kept(); }

protected:
    void applyColor() override;
    void applyFont() override;
    void keyPressEvent(QKeyEvent *event) override;
    void keyReleaseEvent(QKeyEvent *event) override;

private:
    framework::TFont *FHotTrackFont;
    bool FReturnDown = false;
    TKeptSettings FKeptSettings;
    QString FGlyph;
    uint FColorWhenDown = 0x1FFFFFFF; // clNone
    uint FHotTrackColor = 0x1FFFFFFF;
    uint FLightColor = 0xFFFFFF;
    uint FShadowColor = 0x808080;
    framework::ControlEnums::TButtonLayout FLayout = framework::blGlyphLeft;
    TLbButtonStyle FStyle = bsNormal;
    bool FFlat = false;
    bool FSlowDecease = false;
    bool FUseHotTrackFont = false;
    int FModalResult = 0;
    int FNumGlyphs = 0;
};

// The framed label as a plain label: caption, font, background and a frame.
class TiLabel : public QLabel, public framework::TControl
{
    Q_OBJECT
    FRAMEWORK_CONTROL
    Q_PROPERTY(QString Caption READ text WRITE setText)
    Q_PROPERTY(TiLabelBorderStyle BorderStyle READ BorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(uint BackGroundColor READ BackGroundColor WRITE SetBackGroundColor)
    Q_PROPERTY(uint ShadowColor MEMBER FShadowColor)
    Q_PROPERTY(bool AutoSize MEMBER FAutoSize)
    Q_PROPERTY(bool Transparent MEMBER FTransparent)

public:
    enum TiLabelBorderStyle { ilbsNone, ilbsSingle, ilbsLowered, ilbsRaised };
    Q_ENUM(TiLabelBorderStyle)

    explicit TiLabel(QWidget *parent = nullptr);

    TiLabelBorderStyle BorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TiLabelBorderStyle Value);
    uint BackGroundColor() const { return FBackGroundColor; }
    void SetBackGroundColor(uint Value);

    bool ReadStoredValue(const QString &name, const QVariant &value) override;
    QList<QPair<QString, QVariant>> StoredValues() const override { return FKeptSettings.Kept(); }

protected:
    void applyColor() override;
    void applyFont() override;

private:
    TKeptSettings FKeptSettings;
    uint FBackGroundColor = framework::clBtnFace;
    uint FShadowColor = framework::clGray;
    bool FAutoSize = true;
    bool FTransparent = false;
    TiLabelBorderStyle FBorderStyle = ilbsNone;
};

// The gradient panel as a plain panel in its start colour.
class TiGradient : public QWidget, public framework::TControl
{
    Q_OBJECT
    FRAMEWORK_CONTROL
    Q_PROPERTY(uint ColorStart READ ColorStart WRITE SetColorStart)
    Q_PROPERTY(uint ColorStop MEMBER FColorStop)

public:
    explicit TiGradient(QWidget *parent = nullptr);

    uint ColorStart() const { return FColorStart; }
    void SetColorStart(uint Value);

    bool ReadStoredValue(const QString &name, const QVariant &value) override;
    QList<QPair<QString, QVariant>> StoredValues() const override { return FKeptSettings.Kept(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    TKeptSettings FKeptSettings;
    uint FColorStart = framework::clBlue;
    uint FColorStop = framework::clBlack;
};

// Registers the stand-ins under the layouts' class names.
void RegisterStandInClasses();

// Everything the two layouts name: standard controls, widgets, the tone generator, the hint
// manager, stand-ins.
void RegisterLayoutClasses();

} // namespace app
