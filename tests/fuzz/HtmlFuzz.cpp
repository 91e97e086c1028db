// Hint mark-up measured and drawn into a small bitmap: the measured rectangle starts at the
// origin and is never negative, no font stays saved, and a text without tags measures as the
// canvas measures it.
#include "canvas/Canvas.h"
#include "hints/sHtmlParse.h"
#include "tests/fuzz/FuzzSupport.h"

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::StartApplication(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    canvas::Canvas canvas(64, 32);
    canvas.Brush.Style = canvas::bsClear;
    canvas.Font.setName(QStringLiteral("MS Sans Serif"));
    canvas.Font.setHeight(13);
    canvas.Font.setColor(canvas::clBlack);

    hints::TsHtml html;
    canvas::TRect rect(0, 0, 60, 0);
    html.BeginLayout(&canvas, text, rect);
    html.LayoutText(rect);
    FUZZ_CHECK(rect.Left == 0 && rect.Top == 0);
    FUZZ_CHECK(rect.Right >= 0 && rect.Bottom >= 0);
    FUZZ_CHECK(html.SavedFonts() == 0);
    if (!text.contains(u'<')) {
        // Line ends in the text are not line breaks: only tags make lines.
        QString line = text;
        line.remove(u'\r');
        line.remove(u'\n');
        canvas::Canvas plain(8, 8);
        plain.Font.setName(QStringLiteral("MS Sans Serif"));
        plain.Font.setHeight(13);
        FUZZ_CHECK(rect.Right == (line.isEmpty() ? 0 : plain.TextWidth(line)));
        FUZZ_CHECK(rect.Bottom == (line.isEmpty() ? 0 : plain.TextHeight(QStringLiteral("X"))));
    }
    return 0;
}
