#include "hints/sConst.h"

namespace hints {

bool MarkupColorByName(const QString &upperName, canvas::TColor &color)
{
    static const struct
    {
        const char *name;
        canvas::TColor color;
    } names[] = {
        {"AQUA", 16776960},   {"BLACK", 0},      {"BLUE", 16711680},  {"FUCHSIA", 16711935},
        {"GRAY", 8421504},    {"GREEN", 32768},  {"LIME", 65280},     {"MAROON", 128},
        {"NAVY", 8388608},    {"OLIVE", 32896},  {"PURPLE", 8388736}, {"RED", 255},
        {"SILVER", 12632256}, {"TEAL", 8421376}, {"WHITE", 16777215}, {"YELLOW", 65535},
    };
    for (const auto &entry : names) {
        if (upperName == QLatin1String(entry.name)) {
            color = entry.color;
            return true;
        }
    }
    return false;
}

} // namespace hints
