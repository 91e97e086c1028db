// The program on the command line, run as a process: files against the generator's own image for
// the same settings, notes, bad input, unwritable paths, playing, and a damaged stored layout.
#include "app/CommandLine.h"
#include "tests/support/FakeSoundPlayer.h"
#include "tonegen/ToneGen.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <functional>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using tonegen::TToneGen;

struct Result
{
    bool finished = false;
    int status = -1;
    QByteArray out;
    QByteArray err;
};

QProcessEnvironment QuietEnvironment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("dummy"));
    return env;
}

// No sound system at all: SDL finds no driver of that name.
QProcessEnvironment SoundlessEnvironment()
{
    QProcessEnvironment env = QuietEnvironment();
    env.insert(QStringLiteral("SDL_AUDIODRIVER"), QStringLiteral("none-such"));
    env.insert(QStringLiteral("LC_ALL"), QStringLiteral("C.UTF-8"));
    return env;
}

Result RunProgram(const QStringList &arguments, const QProcessEnvironment &env = QuietEnvironment(),
                  int timeoutMs = 60000, const std::function<void()> &inChild = {})
{
    QProcess process;
    process.setProcessEnvironment(env);
    if (inChild)
        process.setChildProcessModifier(inChild);
    process.start(QStringLiteral(SOUNDGEN_PROGRAM), arguments);
    Result r;
    if (!process.waitForStarted(10000))
        return r;
    r.finished = process.waitForFinished(timeoutMs);
    if (!r.finished) {
        process.kill();
        process.waitForFinished();
    }
    r.status = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    r.out = process.readAllStandardOutput();
    r.err = process.readAllStandardError();
    return r;
}

