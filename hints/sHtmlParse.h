#pragma once

// The hint mark-up: bold, italic, line break, paragraph and font tags laid out on a canvas.
// Lines end only at line-break and paragraph tags; text is never wrapped.

#include "canvas/Canvas.h"
#include "canvas/Fonts.h"

#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

namespace hints {

class TsHtml
{
public:
    enum TAlignment { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

    TsHtml() = default;
    ~TsHtml();
    TsHtml(const TsHtml &) = delete;
    TsHtml &operator=(const TsHtml &) = delete;

    // `bitmap` is drawn on and its font is the current font; it must outlive the run.
    void BeginLayout(canvas::Canvas *bitmap, const QString &text, const canvas::TRect &rect);
    // Draws the text; `rect` becomes (0, 0, widest line, total height).
    void LayoutText(canvas::TRect &rect);

    TAlignment Alignment() const { return FAlignment; }
    int SavedFonts() const { return int(FFontStack.size()); }

    // The colour a COLOR attribute word names (upper case): "#" and hex digits, a colour name,
    // or hex digits; -1 for a word that is none of these.
    static canvas::TColor ColorFromWord(const QString &word);

private:
    void DrawPiece(int from, int to);
    void NewLine();
    void HandleTag(const QString &tag, int tagStart);
    void ApplyFontAttributes(const QString &tag, int tagStart);
    void ReadParagraphAttributes(const QString &tag);
    void Finish();

    canvas::Canvas *FBitmap = nullptr;
    QString FText;
    QString FTagText;
    int FLength = 0;
    canvas::TRect FArea;
    int FPenX = 0;
    int FPenY = 0;
    int FLineWidth = 0;
    int FLineHeight = 0;
    int FWidest = 0;
    int FTotalHeight = 0;
    TAlignment FAlignment = taLeftJustify;
    std::vector<std::unique_ptr<canvas::TFont>> FFontStack;
};

} // namespace hints
