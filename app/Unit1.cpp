#include "app/Unit1.h"

#include "app/Unit2.h"
#include "canvas/Canvas.h"
#include "canvas/Colors.h"
#include "controls/Application.h"
#include "controls/MessageBox.h"
#include "core/WholeNumber.h"
#include "tonegen/ToneGen.h"
#include "widgets/iKnob.h"
#include "widgets/iLedBar.h"
#include "widgets/iMath.h"
#include "widgets/iSevenSegmentAnalog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QVariant>

#include <cmath>
#include <numbers>
#include <optional>

namespace app {

using tonegen::TToneGen;

TForm1 *Form1 = nullptr;

namespace {

constexpr canvas::TColor StartIdleColor = 14680029;
constexpr canvas::TColor StartPlayingColor = 8421504; // clGray
constexpr canvas::TColor StopPlayingColor = 128;      // clMaroon
constexpr int ActivityStripHeight = 50;
constexpr int FoldOutWidth = 305;
constexpr int FoldOutOpenWidth = 400;
constexpr int DurationMax = 30000;
constexpr int32_t FrequencyMax = 20000;
constexpr int32_t LevelMax = 100;

using widgets::RoundHalfEven;

// The waveform buttons in the order the handlers test them.
struct TWaveChoice
{
    QAbstractButton *TForm1::*Radio;
    TToneGen::TTGWave Wave;
    void (TForm1::*Redraw)(QObject *);
};

constexpr TWaveChoice WaveChoices[] = {
    {&TForm1::RadioButton1, TToneGen::tgSine, &TForm1::RadioButton1Click},
    {&TForm1::RadioButton2, TToneGen::tgSawtooth, &TForm1::RadioButton2Click},
    {&TForm1::RadioButton3, TToneGen::tgSquare, &TForm1::RadioButton3Click},
    {&TForm1::RadioButton4, TToneGen::tgTriangle, &TForm1::RadioButton4Click},
    {&TForm1::RadioButton5, TToneGen::tgNoise, &TForm1::RadioButton5Click},
};

// One row of the control table as the completeness check and the binding read it.
struct TControlSlot
{
    const char *Name;
    bool Required;
    // The object of that name and class, or null.
    QObject *(*Find)(const QObject *root, const QString &name);
    void (*Store)(TForm1 &form, QObject *object);
};

template <class T> QObject *FindAs(const QObject *root, const QString &name)
{
    return root->findChild<T *>(name);
}

#define SOUNDGEN_FORM1_SLOT(Name, Class, Required)                                                           \
    {#Name, Required, &FindAs<Class>,                                                                        \
     [](TForm1 &form, QObject *object) { form.Name = static_cast<Class *>(object); }},
constexpr TControlSlot ControlSlots[] = {SOUNDGEN_FORM1_CONTROLS(SOUNDGEN_FORM1_SLOT)};
#undef SOUNDGEN_FORM1_SLOT

QString MissingControl(const char *name)
{
    return QStringLiteral("%1 is missing or of the wrong class").arg(QLatin1String(name));
}

} // namespace

// Not QString::toInt, which skips blanks around the number and stops at a NUL character, so
// that "1" followed by pasted NULs would pass.
bool TextToInt(const QString &text, int32_t &value)
{
    const std::optional<int32_t> number = core::ParseWholeNumber(text);
    if (number)
        value = *number;
    return number.has_value();
}

namespace {

// Key filter of the number fields: digits and backspace only.
void DigitsOnly(QChar &Key)
{
    if (Key != QChar(8) && (Key < QChar('0') || Key > QChar('9')))
        Key = QChar(0);
}

void SetColor(QWidget *control, canvas::TColor color)
{
    control->setProperty("Color", uint(color));
}

void SetHint(QWidget *control, const QString &hint)
{
    if (!control->setProperty("Hint", hint))
        control->setToolTip(hint);
}

void SetWidth(QWidget *control, int width)
{
    control->resize(width, control->height());
}

} // namespace

TForm1::TForm1(QWidget *parent) : controls::TForm(parent)
{
    Form1 = this;
}

TForm1::~TForm1()
{
    if (Form1 == this)
        Form1 = nullptr;
}

void TForm1::Loaded()
{
    controls::TForm::Loaded();
    for (const TControlSlot &slot : ControlSlots) {
        QObject *object = slot.Find(this, QString::fromLatin1(slot.Name));
        // The reader refuses such a layout first; this guards a form loaded without the check.
        if (!object && slot.Required)
            qFatal("Form1.layout: %s", qPrintable(MissingControl(slot.Name)));
        slot.Store(*this, object);
    }

    FrequencyControls = {.Knob = iKnob1,
                         .Bar = iLedBar1,
                         .Display = iSevenSegmentAnalog1,
                         .Edit = Edit1,
                         .SetButton = BitBtn2,
                         .ShowButton = SpeedButton6,
                         .Limit = FrequencyMax,
                         .BadEntryText = u"Введите значение частоты сигнала.",
                         .Stored = &TForm1::FFrequency,
                         .SendToGenerator = &TForm1::SendFrequency};
    LevelControls = {.Knob = iKnob2,
                     .Bar = iLedBar2,
                     .Display = iSevenSegmentAnalog2,
                     .Edit = Edit2,
                     .SetButton = BitBtn3,
                     .ShowButton = SpeedButton7,
                     .Limit = LevelMax,
                     .BadEntryText = u"Введите значение уровня громкости.",
                     .Stored = &TForm1::FLevel,
                     .SendToGenerator = &TForm1::SendLevel};
}

bool TForm1::LayoutComplete(QString &error) const
{
    for (const TControlSlot &slot : ControlSlots) {
        if (slot.Required && !slot.Find(this, QString::fromLatin1(slot.Name))) {
            error = MissingControl(slot.Name);
            return false;
        }
    }
    return controls::TForm::LayoutComplete(error);
}

void TForm1::FormCreate(QObject *)
{
    FDragging = false;
}

// --- generator control panel -------------------------------------------------------------

void TForm1::ApplyFoldOutChoices(bool RedrawPreview)
{
    for (const TWaveChoice &choice : WaveChoices) {
        if (!(this->*choice.Radio)->isChecked())
            continue;
        ToneGen1->SetWaveform(choice.Wave);
        if (RedrawPreview)
            (this->*choice.Redraw)(nullptr);
    }
    if (RadioButton6->isChecked())
        ToneGen1->SetResolution(TToneGen::tg8Bit);
    if (RadioButton7->isChecked())
        ToneGen1->SetResolution(TToneGen::tg16Bit);
    if (RadioButton8->isChecked())
        ToneGen1->SetStereo(false);
    if (RadioButton9->isChecked())
        ToneGen1->SetStereo(true);
}

void TForm1::LbButton1Click(QObject *)
{
    ApplyFoldOutChoices(true);
    if (CheckBox1->isChecked()) {
        ToneGen1->SetDuration(1000);
        ToneGen1->SetLoop(true);
        LbButton2->setEnabled(true);
        LbButton1->setEnabled(false);
        SetColor(LbButton1, StartPlayingColor);
        SetColor(LbButton2, StopPlayingColor);
    } else {
        int32_t duration = 0;
        if (!ConvertOrReport(Edit3->text(), duration))
            return; // the start ends here, nothing plays
        ToneGen1->SetDuration(duration);
        ToneGen1->SetLoop(false);
        LbButton2->setEnabled(true);
    }
    SendFrequency(FFrequency);
    SendLevel(FLevel);
    ToneGen1->Play();
    if (width() >= FoldOutOpenWidth) {
        SetWidth(iLedBar3, 500);
        SetWidth(Bevel3, 500);
    } else {
        SetWidth(iLedBar3, 212);
        SetWidth(Bevel3, 214);
    }
    if (ToneGen1->Loop()) {
        resize(width(), height() + ActivityStripHeight);
        Timer1->setEnabled(true);
    }
}

void TForm1::LbButton2Click(QObject *)
{
    ToneGen1->Stop();
    LbButton2->setEnabled(false);
    LbButton1->setEnabled(true);
    iLedBar3->SetPosition(0);
    SetColor(LbButton1, StartIdleColor);
    SetColor(LbButton2, canvas::clWhite);
    if (ToneGen1->Loop()) {
        resize(width(), height() - ActivityStripHeight);
        Timer1->setEnabled(false);
    }
}

void TForm1::PlaybackDecision()
{
    // Endless sound playing, or timed mode: the new setting sounds at once.
    const bool restart = CheckBox1->isChecked() != LbButton1->isEnabled();
    ToneGen1->Stop();
    if (restart)
        ToneGen1->Play();
}

void TForm1::SendFrequency(int32_t Value)
{
    ToneGen1->SetFrequency(Value);
}

// Right before left: while idle each write reaches the device at once.
void TForm1::SendLevel(int32_t Value)
{
    ToneGen1->SetRightVolume(Value);
    ToneGen1->SetLeftVolume(Value);
}

void TForm1::ShowOnDisplays(const TValueControls &Value, double Position)
{
    Value.Bar->SetPosition(Position);
    Value.Display->SetValue(Position);
}

void TForm1::KnobMoved(const TValueControls &Value)
{
    const int32_t p = RoundHalfEven(Value.Knob->GetPosition());
    this->*Value.Stored = p;
    (this->*Value.SendToGenerator)(p);
    ShowOnDisplays(Value, p);
    Value.Edit->setText(QString::number(p));
}

void TForm1::iKnob1PositionChangeUser(QObject *)
{
    KnobMoved(FrequencyControls);
    ApplyFoldOutChoices(false);
    PlaybackDecision();
}

void TForm1::iKnob2PositionChangeUser(QObject *)
{
    KnobMoved(LevelControls);
    PlaybackDecision();
}

void TForm1::Timer1Timer(QObject *)
{
    iLedBar3->SetPosition(iLedBar3->GetPosition() + 1);
    if (iLedBar3->GetPosition() == 100)
        iLedBar3->SetPosition(0);
    // Steps that light no other segment can wait for the one that does.
    const double now = iLedBar3->GetPosition();
    int unseen = 0;
    while (now + unseen + 1 < 100 && iLedBar3->DrawsAlike(now, now + unseen + 1))
        ++unseen;
    Timer1->Defer(unseen);
}

void TForm1::CheckBox1Click(QObject *)
{
    Edit3->setEnabled(!Edit3->isEnabled());
}

void TForm1::Edit3KeyPress(QObject *, QChar &Key)
{
    DigitsOnly(Key);
}

// True when the field held too large a number and now shows the limit.
bool TForm1::ExitCheck(controls::TEdit *Edit, int32_t Limit, const QString &BadEntryText)
{
    int32_t value = 0;
    if (!TextToInt(Edit->text(), value)) {
        Edit->setText(QStringLiteral("0"));
        controls::ShowMessageBox(this, BadEntryText, QStringLiteral("Внимание!"),
                                 controls::MessageIcon::None);
        return false;
    }
    if (value <= Limit)
        return false;
    Edit->setText(QString::number(Limit));
    return true;
}

void TForm1::Edit3Exit(QObject *)
{
    ExitCheck(Edit3, DurationMax, QStringLiteral("Введите время звучания сигнала в миллисекундах."));
}

// --- waveform preview ----------------------------------------------------------------------

void TForm1::DrawPreview(canvas::Canvas &canvas, TPreviewWave Wave)
{
    const int Width = canvas.Width();
    const int Height = canvas.Height();
    switch (Wave) {
    case TPreviewWave::Sine:
        for (int x = 0; x <= Width; ++x) {
            const double a = (double(x) / Width) * 2 * std::numbers::pi;
            const double s = std::sin(a);
            const double y = Height / 2.0 + ((Height / 2.0) * s) * (-1);
            canvas.SetPixel(x, static_cast<int>(std::trunc(y)), canvas::clLime);
        }
        break;
    case TPreviewWave::Sawtooth:
        canvas.Pen.Color = canvas::clAqua;
        for (const auto &[a, b] : {std::pair{QPoint(0, 90), QPoint(50, 10)},
                                   {QPoint(50, 10), QPoint(50, 90)},
                                   {QPoint(50, 90), QPoint(100, 10)},
                                   {QPoint(100, 10), QPoint(100, 90)},
                                   {QPoint(100, 90), QPoint(150, 10)},
                                   {QPoint(150, 10), QPoint(150, 90)},
                                   {QPoint(150, 90), QPoint(200, 10)}}) {
            canvas.MoveTo(a.x(), a.y());
            canvas.LineTo(b.x(), b.y());
        }
        break;
    case TPreviewWave::Square:
        canvas.Pen.Color = canvas::clRed;
        canvas.MoveTo(0, 90);
        for (const QPoint &p : {QPoint(45, 90), QPoint(45, 10), QPoint(100, 10), QPoint(100, 90),
                                QPoint(155, 90), QPoint(155, 10), QPoint(200, 10)})
            canvas.LineTo(p.x(), p.y());
        break;
    case TPreviewWave::Triangle:
        canvas.Pen.Color = canvas::clYellow;
        for (const auto &[a, b] : {std::pair{QPoint(0, 90), QPoint(45, 10)},
                                   {QPoint(45, 10), QPoint(90, 90)},
                                   {QPoint(90, 90), QPoint(150, 10)},
                                   {QPoint(150, 10), QPoint(195, 90)}}) {
            canvas.MoveTo(a.x(), a.y());
            canvas.LineTo(b.x(), b.y());
        }
        break;
    }
}

void TForm1::ShowPreview(TPreviewWave Wave)
{
    Image3->hide();
    Image2->show();
    Image2->NewBitmap();
    canvas::Canvas *canvas = Image2->Canvas();
    canvas->Brush.Color = canvas::clBlack;
    // The bitmap takes the brush colour as it grows: a black box.
    Image2->setPictureWidth(Image2->width());
    Image2->setPictureHeight(Image2->height());
    canvas = Image2->Canvas();
    DrawPreview(*canvas, Wave);
}

void TForm1::ShowNoisePreview()
{
    Image2->hide();
    Image3->show();
}

void TForm1::RadioButton1Click(QObject *)
{
    ShowPreview(TPreviewWave::Sine);
}

void TForm1::RadioButton2Click(QObject *)
{
    ShowPreview(TPreviewWave::Sawtooth);
}

void TForm1::RadioButton3Click(QObject *)
{
    ShowPreview(TPreviewWave::Square);
}

void TForm1::RadioButton4Click(QObject *)
{
    ShowPreview(TPreviewWave::Triangle);
}

void TForm1::RadioButton5Click(QObject *)
{
    ShowNoisePreview();
}

void TForm1::RadioButton1MouseMove(QObject *, Qt::KeyboardModifiers, int, int)
{
    RadioButton1Click(nullptr);
}

void TForm1::RadioButton2MouseMove(QObject *, Qt::KeyboardModifiers, int, int)
{
    RadioButton2Click(nullptr);
}

void TForm1::RadioButton3MouseMove(QObject *, Qt::KeyboardModifiers, int, int)
{
    RadioButton3Click(nullptr);
}

void TForm1::RadioButton4MouseMove(QObject *, Qt::KeyboardModifiers, int, int)
{
    RadioButton4Click(nullptr);
}

void TForm1::RadioButton5MouseMove(QObject *, Qt::KeyboardModifiers, int, int)
{
    RadioButton5Click(nullptr);
}

// --- value entry and sub-ranges -----------------------------------------------------------

namespace {

struct TSubRange
{
    const char16_t *Text;
    double Min;
    double Max;
    double Position;
};

// The list's items in their order; the first two leave the displays as they are.
constexpr TSubRange SubRanges[] = {
    {u"весь диапазон", 0, 20000, 0},
    {u"0 - 10 гц", 0, 10, 0},
    {u"10 - 100 гц", 10, 100, 10},
    {u"100 - 1000 гц", 100, 1000, 100},
    {u"1000 - 3000 гц", 1000, 3000, 1000},
    {u"3000 - 5000 гц", 3000, 5000, 3000},
    {u"5000 - 7000 гц", 5000, 7000, 5000},
    {u"7000 - 10000 гц", 7000, 10000, 7000},
    {u"10000 - 12000 гц", 10000, 12000, 10000},
    {u"12000 - 15000 гц", 12000, 15000, 12000},
    {u"15000 - 17000 гц", 15000, 17000, 15000},
    {u"17000 - 20000 гц", 17000, 20000, 17000},
};

} // namespace

bool TForm1::ConvertOrReport(const QString &Text, int32_t &Value)
{
    if (TextToInt(Text, Value))
        return true;
    // The application's standard report of a failed conversion.
    controls::ShowMessageBox(this, QStringLiteral("«%1» не является целым числом.").arg(Text),
                             controls::ApplicationTitle(), controls::MessageIcon::Error);
    return false;
}

void TForm1::Edit1KeyPress(QObject *, QChar &Key)
{
    DigitsOnly(Key);
}

void TForm1::Edit2KeyPress(QObject *, QChar &Key)
{
    DigitsOnly(Key);
}

// The field's value reaches the knob only through the set button.
void TForm1::EntryExit(const TValueControls &Value)
{
    if (!ExitCheck(Value.Edit, Value.Limit, QString::fromUtf16(Value.BadEntryText)))
        return;
    Value.Knob->SetPosition(Value.Limit);
    ShowOnDisplays(Value, Value.Knob->GetPosition());
}

void TForm1::Edit1Exit(QObject *)
{
    EntryExit(FrequencyControls);
}

void TForm1::Edit2Exit(QObject *)
{
    EntryExit(LevelControls);
}

void TForm1::SetFromEntry(const TValueControls &Value)
{
    int32_t entered = 0;
    if (!ConvertOrReport(Value.Edit->text(), entered))
        return;
    this->*Value.Stored = entered;
    Value.Knob->SetPosition(entered);
    ShowOnDisplays(Value, Value.Knob->GetPosition());
    // Only a sounding endless tone takes the value at once; otherwise the next start does.
    if (!LbButton1->isEnabled()) {
        (this->*Value.SendToGenerator)(this->*Value.Stored);
        ToneGen1->Stop();
        ToneGen1->Play();
    }
}

void TForm1::RestoreFullFrequencyRange()
{
    iKnob1->SetPositionMin(0);
    iKnob1->SetPositionMax(FrequencyMax);
}

void TForm1::BitBtn2Click(QObject *)
{
    RestoreFullFrequencyRange();
    SetFromEntry(FrequencyControls);
}

void TForm1::BitBtn3Click(QObject *)
{
    SetFromEntry(LevelControls);
}

// True when the entry is now shown.
bool TForm1::ToggleEntry(const TValueControls &Value)
{
    if (Value.Edit->isHidden()) {
        Value.Edit->show();
        Value.SetButton->show();
        SetHint(Value.ShowButton, QStringLiteral("Скрыть"));
        return true;
    }
    Value.Edit->hide();
    Value.SetButton->hide();
    SetHint(Value.ShowButton, QStringLiteral("Задать дискретно"));
    return false;
}

void TForm1::SpeedButton6Click(QObject *)
{
    if (ToggleEntry(FrequencyControls))
        RestoreFullFrequencyRange();
}

void TForm1::SpeedButton7Click(QObject *)
{
    // The stored hint's leading blank is not restored.
    ToggleEntry(LevelControls);
}

void TForm1::SpeedButton3Click(QObject *)
{
    if (ComboBox1->isHidden()) {
        Panel5->show();
        SetHint(SpeedButton3, QStringLiteral("Скрыть"));
        ComboBox1->show();
    } else {
        Panel5->hide();
        SetHint(SpeedButton3, QStringLiteral("Выбрать поддиапазон регулятора частоты"));
        ComboBox1->hide();
    }
}

void TForm1::ComboBox1Change(QObject *)
{
    const QString text = ComboBox1->currentText();
    for (size_t i = 0; i < std::size(SubRanges); ++i) {
        const TSubRange &range = SubRanges[i];
        if (text != QString::fromUtf16(range.Text))
            continue;
        iKnob1->SetPositionMin(range.Min);
        iKnob1->SetPositionMax(range.Max);
        iKnob1->SetPosition(range.Position);
        if (i >= 2) {
            ShowOnDisplays(FrequencyControls, iKnob1->GetPosition());
            Edit1->setText(QString::number(RoundHalfEven(iKnob1->GetPosition())));
        }
        FFrequency = RoundHalfEven(iKnob1->GetPositionMin());
        return;
    }
}

// --- window chrome, fold-out panel, About box, bar hints ------------------------------------

void TForm1::FormMouseDown(QObject *, Qt::MouseButton Button, Qt::KeyboardModifiers, int X, int Y)
{
    if (Button != Qt::LeftButton)
        return;
    FDragging = true;
    FGrabX = X;
    FGrabY = Y;
}

void TForm1::FormMouseMove(QObject *, Qt::KeyboardModifiers, int X, int Y)
{
    if (!FDragging)
        return;
    move(x() + X - FGrabX, y());
    move(x(), y() + Y - FGrabY);
}

void TForm1::FormMouseUp(QObject *, Qt::MouseButton, Qt::KeyboardModifiers, int, int)
{
    FDragging = false;
}

void TForm1::Panel1MouseDown(QObject *Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X,
                             int Y)
{
    FormMouseDown(Sender, Button, Shift, X, Y);
}

void TForm1::Panel1MouseMove(QObject *Sender, Qt::KeyboardModifiers Shift, int X, int Y)
{
    FormMouseMove(Sender, Shift, X, Y);
}

void TForm1::Panel1MouseUp(QObject *Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y)
{
    FormMouseUp(Sender, Button, Shift, X, Y);
}

void TForm1::SpeedButton1Click(QObject *)
{
    close();
}

void TForm1::SpeedButton2Click(QObject *)
{
    setWindowState(windowState() | Qt::WindowMinimized);
}

void TForm1::SpeedButton4Click(QObject *)
{
    if (Form2)
        Form2->ShowModal();
}

void TForm1::SpeedButton5Click(QObject *)
{
    if (width() < FoldOutOpenWidth) {
        resize(width() + FoldOutWidth, height());
        SetHint(SpeedButton5, QStringLiteral("Скрыть"));
    } else {
        resize(width() - FoldOutWidth, height());
        SetHint(SpeedButton5, QStringLiteral("Дополнительно"));
    }
    if (width() < FoldOutOpenWidth) {
        SetWidth(iLedBar3, 212);
        SetWidth(Bevel3, 214);
    } else {
        SetWidth(iLedBar3, 495);
        SetWidth(Bevel3, 498);
    }
    for (const TWaveChoice &choice : WaveChoices)
        if ((this->*choice.Radio)->isChecked()) {
            (this->*choice.Redraw)(nullptr);
            break;
        }
}

void TForm1::SpeedButton8Click(QObject *)
{
    resize(width() - FoldOutWidth, height());
    SetWidth(iLedBar3, 212);
    SetWidth(Bevel3, 214);
    SetHint(SpeedButton5, QStringLiteral("Дополнительно"));
}

void TForm1::iLedBar1MouseMove(QObject *, Qt::KeyboardModifiers, int, int)
{
    SetHint(iLedBar1, QStringLiteral("Частота сигнала %1 Гц.").arg(FFrequency));
}

void TForm1::iLedBar2MouseMove(QObject *, Qt::KeyboardModifiers, int, int)
{
    SetHint(iLedBar2, QStringLiteral("Уровень громкости %1.").arg(FLevel));
}

void TForm1::iLedBar3MouseMove(QObject *, Qt::KeyboardModifiers, int, int)
{
    SetHint(iLedBar3, QStringLiteral("Сигнал генератора включен. Частота сигнала %1 Гц.  "
                                     "Уровень громкости сигнала %2.")
                          .arg(FFrequency)
                          .arg(FLevel));
}

} // namespace app
