// Widget property files on every widget class (the first byte picks it): a refused file says so
// with the load's own prefix and leaves the widget able to repaint; what a widget accepted it
// writes out again, and that file loads into a fresh widget to the same properties. The widget
// is painted afterwards, so values that upset the drawing show up too.
#include "core/Exception.h"
#include "layout/ClassRegistry.h"
#include "tests/fuzz/FuzzSupport.h"
#include "widgets/WidgetClasses.h"
#include "widgets/iComponent.h"
#include "widgets/iPropertyFile.h"

#include <QDir>
#include <QFile>
#include <QWidget>

#include <memory>

namespace {

const char *const kClasses[] = {"TiKnob",  "TiLedBar",  "TiSevenSegmentCharacter", "TiSevenSegmentAnalog",
                                "TiLabel", "TiGradient"};

std::unique_ptr<widgets::TiComponent> Make(const char *className)
{
    QObject *object = layout::CreateObject(QString::fromLatin1(className), nullptr);
    auto *widget = dynamic_cast<widgets::TiComponent *>(object);
    FUZZ_CHECK(widget != nullptr);
    return std::unique_ptr<widgets::TiComponent>(widget);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::StartApplication();
    widgets::RegisterWidgetClasses();
    // Seeds for the corpus from the widgets' own writer: SOUNDGEN_FUZZ_SEEDS=<folder>.
    const QString seeds = qEnvironmentVariable("SOUNDGEN_FUZZ_SEEDS");
    if (!seeds.isEmpty()) {
        for (size_t i = 0; i < std::size(kClasses); ++i) {
            std::unique_ptr<widgets::TiComponent> widget = Make(kClasses[i]);
            QFile file(QDir(seeds).filePath(QString::fromLatin1(kClasses[i])));
            FUZZ_CHECK(file.open(QIODevice::WriteOnly));
            file.write(QByteArray(1, char(i)) +
                       widgets::PropertyFileLines(widget.get(), true).join(u'\n').toUtf8());
        }
    }
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const char *className = kClasses[data[0] % std::size(kClasses)];
    const QByteArray file = fuzz::Bytes(data + 1, size - 1);
    std::unique_ptr<widgets::TiComponent> widget = Make(className);
    bool loaded = false;
    try {
        loaded = widget->LoadPropertiesFromData(file, QStringLiteral("fuzz.txt"));
    } catch (const core::Exception &e) {
        FUZZ_CHECK(e.Message().startsWith(QStringLiteral("Error Loading Properties - ")));
    }
    FUZZ_CHECK(!widget->UpdateLocked());
    if (loaded) {
        const QStringList saved = widgets::PropertyFileLines(widget.get(), true);
        std::unique_ptr<widgets::TiComponent> copy = Make(className);
        // A fresh widget applies the order-bound rules once (a direction that crosses orientation
        // swaps the size, a range clamps its current values), so the saved file is loaded twice.
        for (int pass = 0; pass < 2; ++pass) {
            bool reloaded = false;
            try {
                reloaded =
                    copy->LoadPropertiesFromData(saved.join(u'\n').toUtf8(), QStringLiteral("saved.txt"));
            } catch (const core::Exception &e) {
                std::fprintf(stderr, "%s\n", qPrintable(e.Message()));
            }
            FUZZ_CHECK(reloaded);
        }
        const QStringList again = widgets::PropertyFileLines(copy.get(), true);
        if (again != saved) {
            for (qsizetype i = 0; i < std::min(saved.size(), again.size()); ++i)
                if (saved[i] != again[i])
                    std::fprintf(stderr, "saved '%s', again '%s'\n", qPrintable(saved[i]),
                                 qPrintable(again[i]));
        }
        FUZZ_CHECK(again == saved);
    }
    // Painting a huge widget would only measure the allocator.
    if (qint64{widget->width()} * widget->height() <= 256 * 256)
        (void)widget->grab();
    return 0;
}
