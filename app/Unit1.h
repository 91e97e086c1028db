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

// The controls and components the handlers use: name in the stored layout, class, and whether the
// layout must hold it. The fields, the layout's completeness check and the binding come from here.
// The light buttons are used through Enabled, Color and their click only.
#define SOUNDGEN_FORM1_CONTROLS(X)                                                                           \
    X(LbButton1, QWidget, true)                                                                              \
    X(LbButton2, QWidget, true)                                                                              \
    X(iKnob1, widgets::TiKnob, true)                                                                         \
    X(iKnob2, widgets::TiKnob, true)                                                                         \
    X(iLedBar1, widgets::TiLedBar, true)                                                                     \
    X(iLedBar2, widgets::TiLedBar, true)                                                                     \
    X(iLedBar3, widgets::TiLedBar, true)                                                                     \
    X(iSevenSegmentAnalog1, widgets::TiSevenSegmentAnalog, true)                                             \
    X(iSevenSegmentAnalog2, widgets::TiSevenSegmentAnalog, true)                                             \
    X(Edit1, controls::TEdit, true)                                                                          \
    X(Edit2, controls::TEdit, true)                                                                          \
    X(Edit3, controls::TEdit, true)                                                                          \
    X(CheckBox1, QAbstractButton, true)                                                                      \
    X(RadioButton1, QAbstractButton, true)                                                                   \
    X(RadioButton2, QAbstractButton, true)                                                                   \
    X(RadioButton3, QAbstractButton, true)                                                                   \
    X(RadioButton4, QAbstractButton, true)                                                                   \
    X(RadioButton5, QAbstractButton, true)                                                                   \
    X(RadioButton6, QAbstractButton, true)                                                                   \
    X(RadioButton7, QAbstractButton, true)                                                                   \
    X(RadioButton8, QAbstractButton, true)                                                                   \
    X(RadioButton9, QAbstractButton, true)                                                                   \
    X(Bevel3, QWidget, true)                                                                                 \
    X(SpeedButton3, QWidget, true)                                                                           \
    X(SpeedButton5, QWidget, true)                                                                           \
    X(SpeedButton6, QWidget, true)                                                                           \
    X(SpeedButton7, QWidget, true)                                                                           \
    X(BitBtn2, QWidget, true)                                                                                \
    X(BitBtn3, QWidget, true)                                                                                \
    X(Panel5, QWidget, true)                                                                                 \
    X(ComboBox1, controls::TComboBox, true)                                                                  \
    X(Image2, controls::TImage, true)                                                                        \
    X(Image3, controls::TImage, true)                                                                        \
    X(Timer1, controls::TTimer, true)                                                                        \
    X(ToneGen1, tonegen::TToneGen, true)

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

    // Controls and components the handlers use, bound by name after loading.
#define SOUNDGEN_FORM1_FIELD(Name, Class, Required) Class *Name = nullptr;
    SOUNDGEN_FORM1_CONTROLS(SOUNDGEN_FORM1_FIELD)
#undef SOUNDGEN_FORM1_FIELD

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
