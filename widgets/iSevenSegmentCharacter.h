#pragma once

#include "widgets/iVCLComponent.h"

#include <QList>
#include <QPolygon>
#include <QSize>
#include <cstdint>
#include <functional>

namespace widgets {

// One character cell of an LED read-out, drawn from polygon segments. Also the cell painter
// the multi-digit displays use for every cell.
class TiSevenSegmentCharacter : public TiVCLComponent
{
    Q_OBJECT
    Q_PROPERTY(TSevenSegmentCharacter Value READ GetValue WRITE SetValue)
    Q_PROPERTY(QString Character READ GetCharacter WRITE SetCharacter STORED false)
    Q_PROPERTY(bool AutoSize READ GetAutoSize WRITE SetAutoSize)
    Q_PROPERTY(int SegmentSize READ GetSegmentSize WRITE SetSegmentSize)
    Q_PROPERTY(int SegmentMargin READ GetSegmentMargin WRITE SetSegmentMargin)
    Q_PROPERTY(int SegmentSeperation READ GetSegmentSeperation WRITE SetSegmentSeperation)
    Q_PROPERTY(canvas::TColor SegmentColor READ GetSegmentColor WRITE SetSegmentColor)
    Q_PROPERTY(canvas::TColor SegmentOffColor READ GetSegmentOffColor WRITE SetSegmentOffColor)
    Q_PROPERTY(bool AutoSegmentOffColor READ GetAutoSegmentOffColor WRITE SetAutoSegmentOffColor)
    Q_PROPERTY(bool ShowOffSegments READ GetShowOffSegments WRITE SetShowOffSegments)
    Q_PROPERTY(bool PowerOff READ GetPowerOff WRITE SetPowerOff)
    Q_PROPERTY(bool UseSegmentBits READ GetUseSegmentBits WRITE SetUseSegmentBits)
    Q_PROPERTY(bool SegAOn READ GetSegAOn WRITE SetSegAOn)
    Q_PROPERTY(bool SegBOn READ GetSegBOn WRITE SetSegBOn)
    Q_PROPERTY(bool SegCOn READ GetSegCOn WRITE SetSegCOn)
    Q_PROPERTY(bool SegDOn READ GetSegDOn WRITE SetSegDOn)
    Q_PROPERTY(bool SegEOn READ GetSegEOn WRITE SetSegEOn)
    Q_PROPERTY(bool SegFOn READ GetSegFOn WRITE SetSegFOn)
    Q_PROPERTY(bool SegGOn READ GetSegGOn WRITE SetSegGOn)
    Q_PROPERTY(int SegmentBits READ GetSegmentBits WRITE SetSegmentBits STORED false)
    Q_PROPERTY(canvas::TColor BackGroundColor READ GetBackGroundColor WRITE SetBackGroundColor)
    Q_PROPERTY(bool Transparent READ GetTransparent WRITE SetTransparent)
    Q_CLASSINFO("default:Value", "ssc0")
    Q_CLASSINFO("default:AutoSize", "True")
    Q_CLASSINFO("default:SegmentSize", "1")
    Q_CLASSINFO("default:SegmentMargin", "2")
    Q_CLASSINFO("default:SegmentSeperation", "1")
    Q_CLASSINFO("default:SegmentColor", "clLime")
    Q_CLASSINFO("default:SegmentOffColor", "clGreen")
    Q_CLASSINFO("default:AutoSegmentOffColor", "True")
    Q_CLASSINFO("default:ShowOffSegments", "True")
    Q_CLASSINFO("default:PowerOff", "False")
    Q_CLASSINFO("default:UseSegmentBits", "False")
    Q_CLASSINFO("default:SegAOn", "False")
    Q_CLASSINFO("default:SegBOn", "False")
    Q_CLASSINFO("default:SegCOn", "False")
    Q_CLASSINFO("default:SegDOn", "False")
    Q_CLASSINFO("default:SegEOn", "False")
    Q_CLASSINFO("default:SegFOn", "False")
    Q_CLASSINFO("default:SegGOn", "False")
    Q_CLASSINFO("default:BackGroundColor", "clBlack")
    Q_CLASSINFO("default:Transparent", "False")

public:
    enum TSevenSegmentCharacter : uint8_t {
        ssc0,
        ssc1,
        ssc2,
        ssc3,
        ssc4,
        ssc5,
        ssc6,
        ssc7,
        ssc8,
        ssc9,
        sscA,
        sscB,
        sscC,
        sscD,
        sscE,
        sscF,
        sscPeriod,
        sscColon,
        sscPlus,
        sscMinus,
        sscBlank,
        sscLine,
        sscUpArrow,
        sscDownArrow,
        sscSemiColon,
        sscComma,
    };
    Q_ENUM(TSevenSegmentCharacter)

    explicit TiSevenSegmentCharacter(QWidget *parent = nullptr);