QByteArray ReadAll(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The image TToneGen::ExportFile writes after `configure`, built with or without the envelope.
QByteArray Reference(const QString &dir, const std::function<bool(TToneGen &)> &configure)
{
    sound::ScopedFakeSoundPlayer fake;
    TToneGen gen;
    const bool envelope = configure(gen);
    EXPECT_TRUE(envelope ? gen.PrepareADSR() : gen.Prepare());
    const QString path = dir + QStringLiteral("/reference.wav");
    EXPECT_TRUE(gen.ExportFile(path));
    return ReadAll(path);
}

void Standard(TToneGen &g)
{
    // What the command line starts from: 440 Hz, 1 s, 16-bit stereo at 96000.
    g.SetFrequency(440);
    g.SetDuration(1000);
    g.SetStereo(true);
}

struct ExportCase
{
    const char *name;
    QStringList arguments;
    std::function<bool(TToneGen &)> configure; // true: built with the envelope
};

TEST(CommandLine, ExportEqualsTheGeneratorsImage)
{
    using G = TToneGen;
    const std::vector<ExportCase> cases = {
        {"defaults",
         {},
         [](G &g) {
             Standard(g);
             return false;
         }},
        {"mono 8-bit low rate square",
         {"--frequency", "1234", "--duration", "250", "--waveform", "square", "--bits", "8", "--channels",
          "1", "--rate", "44100"},
         [](G &g) {
             g.SetFrequency(1234);
             g.SetDuration(250);
             g.SetWaveform(G::tgSquare);
             g.SetResolution(G::tg8Bit);
             g.SetQuality(G::tgLoQ);
             return false;
         }},
        {"odd data size",
         {"--duration", "15", "--channels", "1", "--rate", "44100", "--waveform", "triangle"},
         [](G &g) {
             g.SetDuration(15);
             g.SetQuality(G::tgLoQ);
             g.SetWaveform(G::tgTriangle);
             return false;
         }},
        {"noise",
         {"--waveform", "NOISE", "--duration", "40"},
         [](G &g) {
             Standard(g);
             g.SetDuration(40);
             g.SetWaveform(G::tgNoise);
             return false;
         }},
        {"multiplied layers, the later of a repeated layer wins",
         {"--frequency", "300", "--duration", "120", "--layer", "1:30:square:1.5", "--layer",
          "8:20:sawtooth:2.25", "--layer", "3:90:noise:1", "--layer", "3:25:triangle:0.5"},
         [](G &g) {
             Standard(g);
             g.SetFrequency(300);
             g.SetDuration(120);
             g.SetAMParameter(G::tgAMLevel1, 30, 1.5f, G::tgSquare);
             g.SetAMParameter(G::tgAMLevel8, 20, 2.25f, G::tgSawtooth);
             g.SetAMParameter(G::tgAMLevel3, 25, 0.5f, G::tgTriangle);
             return false;
         }},
        {"absolute layers above 100 percent in all",
         {"--duration", "60", "--absolute-layers", "--layer", "2:60:sine:1000.7", "--layer",
          "5:60:square:333"},
         [](G &g) {
             Standard(g);
             g.SetDuration(60);
             g.SetAMUseMultiplier(false);
             g.SetAMParameter(G::tgAMLevel2, 60, 1000.7f, G::tgSine);
             g.SetAMParameter(G::tgAMLevel5, 60, 333.0f, G::tgSquare);
             return false;
         }},
        {"envelope",
         {"--duration", "200", "--envelope", "10:5:20:50:30", "--waveform", "sawtooth"},
         [](G &g) {
             Standard(g);
             g.SetDuration(200);
             g.SetWaveform(G::tgSawtooth);
             return true;
         }},
        {"envelope rescaled, 8-bit",
         {"--duration", "90", "--envelope", "60:60:0:77:0", "--bits", "8"},
         [](G &g) {
             Standard(g);
             g.SetDuration(90);
             g.SetResolution(G::tg8Bit);
             g.SetAttack(60);
             g.SetHold(60);
             g.SetDecay(0);
             g.SetSustain(77);
             g.SetRelease(0);
             return true;
         }},
        {"note with a layer on it",
         {"--note", "O3C#", "--duration", "80", "--layer", "4:40:sine:2"},
         [](G &g) {
             Standard(g);
             g.SetDuration(80);
             g.SetNote(QStringLiteral("O3C#"));
             g.SetAMParameter(G::tgAMLevel4, 40, 2.0f, G::tgSine);
             return false;
         }},
        {"pitch name to a hundredth of a hertz, two decimals, whole hertz written with decimals",
         {"--pitch", "c4", "--duration", "40"},
         [](G &g) {
             Standard(g);
             g.SetDuration(40);
             g.SetExactFrequency(261.63);
             return false;
         }},
        {"decimal frequency",
         {"--frequency", "1000.5", "--duration", "40"},
         [](G &g) {
             Standard(g);
             g.SetDuration(40);
             g.SetExactFrequency(1000.5);
             return false;
         }},
        {"whole hertz with decimals",
         {"--frequency", "523.00", "--duration", "40"},
         [](G &g) {
             Standard(g);
             g.SetDuration(40);
             g.SetFrequency(523);
             return false;
         }},
        {"linear sweep with a multiplied layer and the envelope",
         {"--sweep", "200.5:3000", "--sweep-scale", "linear", "--duration", "100", "--layer", "2:30:square:2",
          "--envelope", "10:5:20:50:30"},
         [](G &g) {
             Standard(g);
             g.SetDuration(100);
             g.SetSweep(tonegen::Sweep{200.5, 3000, false, 0.1});
             g.SetAMParameter(G::tgAMLevel2, 30, 2.0f, G::tgSquare);
             return true;
         }},
        {"brown noise, 8-bit",
         {"--waveform", "Brown", "--duration", "50", "--bits", "8"},
         [](G &g) {
             Standard(g);
             g.SetDuration(50);
             g.SetResolution(G::tg8Bit);
             g.SetWaveform(G::tgNoise);
             g.SetNoiseColour(tonegen::NoiseColour::Brown);
             return false;
         }},
        {"level and loop do not shape the file",
         {"--duration", "30", "--level", "10"},
         [](G &g) {
             Standard(g);
             g.SetDuration(30);
             return false;
         }},
    };
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    for (const ExportCase &c : cases) {
        const QString out = dir.filePath(QStringLiteral("out.wav"));
        QFile::remove(out);
        const Result r = RunProgram(QStringList{QStringLiteral("--export"), out} + c.arguments);
        ASSERT_TRUE(r.finished) << c.name;
        EXPECT_EQ(r.status, 0) << c.name << ": " << r.err.toStdString();
        EXPECT_TRUE(r.err.isEmpty()) << c.name << ": " << r.err.toStdString();
        const QByteArray expected = Reference(dir.path(), c.configure);
        const QByteArray actual = ReadAll(out);
        EXPECT_GT(expected.size(), 44 + 32) << c.name;
        EXPECT_TRUE(actual == expected)
            << c.name << ": " << actual.size() << " bytes against " << expected.size();
    }
}

TEST(CommandLine, NotesSetTheFrequency)
{
    const struct
    {
        const char *note;
        int frequency;
    } cases[] = {{"A", 440}, {"<A", 220},         {"O4C", 523}, {"c#", 554},
                 {"N0", 28}, {">>>>>>>A", 14080}, {"O4B-", 466}};
    QTemporaryDir dir;
    for (const auto &c : cases) {
        const QString out = dir.filePath(QStringLiteral("note.wav"));
        const Result r = RunProgram({"--note", c.note, "--duration", "50", "--export", out});
        EXPECT_EQ(r.status, 0) << c.note << ": " << r.err.toStdString();
        const QByteArray expected = Reference(dir.path(), [&c](TToneGen &g) {
            Standard(g);
            g.SetDuration(50);
            g.SetFrequency(c.frequency);
            return false;
        });
        EXPECT_TRUE(ReadAll(out) == expected) << c.note;
    }
}

TEST(CommandLine, BadInputSaysSoOnOneLineAndWritesNothing)
{
    const std::vector<QStringList> cases = {
        {"--bogus"},
        {"-x"},
        {"--frequency"},
        {"--frequency", "abc"},
        {"--frequency", "4.5"},
        {"--frequency", " 440"},
        {"--frequency", "19"},
        {"--frequency", "20001"},
        {"--frequency", "99999999999999999999"},
        {"--duration", "9"},
        {"--duration", "32768"},
        {"--waveform", "saw"},
        {"--bits", "24"},
        {"--channels", "0"},
        {"--rate", "48000"},
        {"--level", "101"},
        {"--level", "-1"},
        {"--note", "H"},
        {"--note", "B#"},
        {"--note", "N115"},
        {"--note", ""},
        {"--note", "A", "--frequency", "440"},
        {"--frequency", "1000.505"},
        {"--frequency", "1000."},
        {"--frequency", ".5"},
        {"--frequency", "19.99"},
        {"--frequency", "20000.01"},
        {"--pitch", "C0"},
        {"--pitch", "C#10"},
        {"--pitch", "H4"},
        {"--pitch", "A4", "--frequency", "440"},
        {"--sweep", "100"},
        {"--sweep", "100:20001"},
        {"--sweep", "10:1000"},
        {"--sweep", "100:1000", "--pitch", "A4"},
        {"--sweep", "100:1000", "--sweep-scale", "exp"},
        {"--sweep-scale", "log"},
        {"--waveform", "violet"},
        {"--layer", "1:10:pink:2"},
        {"--level", "50:"},
        {"--level", "50:101"},
        {"--layer", "0:10:sine:2"},
        {"--layer", "9:10:sine:2"},
        {"--layer", "x:10:sine:2"},
        {"--layer", "1:101:sine:2"},
        {"--layer", "1:-1:sine:2"},
        {"--layer", "1:10:wobble:2"},
        {"--layer", "1:10:sine:two"},
        {"--layer", "1:10:sine:0"},
        {"--layer", "1:10:sine:inf"},
        {"--layer", "1:10:sine:20001"},
        {"--layer", "1:10:sine"},
        {"--layer", "1:10:sine:2:3"},
        {"--envelope", "1:2:3:4"},
        {"--envelope", "10:5:20:50:101"},
        {"--envelope", "10:5:x:50:30"},
        {"--loop"},
        {"stray"},
    };
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("bad.wav"));
    for (const QStringList &arguments : cases) {
        const Result r = RunProgram(QStringList{QStringLiteral("--export"), out} + arguments);
        const std::string what = arguments.join(u' ').toStdString();
        EXPECT_EQ(r.status, 2) << what;
        EXPECT_TRUE(r.err.startsWith("soundgen: ")) << what << ": " << r.err.toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << what << ": " << r.err.toStdString();
        EXPECT_TRUE(r.out.isEmpty()) << what;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList()) << what;
    }
    // Nothing to do, and an empty file name.
    for (const QStringList &arguments : std::vector<QStringList>{{"--frequency", "500"}, {"--export", ""}}) {
        const Result r = RunProgram(arguments);
        EXPECT_EQ(r.status, 2) << arguments.join(u' ').toStdString();
        EXPECT_EQ(r.err.count('\n'), 1) << r.err.toStdString();
    }
}

