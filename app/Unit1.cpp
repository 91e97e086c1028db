#include "app/Unit1.h"

#include "app/Unit2.h"
#include "controls/Application.h"
#include "controls/MessageBox.h"
#include "framework/Canvas.h"
#include "framework/Colors.h"
#include "tonegen/ToneGen.h"
#include "widgets/iKnob.h"
#include "widgets/iLedBar.h"
#include "widgets/iSevenSegmentAnalog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QVariant>

#include <cmath>
#include <numbers>

namespace app {

TForm1 *Form1 = nullptr;

namespace {

constexpr framework::TColor StartIdleColor = 14680029;
constexpr framework::TColor StartPlayingColor = 8421504; // clGray
constexpr framework::TColor StopPlayingColor = 128;      // clMaroon
constexpr int ActivityStripHeight = 50;
constexpr int FoldOutWidth = 305;
constexpr int FoldOutOpenWidth = 400;
constexpr int DurationMax = 30000;

// A control the handlers rely on; its absence is a fault of the stored layout.
template <class T> T *Bind(QObject *root, const char *name)
{
    T *object = root->findChild<T *>(QString::fromLatin1(name));
    if (!object)
        qFatal("Form1.layout: %s is missing or of the wrong class", name);
    return object;
}

// A whole number in 32 bits, optionally signed, or a failure; blanks around it are a failure too
// (QString::toInt would skip them).
bool TextToInt(const QString &text, int32_t &value)
{
    if (text.isEmpty() || text.front().isSpace() || text.back().isSpace())
        return false;
    bool ok = false;
    const int result = text.toInt(&ok, 10);
    if (ok)
        value = result;
    return ok;
}

// Key filter of the number fields: digits and backspace only.
void DigitsOnly(QChar &Key)
{
    if (Key != QChar(8) && (Key < QChar('0') || Key > QChar('9')))
        Key = QChar(0);
}

void SetColor(QWidget *control, framework::TColor color)
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

int32_t RoundHalfEven(double Value)
{
    const double lower = std::floor(Value);
    const double diff = Value - lower;
    double result = lower;
    if (diff > 0.5 || (diff == 0.5 && std::fmod(lower, 2.0) != 0.0))
        result = lower + 1.0;
    return static_cast<int32_t>(result);
}

TForm1::TForm1(QWidget *parent) : framework::TForm(parent)
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
    framework::TForm::Loaded();
    LbButton1 = Bind<QWidget>(this, "LbButton1");
    LbButton2 = Bind<QWidget>(this, "LbButton2");
    iKnob1 = Bind<widgets::TiKnob>(this, "iKnob1");
    iKnob2 = Bind<widgets::TiKnob>(this, "iKnob2");
    iLedBar1 = Bind<widgets::TiLedBar>(this, "iLedBar1");
    iLedBar2 = Bind<widgets::TiLedBar>(this, "iLedBar2");
    iLedBar3 = Bind<widgets::TiLedBar>(this, "iLedBar3");
    iSevenSegmentAnalog1 = Bind<widgets::TiSevenSegmentAnalog>(this, "iSevenSegmentAnalog1");
    iSevenSegmentAnalog2 = Bind<widgets::TiSevenSegmentAnalog>(this, "iSevenSegmentAnalog2");
    Edit1 = Bind<framework::TEdit>(this, "Edit1");
    Edit2 = Bind<framework::TEdit>(this, "Edit2");
    Edit3 = Bind<framework::TEdit>(this, "Edit3");
    CheckBox1 = Bind<QAbstractButton>(this, "CheckBox1");
    QAbstractButton **radios[] = {&RadioButton1, &RadioButton2, &RadioButton3, &RadioButton4, &RadioButton5,
                                  &RadioButton6, &RadioButton7, &RadioButton8, &RadioButton9};
    for (int i = 0; i < 9; ++i)
        *radios[i] =
            Bind<QAbstractButton>(this, QStringLiteral("RadioButton%1").arg(i + 1).toLatin1().constData());
    Bevel3 = Bind<QWidget>(this, "Bevel3");
    SpeedButton3 = Bind<QWidget>(this, "SpeedButton3");
    SpeedButton5 = Bind<QWidget>(this, "SpeedButton5");
    SpeedButton6 = Bind<QWidget>(this, "SpeedButton6");
    SpeedButton7 = Bind<QWidget>(this, "SpeedButton7");
    BitBtn2 = Bind<QWidget>(this, "BitBtn2");
    BitBtn3 = Bind<QWidget>(this, "BitBtn3");
    Panel5 = Bind<QWidget>(this, "Panel5");
    ComboBox1 = Bind<framework::TComboBox>(this, "ComboBox1");
    Image2 = Bind<framework::TImage>(this, "Image2");
    Image3 = Bind<framework::TImage>(this, "Image3");
    Timer1 = Bind<framework::TTimer>(this, "Timer1");
    ToneGen1 = Bind<TToneGen>(this, "ToneGen1");
}

void TForm1::FormCreate(QObject *)
{
    FDragging = false;
}

// --- generator control panel -------------------------------------------------------------

void TForm1::ApplyFoldOutChoices(bool RedrawPreview)
{
    if (RadioButton1->isChecked()) {
        ToneGen1->SetWaveform(TToneGen::tgSine);
        if (RedrawPreview)
            RadioButton1Click(nullptr);
    }
    if (RadioButton2->isChecked()) {
        ToneGen1->SetWaveform(TToneGen::tgSawtooth);
        if (RedrawPreview)
            RadioButton2Click(nullptr);
    }
    if (RadioButton3->isChecked()) {
        ToneGen1->SetWaveform(TToneGen::tgSquare);
        if (RedrawPreview)
            RadioButton3Click(nullptr);
    }
    if (RadioButton4->isChecked()) {
        ToneGen1->SetWaveform(TToneGen::tgTriangle);
        if (RedrawPreview)
            RadioButton4Click(nullptr);
    }
    if (RadioButton5->isChecked()) {
        ToneGen1->SetWaveform(TToneGen::tgNoise);
        if (RedrawPreview)
            RadioButton5Click(nullptr);
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
    ToneGen1->SetFrequency(FFrequency);
    ToneGen1->SetRightVolume(FLevel);
    ToneGen1->SetLeftVolume(FLevel);
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
    SetColor(LbButton2, framework::clWhite);
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

void TForm1::iKnob1PositionChangeUser(QObject *)
{
    const int32_t p = RoundHalfEven(iKnob1->GetPosition());
    FFrequency = p;
    ToneGen1->SetFrequency(p);
    iLedBar1->SetPosition(p);
    iSevenSegmentAnalog1->SetValue(p);
    Edit1->setText(QString::number(p));
    ApplyFoldOutChoices(false);
    PlaybackDecision();
}

void TForm1::iKnob2PositionChangeUser(QObject *)
{
    const int32_t p = RoundHalfEven(iKnob2->GetPosition());
    FLevel = p;
    ToneGen1->SetRightVolume(p);
    ToneGen1->SetLeftVolume(p);
    iLedBar2->SetPosition(p);
    iSevenSegmentAnalog2->SetValue(p);
    Edit2->setText(QString::number(p));
    PlaybackDecision();
}

void TForm1::Timer1Timer(QObject *)
{
    iLedBar3->SetPosition(iLedBar3->GetPosition() + 1);
    if (iLedBar3->GetPosition() == 100)
        iLedBar3->SetPosition(0);
}

void TForm1::CheckBox1Click(QObject *)
{
    Edit3->setEnabled(!Edit3->isEnabled());
}

void TForm1::Edit3KeyPress(QObject *, QChar &Key)
{
    DigitsOnly(Key);
}

void TForm1::Edit3Exit(QObject *)
{
    int32_t value = 0;
    if (!TextToInt(Edit3->text(), value)) {
        Edit3->setText(QStringLiteral("0"));
        framework::ShowMessageBox(this, QStringLiteral("Введите время звучания сигнала в миллисекундах."),
                                  QStringLiteral("Внимание!"), framework::MessageIcon::None);
        return;
    }
    if (value > DurationMax)
        Edit3->setText(QString::number(DurationMax));
}

// --- waveform preview ----------------------------------------------------------------------

void TForm1::DrawPreview(framework::Canvas &canvas, TPreviewWave Wave)
{
    const int Width = canvas.Width();
    const int Height = canvas.Height();
    switch (Wave) {
    case TPreviewWave::Sine:
        for (int x = 0; x <= Width; ++x) {
            const double a = (double(x) / Width) * 2 * std::numbers::pi;
            const double s = std::sin(a);
            const double y = Height / 2.0 + ((Height / 2.0) * s) * (-1);
            canvas.SetPixel(x, static_cast<int>(std::trunc(y)), framework::clLime);
        }
        break;
    case TPreviewWave::Sawtooth:
        canvas.Pen.Color = framework::clAqua;
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
        canvas.Pen.Color = framework::clRed;
        canvas.MoveTo(0, 90);
        for (const QPoint &p : {QPoint(45, 90), QPoint(45, 10), QPoint(100, 10), QPoint(100, 90),
                                QPoint(155, 90), QPoint(155, 10), QPoint(200, 10)})
            canvas.LineTo(p.x(), p.y());
        break;
    case TPreviewWave::Triangle:
        canvas.Pen.Color = framework::clYellow;
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
    framework::Canvas *canvas = Image2->Canvas();
    canvas->Brush.Color = framework::clBlack;
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
    framework::ShowMessageBox(this, QStringLiteral("«%1» не является целым числом.").arg(Text),
                              framework::ApplicationTitle(), framework::MessageIcon::Error);
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

void TForm1::Edit1Exit(QObject *)
{
    int32_t value = 0;
    if (!TextToInt(Edit1->text(), value)) {
        Edit1->setText(QStringLiteral("0"));
        framework::ShowMessageBox(this, QStringLiteral("Введите значение частоты сигнала."),
                                  QStringLiteral("Внимание!"), framework::MessageIcon::None);
        return;
    }
    if (value > 20000) {
        Edit1->setText(QStringLiteral("20000"));
        iKnob1->SetPosition(20000);
        iLedBar1->SetPosition(iKnob1->GetPosition());
        iSevenSegmentAnalog1->SetValue(iKnob1->GetPosition());
    }
}

void TForm1::Edit2Exit(QObject *)
{
    int32_t value = 0;
    if (!TextToInt(Edit2->text(), value)) {
        Edit2->setText(QStringLiteral("0"));
        framework::ShowMessageBox(this, QStringLiteral("Введите значение уровня громкости."),
                                  QStringLiteral("Внимание!"), framework::MessageIcon::None);
        return;
    }
    if (value > 100) {
        Edit2->setText(QStringLiteral("100"));
        iKnob2->SetPosition(100);
        iLedBar2->SetPosition(iKnob2->GetPosition());
        iSevenSegmentAnalog2->SetValue(iKnob2->GetPosition());
    }
}

void TForm1::BitBtn2Click(QObject *)
{
    iKnob1->SetPositionMin(0);
    iKnob1->SetPositionMax(20000);
    int32_t value = 0;
    if (!ConvertOrReport(Edit1->text(), value))
        return;
    FFrequency = value;
    iKnob1->SetPosition(FFrequency);
    iLedBar1->SetPosition(iKnob1->GetPosition());
    iSevenSegmentAnalog1->SetValue(iKnob1->GetPosition());
    if (!LbButton1->isEnabled()) {
        ToneGen1->SetFrequency(FFrequency);
        ToneGen1->Stop();
        ToneGen1->Play();
    }
}

void TForm1::BitBtn3Click(QObject *)
{
    int32_t value = 0;
    if (!ConvertOrReport(Edit2->text(), value))
        return;
    FLevel = value;
    iKnob2->SetPosition(FLevel);
    iLedBar2->SetPosition(iKnob2->GetPosition());
    iSevenSegmentAnalog2->SetValue(iKnob2->GetPosition());
    if (!LbButton1->isEnabled()) {
        ToneGen1->SetRightVolume(FLevel);
        ToneGen1->SetLeftVolume(FLevel);
        ToneGen1->Stop();
        ToneGen1->Play();
    }
}

void TForm1::SpeedButton6Click(QObject *)
{
    if (Edit1->isHidden()) {
        Edit1->show();
        BitBtn2->show();
        SetHint(SpeedButton6, QStringLiteral("Скрыть"));
        iKnob1->SetPositionMin(0);
        iKnob1->SetPositionMax(20000);
    } else {
        Edit1->hide();
        BitBtn2->hide();
        SetHint(SpeedButton6, QStringLiteral("Задать дискретно"));
    }
}

void TForm1::SpeedButton7Click(QObject *)
{
    if (Edit2->isHidden()) {
        Edit2->show();
        BitBtn3->show();
        SetHint(SpeedButton7, QStringLiteral("Скрыть"));
    } else {
        Edit2->hide();
        BitBtn3->hide();
        SetHint(SpeedButton7, QStringLiteral("Задать дискретно"));
    }
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
            iLedBar1->SetPosition(iKnob1->GetPosition());
            iSevenSegmentAnalog1->SetValue(iKnob1->GetPosition());
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
    if (RadioButton1->isChecked())
        RadioButton1Click(nullptr);
    else if (RadioButton2->isChecked())
        RadioButton2Click(nullptr);
    else if (RadioButton3->isChecked())
        RadioButton3Click(nullptr);
    else if (RadioButton4->isChecked())
        RadioButton4Click(nullptr);
    else if (RadioButton5->isChecked())
        RadioButton5Click(nullptr);
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
