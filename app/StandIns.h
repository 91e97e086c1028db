#pragma once

// Small stand-ins for controls whose own units come later. Each is registered under the class
// name the layouts use and offers what the window's handlers need; settings it has no use for
// are kept as they were read, so a layout still loads and writes back unchanged.

#include "controls/Controls.h"
#include "framework/Colors.h"
#include "framework/ComponentState.h"

#include <QObject>
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

// Hint-manager settings, kept until the styled hints exist; the toolkit's tooltips show the
// hints meanwhile.
class TsHintEnums
{
    Q_GADGET
public:
    enum TsHintStyle { hsSimply, hsComics, hsEllipse, hsBalloon, hsStandard, hsNone };
    Q_ENUM(TsHintStyle)
    enum TsHintsPredefinitions {
        shSimply,
        shGradient,
        shTransparent,
        shEllipse,
        shBalloon,
        shComicsGradient,
        shComicsTransparent,
        shStandard,
        shNone,
        shCustom
    };
    Q_ENUM(TsHintsPredefinitions)
    enum TBgStyle { bgsNone, bgsImage, bgsGradient, bgsTransparent };
    Q_ENUM(TBgStyle)
    enum TGradientTypes { gtTopBottom, gtLeftRight, gtAsBorder };
    Q_ENUM(TGradientTypes)
};

class TPassiveGradient : public QObject
{
    Q_OBJECT
    Q_PROPERTY(uint Color1 MEMBER Color1)
    Q_PROPERTY(uint Color2 MEMBER Color2)
    Q_PROPERTY(app::TsHintEnums::TGradientTypes Layout MEMBER Layout)
    Q_PROPERTY(int Percent1 MEMBER Percent1)
    Q_PROPERTY(int Percent2 MEMBER Percent2)

public:
    using QObject::QObject;
    uint Color1 = framework::clInfoBk;
    uint Color2 = framework::clBtnShadow;
    TsHintEnums::TGradientTypes Layout = TsHintEnums::gtLeftRight;
    int Percent1 = 50;
    int Percent2 = 50;
};

class TsPassiveBackground : public QObject
{
    Q_OBJECT
    Q_PROPERTY(app::TsHintEnums::TBgStyle Mode MEMBER Mode)
    Q_PROPERTY(app::TPassiveGradient *Gradient MEMBER Gradient CONSTANT)
    Q_PROPERTY(bool ListenMSG MEMBER ListenMSG)

public:
    explicit TsPassiveBackground(QObject *owner) : QObject(owner), Gradient(new TPassiveGradient(this)) {}
    TsHintEnums::TBgStyle Mode = TsHintEnums::bgsNone;
    TPassiveGradient *Gradient;
    bool ListenMSG = true;
};

class TsPassiveShadow : public QObject
{
    Q_OBJECT
    Q_PROPERTY(int Transparency MEMBER Transparency)
    Q_PROPERTY(int Offset MEMBER Offset)
    Q_PROPERTY(int Blur MEMBER Blur)

public:
    using QObject::QObject;
    int Transparency = 50;
    int Offset = 10;
    int Blur = 6;
};

class TsPassivePainting : public QObject
{
    Q_OBJECT
    Q_PROPERTY(framework::ControlEnums::TBevelCut Bevel MEMBER Bevel)
    Q_PROPERTY(int Transparency MEMBER Transparency)
    Q_PROPERTY(uint ColorBorderTop MEMBER ColorBorderTop)
    Q_PROPERTY(uint ColorBorderBottom MEMBER ColorBorderBottom)
    Q_PROPERTY(uint ColorActive MEMBER ColorActive)

public:
    using QObject::QObject;
    framework::ControlEnums::TBevelCut Bevel = framework::bvRaised;
    int Transparency = 25;
    uint ColorBorderTop = framework::clWhite;
    uint ColorBorderBottom = framework::clBlack;
    uint ColorActive = framework::cl3DLight;
};

class TsPassivePaintStyle : public QObject
{
    Q_OBJECT
    Q_PROPERTY(app::TsPassiveBackground *Background MEMBER Background CONSTANT)
    Q_PROPERTY(app::TsPassiveShadow *Shadow MEMBER Shadow CONSTANT)
    Q_PROPERTY(app::TsPassivePainting *Painting MEMBER Painting CONSTANT)
    Q_PROPERTY(int GroupIndex MEMBER GroupIndex)

public:
    explicit TsPassivePaintStyle(QObject *owner)
        : QObject(owner), Background(new TsPassiveBackground(this)), Shadow(new TsPassiveShadow(this)),
          Painting(new TsPassivePainting(this))
    {
    }
    TsPassiveBackground *Background;
    TsPassiveShadow *Shadow;
    TsPassivePainting *Painting;
    int GroupIndex = 0;
};

class TsHintManager : public QObject, public framework::ComponentState
{
    Q_OBJECT
    Q_PROPERTY(app::TsHintEnums::TsHintStyle Style MEMBER Style)
    Q_PROPERTY(app::TsPassivePaintStyle *sStyle MEMBER sStyle CONSTANT)
    Q_PROPERTY(int BevelWidth MEMBER BevelWidth)
    Q_PROPERTY(int Blur MEMBER Blur)
    Q_PROPERTY(int ExOffset MEMBER ExOffset)
    Q_PROPERTY(int PauseHide MEMBER PauseHide)
    Q_PROPERTY(int MarginH MEMBER MarginH)
    Q_PROPERTY(int MarginV MEMBER MarginV)
    Q_PROPERTY(framework::TFont *Font MEMBER Font CONSTANT)
    Q_PROPERTY(app::TsHintEnums::TsHintsPredefinitions PreDefinitions MEMBER PreDefinitions)

public:
    explicit TsHintManager(QObject *owner = nullptr);

    TsHintEnums::TsHintStyle Style = TsHintEnums::hsEllipse;
    TsPassivePaintStyle *sStyle;
    int BevelWidth = 1;
    int Blur = 1;
    int ExOffset = 32;
    int PauseHide = 5000;
    int MarginH = 15;
    int MarginV = 10;
    framework::TFont *Font;
    TsHintEnums::TsHintsPredefinitions PreDefinitions = TsHintEnums::shEllipse;
};

// Registers the stand-ins under the layouts' class names.
void RegisterStandInClasses();

// Everything the two layouts name: standard controls, widgets, the tone generator, stand-ins.
void RegisterLayoutClasses();

} // namespace app
