#pragma once

// A TForm1 built from its stored layout, shown and active, with the fake sound player and the
// message boxes recorded.

#include "app/StandIns.h"
#include "app/Unit1.h"
#include "controls/Application.h"
#include "controls/MessageBox.h"
#include "framework/LayoutReader.h"
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
#include <string>
#include <vector>

namespace apptest {

inline constexpr uint StartIdle = 14680029;
inline constexpr uint StartPlaying = 8421504;
inline constexpr uint StopPlaying = 128;
inline constexpr uint White = 0xFFFFFF;
inline constexpr uint32_t LoopFlags = framework::SND_MEMORY | framework::SND_ASYNC | framework::SND_LOOP;
inline constexpr uint32_t OnceFlags = framework::SND_MEMORY | framework::SND_ASYNC;

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
        framework::setMessageBoxHook([this](const framework::MessageBoxRequest &request) {
            boxes.push_back(request);
            return 1;
        });
        form = std::make_unique<app::TForm1>();
        const framework::LayoutResult result =
            framework::LoadLayout(form.get(), framework::ResourcePath(QStringLiteral("Form1.layout")));
        ASSERT_TRUE(result.ok) << result.error.toStdString();
        form->show();
        QApplication::setActiveWindow(form.get());
        ASSERT_TRUE(QTest::qWaitForWindowActive(form.get()));
    }

    void TearDown() override
    {
        form.reset();
        framework::setMessageBoxHook({});
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

    // Stopped first, then played once with the volume applied just before.
    static bool Restarted(const std::vector<std::string> &calls)
    {
        return calls.size() >= 3 && calls.front() == "stop" && calls.back() == "play" &&
               calls[calls.size() - 2] == "setVolume" && std::count(calls.begin(), calls.end(), "play") == 1;
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

    framework::ScopedFakeSoundPlayer fake; // before the form: the generator reads the device at birth
    std::unique_ptr<app::TForm1> form;
    std::vector<framework::MessageBoxRequest> boxes;
};

} // namespace apptest
