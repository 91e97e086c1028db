#include "tonegen/PitchNames.h"

#include <cmath>

namespace tonegen {

std::optional<double> PitchFrequency(const QString &name)
{
    static constexpr int kSemitoneOfLetter[] = {9, 11, 0, 2, 4, 5, 7}; // A B C D E F G
    if (name.isEmpty())
        return std::nullopt;
    const char16_t letter = name[0].toUpper().unicode();
    if (letter < u'A' || letter > u'G')
        return std::nullopt;
    int semitone = kSemitoneOfLetter[letter - u'A'];
    qsizetype i = 1;
    if (i < name.size()) {
        const char16_t sign = name[i].unicode();
        if (sign == u'#' || sign == u'\u266F') {
            ++semitone;
            ++i;
        } else if (sign == u'b' || sign == u'\u266D') {
            --semitone;
            ++i;
        }
    }
    const QStringView octaveText = QStringView(name).mid(i);
    int octave = 0;
    if (octaveText == u"-1")
        octave = -1;
    else if (octaveText.size() == 1 && octaveText[0] >= u'0' && octaveText[0] <= u'9')
        octave = octaveText[0].unicode() - u'0';
    else
        return std::nullopt;
    // Semitones from A4, MIDI-style: C-1 is key 0, A4 key 69.
    const int key = (octave + 1) * 12 + semitone;
    return 440.0 * std::exp2((key - 69) / 12.0);
}

} // namespace tonegen
