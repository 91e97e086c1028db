#include "app/CommandLine.h"
#include "app/LayoutClasses.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "controls/Application.h"
#include "controls/MessageBox.h"
#include "framework/SoundPlayer.h"

#include <cstdio>

int main(int argc, char **argv)
{
    // The sound output adjusts the environment, which is only safe before the toolkit starts threads.
    framework::soundPlayer();
    if (argc > 1)
        return app::RunCommandLine(argc, argv);
    framework::TApplication Application(argc, argv);
    Application.Initialize();
    framework::ShowDesignMessagesAsErrorBoxes();
    Application.setTitle(QStringLiteral("Звуковой генератор Версия 4.0. Приятной работы и чистого звука!"));
    app::RegisterLayoutClasses();
    if (!Application.CreateForm<app::TForm1>(QStringLiteral("Form1.layout")) ||
        !Application.CreateForm<app::TForm2>(QStringLiteral("Form2.layout"))) {
        std::fprintf(stderr, "soundgen: %s\n", qPrintable(Application.LastError()));
        return 1;
    }
    return Application.Run();
}
