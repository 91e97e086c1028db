#pragma once

// The passive paint style and its parts. Every setter compares, stores and tells the owning
// style once; hint windows pick the change up at the next hint.

#include "canvas/Colors.h"
#include "core/Setter.h"
#include "hints/sConst.h"

#include <QImage>
#include <QObject>

namespace hints {

// Reports a change of a style part to the style that owns it.
class TsStylePart : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    void OnChange(QObject *Sender);

protected:
    void Changed() { emit OnChange(this); }
};

class TPassiveGradient : public TsStylePart
{
    Q_OBJECT
    Q_PROPERTY(uint Color1 READ Color1 WRITE SetColor1)
    Q_PROPERTY(uint Color2 READ Color2 WRITE SetColor2)
    Q_PROPERTY(hints::TsHintEnums::TGradientTypes Layout READ Layout WRITE SetLayout)
    Q_PROPERTY(hints::TsHintEnums::TsGradientMode Mode READ Mode WRITE SetMode)
    Q_PROPERTY(int Percent1 READ Percent1 WRITE SetPercent1)
    Q_PROPERTY(int Percent2 READ Percent2 WRITE SetPercent2)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(bool Invert READ Invert WRITE SetInvert)

public:
    using TsStylePart::TsStylePart;

    canvas::TColor Color1() const { return FColor1; }
    void SetColor1(canvas::TColor Value)
    {
        if (core::Assign(FColor1, Value))
            Changed();
    }
    canvas::TColor Color2() const { return FColor2; }
    void SetColor2(canvas::TColor Value)
    {
        if (core::Assign(FColor2, Value))
            Changed();
    }
    TGradientTypes Layout() const { return FLayout; }
    void SetLayout(TGradientTypes Value)
    {
        if (core::Assign(FLayout, Value))
            Changed();
    }
    TsGradientMode Mode() const { return FMode; }
    void SetMode(TsGradientMode Value)
    {
        if (core::Assign(FMode, Value))
            Changed();
    }
    // 0..100 each; setting one lowers the other to at most 100 minus it.
    int Percent1() const { return FPercent1; }
    void SetPercent1(int Value);
    int Percent2() const { return FPercent2; }
    void SetPercent2(int Value);
    int Width() const { return FWidth; }
    void SetWidth(int Value)
    {
        if (core::Assign(FWidth, Value))
            Changed();
    }
    bool Invert() const { return FInvert; }
    void SetInvert(bool Value)
    {
        if (core::Assign(FInvert, Value))
            Changed();
    }

private:
    canvas::TColor FColor1 = canvas::clInfoBk;
    canvas::TColor FColor2 = canvas::clBtnShadow;
    TGradientTypes FLayout = TsHintEnums::gtLeftRight;
    TsGradientMode FMode = TsHintEnums::gmPercent;
    int FPercent1 = 50;
    int FPercent2 = 50;
    int FWidth = 100;
    bool FInvert = false;
};

class TsPassiveBackground : public TsStylePart
{
    Q_OBJECT
    Q_PROPERTY(hints::TsHintEnums::TBgStyle Mode READ Mode WRITE SetMode)
    Q_PROPERTY(QImage Image READ Image WRITE SetImage)
    Q_PROPERTY(hints::TPassiveGradient *Gradient READ Gradient CONSTANT)
    Q_PROPERTY(bool ListenMSG READ ListenMSG WRITE SetListenMSG)

public:
    explicit TsPassiveBackground(QObject *owner = nullptr);

    TBgStyle Mode() const { return FMode; }
    void SetMode(TBgStyle Value)
    {
        if (core::Assign(FMode, Value))
            Changed();
    }
    QImage Image() const { return FImage; }
    void SetImage(const QImage &Value);
    TPassiveGradient *Gradient() const { return FGradient; }
    bool ListenMSG() const { return FListenMSG; }
    void SetListenMSG(bool Value)
    {
        if (core::Assign(FListenMSG, Value))
            Changed();
    }

private:
    TBgStyle FMode = TsHintEnums::bgsNone;
    QImage FImage;
    TPassiveGradient *FGradient;
    bool FListenMSG = true;
};

class TsPassiveShadow : public TsStylePart
{
    Q_OBJECT
    Q_PROPERTY(bool Enabled READ Enabled WRITE SetEnabled)
    Q_PROPERTY(uint Color READ Color WRITE SetColor)
    Q_PROPERTY(int Offset READ Offset WRITE SetOffset)
    Q_PROPERTY(int Blur READ Blur WRITE SetBlur)
    Q_PROPERTY(int Transparency READ Transparency WRITE SetTransparency)

public:
    using TsStylePart::TsStylePart;

    bool Enabled() const { return FEnabled; }
    void SetEnabled(bool Value)
    {
        if (core::Assign(FEnabled, Value))
            Changed();
    }
    canvas::TColor Color() const { return FColor; }
    void SetColor(canvas::TColor Value)
    {
        if (core::Assign(FColor, Value))
            Changed();
    }
    int Offset() const { return FOffset; }
    void SetOffset(int Value)
    {
        if (core::Assign(FOffset, Value))
            Changed();
    }
    int Blur() const { return FBlur; }
    void SetBlur(int Value)
    {
        if (core::Assign(FBlur, Value))
            Changed();
    }
    // Percent, clamped to 0..100.
    int Transparency() const { return FTransparency; }
    void SetTransparency(int Value);

private:
    bool FEnabled = true;
    canvas::TColor FColor = canvas::clBlack;
    int FOffset = 10;
    int FBlur = 6;
    int FTransparency = 50;
};

