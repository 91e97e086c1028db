#pragma once

#include <QStringView>

#include <cstdint>
#include <optional>

namespace core {

// A whole number as typed: an optional sign, then the decimal digits 0-9 and nothing else (no
// blanks around it), within 32 signed bits; nullopt for anything else.
std::optional<int32_t> ParseWholeNumber(QStringView text);

} // namespace core
