#include "hints/sHtmlParse.h"

#include "hints/sConst.h"

#include <QtMath>

#include <algorithm>
#include <cstdint>

namespace hints {

namespace {

// A tag starts with `word` when the word's first occurrence sits right after "<" (or "</").
bool StartsWith(const QString &tag, const QString &word, bool closing)
{
    const qsizetype at = tag.indexOf(word);
    if (closing)
        return at == 2 && tag.indexOf(QLatin1Char('/')) == 1;
    return at == 1;
}

QStringList AttributeWords(const QString &tag)
{
    QStringList words;
    QString current;
    for (const QChar ch : tag) {
        switch (ch.unicode()) {
        case '\n':
        case '\r':
        case ' ':
        case '"':
        case '<':
        case '=':
        case '>':
            if (!current.isEmpty())
                words << current;
            current.clear();
            break;
        default:
            current += ch;
        }
    }
    if (!current.isEmpty())
        words << current;
    return words;
}

// Largest font size the mark-up sets, in points (some 1300 pixels).
constexpr int64_t kMaxMarkupPoints = 1000;

int PointsFromPixels(int pixels)
{
    return qRound(pixels * 72.0 / MarkupPixelsPerInch);
}

int PixelsFromPoints(int points)
{
    return qRound(points * double(MarkupPixelsPerInch) / 72.0);
}

} // namespace

TsHtml::~TsHtml() = default;

canvas::TColor TsHtml::ColorFromWord(const QString &word)
{
    QString digits = word;
    if (digits.startsWith(QLatin1Char('#'))) {
        digits.remove(0, 1);
    } else {
        canvas::TColor named = 0;
        if (MarkupColorByName(word, named))
            return named;
    }
    canvas::TColor value = 0;
    for (const QChar ch : digits) {
        int d = -1;
        if (ch >= QLatin1Char('0') && ch <= QLatin1Char('9'))
            d = ch.unicode() - '0';
        else if (ch >= QLatin1Char('A') && ch <= QLatin1Char('F'))
            d = ch.unicode() - 'A' + 10;
        if (d < 0)
            return canvas::TColor(-1);
        value = (value << 4) | canvas::TColor(d);
    }
    return value;
}

void TsHtml::BeginLayout(canvas::Canvas *bitmap, const QString &text, const canvas::TRect &rect)
{
    FBitmap = bitmap;
    FText = text;
    FTagText = text.toUpper();
    // Upper-casing may change the length (ß); positions must match the drawn text.
    if (FTagText.size() != FText.size()) {
        FTagText = text;
        for (QChar &ch : FTagText)
            ch = ch.toUpper();
    }
    FLength = int(text.size());
    FArea = rect;
    FPenX = rect.Left;
    FPenY = rect.Top;
    FWidest = 0;
    FTotalHeight = 0;
    FLineWidth = 0;
    FLineHeight = 0;
    FAlignment = taLeftJustify;
}

void TsHtml::LayoutText(canvas::TRect &rect)
{
    if (FBitmap) {
        int piece = 0; // 0-based start of the pending piece
        int i = 0;
        bool stopped = false;
        while (i < FLength) {
            if (FTagText[i] != QLatin1Char('<')) {
                ++i;
                continue;
            }
            if (i + 1 < FLength && FTagText[i + 1] == QLatin1Char('<')) {
                DrawPiece(piece, i);
                piece = i + 1;
                i += 2;
                continue;
            }
            DrawPiece(piece, i);
            const qsizetype close = FTagText.indexOf(QLatin1Char('>'), i);
            if (close < 0) {
                stopped = true;
                break;
            }
            HandleTag(FTagText.mid(i, close - i + 1), i);
            piece = int(close) + 1;
            i = piece;
        }
        if (!stopped)
            DrawPiece(piece, FLength);
        // An unclosed tag still counts the lines drawn before it.
        Finish();
    }
    rect = canvas::TRect(0, 0, FWidest, FTotalHeight);
}

void TsHtml::Finish()
{
    FWidest = std::max(FWidest, FLineWidth);
    FLineWidth = 0;
    FTotalHeight = FPenY + FLineHeight;
    FFontStack.clear();
}

void TsHtml::DrawPiece(int from, int to)
{
    if (to <= from)
        return;
    QString piece = FText.mid(from, to - from);
    piece.remove(QLatin1Char('\r'));
    piece.remove(QLatin1Char('\n'));
    if (piece.isEmpty())
        return;
    FBitmap->TextOut(FPenX, FPenY, piece);
    FPenX += FBitmap->TextWidth(piece);
    FLineWidth = FPenX;
    FLineHeight = std::max(FLineHeight, FBitmap->TextHeight(QStringLiteral("X")));
}

void TsHtml::NewLine()
{
    FPenY += FLineHeight + 2;
    FWidest = std::max(FWidest, FLineWidth);
    FLineWidth = 0;
    FLineHeight = 0;
}

void TsHtml::HandleTag(const QString &tag, int tagStart)
{
    canvas::TFont &font = FBitmap->Font;
    using canvas::TFont;
    if (StartsWith(tag, QStringLiteral("B"), true)) {
        font.setStyle(font.style() & ~TFont::TFontStyles(TFont::fsBold));
    } else if (StartsWith(tag, QStringLiteral("I"), true)) {
        font.setStyle(font.style() & ~TFont::TFontStyles(TFont::fsItalic));
    } else if (StartsWith(tag, QStringLiteral("FONT"), true)) {
        if (!FFontStack.empty()) {
            font.Assign(*FFontStack.back());
            FFontStack.pop_back();
        }
    } else if (StartsWith(tag, QStringLiteral("BR"), false)) {
        FPenX = FArea.Left;
        NewLine();
    } else if (StartsWith(tag, QStringLiteral("B"), false)) {
        font.setStyle(font.style() | TFont::fsBold);
    } else if (StartsWith(tag, QStringLiteral("I"), false)) {
        font.setStyle(font.style() | TFont::fsItalic);
    } else if (StartsWith(tag, QStringLiteral("P"), false)) {
        FPenX = FArea.Left;
        NewLine();
        ReadParagraphAttributes(tag);
    } else if (StartsWith(tag, QStringLiteral("FONT"), false)) {
        auto saved = std::make_unique<TFont>();
        saved->Assign(font);
        FFontStack.push_back(std::move(saved));
        ApplyFontAttributes(tag, tagStart);
    }
}

void TsHtml::ReadParagraphAttributes(const QString &tag)
{
    const QStringList words = AttributeWords(tag);
    for (qsizetype k = 0; k + 1 < words.size(); ++k) {
        if (words[k] != QLatin1String("ALIGN"))
            continue;
        const QString &value = words[k + 1];
        if (value == QLatin1String("CENTER"))
            FAlignment = taCenter;
        else if (value == QLatin1String("LEFT"))
            FAlignment = taLeftJustify;
        else if (value == QLatin1String("RIGHT"))
            FAlignment = taRightJustify;
    }
}

void TsHtml::ApplyFontAttributes(const QString &tag, int tagStart)
{
    canvas::TFont &font = FBitmap->Font;
    const QStringList words = AttributeWords(tag);
    for (qsizetype k = 0; k + 1 < words.size(); ++k) {
        const QString &word = words[k];
        const QString &next = words[k + 1];
        if (word == QLatin1String("SIZE")) {
            bool ok = false;
            const int n = QStringView(next).mid(next.startsWith(QLatin1Char('+')) ? 1 : 0).toInt(&ok);
            if (!ok)
                continue;
            const int points = PointsFromPixels(font.height());
            // Summed in 64 bits and held to a size a hint can show: a typed "SIZE=+2000000000"
            // must neither overflow nor ask for a font the size of a house.
            const int64_t size = next.startsWith(QLatin1Char('+')) || next.startsWith(QLatin1Char('-'))
                                     ? int64_t{points} + n
                                     : int64_t{n};
            if (size > 0)
                font.setHeight(PixelsFromPoints(static_cast<int>(std::min<int64_t>(size, kMaxMarkupPoints))));
        } else if (word == QLatin1String("COLOR")) {
            font.setColor(ColorFromWord(next));
        } else if (word == QLatin1String("FACE")) {
            // The name keeps its letters' case: it is read from the text as passed in.
            const qsizetype at = tag.indexOf(QLatin1String("FACE"));
            const qsizetype open = tag.indexOf(QLatin1Char('"'), at);
            const qsizetype close = open < 0 ? -1 : tag.indexOf(QLatin1Char('"'), open + 1);
            if (close > open)
                font.setName(FText.mid(tagStart + open + 1, close - open - 1));
        }
    }
}

} // namespace hints
