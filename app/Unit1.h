#pragma once

#include "canvas/Canvas.h"
#include "controls/ExtControls.h"
#include "controls/Forms.h"
#include "controls/StdControls.h"

class QAbstractButton;

namespace tonegen {
class TToneGen;
} // namespace tonegen

namespace widgets {
class TiKnob;
class TiLedBar;
class TiSevenSegmentAnalog;
} // namespace widgets

namespace app {

// The entry fields' whole-number conversion: an optionally signed decimal number in 32 bits and
// nothing else (no blanks around it); false, with `value` untouched, for anything else.
bool TextToInt(const QString &text, int32_t &value);

// The main window: the generator's front panel.
class TForm1 : public controls::TForm
{
    Q_OBJECT

public:
    explicit TForm1(QWidget *parent = nullptr);
    ~TForm1() override;

    // Binds the control fields once the stored layout has created them.
    void Loaded() override;
    // Refuses a layout without every control Loaded() binds.
    bool LayoutComplete(QString &error) const override;

    // Waveforms the preview can sketch; noise shows the stored picture instead.
    enum class TPreviewWave { Sine, Sawtooth, Square, Triangle };
    // Draws the sketch of one waveform on a canvas that is already black.
    static void DrawPreview(canvas::Canvas &Canvas, TPreviewWave Wave);

    // Window state.
    bool FDragging = false;
    int FGrabX = 0;
    int FGrabY = 0;
    int32_t FLevel = 0;
    int32_t FFrequency = 0;

    // Controls and components the handlers use, found by name after loading.
    // The light buttons are used through Enabled, Color and their click only.
    QWidget *LbButton1 = nullptr;
    QWidget *LbButton2 = nullptr;
    widgets::TiKnob *iKnob1 = nullptr;
    widgets::TiKnob *iKnob2 = nullptr;
    widgets::TiLedBar *iLedBar1 = nullptr;
    widgets::TiLedBar *iLedBar2 = nullptr;
    widgets::TiLedBar *iLedBar3 = nullptr;
    widgets::TiSevenSegmentAnalog *iSevenSegmentAnalog1 = nullptr;
    widgets::TiSevenSegmentAnalog *iSevenSegmentAnalog2 = nullptr;
    controls::TEdit *Edit1 = nullptr;
    controls::TEdit *Edit2 = nullptr;
    controls::TEdit *Edit3 = nullptr;
    QAbstractButton *CheckBox1 = nullptr;
    QAbstractButton *RadioButton1 = nullptr;
    QAbstractButton *RadioButton2 = nullptr;
    QAbstractButton *RadioButton3 = nullptr;
    QAbstractButton *RadioButton4 = nullptr;
    QAbstractButton *RadioButton5 = nullptr;
    QAbstractButton *RadioButton6 = nullptr;
    QAbstractButton *RadioButton7 = nullptr;
    QAbstractButton *RadioButton8 = nullptr;
    QAbstractButton *RadioButton9 = nullptr;
    QWidget *Bevel3 = nullptr;
    QWidget *SpeedButton3 = nullptr;
    QWidget *SpeedButton5 = nullptr;
    QWidget *SpeedButton6 = nullptr;
    QWidget *SpeedButton7 = nullptr;
    QWidget *BitBtn2 = nullptr;
    QWidget *BitBtn3 = nullptr;
    QWidget *Panel5 = nullptr;
    controls::TComboBox *ComboBox1 = nullptr;
    controls::TImage *Image2 = nullptr;
    controls::TImage *Image3 = nullptr;
    controls::TTimer *Timer1 = nullptr;
    tonegen::TToneGen *ToneGen1 = nullptr;

public slots:
    void FormCreate(QObject *Sender);

    // Generator control panel.
    void LbButton1Click(QObject *Sender);
    void LbButton2Click(QObject *Sender);
    void iKnob1PositionChangeUser(QObject *Sender);
    void iKnob2PositionChangeUser(QObject *Sender);
    void Timer1Timer(QObject *Sender);
    void CheckBox1Click(QObject *Sender);
    void Edit3KeyPress(QObject *Sender, QChar &Key);
    void Edit3Exit(QObject *Sender);

