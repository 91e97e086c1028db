#include "app/CommandLine.h"
#include "app/LayoutClasses.h"
#include "app/SessionBus.h"
#include "app/StartupTimes.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "controls/Application.h"
#include "controls/MessageBox.h"
#include "sound/SdlSoundPlayer.h"
#include "sound/SoundPlayer.h"

#include <cstdio>
#include <optional>

int main(int argc, char **argv)
{
    app::StartupTimes times;
    // Sets the environment only, before anything can start the sound system or threads.
    app::AvoidSessionBusLauncher();
    // Shared-memory images cost the display connection a completion event and a wake-up per
    // repaint; the activity bar repaints a few pixels a hundred times a second, which a plain
    // image request carries for less. A user's own choice stays.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    // --no-ramps and --device are for the window too, so they are taken out before the arguments
    // choose the mode.
    const app::StartOptions start = app::TakeStartOptions(argc, argv);
    if (argc > 1)
        return app::RunCommandLine(argc, argv, start);
    // The sound output adjusts the environment, which is only safe before the toolkit starts threads.
    std::optional<sound::SdlSoundPlayer> chosen;
    if (!start.device.isEmpty()) {
        chosen.emplace(sound::SdlSoundPlayer::Output::Device, start.device.toStdString());
        sound::setSoundPlayer(&*chosen);
    }
    sound::SoundPlayer &player = sound::soundPlayer();
    if (!start.ramps)
        player.setRamps(false);
    times.Mark("sound");
    controls::TApplication Application(argc, argv);
    times.Mark("toolkit");
    Application.Initialize();
    times.Mark("fonts");
    controls::ShowDesignMessagesAsErrorBoxes();
    Application.setTitle(QStringLiteral("Звуковой генератор Версия 4.0. Приятной работы и чистого звука!"));
    app::RegisterLayoutClasses();
    if (!Application.CreateForm<app::TForm1>(QStringLiteral("Form1.layout")) ||
        !Application.CreateForm<app::TForm2>(QStringLiteral("Form2.layout"))) {
        std::fprintf(stderr, "soundgen: %s\n", qPrintable(Application.LastError()));
        return 1;
    }
    times.Mark("layouts");
    times.WatchFirstPaint(Application.MainForm());
    return Application.Run();
}