    TSevenSegmentCharacter GetValue() const { return FValue; }
    void SetValue(TSevenSegmentCharacter Value);
    QString GetCharacter() const;
    void SetCharacter(const QString &Value);
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    int GetSegmentSize() const { return FSegmentSize; }
    void SetSegmentSize(int Value);
    int GetSegmentMargin() const { return FSegmentMargin; }
    void SetSegmentMargin(int Value);
    int GetSegmentSeperation() const { return FSegmentSeperation; }
    void SetSegmentSeperation(int Value);
    canvas::TColor GetSegmentColor() const { return FSegmentColor; }
    void SetSegmentColor(canvas::TColor Value);
    canvas::TColor GetSegmentOffColor() const { return FSegmentOffColor; }
    void SetSegmentOffColor(canvas::TColor Value);
    bool GetAutoSegmentOffColor() const { return FAutoSegmentOffColor; }
    void SetAutoSegmentOffColor(bool Value);
    bool GetShowOffSegments() const { return FShowOffSegments; }
    void SetShowOffSegments(bool Value);
    bool GetPowerOff() const { return FPowerOff; }
    void SetPowerOff(bool Value);
    bool GetUseSegmentBits() const { return FUseSegmentBits; }
    void SetUseSegmentBits(bool Value);
    bool GetSegAOn() const { return FSegOn[0]; }
    bool GetSegBOn() const { return FSegOn[1]; }
    bool GetSegCOn() const { return FSegOn[2]; }
    bool GetSegDOn() const { return FSegOn[3]; }
    bool GetSegEOn() const { return FSegOn[4]; }
    bool GetSegFOn() const { return FSegOn[5]; }
    bool GetSegGOn() const { return FSegOn[6]; }
    void SetSegAOn(bool Value) { SetSegOn(0, Value); }
    void SetSegBOn(bool Value) { SetSegOn(1, Value); }
    void SetSegCOn(bool Value) { SetSegOn(2, Value); }
    void SetSegDOn(bool Value) { SetSegOn(3, Value); }
    void SetSegEOn(bool Value) { SetSegOn(4, Value); }
    void SetSegFOn(bool Value) { SetSegOn(5, Value); }
    void SetSegGOn(bool Value) { SetSegOn(6, Value); }
    int GetSegmentBits() const;
    void SetSegmentBits(int Value);

    // The colours a cell is drawn with, palette flag included.
    canvas::TColor OnColor() const;
    canvas::TColor OffColor() const;

    // Size of the character without the one-pixel allowance auto-size adds.
    QSize NaturalSize() const;

    // Draws `Code` into the cell (X, Y, W, H) with this painter's settings.
    void DrawCharacter(canvas::Canvas &Canvas, TSevenSegmentCharacter Code, int X, int Y, int W, int H);

    // Not published; nothing assigns it.
    std::function<void(QObject *)> OnResize;

    void iPaintTo(canvas::Canvas &Canvas) override;

protected:
    void DoAutoSize();
    void SetSegOn(int Index, bool Value);

    TSevenSegmentCharacter FValue = ssc0;
    bool FAutoSize = true;
    int FSegmentSize = 1;
    int FSegmentMargin = 2;
    int FSegmentSeperation = 1;
    canvas::TColor FSegmentColor;
    canvas::TColor FSegmentOffColor;
    bool FAutoSegmentOffColor = true;
    bool FShowOffSegments = true;
    bool FPowerOff = false;
    bool FUseSegmentBits = false;
    bool FSegOn[7] = {};
};

using TSevenSegmentCharacter = TiSevenSegmentCharacter::TSevenSegmentCharacter;

// --- cell geometry, independent of any widget -------------------------------------------

enum class SevenSegmentGlyph { Point, Colon, SemiColon, Comma, Plus, Minus, Line, UpArrow, DownArrow };

struct SevenSegmentCell
{
    int X = 0, Y = 0, W = 0, H = 0;
};

struct SevenSegmentMetrics
{
    int Margin = 0;     // m
    int Seperation = 0; // s
    int Size = 1;       // z: half the thickness of a segment
};

struct SevenSegmentShape
{
    QPolygon Polygon;
    bool On = false;
};

// Segments A..G as bits 0..6; glyph codes have none.
uint8_t SevenSegmentBitsOf(TSevenSegmentCharacter Code);
TSevenSegmentCharacter SevenSegmentCodeOf(QChar Char);
QChar SevenSegmentCharOf(TSevenSegmentCharacter Code);
// Segment 0..6 = A..G.
QPolygon SevenSegmentSegmentPolygon(int Segment, const SevenSegmentCell &Cell, const SevenSegmentMetrics &M);
QList<QPolygon> SevenSegmentGlyphPolygons(SevenSegmentGlyph Glyph, const SevenSegmentCell &Cell,
                                          const SevenSegmentMetrics &M);
// Everything drawn for one cell, in drawing order. `SegmentBits` replaces the code's own bits
// when `UseSegmentBits` is set.
QList<SevenSegmentShape> SevenSegmentShapes(TSevenSegmentCharacter Code, bool UseSegmentBits,
                                            uint8_t SegmentBits, bool ShowOffSegments,
                                            const SevenSegmentCell &Cell, const SevenSegmentMetrics &M);
QSize SevenSegmentNaturalSize(TSevenSegmentCharacter Code, const SevenSegmentMetrics &M);

} // namespace widgets
