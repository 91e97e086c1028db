// Stored layouts, whole files: the first byte picks the window the text is loaded into, the rest
// is the layout. A refused layout must leave no object behind; an accepted one must save and load
// back to the same text.
#include "app/LayoutClasses.h"
#include "app/Unit1.h"
#include "app/Unit2.h"
#include "controls/MessageBox.h"
#include "core/ComponentState.h"
#include "layout/LayoutReader.h"
#include "layout/LayoutWriter.h"
#include "tests/fuzz/FuzzSupport.h"

#include <QApplication>
#include <QWidget>

#include <memory>

namespace {

std::unique_ptr<controls::TForm> MakeForm(bool main)
{
    if (main)
        return std::make_unique<app::TForm1>();
    return std::make_unique<app::TForm2>();
}

bool AnyLoading(const QObject *root)
{
    if (auto *state = dynamic_cast<const core::ComponentState *>(root); state && state->isLoading())
        return true;
    for (const QObject *child : root->findChildren<QObject *>())
        if (auto *state = dynamic_cast<const core::ComponentState *>(child); state && state->isLoading())
            return true;
    return false;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::StartApplication();
    app::RegisterLayoutClasses();
    controls::setMessageBoxHook([](const controls::MessageBoxRequest &) { return 1; });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    const bool main = (data[0] & 1) == 0;
    const QByteArray text = fuzz::Bytes(data + 1, size - 1);
    const qsizetype windowsBefore = QApplication::topLevelWidgets().size();
    {
        std::unique_ptr<controls::TForm> form = MakeForm(main);
        const QObjectList childrenBefore = form->children();
        const QString nameBefore = form->objectName();
        const layout::LayoutResult result = layout::LoadLayoutText(form.get(), text, QStringLiteral("fuzz"));
        FUZZ_CHECK(!AnyLoading(form.get()));
        if (!result.ok) {
            FUZZ_CHECK(result.error.startsWith(QStringLiteral("fuzz")));
            FUZZ_CHECK(form->children() == childrenBefore);
            FUZZ_CHECK(form->objectName() == nameBefore);
        } else {
            // What was accepted is stored again as the writer has it, and reads back the same.
            const QString saved = layout::SaveLayout(form.get());
            std::unique_ptr<controls::TForm> copy = MakeForm(main);
            const layout::LayoutResult reloaded =
                layout::LoadLayoutText(copy.get(), saved, QStringLiteral("saved"));
            if (!reloaded.ok)
                std::fprintf(stderr, "%s\n", qPrintable(reloaded.error));
            FUZZ_CHECK(reloaded.ok);
            const QString again = layout::SaveLayout(copy.get());
            if (again != saved) {
                const QStringList a = saved.split(u'\n');
                const QStringList b = again.split(u'\n');
                for (qsizetype i = 0; i < std::min(a.size(), b.size()); ++i)
                    if (a[i] != b[i]) {
                        for (qsizetype k = std::max<qsizetype>(0, i - 12); k < i; ++k)
                            std::fprintf(stderr, "  %s\n", qPrintable(a[k]));
                        std::fprintf(stderr, "line %lld: '%s' then '%s'\n", static_cast<long long>(i + 1),
                                     qPrintable(a[i]), qPrintable(b[i]));
                        break;
                    }
            }
            FUZZ_CHECK(again == saved);
        }
    }
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    FUZZ_CHECK(QApplication::topLevelWidgets().size() == windowsBefore);
    return 0;
}
