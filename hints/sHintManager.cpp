#include "hints/sHintManager.h"

#include "hints/sGraphUtils.h"
#include "hints/sHtmlParse.h"
#include "hints/sUtils.h"
#include "layout/ClassRegistry.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace hints {

using canvas::TColor;
using canvas::TRect;

namespace {

QPointer<TsHintManager> &current()
{
    static QPointer<TsHintManager> manager;
    return manager;
}

TsCustomHintWindow *CreateHintWindow(const QMetaObject *cls)
{
    if (cls == &TsComicsHintWindow::staticMetaObject)
        return new TsComicsHintWindow;
    if (cls == &TsEllipseHintWindow::staticMetaObject)
        return new TsEllipseHintWindow;
    if (cls == &TsBalloonHintWindow::staticMetaObject)
        return new TsBalloonHintWindow;
    if (cls == &TsSimplyHintWindow::staticMetaObject)
        return new TsSimplyHintWindow;
    return nullptr;
}

// Frame of `width` rings; top and left in `top`, bottom and right in `bottom`, which wins at the
// corners. `r` is inclusive of its right and bottom edge pixels minus one, as a filled rectangle.
void Frame3D(QImage &body, TRect r, TColor top, TColor bottom, int width)
{
    canvas::Canvas c(&body);
    c.Pen.Width = 1;
    int l = r.Left, t = r.Top, rt = r.Right - 1, b = r.Bottom - 1;
    for (int i = 0; i < width && l <= rt && t <= b; ++i) {
        c.Pen.Color = top;
        c.Polyline({QPoint(l, b), QPoint(l, t), QPoint(rt, t)});
        c.Pen.Color = bottom;
        c.Polyline({QPoint(rt, t), QPoint(rt, b), QPoint(l - 1, b)});
        ++l;
        ++t;
        --rt;
        --b;
    }
}

} // namespace

// --- manager -------------------------------------------------------------------------------

TsHintManager *CurrentHintManager()
{
    return current().data();
}

TsHintManager::TsHintManager(QObject *owner)
    : QObject(owner), FsStyle(new TsPassivePaintStyle(this)), FFont(new canvas::TFont(this))
{
    FsStyle->SetGroupIndex(-101);
    FsStyle->Background()->SetListenMSG(false);
    TApplicationHints &app = TApplicationHints::Instance();
    app.SetHintPause(DefaultHintPause);
    app.SetHintShortPause(DefaultHintShortPause);
    FPreDefinitions = TsHintEnums::shCustom;
    SetPreDefinitions(TsHintEnums::shEllipse);
}

TsHintManager::~TsHintManager()
{
    // Hints go on as the toolkit's tooltips once the manager they read from is gone.
    if (current() == this) {
        current() = nullptr;
        TApplicationHints::Instance().SetHintWindowClass(nullptr);
    }
}