TEST(CommandLine, UnwritableExportFailsWithStatusOneAndLeavesNoFile)
{
    QTemporaryDir dir;
    QFile plain(dir.filePath(QStringLiteral("plain")));
    ASSERT_TRUE(plain.open(QIODevice::WriteOnly));
    plain.close();
    QDir(dir.path()).mkdir(QStringLiteral("folder"));
    const QString cases[] = {dir.filePath(QStringLiteral("missing/out.wav")),
                             dir.filePath(QStringLiteral("plain/out.wav")),
                             dir.filePath(QStringLiteral("folder"))};
    for (const QString &path : cases) {
        const Result r = RunProgram({"--export", path, "--duration", "20"});
        EXPECT_EQ(r.status, 1) << path.toStdString();
        EXPECT_TRUE(r.err.startsWith("soundgen: cannot write ")) << r.err.toStdString();
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  (QStringList{"folder", "plain"}))
            << path.toStdString();
        EXPECT_EQ(QDir(dir.filePath(QStringLiteral("folder")))
                      .entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
                  QStringList());
    }

    // An existing file is replaced whole.
    const QString existing = dir.filePath(QStringLiteral("plain"));
    ASSERT_EQ(RunProgram({"--export", existing, "--duration", "20", "--channels", "1"}).status, 0);
    EXPECT_EQ(ReadAll(existing).size(), 44 + 2 * 1920 + 32);
}

