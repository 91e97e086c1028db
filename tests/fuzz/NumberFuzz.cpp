// The entry fields' whole-number conversion against a plain reading of the rule: an optional
// sign, ASCII digits only, the value within 32 bits, nothing around it.
#include "app/Unit1.h"
#include "tests/fuzz/FuzzSupport.h"

#include <cstdint>
#include <optional>

namespace {

std::optional<int32_t> Reference(const QString &text)
{
    qsizetype i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-'))
        negative = text[i++] == u'-';
    if (i == text.size())
        return std::nullopt;
    int64_t value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + (c - u'0');
        if (value > int64_t{INT32_MAX} + 1)
            return std::nullopt;
    }
    value = negative ? -value : value;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<int32_t>(value);
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***)
{
    fuzz::StartApplication(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString text =
        QString::fromUtf8(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    int32_t value = 12345;
    const bool ok = app::TextToInt(text, value);
    const std::optional<int32_t> expected = Reference(text);
    if (ok != expected.has_value())
        std::fprintf(stderr, "'%s': conversion %s, reference %s\n", qPrintable(text),
                     ok ? "accepts" : "refuses", expected ? "accepts" : "refuses");
    FUZZ_CHECK(ok == expected.has_value());
    FUZZ_CHECK(ok ? value == *expected : value == 12345);
    return 0;
}