#define HINTS_MANAGER_SETTER(Name, Type)                                                                     \
    void TsHintManager::Set##Name(Type Value)                                                                \
    {                                                                                                        \
        if (F##Name == Value)                                                                                \
            return;                                                                                          \
        F##Name = Value;                                                                                     \
    }

HINTS_MANAGER_SETTER(MaxWidth, int)
HINTS_MANAGER_SETTER(BevelWidth, int)
HINTS_MANAGER_SETTER(Blur, int)
HINTS_MANAGER_SETTER(Radius, int)
HINTS_MANAGER_SETTER(ExOffset, int)
HINTS_MANAGER_SETTER(PauseHide, int)
HINTS_MANAGER_SETTER(MarginH, int)
HINTS_MANAGER_SETTER(MarginV, int)
HINTS_MANAGER_SETTER(HTMLMode, bool)
HINTS_MANAGER_SETTER(HintsDesigner, int)
#undef HINTS_MANAGER_SETTER

void TsHintManager::SetStyle(TsHintStyle Value)
{
    FStyle = Value;
    InstallStyle();
    FPreDefinitions = TsHintEnums::shCustom;
}

void TsHintManager::SetFont(const canvas::TFont &Value)
{
    FFont->Assign(Value);
    FPreDefinitions = TsHintEnums::shCustom;
}

void TsHintManager::InstallStyle()
{
    if (isDesigning())
        return;
    TApplicationHints &app = TApplicationHints::Instance();
    switch (FStyle) {
    case TsHintEnums::hsSimply:
        app.SetHintWindowClass(&TsSimplyHintWindow::staticMetaObject);
        current() = this;
        break;
    case TsHintEnums::hsComics:
        app.SetHintWindowClass(&TsComicsHintWindow::staticMetaObject);
        current() = this;
        break;
    case TsHintEnums::hsEllipse:
        app.SetHintWindowClass(&TsEllipseHintWindow::staticMetaObject);
        current() = this;
        break;
    case TsHintEnums::hsBalloon:
        app.SetHintWindowClass(&TsBalloonHintWindow::staticMetaObject);
        current() = this;
        break;
    case TsHintEnums::hsStandard:
        app.SetHintWindowClass(nullptr);
        break;
    case TsHintEnums::hsNone:
        app.SetHintWindowClass(&TsSimplyHintWindow::staticMetaObject);
        break;
    }
}

void TsHintManager::SetPreDefinitions(TsHintsPredefinitions Value)
{
    if (FPreDefinitions == Value)
        return;
    ApplyPreset(Value);
    FPreDefinitions = Value;
}

void TsHintManager::ApplyPreset(TsHintsPredefinitions preset)
{
    using E = TsHintEnums;
    switch (preset) {
    case E::shStandard:
        SetStyle(E::hsStandard);
        return;
    case E::shNone:
        SetStyle(E::hsNone);
        return;
    case E::shCustom:
        return;
    default:
        break;
    }
    struct Preset
    {
        TsHintStyle style;
        int bevel, marginH, marginV, maxWidth, blur;
        int exOffset, radius; // -1: left as it was
        TColor colorActive;
        int paintingTransparency; // -1: left as it was
        TColor colorInActive;     // clNone: left as it was
        TBgStyle mode;
        int layout; // -1: left as it was
        bool gradientColors;
        TColor color1, color2;
        int percent1, percent2;
        bool borderColors;
        TColor borderTop, borderBottom;
        int shadowBlur, shadowOffset, shadowTransparency;
        bool bold;
        int fontHeight; // 0: left as it was
        TColor fontColor;
    };
    static const Preset presets[] = {
        // shSimply
        {E::hsSimply,
         1,
         4,
         4,
         240,
         0,
         -1,
         -1,
         canvas::clInfoBk,
         0,
         canvas::clNone,
         E::bgsNone,
         -1,
         false,
         0,
         0,
         0,
         0,
         true,
         canvas::clBtnHighlight,
         canvas::clBlack,
         4,
         8,
         50,
         false,
         11,
         canvas::clBlack},
        // shGradient
        {E::hsSimply,
         5,
         8,
         5,
         240,
         3,
         -1,
         -1,
         11992314,
         10,
         canvas::clNone,
         E::bgsGradient,
         E::gtAsBorder,
         true,
         2917517,
         canvas::clWhite,
         1,
         99,
         true,
         15532031,
         2917517,
         15,
         10,
         0,
         false,
         0,
         canvas::clBlack},
        // shTransparent
        {E::hsSimply,
         0,
         18,
         16,
         240,
         15,
         -1,
         -1,
         11992314,
         15,
         canvas::clNone,
         E::bgsTransparent,
         -1,
         false,
         0,
         0,
         0,
         0,
         false,
         0,
         0,
         15,
         15,
         70,
         false,
         0,
         canvas::clBlack},
        // shEllipse
        {E::hsEllipse,
         1,
         6,
         12,
         200,
         0,
         26,
         -1,
         12778748,
         5,
         canvas::clNone,
         E::bgsTransparent,
         -1,
         false,
         0,
         0,
         0,
         0,
         true,
         canvas::clBlack,
         canvas::clBlack,
         4,
         16,
         74,
         false,
         0,
         canvas::clBlack},
        // shBalloon
        {E::hsBalloon,
         1,
         11,
         13,
         240,
         0,
         25,
         -1,
         12778748,
         7,
         11983836,
         E::bgsTransparent,
         E::gtLeftRight,
         true,
         15532031,
         12629912,
         50,
         50,
         true,
         canvas::clBlack,
         canvas::clBlack,
         2,
         9,
         50,
         false,
         0,
         canvas::clBlack},
        // shComicsGradient
        {E::hsComics,
         1,
         18,
         12,
         180,
         0,
         24,
         25,
         12778748,
         -1,
         canvas::clNone,
         E::bgsGradient,
         E::gtTopBottom,
         true,
         12566013,
         11072187,
         50,
         50,
         true,
         canvas::clWhite,
         16711680,
         10,
         7,
         28,
         false,
         0,
         canvas::clBlack},
        // shComicsTransparent
        {E::hsComics,
         1,
         18,
         12,
         180,
         0,
         24,
         15,
         12778748,
         10,
         canvas::clNone,
         E::bgsTransparent,
         -1,
         true,
         12566013,
         11072187,
         50,
         50,
         true,
         8219458,
         8219458,
         10,
         17,
         70,
         true,
         0,
         8219458},
    };
    const Preset &p = presets[preset];
    SetStyle(p.style);
    SetBevelWidth(p.bevel);
    SetMarginH(p.marginH);
    SetMarginV(p.marginV);
    SetMaxWidth(p.maxWidth);
    SetBlur(p.blur);
    if (p.exOffset >= 0)
        SetExOffset(p.exOffset);
    if (p.radius >= 0)
        SetRadius(p.radius);
    TsPassivePainting *painting = FsStyle->Painting();
    painting->SetColorActive(p.colorActive);
    if (p.paintingTransparency >= 0)
        painting->SetTransparency(p.paintingTransparency);
    if (p.colorInActive != canvas::clNone)
        painting->SetColorInActive(p.colorInActive);
    TsPassiveBackground *background = FsStyle->Background();
    background->SetMode(p.mode);
    TPassiveGradient *gradient = background->Gradient();
    if (p.layout >= 0)
        gradient->SetLayout(TGradientTypes(p.layout));
    if (p.gradientColors) {
        gradient->SetColor1(p.color1);
        gradient->SetColor2(p.color2);
        gradient->SetPercent1(p.percent1);
        gradient->SetPercent2(p.percent2);
    }
    if (p.borderColors) {
        painting->SetColorBorderTop(p.borderTop);
        painting->SetColorBorderBottom(p.borderBottom);
    }
    TsPassiveShadow *shadow = FsStyle->Shadow();
    shadow->SetEnabled(true);
    shadow->SetColor(canvas::clBlack);
    shadow->SetBlur(p.shadowBlur);
    shadow->SetOffset(p.shadowOffset);
    shadow->SetTransparency(p.shadowTransparency);
    FFont->setStyle(p.bold ? canvas::TFont::TFontStyles(canvas::TFont::fsBold)
                           : canvas::TFont::TFontStyles());
    if (p.fontHeight > 0)
        FFont->setHeight(p.fontHeight);
    FFont->setColor(p.fontColor);
    gradient->SetMode(TsHintEnums::gmPercent);
    gradient->SetWidth(100);
}

void TsHintManager::AssignTo(TsHintManager *target) const
{
    if (!target || target == this)
        return;
    target->SetBevelWidth(FBevelWidth);
    target->SetBlur(FBlur);
    target->SetExOffset(FExOffset);
    canvas::TFont *font = target->Font();
    font->setCharset(FFont->charset());
    font->setColor(FFont->color());
    font->setName(FFont->name());
    font->setStyle(FFont->style());
    font->setHeight(FFont->height());
    target->SetMarginH(FMarginH);
    target->SetMarginV(FMarginV);
    target->SetPauseHide(FPauseHide);
    target->SetRadius(FRadius);
    const TPassiveGradient *from = FsStyle->Background()->Gradient();
    TPassiveGradient *to = target->sStyle()->Background()->Gradient();
    to->SetColor1(from->Color1());
    to->SetColor2(from->Color2());
    to->SetLayout(from->Layout());
    to->SetMode(from->Mode());
    to->SetPercent1(from->Percent1());
    to->SetPercent2(from->Percent2());
    to->SetWidth(from->Width());
    target->sStyle()->Background()->SetMode(FsStyle->Background()->Mode());
    const TsPassivePainting *pf = FsStyle->Painting();
    TsPassivePainting *pt = target->sStyle()->Painting();
    pt->SetBevel(pf->Bevel());
    pt->SetColorActive(pf->ColorActive());
    pt->SetColorInActive(pf->ColorInActive());
    pt->SetColorBorderTop(pf->ColorBorderTop());
    pt->SetColorBorderBottom(pf->ColorBorderBottom());
    pt->SetTransparency(pf->Transparency());
    const TsPassiveShadow *sf = FsStyle->Shadow();
    TsPassiveShadow *st = target->sStyle()->Shadow();
    st->SetBlur(sf->Blur());
    st->SetColor(sf->Color());
    st->SetEnabled(sf->Enabled());
    st->SetOffset(sf->Offset());
    st->SetTransparency(sf->Transparency());
    target->SetStyle(FStyle);
    // The preset's name is copied, not applied again: that would undo the copied settings.
    target->FPreDefinitions = FPreDefinitions;
}

// --- the toolkit's side ----------------------------------------------------------------------

TApplicationHints &TApplicationHints::Instance()
{
    static QPointer<TApplicationHints> instance;
    if (!instance)
        instance = new TApplicationHints;
    return *instance;
}

TApplicationHints::TApplicationHints() : QObject(QCoreApplication::instance())
{
    FShowTimer.setSingleShot(true);
    FHideTimer.setSingleShot(true);
    FShowTimer.setInterval(FHintPause);
    connect(&FShowTimer, &QTimer::timeout, this, &TApplicationHints::ShowPauseElapsed);
    connect(&FHideTimer, &QTimer::timeout, this, &TApplicationHints::HidePauseElapsed);
    if (QCoreApplication::instance())
        QCoreApplication::instance()->installEventFilter(this);
}

void TApplicationHints::SetHintWindowClass(const QMetaObject *Value)
{
    if (FHintWindowClass == Value)
        return;
    CloseHint(false);
    FShowTimer.stop();
    FHintWindowClass = Value;
    delete FWindow.data();
}

TsCustomHintWindow *TApplicationHints::OpenHint() const
{
    return FWindow && FWindow->isVisible() ? FWindow.data() : nullptr;
}

TsCustomHintWindow *TApplicationHints::Window()
{
    if (!FHintWindowClass)
        return nullptr;
    if (!FWindow || FWindow->metaObject() != FHintWindowClass) {
        delete FWindow.data();
        FWindow = CreateHintWindow(FHintWindowClass);
    }
    return FWindow;
}

QWidget *TApplicationHints::HintedControl(QWidget *widget)
{
    for (QWidget *w = widget; w; w = w->parentWidget()) {
        if (qobject_cast<TsCustomHintWindow *>(w))
            return nullptr;
        if (w->property("ShowHint").isValid())
            return w;
    }
    return nullptr;
}

bool TApplicationHints::eventFilter(QObject *watched, QEvent *event)
{
    switch (event->type()) {
    case QEvent::ToolTip:
        // Our windows stand in for the toolkit's tooltip.
        return FHintWindowClass != nullptr;
    case QEvent::MouseMove:
        if (FHintWindowClass && watched->isWidgetType()) {
            auto *move = static_cast<QMouseEvent *>(event);
            if (move->buttons() == Qt::NoButton) {
                // A disabled control hints too: ask what lies under the pointer.
                QWidget *under = QApplication::widgetAt(move->globalPosition().toPoint());
                if (!under || qobject_cast<TsCustomHintWindow *>(under->window()))
                    under = static_cast<QWidget *>(watched);
                PointerMoved(under);
            }
        }
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::Wheel:
    case QEvent::KeyPress:
        if (FHintWindowClass && (OpenHint() || FShowTimer.isActive())) {
            FShowTimer.stop();
            CloseHint(true);
        }
        break;
    case QEvent::Leave:
        if (FControl && watched == FControl.data()) {
            // Leaving for another hinted control keeps the short pause.
            FShortNext = OpenHint() != nullptr;
            FShowTimer.stop();
            CloseHint(false);
            FControl = nullptr;
        }
        break;
    default:
        break;
    }
    return false;
}

void TApplicationHints::PointerMoved(QWidget *widget)
{
    QWidget *control = HintedControl(widget);
    if (control != FControl) {
        const bool wasOpen = OpenHint() != nullptr || FShortNext;
        CloseHint(false);
        FControl = control;
        FShortNext = false;
        if (control)
            FShowTimer.start(wasOpen ? FHintShortPause : FHintPause);
        else
            FShowTimer.stop();
        return;
    }
    if (!control || FSuppressed)
        return;
    if (OpenHint()) {
        // A hint rewritten while it is open (the bars' hints follow the stored values) shows at once.
        if (control->property("Hint").toString() != FShownText)
            ShowPauseElapsed();
        return;
    }
    // Not at rest yet: the pause starts again.
    FShowTimer.start();
}

void TApplicationHints::ShowPauseElapsed()
{
    FShowTimer.stop();
    QWidget *control = FControl;
    if (!control || FSuppressed || !control->isVisible() || !control->property("ShowHint").toBool())
        return;
    const QString text = control->property("Hint").toString();
    TsCustomHintWindow *window = text.isEmpty() ? nullptr : Window();
    if (!window)
        return;
    const TsHintManager *manager = CurrentHintManager();
    const TRect rect = window->CalcHintRect(manager ? manager->MaxWidth() : 200, text);
    window->ActivateHint(rect, text);
    if (window->isVisible()) {
        FShownText = text;
        FHideTimer.start(FHintHidePause);
    }
}

void TApplicationHints::HidePauseElapsed()
{
    CloseHint(true);
}

void TApplicationHints::CancelHint()
{
    FShortNext = false;
    FShowTimer.stop();
    CloseHint(false);
    FControl = nullptr;
}

void TApplicationHints::CloseHint(bool suppress)
{
    FHideTimer.stop();
    if (FWindow)
        FWindow->hide();
    FShownText.clear();
    FSuppressed = suppress;
}

// --- hint windows ----------------------------------------------------------------------------

QRect PlaceHint(const QPoint &p, int w, int h, const QRect &desktop, int *quadrant)
{
    int left = p.x(), top = p.y();
    const int deskRight = desktop.x() + desktop.width(), deskBottom = desktop.y() + desktop.height();
    if (top + h > deskBottom) {
        top = p.y() - h;
        if (top < desktop.y())
            top = p.y();
    }
    if (left + w > deskRight) {
        left = p.x() - w;
        if (left < desktop.x())
            left = p.x();
    }
    if (quadrant)
        *quadrant = (top < p.y() ? 1 : 0) + (left < p.x() ? 2 : 0);
    return QRect(left, top, w, h);
}

TsCustomHintWindow::TsCustomHintWindow(QWidget *parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                          Qt::WindowDoesNotAcceptFocus | Qt::WindowTransparentForInput)
{
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setAttribute(Qt::WA_NoSystemBackground);
    setFocusPolicy(Qt::NoFocus);
}

TsCustomHintWindow::~TsCustomHintWindow() = default;

int TsCustomHintWindow::ShadowOffset() const
{
    const TsHintManager *m = Manager();
    return m && m->sStyle()->Shadow()->Enabled() ? m->sStyle()->Shadow()->Offset() : 0;
}

int TsCustomHintWindow::ShadowTransparency() const
{
    const TsHintManager *m = Manager();
    if (!m)
        return 100;
    const TsPassivePainting *painting = m->sStyle()->Painting();
    const int b =
        m->sStyle()->Background()->Mode() == TsHintEnums::bgsTransparent && painting->Transparency() > 0
            ? painting->Transparency()
            : 0;
    const int t = m->sStyle()->Shadow()->Transparency();
    return RoundEven(t + (100 - t) * b / 100.0);
}

QImage &TsCustomHintWindow::Work()
{
    static QImage none;
    TsHintManager *m = Manager();
    return m ? m->sStyle()->WorkBitmap() : none;
}

const QImage &TsCustomHintWindow::Composed() const
{
    return const_cast<TsCustomHintWindow *>(this)->Work();
}

TRect TsCustomHintWindow::CalcHintRect(int maxWidth, const QString &text)
{
    const TsHintManager *m = Manager();
    TRect r(0, 0, maxWidth, 0);
    if (!m)
        return r;
    canvas::Canvas c(1, 1);
    c.Font.Assign(*m->Font());
    if (m->HTMLMode()) {
        TsHtml html;
        html.BeginLayout(&c, text, r);
        html.LayoutText(r);
    } else {
        c.DrawText(text, r,
                   canvas::DT_CALCRECT | canvas::DT_WORDBREAK | canvas::DT_CENTER | canvas::DT_NOPREFIX);
    }
    const int offset = ShadowOffset();
    r.Right += offset + 2 * (m->MarginH() + m->BevelWidth());
    r.Bottom += offset + 2 * (m->MarginV() + m->BevelWidth());
    ExtraWidth = 0;
    ExtraHeight = 0;
    AddShapeSize(r);
    return r;
}

QPoint TsCustomHintWindow::GetHintOrigin()
{
    return HintPointerPos();
}

void TsCustomHintWindow::ActivateHint(const TRect &rect, const QString &text)
{
    TsHintManager *m = Manager();
    if (!m || m->Style() == TsHintEnums::hsNone)
        return;
    TApplicationHints::Instance().SetHintHidePause(m->PauseHide());
    hide();
    FCaption = text;
    const QPoint p = GetHintOrigin();
    const QRect placed = PlaceHint(p, rect.Width(), rect.Height(), HintDesktopRect(p), &Quadrant);
    Work() = HintScreenArea(placed, this);
    FComposed = false;
    setGeometry(placed);
    show();
    raise();
    update();
}

void TsCustomHintWindow::Compose()
{
    TsHintManager *m = Manager();
    if (!m || Work().isNull())
        return;
    if (m->sStyle()->Shadow()->Enabled())
        PaintShadow();
    const QImage mask = BuildMask();
    const QImage body = BuildBody();
    MergeThroughMask(Work(), body, mask);
    FComposed = true;
}

void TsCustomHintWindow::PaintShadow()
{
    const TsPassiveShadow *shadow = Manager()->sStyle()->Shadow();
    QImage &work = Work();
    const int offset = shadow->Offset();
    BlendSoftRect(work, TRect(offset, offset, work.width(), work.height()), ShadowTransparency(), 0,
                  shadow->Blur(), shadow->Color());
}

QImage TsCustomHintWindow::BuildMask()
{
    QImage mask(Work().size(), QImage::Format_RGB32);
    mask.fill(Qt::white);
    BlendSoftRect(mask, GetBodyRect(), 0, 0, Manager()->Blur(), canvas::clBlack);
    return mask;
}

QImage TsCustomHintWindow::BuildBody()
{
    QImage body(Work().size(), QImage::Format_RGB32);
    const TRect rect = GetBodyRect();
    PaintBackground(body, rect);
    PaintText(body);
    PaintBorder(body);
    return body;
}

TRect TsCustomHintWindow::GetBodyRect()
{
    const int offset = ShadowOffset();
    return TRect(0, 0, Work().width() - offset, Work().height() - offset);
}

void TsCustomHintWindow::PaintBackground(QImage &body, const TRect &rect)
{
    const TsHintManager *m = Manager();
    CopyPixels(Work(), body);
    const TsPassivePainting *painting = m->sStyle()->Painting();
    const TsPassiveBackground *background = m->sStyle()->Background();
    auto fill = [&] {
        canvas::Canvas c(&body);
        c.Brush = canvas::TBrush{painting->ColorActive(), canvas::bsSolid};
        c.FillRect(TRect(rect.Left, rect.Top, rect.Right + 1, rect.Bottom + 1));
    };
    switch (background->Mode()) {
    case TsHintEnums::bgsNone:
        fill();
        break;
    case TsHintEnums::bgsImage:
        TileImage(body, rect, background->Image());
        break;
    case TsHintEnums::bgsGradient:
        FillPassiveGradient(body, rect, *background->Gradient(), Work().size());
        break;
    case TsHintEnums::bgsTransparent:
        if (painting->Transparency() > 0)
            BlendSoftRect(body, rect, painting->Transparency(), 0, 0, painting->ColorActive());
        else
            fill();
        break;
    }
}

void TsCustomHintWindow::PaintText(QImage &body)
{
    const TsHintManager *m = Manager();
    canvas::Canvas c(&body);
    c.Brush.Style = canvas::bsClear;
    c.Pen.Style = canvas::psSolid;
    c.Font.Assign(*m->Font());
    const TRect b = GetBodyRect();
    const int dx = m->MarginH() + m->BevelWidth() + ExtraWidth / 2;
    const int dy = m->MarginV() + m->BevelWidth() + ExtraHeight / 2;
    TRect r(b.Left + dx, b.Top + dy, b.Right - dx, b.Bottom - dy);
    if (m->HTMLMode()) {
        TsHtml html;
        html.BeginLayout(&c, FCaption, r);
        html.LayoutText(r);
    } else {
        c.DrawText(FCaption, r, canvas::DT_WORDBREAK | canvas::DT_CENTER | canvas::DT_NOPREFIX);
    }
}

void TsCustomHintWindow::PaintBorder(QImage &body)
{
    const TsHintManager *m = Manager();
    if (m->BevelWidth() <= 0)
        return;
    const TRect b = GetBodyRect();
    const TsPassivePainting *painting = m->sStyle()->Painting();
    Frame3D(body, TRect(b.Left + 1, b.Top + 1, b.Right, b.Bottom), painting->ColorBorderTop(),
            painting->ColorBorderBottom(), m->BevelWidth());
}

void TsCustomHintWindow::paintEvent(QPaintEvent *)
{
    if (!FComposed)
        Compose();
    QPainter painter(this);
    const QImage &work = Work();
    if (work.isNull())
        painter.fillRect(rect(), palette().color(QPalette::ToolTipBase));
    else
        painter.drawImage(0, 0, work);
}

QPoint TsSimplyHintWindow::GetHintOrigin()
{
    return HintPointerPos() + QPoint(0, SimplyHintDrop);
}

void TsSimplyHintWindow::PaintBorder(QImage &body)
{
    const TsHintManager *m = Manager();
    if (m->BevelWidth() <= 0)
        return;
    const TRect b = GetBodyRect();
    const TsPassivePainting *painting = m->sStyle()->Painting();
    Frame3D(body, TRect(b.Left, b.Top, b.Right - 1, b.Bottom - 1), painting->ColorBorderTop(),
            painting->ColorBorderBottom(), m->BevelWidth());
}

// --- shapes with a tail ----------------------------------------------------------------------

void TsShapedHintWindow::AddShapeSize(TRect &r)
{
    r.Bottom += Manager()->ExOffset();
    if (!AddsExtraSize())
        return;
    const double w = r.Width(), h = r.Height();
    if (w <= 0 || h <= 0)
        return;
    const double d = std::sqrt(w * w + h * h) - w;
    ExtraWidth = RoundEven(w * d / h);
    ExtraHeight = RoundEven(d * h / w);
    r.Right += ExtraWidth;
    r.Bottom += ExtraHeight;
}

TRect TsShapedHintWindow::GetBodyRect()
{
    const int offset = ShadowOffset();
    const int ex = Manager()->ExOffset();
    const int w = Work().width(), h = Work().height();
    if (Quadrant == 0 || Quadrant == 2)
        return TRect(0, ex, w - offset, h - offset);
    return TRect(0, 0, w - offset, h - offset - ex);
}

QPoint TsShapedHintWindow::TailTip() const
{
    const QImage &work = const_cast<TsShapedHintWindow *>(this)->Work();
    const int w = work.width(), h = work.height();
    switch (Quadrant) {
    case 1:
        return QPoint(TailTipInset, h - TailTipInset);
    case 2:
        return QPoint(w - TailTipInset, TailTipInset);
    case 3:
        return QPoint(w - TailTipInset, h - TailTipInset);
    default:
        return QPoint(TailTipInset, TailTipInset);
    }
}

int TsShapedHintWindow::MaskLevel() const
{
    const TsHintManager *m = Manager();
    const TsPassivePainting *painting = m->sStyle()->Painting();
    if (m->sStyle()->Background()->Mode() == TsHintEnums::bgsTransparent && painting->Transparency() > 0)
        return painting->Transparency() * 255 / 100;
    return 0;
}

QImage TsShapedHintWindow::ShapeMask(int blur, int level)
{
    const QImage &work = Work();
    canvas::Canvas mask(work.width(), work.height());
    mask.Pen.Style = canvas::psClear;
    const TRect body = GetBodyRect();
    blur = std::max(blur, 0);
    for (int c = 0; c <= blur; ++c) {
        const int grey = RoundEven(level + double(blur - c) * (255 - level) / (blur + 1)) & 0xFF;
        mask.Brush = canvas::TBrush{canvas::RGB(grey, grey, grey), canvas::bsSolid};
        DrawBodyRing(mask, body, c);
        DrawTailRing(mask, body, c);
    }
    return mask.Image();
}

void TsShapedHintWindow::DrawTailRing(canvas::Canvas &mask, const TRect &body, int c)
{
    const QPoint tip = TailTip();
    const int h = Work().height();
    const int bw = body.Width(), bh = body.Height();
    const int cx = (body.Left + body.Right) / 2, cy = (body.Top + body.Bottom) / 2;
    const double q = tip.y() < body.Top ? (bh / 2.0 + body.Top) / (body.Top + 1)
                                        : (h - (body.Bottom - bh / 2.0)) / (h - body.Bottom + 1);
    const int l = std::max(0, RoundEven(bw / 8 - 2 * c * q));
    mask.Polygon({tip, QPoint(cx - l, cy), QPoint(cx + l, cy)});
}

QImage TsShapedHintWindow::BuildMask()
{
    return ShapeMask(Manager()->Blur(), MaskLevel());
}

void TsShapedHintWindow::PaintShadow()
{
    const TsPassiveShadow *shadow = Manager()->sStyle()->Shadow();
    const QImage mask = ShapeMask(shadow->Blur(), ShadowTransparency() * 255 / 100);
    BlendColorThroughMask(Work(), mask, shadow->Offset(), shadow->Offset(), shadow->Color());
}

void TsShapedHintWindow::PaintBorder(QImage &body)
{
    const TsHintManager *m = Manager();
    if (m->BevelWidth() <= 0)
        return;
    const TsPassivePainting *painting = m->sStyle()->Painting();
    TraceOutline(body, ShapeMask(m->Blur(), MaskLevel()), painting->ColorBorderTop(),
                 painting->ColorBorderBottom());
}

void TsComicsHintWindow::DrawBodyRing(canvas::Canvas &mask, const TRect &body, int c)
{
    const int r = Manager()->Radius();
    mask.RoundRect(body.Left + c, body.Top + c, body.Right - c, body.Bottom - c, r, r);
}

void TsEllipseHintWindow::DrawBodyRing(canvas::Canvas &mask, const TRect &body, int c)
{
    mask.Ellipse(body.Left + c, body.Top + c, body.Right - c, body.Bottom - c);
}

void TsBalloonHintWindow::DrawBodyRing(canvas::Canvas &mask, const TRect &body, int c)
{
    mask.Ellipse(body.Left + c, body.Top + c, body.Right - c, body.Bottom - c);
}

// Three small ellipses from the tip towards the body, growing as they go.
void TsBalloonHintWindow::DrawTailRing(canvas::Canvas &mask, const TRect &body, int c)
{
    const QPoint tip = TailTip();
    const int bw = body.Width(), bh = body.Height();
    if (bw <= 0 || bh <= 0)
        return;
    const double b = bh / 12.0;
    const int s = RoundEven((Manager()->ExOffset() - 3 * b) / 6);
    const int cx = (body.Left + body.Right) / 2;
    const bool below = Quadrant == 0 || Quadrant == 2;
    int y = below ? 0 : Work().height() - ShadowOffset();
    for (int k = 1; k <= 3; ++k) {
        const int eh = RoundEven(b + 2 * (k - 1) * s);
        const int ew = RoundEven(double(eh) * bw / (2.0 * bh));
        const int ex = tip.x() + (cx - tip.x()) * k / 4;
        const int top = below ? y : y - eh;
        mask.Ellipse(ex - ew / 2 + c, top + c, ex - ew / 2 + ew - c, top + eh - c);
        y = below ? y + eh : y - eh;
    }
}

void TsBalloonHintWindow::PaintShadow()
{
    const TsPassiveShadow *shadow = Manager()->sStyle()->Shadow();
    QImage &work = Work();
    const int offset = shadow->Offset();
    const QImage mask = ShapeMask(shadow->Blur(), ShadowTransparency() * 255 / 100);
    const int w = work.width() - offset, h = work.height() - offset;
    if (w <= 0 || h <= 0)
        return;
    BlendColorThroughMask(work, mask.scaled(w, h, Qt::IgnoreAspectRatio, Qt::FastTransformation), offset,
                          offset, shadow->Color());
}

void RegisterHintClasses()
{
    layout::RegisterClass<TsHintManager>(QStringLiteral("TsHintManager"));
    layout::RegisterClass<TsSimplyHintWindow>(QStringLiteral("TsSimplyHintWindow"));
    layout::RegisterClass<TsComicsHintWindow>(QStringLiteral("TsComicsHintWindow"));
    layout::RegisterClass<TsEllipseHintWindow>(QStringLiteral("TsEllipseHintWindow"));
    layout::RegisterClass<TsBalloonHintWindow>(QStringLiteral("TsBalloonHintWindow"));
}

} // namespace hints