TEST(CommandLine, HelpVersionAndNoDisplayNeeded)
{
    const Result help = RunProgram({"--help"});
    EXPECT_EQ(help.status, 0);
    for (const char *option :
         {"--export", "--play", "--loop", "--note", "--layer", "--envelope", "--level", "--absolute-layers",
          "--rate", "--bits", "--channels", "--waveform", "--duration"})
        EXPECT_TRUE(help.out.contains(option)) << option;
    const Result version = RunProgram({"--version"});
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.out, QByteArray("soundgen 4.0\n"));
    for (const char *option : {"--pitch", "--sweep", "--list-devices", "--device"})
        EXPECT_TRUE(help.out.contains(option)) << option;

    // No window system at all: a toolkit that wanted a display would abort here.
    QProcessEnvironment bare = QuietEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        bare.remove(QString::fromLatin1(name));
    bare.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("headless.wav"));
    const Result exported = RunProgram({"--export", out, "--duration", "10"}, bare);
    EXPECT_EQ(exported.status, 0) << exported.err.toStdString();
    EXPECT_EQ(ReadAll(out).size(), 44 + 3840 + 32);
    const Result played = RunProgram({"--play", "--duration", "100"}, bare);
    EXPECT_EQ(played.status, 0) << played.err.toStdString();
}

TEST(CommandLine, TimedPlayEndsByItselfAndLoopEndsOnInterrupt)
{
    QElapsedTimer clock;
    clock.start();
    const Result timed = RunProgram({"--play", "--duration", "400", "--level", "30"});
    EXPECT_TRUE(timed.finished);
    EXPECT_EQ(timed.status, 0) << timed.err.toStdString();
    EXPECT_GE(clock.elapsed(), 400) << "the sound plays out before the program ends";

    for (const int signal : {SIGINT, SIGTERM}) {
        QProcess process;
        process.setProcessEnvironment(QuietEnvironment());
        process.start(QStringLiteral(SOUNDGEN_PROGRAM), {"--play", "--loop", "--duration", "100"});
        ASSERT_TRUE(process.waitForStarted());
        EXPECT_FALSE(process.waitForFinished(700)) << "a loop keeps playing";
        ::kill(static_cast<pid_t>(process.processId()), signal);
        EXPECT_TRUE(process.waitForFinished(5000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit) << "stopped cleanly, not killed";
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    }
}

TEST(CommandLine, OnlyPlayingOpensTheSoundSystem)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("quiet.wav"));
    for (const QStringList &arguments :
         std::vector<QStringList>{{"--help"}, {"--version"}, {"--export", out, "--duration", "10"}}) {
        const Result r = RunProgram(arguments, SoundlessEnvironment());
        EXPECT_EQ(r.status, 0) << arguments.join(u' ').toStdString();
        EXPECT_EQ(r.err, QByteArray()) << arguments.join(u' ').toStdString();
    }
    // No sound system offers no devices; a listed device plays, an unknown one does not.
    const Result none = RunProgram({"--list-devices"}, SoundlessEnvironment());
    EXPECT_EQ(none.status, 0);
    EXPECT_EQ(none.out, QByteArray());
    const Result listed = RunProgram({"--list-devices"});
    ASSERT_EQ(listed.status, 0);
    ASSERT_TRUE(listed.out.endsWith('\n')) << "the dummy output offers its one device";
    const QString first = QString::fromUtf8(listed.out.left(listed.out.indexOf('\n')));
    EXPECT_EQ(RunProgram({"--play", "--duration", "50", "--device", first}).status, 0) << first.toStdString();
    EXPECT_EQ(RunProgram({"--play", "--duration", "50", "--device", "no such device"}).status, 1);

    // Without a device a play is a failure, whenever the device's answer comes.
    for (int run = 0; run < 5; ++run) {
        const Result r = RunProgram({"--play", "--duration", "50"}, SoundlessEnvironment());
        EXPECT_EQ(r.status, 1) << r.err.toStdString();
        EXPECT_TRUE(r.err.endsWith("soundgen: nothing played: no sound device\n")) << r.err.toStdString();
    }
}

