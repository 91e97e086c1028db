#pragma once

#include "widgets/iSevenSegmentCharacter.h"
#include "widgets/iVCLComponent.h"

#include <QSize>
#include <functional>

namespace widgets {

// Multi-digit LED read-out: layout, colours and sizing shared by the numeric displays. Every
// cell is drawn by one hidden character widget that never repaints by itself.
class TiSevenSegmentDisplay : public TiVCLComponent
{
    Q_OBJECT
    Q_PROPERTY(bool AutoSize READ GetAutoSize WRITE SetAutoSize)
    Q_PROPERTY(int DigitSpacing READ GetDigitSpacing WRITE SetDigitSpacing)
    Q_PROPERTY(int SegmentMargin READ GetSegmentMargin WRITE SetSegmentMargin)
    Q_PROPERTY(canvas::TColor SegmentColor READ GetSegmentColor WRITE SetSegmentColor)
    Q_PROPERTY(int SegmentSeperation READ GetSegmentSeperation WRITE SetSegmentSeperation)
    Q_PROPERTY(int SegmentSize READ GetSegmentSize WRITE SetSegmentSize)
    Q_PROPERTY(bool ShowOffSegments READ GetShowOffSegments WRITE SetShowOffSegments)
    Q_PROPERTY(bool PowerOff READ GetPowerOff WRITE SetPowerOff)
    Q_PROPERTY(canvas::TColor SegmentOffColor READ GetSegmentOffColor WRITE SetSegmentOffColor)
    Q_PROPERTY(bool AutoSegmentOffColor READ GetAutoSegmentOffColor WRITE SetAutoSegmentOffColor)
    Q_PROPERTY(canvas::TColor BackGroundColor READ GetBackGroundColor WRITE SetBackGroundColor)
    Q_PROPERTY(widgets::TiBevelStyle BorderStyle READ GetBorderStyle WRITE SetBorderStyle)
    Q_PROPERTY(bool Transparent READ GetTransparent WRITE SetTransparent)
    Q_CLASSINFO("default:AutoSize", "True")
    Q_CLASSINFO("default:DigitSpacing", "6")
    Q_CLASSINFO("default:SegmentMargin", "5")
    Q_CLASSINFO("default:SegmentColor", "clWhite")
    Q_CLASSINFO("default:SegmentSeperation", "1")
    Q_CLASSINFO("default:SegmentSize", "1")
    Q_CLASSINFO("default:ShowOffSegments", "True")
    Q_CLASSINFO("default:PowerOff", "False")
    Q_CLASSINFO("default:SegmentOffColor", "clGray")
    Q_CLASSINFO("default:AutoSegmentOffColor", "True")
    Q_CLASSINFO("default:BackGroundColor", "clBlack")
    Q_CLASSINFO("default:BorderStyle", "ibsNone")
    Q_CLASSINFO("default:Transparent", "False")

public:
    enum TiLeadingStyle : uint8_t { ilsNone, ilsZeros, ilsSpaces };
    Q_ENUM(TiLeadingStyle)

    explicit TiSevenSegmentDisplay(QWidget *parent = nullptr);

    // Width and height the display wants for its current settings.
    virtual QSize GetPreferredSize() = 0;

    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    int GetDigitSpacing() const { return FDigitSpacing; }
    void SetDigitSpacing(int Value);
    int GetDigitCount() const { return FDigitCount; }
    // 1..32.
    void SetDigitCount(int Value);
    TiLeadingStyle GetLeadingStyle() const { return FLeadingStyle; }
    void SetLeadingStyle(TiLeadingStyle Value);
    int GetSegmentMargin() const { return FSegmentMargin; }
    void SetSegmentMargin(int Value);
    canvas::TColor GetSegmentColor() const { return FSegmentColor; }
    void SetSegmentColor(canvas::TColor Value);
    int GetSegmentSeperation() const { return FSegmentSeperation; }
    void SetSegmentSeperation(int Value);
    int GetSegmentSize() const { return FSegmentSize; }
    // 1..100.
    void SetSegmentSize(int Value);
    bool GetShowOffSegments() const { return FShowOffSegments; }
    void SetShowOffSegments(bool Value);
    bool GetPowerOff() const { return FPowerOff; }
    void SetPowerOff(bool Value);
    canvas::TColor GetSegmentOffColor() const { return FSegmentOffColor; }
    void SetSegmentOffColor(canvas::TColor Value);
    bool GetAutoSegmentOffColor() const { return FAutoSegmentOffColor; }
    void SetAutoSegmentOffColor(bool Value);

    TiSevenSegmentCharacter *CellPainter() const { return FPainter; }

    // Not published; nothing assigns it.
    std::function<void(QObject *)> OnResize;

signals:
    void OnValueChange(QObject *Sender);

protected:
    void DoAutoSize();
    // Hands the display's settings to the cell painter before it draws.
    void ConfigurePainter();

    bool FAutoSize = true;
    int FDigitSpacing = 6;
    int FDigitCount = 4;
    TiLeadingStyle FLeadingStyle = ilsSpaces;
    int FSegmentMargin = 5;
    canvas::TColor FSegmentColor;
    int FSegmentSeperation = 1;
    int FSegmentSize = 1;
    bool FShowOffSegments = true;
    bool FPowerOff = false;
    canvas::TColor FSegmentOffColor;
    bool FAutoSegmentOffColor = true;
    TiSevenSegmentCharacter *FPainter = nullptr;
};

} // namespace widgets