class TsPassivePainting : public TsStylePart
{
    Q_OBJECT
    Q_PROPERTY(uint ColorActive READ ColorActive WRITE SetColorActive)
    Q_PROPERTY(uint ColorInActive READ ColorInActive WRITE SetColorInActive)
    Q_PROPERTY(uint ColorBorderTop READ ColorBorderTop WRITE SetColorBorderTop)
    Q_PROPERTY(uint ColorBorderBottom READ ColorBorderBottom WRITE SetColorBorderBottom)
    Q_PROPERTY(int Transparency READ Transparency WRITE SetTransparency)
    Q_PROPERTY(hints::TsHintEnums::TBevelCut Bevel READ Bevel WRITE SetBevel)

public:
    using TsStylePart::TsStylePart;

    canvas::TColor ColorActive() const { return FColorActive; }
    void SetColorActive(canvas::TColor Value)
    {
        if (core::Assign(FColorActive, Value))
            Changed();
    }
    canvas::TColor ColorInActive() const { return FColorInActive; }
    void SetColorInActive(canvas::TColor Value)
    {
        if (core::Assign(FColorInActive, Value))
            Changed();
    }
    canvas::TColor ColorBorderTop() const { return FColorBorderTop; }
    void SetColorBorderTop(canvas::TColor Value)
    {
        if (core::Assign(FColorBorderTop, Value))
            Changed();
    }
    canvas::TColor ColorBorderBottom() const { return FColorBorderBottom; }
    void SetColorBorderBottom(canvas::TColor Value)
    {
        if (core::Assign(FColorBorderBottom, Value))
            Changed();
    }
    int Transparency() const { return FTransparency; }
    void SetTransparency(int Value)
    {
        if (core::Assign(FTransparency, Value))
            Changed();
    }
    TsHintEnums::TBevelCut Bevel() const { return FBevel; }
    void SetBevel(TsHintEnums::TBevelCut Value)
    {
        if (core::Assign(FBevel, Value))
            Changed();
    }

private:
    canvas::TColor FColorActive = canvas::cl3DLight;
    canvas::TColor FColorInActive = canvas::clMenu;
    canvas::TColor FColorBorderTop = canvas::clWhite;
    canvas::TColor FColorBorderBottom = canvas::clBlack;
    int FTransparency = 25;
    TsHintEnums::TBevelCut FBevel = TsHintEnums::bvRaised;
};

class TsControlBorder : public TsStylePart
{
    Q_OBJECT
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(hints::TsHintEnums::TsControlBevel Bevel READ Bevel WRITE SetBevel)

public:
    using TsStylePart::TsStylePart;

    int Width() const { return FWidth; }
    void SetWidth(int Value)
    {
        if (core::Assign(FWidth, Value))
            Changed();
    }
    TsHintEnums::TsControlBevel Bevel() const { return FBevel; }
    void SetBevel(TsHintEnums::TsControlBevel Value)
    {
        if (core::Assign(FBevel, Value))
            Changed();
    }

private:
    int FWidth = 2;
    TsHintEnums::TsControlBevel FBevel = TsHintEnums::bsRaised;
};

class TsControlSelection : public TsStylePart
{
    Q_OBJECT
    Q_PROPERTY(hints::TsHintEnums::TsSelectionModes Mode READ Mode WRITE SetMode)
    Q_PROPERTY(hints::TsControlBorder *Border READ Border CONSTANT)

public:
    explicit TsControlSelection(QObject *owner = nullptr);

    TsHintEnums::TsSelectionModes Mode() const { return FMode; }
    void SetMode(TsHintEnums::TsSelectionModes Value)
    {
        if (core::Assign(FMode, Value))
            Changed();
    }
    TsControlBorder *Border() const { return FBorder; }

private:
    TsHintEnums::TsSelectionModes FMode;
    TsControlBorder *FBorder;
};

class TsPassivePaintStyle : public TsStylePart
{
    Q_OBJECT
    Q_PROPERTY(hints::TsPassiveBackground *Background READ Background CONSTANT)
    Q_PROPERTY(hints::TsPassiveShadow *Shadow READ Shadow CONSTANT)
    Q_PROPERTY(hints::TsPassivePainting *Painting READ Painting CONSTANT)
    Q_PROPERTY(hints::TsControlSelection *Selection READ Selection CONSTANT)
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE SetGroupIndex)

public:
    explicit TsPassivePaintStyle(QObject *owner = nullptr);

    TsPassiveBackground *Background() const { return FBackground; }
    TsPassiveShadow *Shadow() const { return FShadow; }
    TsPassivePainting *Painting() const { return FPainting; }
    TsControlSelection *Selection() const { return FSelection; }
    int GroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value)
    {
        if (core::Assign(FGroupIndex, Value))
            Changed();
    }

    // The screen under the hint being shown, 24 bits per pixel; the hint is composed on it.
    QImage &WorkBitmap() { return FWorkBitmap; }
    const QImage &WorkBitmap() const { return FWorkBitmap; }

    // Number of changes reported by the parts since creation.
    int ChangeCount() const { return FChangeCount; }

private:
    void PartChanged(QObject *Sender);

    TsPassiveBackground *FBackground;
    TsPassiveShadow *FShadow;
    TsPassivePainting *FPainting;
    TsControlSelection *FSelection;
    int FGroupIndex = 0;
    int FChangeCount = 0;
    QImage FWorkBitmap;
};

} // namespace hints