TEST(CommandLine, PlaySetsEachChannelAndFailsWithoutADevice)
{
    const struct
    {
        const char *level;
        int left, right;
        bool output;
        int status;
    } cases[] = {{"30", 30, 30, true, 0},
                 {"0:100", 0, 100, true, 0},
                 {"75:20", 75, 20, true, 0},
                 {"50", 50, 50, false, 1}};
    sigset_t none;
    sigemptyset(&none);
    for (const auto &c : cases) {
        sound::ScopedFakeSoundPlayer fake;
        fake.player.output = c.output;
        const app::Parsed parsed =
            app::ParseArguments({"soundgen", "--play", "--duration", "20", "--level", c.level});
        TToneGen gen;
        app::Configure(gen, parsed.settings);
        ASSERT_TRUE(gen.Prepare());
        fake.player.clear();
        EXPECT_EQ(app::Play(gen, parsed.settings, none, fake.player), c.status) << c.level;
        const auto play = std::find_if(fake.player.calls.begin(), fake.player.calls.end(),
                                       [](const auto &call) { return call.what == "play"; });
        ASSERT_NE(play, fake.player.calls.begin()) << c.level;
        const auto volume = std::prev(play);
        ASSERT_EQ(volume->what, "setVolume") << c.level;
        EXPECT_EQ(volume->value & 0xFFFF, static_cast<uint32_t>(c.left * 65535 / 100)) << c.level;
        EXPECT_EQ(volume->value >> 16, static_cast<uint32_t>(c.right * 65535 / 100)) << c.level;
    }
    for (const char *bad : {"50:", ":50", "1:2:3", "50:101"})
        EXPECT_THROW(app::ParseArguments({"soundgen", "--play", "--level", bad}), app::UsageError) << bad;
}

TEST(CommandLine, ExportGoesToStandardOutputDevicesAndPipesDirectly)
{
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("file.wav"));
    const QStringList tone{"--duration", "30", "--waveform", "triangle"};
    ASSERT_EQ(RunProgram(QStringList{"--export", file} + tone).status, 0);
    const QByteArray bytes = ReadAll(file);

    const Result piped = RunProgram(QStringList{"--export", "-"} + tone);
    EXPECT_EQ(piped.status, 0) << piped.err.toStdString();
    EXPECT_TRUE(piped.out == bytes) << piped.out.size() << " bytes against " << bytes.size();

    const QString fifo = dir.filePath(QStringLiteral("fifo"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QByteArray received;
    std::thread reader([&] {
        QFile f(fifo);
        if (f.open(QIODevice::ReadOnly))
            received = f.readAll();
    });
    const Result intoFifo = RunProgram(QStringList{"--export", fifo} + tone);
    reader.join();
    EXPECT_EQ(intoFifo.status, 0) << intoFifo.err.toStdString();
    EXPECT_TRUE(received == bytes);

    // Device nodes reached through links in the folder: written to, never replaced.
    const struct
    {
        const char *device;
        int status;
        const char *cause;
    } devices[] = {{"/dev/null", 0, ""}, {"/dev/full", 1, "No space left on device"}};
    for (const auto &d : devices) {
        const QString link = dir.filePath(QStringLiteral("device"));
        QFile::remove(link);
        ASSERT_TRUE(QFile::link(QString::fromLatin1(d.device), link));
        const Result r = RunProgram(QStringList{"--export", link} + tone, SoundlessEnvironment());
        EXPECT_EQ(r.status, d.status) << d.device << r.err.toStdString();
        EXPECT_TRUE(r.err.contains(d.cause)) << r.err.toStdString();
        EXPECT_TRUE(QFileInfo(link).isSymLink()) << d.device;
        struct stat info;
        ASSERT_EQ(::stat(d.device, &info), 0);
        EXPECT_TRUE(S_ISCHR(info.st_mode)) << d.device;
    }
    EXPECT_EQ(
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot),
        (QStringList{"device", "fifo", "file.wav"}));
}

