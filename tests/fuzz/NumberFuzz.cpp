// The entry fields' whole-number conversion against the rule as the user is told it: the text is
// a whole number when it is an optional sign followed by one or more of the digits 0 to 9 and
// nothing else, and the number fits in 32 signed bits.
#include "app/Unit1.h"
#include "tests/fuzz/FuzzSupport.h"

#include <cstdint>
#include <optional>
#include <regex>
#include <string>

namespace {

std::optional<int32_t> Reference(const QString &text)
{
    const std::string utf8 = text.toStdString();
    static const std::regex kWholeNumber("[+-]?[0-9]+");
    if (!std::regex_match(utf8, kWholeNumber))
        return std::nullopt;
    // Leading zeros say nothing; more than ten digits never fit 32 bits.
    const bool negative = utf8[0] == '-';
    const size_t digitsFrom = utf8.find_first_of("0123456789");
    const size_t significant = utf8.find_first_not_of('0', digitsFrom);
    if (significant != std::string::npos && utf8.size() - significant > 10)
        return std::nullopt;
    const long long magnitude = std::stoll(utf8.substr(digitsFrom));
    const long long value = negative ? -magnitude : magnitude;
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
