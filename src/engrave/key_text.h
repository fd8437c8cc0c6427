#pragma once

#include <vector>

#include "engrave/text.h"

namespace qe {

// The key and time signature at the head of a score: "1=", an optional sharp or flat, the key
// letter, then the time signature as a stacked fraction.
class KeyText : public Node {
public:
    KeyText(const format_track_header* format, int keyAccidental, int keyLetter, int timeNumerator,
            int timeDenominator, Node* parent);
    KeyText(const KeyText& other);
    KeyText& operator=(const KeyText&) = delete;

    // Throws kWrongKind without format settings.
    void arrange(Surface& g) override;
    void draw(Surface& g) const override;

    enum Part { kKeyPrefix = 0, kLetter = 1, kNumerator = 2, kDenominator = 3, kAccidental = 4 };

    std::vector<Text> parts;
    int fractionWidth = 0;
    int gap = 72;       // between the key letter and the fraction
    int keyAccidental;  // 0 none, 1 sharp, 2 flat
    int keyLetter;      // 0..6 = A..G
    int timeNumerator;
    int timeDenominator;
    // Free meter: the key alone, with no fraction after it.
    bool freeMeter = false;
};

}  // namespace qe
