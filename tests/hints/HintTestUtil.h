#pragma once

// A manager with the main window's hint settings, and a desktop with a known picture.

#include "hints/sGraphUtils.h"
#include "hints/sHintManager.h"
#include "hints/sUtils.h"

#include <QImage>

#include <memory>

namespace hinttest {

// The desktop's known picture at a global point.
inline canvas::TColor Background(int x, int y)
{
    return canvas::RGB((x * 7) & 0xFF, (y * 5) & 0xFF, (x + y) & 0xFF);
}

inline QImage BackgroundImage(const QRect &r)
{
    QImage image(r.size(), QImage::Format_RGB888);
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x)
            image.setPixelColor(x, y, canvas::ToQColor(Background(r.x() + x, r.y() + y)));
    return image;
}

// Pointer, desktop and screen under test control for the lifetime of the object.
struct FakeDesktop
{
    QPoint pointer{300, 200};
    QRect desktop{0, 0, 1024, 768};

    FakeDesktop()
    {
        hints::SetPointerSource([this] { return pointer; });
        hints::SetDesktopSource([this](const QPoint &) { return desktop; });
        hints::SetScreenSource([](const QRect &r) { return BackgroundImage(r); });
    }
    ~FakeDesktop()
    {
        hints::SetPointerSource({});
        hints::SetDesktopSource({});
        hints::SetScreenSource({});
    }
};

// The settings the main window stores for its manager, in the stored order.
inline std::unique_ptr<hints::TsHintManager> MainWindowManager()
{
    using E = hints::TsHintEnums;
    auto m = std::make_unique<hints::TsHintManager>();
    m->SetStyle(E::hsSimply);
    auto *s = m->sStyle();
    s->Background()->SetMode(E::bgsGradient);
    s->Background()->Gradient()->SetColor1(2917517);
    s->Background()->Gradient()->SetColor2(canvas::clWhite);
    s->Background()->Gradient()->SetLayout(E::gtAsBorder);
    s->Background()->Gradient()->SetPercent1(0);
    s->Background()->Gradient()->SetPercent2(56);
    s->Background()->SetListenMSG(false);
    s->Shadow()->SetTransparency(51);
    s->Shadow()->SetOffset(11);
    s->Shadow()->SetBlur(3);
    s->Painting()->SetBevel(E::bvNone);
    s->Painting()->SetTransparency(10);
    s->Painting()->SetColorBorderTop(16744576);
    s->Painting()->SetColorBorderBottom(16744576);
    s->Painting()->SetColorActive(11992314);
    s->SetGroupIndex(-101);
    m->SetBevelWidth(5);
    m->SetBlur(3);
    m->SetExOffset(26);
    m->SetPauseHide(7000);
    m->SetMarginH(8);
    m->SetMarginV(5);
    m->Font()->setCharset(1);
    m->Font()->setColor(canvas::clBlack);
    m->Font()->setHeight(11);
    m->Font()->setName(QStringLiteral("MS Sans Serif"));
    m->Font()->setStyle(canvas::TFont::fsBold);
    m->SetPreDefinitions(E::shCustom);
    return m;
}

// (m * p + (255 - m) * c) / 255, rounded.
inline int Mix(int m, int p, int c)
{
    return int(std::lround((m * p + (255 - m) * c) / 255.0));
}

inline canvas::TColor MixColor(int m, canvas::TColor p, canvas::TColor c)
{
    return canvas::RGB(Mix(m, canvas::GetRValue(p), canvas::GetRValue(c)),
                       Mix(m, canvas::GetGValue(p), canvas::GetGValue(c)),
                       Mix(m, canvas::GetBValue(p), canvas::GetBValue(c)));
}

} // namespace hinttest
