#pragma once

// The hint manager. A manager placed on a form makes one of its window
// classes the application's hint window; the windows are painted entirely by the program.

#include "canvas/Canvas.h"
#include "canvas/Fonts.h"
#include "core/ComponentState.h"
#include "hints/sApplicationHints.h"
#include "hints/sConst.h"
#include "hints/sHintWindow.h"
#include "hints/sStylePassive.h"

#include <QPointer>
#include <QTimer>
#include <QWidget>

namespace hints {

class TsHintManager : public QObject, public core::ComponentState
{
    Q_OBJECT
    Q_PROPERTY(hints::TsHintEnums::TsHintStyle Style READ Style WRITE SetStyle)
    Q_PROPERTY(hints::TsPassivePaintStyle *sStyle READ sStyle CONSTANT)
    Q_PROPERTY(int MaxWidth READ MaxWidth WRITE SetMaxWidth)
    Q_PROPERTY(int BevelWidth READ BevelWidth WRITE SetBevelWidth)
    Q_PROPERTY(int Blur READ Blur WRITE SetBlur)
    Q_PROPERTY(int Radius READ Radius WRITE SetRadius)
    Q_PROPERTY(int ExOffset READ ExOffset WRITE SetExOffset)
    Q_PROPERTY(int PauseHide READ PauseHide WRITE SetPauseHide)
    Q_PROPERTY(int MarginH READ MarginH WRITE SetMarginH)
    Q_PROPERTY(int MarginV READ MarginV WRITE SetMarginV)
    Q_PROPERTY(bool HTMLMode READ HTMLMode WRITE SetHTMLMode)
    Q_PROPERTY(int HintsDesigner READ HintsDesigner WRITE SetHintsDesigner)
    Q_PROPERTY(canvas::TFont *Font READ Font)
    Q_PROPERTY(
        hints::TsHintEnums::TsHintsPredefinitions PreDefinitions READ PreDefinitions WRITE SetPreDefinitions)

public:
    explicit TsHintManager(QObject *owner = nullptr);
    ~TsHintManager() override;

    TsHintStyle Style() const { return FStyle; }
    // Installs the style's window class (outside design mode) and makes the presets custom.
    void SetStyle(TsHintStyle Value);
    TsPassivePaintStyle *sStyle() const { return FsStyle; }
    int MaxWidth() const { return FMaxWidth; }
    void SetMaxWidth(int Value) { FMaxWidth = Value; }
    int BevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value) { FBevelWidth = Value; }
    int Blur() const { return FBlur; }
    void SetBlur(int Value) { FBlur = Value; }
    int Radius() const { return FRadius; }
    void SetRadius(int Value) { FRadius = Value; }
    int ExOffset() const { return FExOffset; }
    void SetExOffset(int Value) { FExOffset = Value; }
    int PauseHide() const { return FPauseHide; }
    void SetPauseHide(int Value) { FPauseHide = Value; }
    int MarginH() const { return FMarginH; }
    void SetMarginH(int Value) { FMarginH = Value; }
    int MarginV() const { return FMarginV; }
    void SetMarginV(int Value) { FMarginV = Value; }
    bool HTMLMode() const { return FHTMLMode; }
    void SetHTMLMode(bool Value) { FHTMLMode = Value; }
    int HintsDesigner() const { return FHintsDesigner; }
    void SetHintsDesigner(int Value) { FHintsDesigner = Value; }
    canvas::TFont *Font() const { return FFont; }
    // Copies the font and makes the presets custom.
    void SetFont(const canvas::TFont &Value);
    TsHintsPredefinitions PreDefinitions() const { return FPreDefinitions; }
    // Applies the named preset of all settings.
    void SetPreDefinitions(TsHintsPredefinitions Value);

    // Copies the shared settings to `target` and installs its style there.
    void AssignTo(TsHintManager *target) const;

private:
    void ApplyPreset(TsHintsPredefinitions preset);
    void InstallStyle();

    TsHintStyle FStyle = TsHintEnums::hsEllipse;
    TsPassivePaintStyle *FsStyle;
    canvas::TFont *FFont;
    int FMaxWidth = 200;
    int FBevelWidth = 1;
    int FBlur = 1;
    int FRadius = 20;
    int FExOffset = 32;
    int FPauseHide = 5000;
    int FMarginH = 15;
    int FMarginV = 10;
    bool FHTMLMode = false;
    int FHintsDesigner = 0;
    TsHintsPredefinitions FPreDefinitions = TsHintEnums::shEllipse;
};

// Registers the manager and the hint windows for stored layouts.
void RegisterHintClasses();

} // namespace hints
