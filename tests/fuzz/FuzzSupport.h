#pragma once

// Shared by the fuzz targets: one headless application, a player that plays nothing, and a
// check that stops the run (libFuzzer keeps the input) when an invariant breaks.

#include "sound/SoundPlayer.h"

#include <QApplication>
#include <QByteArray>
#include <QString>

#include <cstdio>
#include <cstdlib>

#define FUZZ_CHECK(condition)                                                                                \
    do {                                                                                                     \
        if (!(condition)) {                                                                                  \
            std::fprintf(stderr, "invariant broken: %s (%s:%d)\n", #condition, __FILE__, __LINE__);          \
            std::abort();                                                                                    \
        }                                                                                                    \
    } while (0)

namespace fuzz {

// Offscreen, no sound device, Qt's warnings dropped (they would drown the fuzzer's output).
inline void StartApplication(bool silentPlayer = true)
{
    if (QCoreApplication::instance())
        return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("SDL_AUDIODRIVER", "dummy");
    qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &, const QString &message) {
        if (type == QtFatalMsg) {
            std::fprintf(stderr, "fatal: %s\n", message.toLocal8Bit().constData());
            std::abort();
        }
    });
    static int argc = 1;
    static char name[] = "fuzz";
    static char *argv[] = {name, nullptr};
    new QApplication(argc, argv);
    if (silentPlayer) {
        static sound::SilentSoundPlayer player;
        sound::setSoundPlayer(&player);
    }
}

inline QByteArray Bytes(const uint8_t *data, size_t size)
{
    return QByteArray(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
}

} // namespace fuzz
