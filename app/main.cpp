#include "app/CommandLine.h"
#include "app/LayoutClasses.h"
#include "app/SessionBus.h"
#include "app/StartupTimes.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "controls/Application.h"
#include "controls/MessageBox.h"
#include "sound/SoundPlayer.h"

#include <cstdio>
#include <cstring>

int main(int argc, char **argv)
{
    app::StartupTimes times;
    // --no-ramps is for the window too, so it is taken out before the arguments choose the mode.
    bool ramps = true;
    int kept = 1;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--no-ramps") == 0)
            ramps = false;
        else
            argv[kept++] = argv[i];
    }
    argc = kept;
    argv[argc] = nullptr;
    // Both adjust the environment, which is only safe before the toolkit starts threads.
    app::AvoidSessionBusLauncher();
    sound::SoundPlayer &player = sound::soundPlayer();
    if (!ramps)
        player.setRamps(false);
    times.Mark("sound");
    if (argc > 1)
        return app::RunCommandLine(argc, argv);
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
