#include "edit/input_status.h"

#include <cmath>
#include <string>

namespace qe {

std::u16string accidentalText(int accidental) {
    static const char16_t* const kTexts[] = {u"正常", u"升号", u"倍升", u"降号", u"倍降", u"还原"};
    if (accidental >= 0 && accidental <= 5)
        return kTexts[accidental];
    const std::string number = std::to_string(accidental);
    return std::u16string(number.begin(), number.end());
}

std::u16string octaveText(int octave) {
    static const char16_t* const kTexts[] = {u"极低", u"超低", u"低音", u"中音",
                                             u"高音", u"超高", u"极高"};
    if (octave >= -3 && octave <= 3)
        return kTexts[octave + 3];
    const std::string number = std::to_string(octave);
    return std::u16string(number.begin(), number.end());
}

std::u16string durationText(int duration) {
    const auto value = static_cast<long>(4.0 * std::pow(2.0, duration));
    const std::string number = std::to_string(value);
    return std::u16string(number.begin(), number.end()) + u"分音";
}

}  // namespace qe