TEST(CommandLine, WriteErrorsNameTheirCause)
{
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("big.wav"));
    const Result limited =
        RunProgram({"--export", out, "--duration", "1000"}, SoundlessEnvironment(), 60000, [] {
            const rlimit limit{4096, 4096};
            ::setrlimit(RLIMIT_FSIZE, &limit);
        });
    EXPECT_EQ(limited.status, 1);
    EXPECT_TRUE(limited.err.contains("File too large")) << limited.err.toStdString();
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
              QStringList());

    const Result full = RunProgram({"--export", "/dev/full", "--duration", "10"}, SoundlessEnvironment());
    EXPECT_EQ(full.status, 1);
    EXPECT_TRUE(full.err.contains("No space left on device")) << full.err.toStdString();
}

TEST(CommandLine, FileNamesAreUsedByteForByte)
{
    QTemporaryDir dir;
    const QByteArray folder = QFile::encodeName(dir.path());
    const QByteArray names[] = {"caf\xe9 \xff.wav", "\xed\xa0\x80.wav", "plain \xc3\xa9.wav"};
    for (const QByteArray &name : names) {
        // Through the shell's printf: a QString argument could not carry these bytes.
        QString escaped = dir.path() + u'/';
        for (const char byte : name)
            escaped += QString::asprintf("\\0%03o", static_cast<unsigned char>(byte));
        QProcess shell;
        shell.setProcessEnvironment(QuietEnvironment());
        shell.start(QStringLiteral("/bin/sh"),
                    {"-c", "exec \"$0\" --duration 10 --export \"$(printf '%b' \"$1\")\"",
                     QStringLiteral(SOUNDGEN_PROGRAM), escaped});
        ASSERT_TRUE(shell.waitForFinished(60000));
        EXPECT_EQ(shell.exitCode(), 0) << shell.readAllStandardError().toStdString();
        struct stat info;
        ASSERT_EQ(::stat((folder + "/" + name).constData(), &info), 0) << name.toHex().toStdString();
        EXPECT_EQ(info.st_size, 44 + 3840 + 32);
        ::unlink((folder + "/" + name).constData());
    }
}

TEST(CommandLine, DamagedStoredTableStopsTheProgramWithTheReadersMessage)
{
    const QString source = qEnvironmentVariable("SOUNDGEN_SOURCE_DIR") + QStringLiteral("/resources");
    QTemporaryDir dir;
    for (const QString &name : QDir(source).entryList(QDir::Files))
        ASSERT_TRUE(QFile::copy(source + u'/' + name, dir.filePath(name)));
    QString layout = QString::fromUtf8(ReadAll(dir.filePath(QStringLiteral("Form1.layout"))));
    const QRegularExpression table(QStringLiteral("AMArrayData = \\{[0-9A-F\\s]*\\}"));
    ASSERT_TRUE(layout.contains(table));
    const int line = static_cast<int>(layout.left(layout.indexOf(table)).count(u'\n')) + 1;
    layout.replace(table, QStringLiteral("AMArrayData = {07000000000000000000000000000000}"));
    QFile file(dir.filePath(QStringLiteral("Form1.layout")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(layout.toUtf8());
    file.close();

    QProcessEnvironment env = QuietEnvironment();
    env.insert(QStringLiteral("SOUNDGEN_RESOURCES"), dir.path());
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
    const Result r = RunProgram({}, env, 30000);
    ASSERT_TRUE(r.finished) << "the window must not start with a half-read table";
    EXPECT_EQ(r.status, 1);
    EXPECT_TRUE(
        r.err.contains(QStringLiteral("Form1.layout:%1: AMArrayData: stream read error").arg(line).toUtf8()))
        << r.err.toStdString();
}

} // namespace
