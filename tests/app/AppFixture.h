#pragma once

// A TForm1 built from its stored layout, shown and active, with the fake sound player and the
// message boxes recorded.

#include "app/LayoutClasses.h"
#include "app/Unit1.h"
#include "controls/Application.h"
#include "controls/MessageBox.h"
#include "layout/LayoutReader.h"
#include "sound/WavFormat.h"
#include "tests/common/TestMain.h"
#include "tests/support/FakeSoundPlayer.h"
#include "tonegen/ToneGen.h"
#include "widgets/iKnob.h"
#include "widgets/iLedBar.h"
#include "widgets/iSevenSegmentAnalog.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace apptest {

using tonegen::TToneGen;

inline constexpr uint StartIdle = 14680029;
inline constexpr uint StartPlaying = 8421504;
inline constexpr uint StopPlaying = 128;
inline constexpr uint White = 0xFFFFFF;
inline constexpr uint32_t LoopFlags = sound::SND_MEMORY | sound::SND_ASYNC | sound::SND_LOOP;
inline constexpr uint32_t OnceFlags = sound::SND_MEMORY | sound::SND_ASYNC;

inline void RegisterOnce()
{
    static bool done = false;
    if (!done) {
        app::RegisterLayoutClasses();
        done = true;
    }
}

inline uint ColorOf(QWidget *control)
{
    return control->property("Color").toUInt();
}

class Form1Test : public ::testing::Test
{
protected:
    void SetUp() override
    {
        RegisterOnce();
        controls::setMessageBoxHook([this](const controls::MessageBoxRequest &request) {
            boxes.push_back(request);
            return 1;
        });
        form = std::make_unique<app::TForm1>();
        const layout::LayoutResult result =
            layout::LoadLayout(form.get(), controls::ResourcePath(QStringLiteral("Form1.layout")));
        ASSERT_TRUE(result.ok) << result.error.toStdString();
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    void TearDown() override
    {
        form.reset();
        controls::setMessageBoxHook({});
    }

    std::vector<std::string> CallsSince(size_t first) const
    {
        const auto names = fake.player.callNames();
        return {names.begin() + std::min(first, names.size()), names.end()};
    }

    // A stop ends the calls and nothing played (idle volume changes reach the device at once).
    static bool StoppedOnly(const std::vector<std::string> &calls)
    {
        return !calls.empty() && calls.back() == "stop" &&
               std::find(calls.begin(), calls.end(), "play") == calls.end();
    }

    // Played once with the volume applied just before.
    static bool Started(const std::vector<std::string> &calls)
    {
        return calls.size() >= 2 && calls.back() == "play" && calls[calls.size() - 2] == "setVolume" &&
               std::count(calls.begin(), calls.end(), "play") == 1;
    }

    // Stopped first, then played once with the volume applied just before.
    static bool Restarted(const std::vector<std::string> &calls)
    {
        return calls.size() >= 3 && calls.front() == "stop" && Started(calls);
    }

    // Volume words written to the device since call `first`, in order.
    std::vector<uint32_t> VolumeWordsSince(size_t first) const
    {
        std::vector<uint32_t> words;
        for (size_t i = first; i < fake.player.calls.size(); ++i)
            if (fake.player.calls[i].what == "setVolume")
                words.push_back(fake.player.calls[i].value);
        return words;
    }

    // The image of the last play call as the device would hear it.
    struct Heard
    {
        int channels = 0;
        int bits = 0;
        double frequency = 0; // rising zero crossings of the first channel per second
    };
    Heard LastHeard() const
    {
        const std::vector<uint8_t> *image = nullptr;
        for (auto it = fake.player.calls.rbegin(); it != fake.player.calls.rend() && !image; ++it)
            if (it->what == "play")
                image = &it->image;
        Heard heard;
        const auto format = image ? sound::parseWav(image->data(), image->size()) : std::nullopt;
        if (!format)
            return heard;
        heard.channels = format->channels;
        heard.bits = format->bitsPerSample;
        const size_t frames = format->frames;
        int crossings = 0;
        int previous = 0;
        for (size_t i = 0; i < frames; ++i) {
            const uint8_t *s = image->data() + format->dataOffset + i * format->frameBytes();
            const int sample = heard.bits == 16 ? int(int16_t(s[0] | s[1] << 8)) : int(s[0]) - 128;
            if (i > 0 && previous < 0 && sample >= 0)
                ++crossings;
            previous = sample;
        }
        heard.frequency = frames ? crossings * double(format->rate) / double(frames) : 0;
        return heard;
    }

    // Flags of the last play call, 0 when nothing played.
    uint32_t LastPlayFlags() const
    {
        for (auto it = fake.player.calls.rbegin(); it != fake.player.calls.rend(); ++it)
            if (it->what == "play")
                return it->value;
        return 0;
    }

    void Click(QWidget *control) { QTest::mouseClick(control, Qt::LeftButton, {}, control->rect().center()); }

    void Keys(QWidget *control, Qt::Key key, int times = 1)
    {
        control->setFocus(Qt::TabFocusReason);
        for (int i = 0; i < times; ++i)
            QTest::keyClick(control, key);
    }

    // Focus leaves the duration field for the check box, as a click or Tab would move it.
    void LeaveEdit3() { form->CheckBox1->setFocus(Qt::TabFocusReason); }

    void TypeIntoEdit3(const QString &text)
    {
        form->Edit3->setFocus(Qt::TabFocusReason);
        form->Edit3->selectAll();
        QTest::keyClick(form->Edit3, Qt::Key_Backspace);
        QTest::keyClicks(form->Edit3, text);
    }

    sound::ScopedFakeSoundPlayer fake; // before the form: the generator reads the device at birth
    std::unique_ptr<app::TForm1> form;
    std::vector<controls::MessageBoxRequest> boxes;
};

} // namespace apptest