    // Waveform preview.
    void RadioButton1Click(QObject *Sender);
    void RadioButton2Click(QObject *Sender);
    void RadioButton3Click(QObject *Sender);
    void RadioButton4Click(QObject *Sender);
    void RadioButton5Click(QObject *Sender);
    void RadioButton1MouseMove(QObject *Sender, Qt::KeyboardModifiers Shift, int X, int Y);
    void RadioButton2MouseMove(QObject *Sender, Qt::KeyboardModifiers Shift, int X, int Y);
    void RadioButton3MouseMove(QObject *Sender, Qt::KeyboardModifiers Shift, int X, int Y);
    void RadioButton4MouseMove(QObject *Sender, Qt::KeyboardModifiers Shift, int X, int Y);
    void RadioButton5MouseMove(QObject *Sender, Qt::KeyboardModifiers Shift, int X, int Y);

    // Value entry and sub-ranges.
    void Edit1KeyPress(QObject *Sender, QChar &Key);
    void Edit1Exit(QObject *Sender);
    void Edit2KeyPress(QObject *Sender, QChar &Key);
    void Edit2Exit(QObject *Sender);
    void BitBtn2Click(QObject *Sender);
    void BitBtn3Click(QObject *Sender);
    void SpeedButton3Click(QObject *Sender);
    void SpeedButton6Click(QObject *Sender);
    void SpeedButton7Click(QObject *Sender);
    void ComboBox1Change(QObject *Sender);

    // Window chrome, fold-out panel, About box and bar hints.
    void FormMouseDown(QObject *Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void FormMouseMove(QObject *Sender, Qt::KeyboardModifiers Shift, int X, int Y);
    void FormMouseUp(QObject *Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void Panel1MouseDown(QObject *Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void Panel1MouseMove(QObject *Sender, Qt::KeyboardModifiers Shift, int X, int Y);
    void Panel1MouseUp(QObject *Sender, Qt::MouseButton Button, Qt::KeyboardModifiers Shift, int X, int Y);
    void SpeedButton1Click(QObject *Sender);
    void SpeedButton2Click(QObject *Sender);
    void SpeedButton4Click(QObject *Sender);
    void SpeedButton5Click(QObject *Sender);
    void SpeedButton8Click(QObject *Sender);
    void iLedBar1MouseMove(QObject *Sender, Qt::KeyboardModifiers Shift, int X, int Y);
    void iLedBar2MouseMove(QObject *Sender, Qt::KeyboardModifiers Shift, int X, int Y);
    void iLedBar3MouseMove(QObject *Sender, Qt::KeyboardModifiers Shift, int X, int Y);

private:
    // One value the user sets by knob or by typing: frequency or level.
    struct TValueControls
    {
        widgets::TiKnob *Knob = nullptr;
        widgets::TiLedBar *Bar = nullptr;
        widgets::TiSevenSegmentAnalog *Display = nullptr;
        controls::TEdit *Edit = nullptr;
        QWidget *SetButton = nullptr;
        QWidget *ShowButton = nullptr;
        int32_t Limit = 0;
        const char16_t *BadEntryText = nullptr;
        int32_t TForm1::*Stored = nullptr;
        void (TForm1::*SendToGenerator)(int32_t) = nullptr;
    };

    void ApplyFoldOutChoices(bool RedrawPreview);
    void PlaybackDecision();
    void SendFrequency(int32_t Value);
    void SendLevel(int32_t Value);
    void KnobMoved(const TValueControls &Value);
    void ShowOnDisplays(const TValueControls &Value, double Position);
    bool ExitCheck(controls::TEdit *Edit, int32_t Limit, const QString &BadEntryText);
    void EntryExit(const TValueControls &Value);
    void SetFromEntry(const TValueControls &Value);
    bool ToggleEntry(const TValueControls &Value);
    void RestoreFullFrequencyRange();
    // The toolkit's whole-number conversion; a failure is reported in the standard error box.
    bool ConvertOrReport(const QString &Text, int32_t &Value);
    void ShowPreview(TPreviewWave Wave);
    void ShowNoisePreview();

    TValueControls FrequencyControls;
    TValueControls LevelControls;
};

// The application-wide main window, set while it exists.
extern TForm1 *Form1;

} // namespace app
