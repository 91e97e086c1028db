#include "tonegen/Notes.h"

#include "core/WholeNumber.h"

#include <algorithm>
#include <cmath>

namespace tonegen {

namespace {

// Semitones above A of the letters A ... G.
constexpr int kLetterSemitone[7] = {0, 2, 3, 5, 7, 8, 10};

QString TrimmedUpper(const QString &text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    // Blanks and control characters both count as padding.
    while (first < last && text[first].unicode() <= u' ')
        ++first;
    while (last > first && text[last - 1].unicode() <= u' ')
        --last;
    QString result = text.mid(first, last - first);
    for (QChar &c : result)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - u'a' + u'A');
    return result;
}

} // namespace

int ParseNote(const QString &text, int32_t &octave)
{
    const QString s = TrimmedUpper(text);
    int32_t oct = octave;
    qsizetype pos = 0;
    int64_t note = 0;

    if (s.startsWith(u'N')) {
        note = core::ParseWholeNumber(QStringView(s).mid(1)).value_or(-1);
        if (note < 0 || note > 121)
            return 0;
        pos = s.size();
    } else {
        if (s.startsWith(u'O')) {
            if (s.size() < 2 || s[1] < u'0' || s[1] > u'9')
                return 0;
            oct = s[1].unicode() - u'0';
            pos = 2;
        } else {
            for (; pos < s.size() && (s[pos] == u'<' || s[pos] == u'>'); ++pos)
                oct = s[pos] == u'<' ? std::max(oct - 1, 0) : std::min(oct + 1, 9);
        }
        if (pos >= s.size() || s[pos] < u'A' || s[pos] > u'G')
            return 0;
        const char16_t letter = s[pos++].unicode();
        int semitone = kLetterSemitone[letter - u'A'];
        if (pos < s.size() && (s[pos] == u'+' || s[pos] == u'#')) {
            if (letter == u'B' || letter == u'E')
                return 0;
            ++semitone;
            ++pos;
        } else if (pos < s.size() && s[pos] == u'-') {
            if (letter == u'C' || letter == u'F')
                return 0;
            if (letter == u'A') {
                // A flat is G sharp, the top of the octave below.
                if (oct == 0)
                    return 0;
                --oct;
                semitone = 11;
            } else {
                --semitone;
            }
            ++pos;
        }
        note = semitone + 12 * int64_t{oct};
    }
    if (pos != s.size())
        return 0;

    octave = oct;
    const double hertz = 440.0 * std::pow(2.0, static_cast<double>(note - 48) / 12.0);
    const int frequency = static_cast<int>(std::trunc(hertz + 0.5));
    return frequency >= 20 && frequency <= 20000 ? frequency : 0;
}

} // namespace tonegen
