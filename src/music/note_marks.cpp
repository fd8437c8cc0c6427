#include "music/note_marks.h"

#include <array>

namespace qe::music {

namespace {

constexpr std::array<const char*, 2> kReadAsStaccato{"staccatissimo", "spiccato"};
constexpr std::array<const char*, 1> kReadAsAccent{"strong-accent"};

// The stacking order is the engraver's: the dots and lines that shape a note's length nearest
// the digit, the accent above them, the fermata over everything.
constexpr std::array<NoteMark, 4> kMarks{{
    {articulation::kStaccato, "staccato", MarkFigure::Wedge, MarkSound::Shortened, "staccato",
     kReadAsStaccato, true, "跳音(&S)", "为插入点前的音符加上或去掉跳音记号\n跳音",
     "Ctrl+Shift+T"},
    {articulation::kTenuto, "tenuto", MarkFigure::Line, MarkSound::FullLength, "tenuto", {},
     true, "保持音(&N)", "为插入点前的音符加上或去掉保持音记号\n保持音", "Ctrl+Shift+N"},
    {articulation::kAccent, "accent", MarkFigure::Accent, MarkSound::Stressed, "accent",
     kReadAsAccent, true, "重音(&C)", "为插入点前的音符加上或去掉重音记号\n重音",
     "Ctrl+Shift+V"},
    {articulation::kFermata, "fermata", MarkFigure::Fermata, MarkSound::Held, "fermata", {},
     false, "延长记号(&F)", "为插入点前的音符加上或去掉延长记号\n延长记号", "Ctrl+Shift+F"},
}};

}  // namespace

std::span<const NoteMark> noteMarks() {
    return kMarks;
}

const NoteMark* noteMarkOf(std::uint32_t flag) {
    for (const NoteMark& mark : kMarks)
        if (mark.flag == flag)
            return &mark;
    return nullptr;
}

const NoteMark* noteMarkOfMusicXml(std::string_view element) {
    for (const NoteMark& mark : kMarks) {
        if (element == mark.musicXml)
            return &mark;
        for (const char* other : mark.alsoReadFrom)
            if (element == other)
                return &mark;
    }
    return nullptr;
}

std::uint32_t knownArticulations() {
    std::uint32_t all = 0;
    for (const NoteMark& mark : kMarks)
        all |= mark.flag;
    return all;
}

}  // namespace qe::music
