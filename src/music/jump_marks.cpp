#include "music/jump_marks.h"

#include <array>

#include "records/extension.h"

namespace qe::music {

namespace {

constexpr std::array<JumpMark, 8> kJumps{{
    {jump::kSegno, "segno", nullptr, nullptr, nullptr},
    {jump::kCoda, "coda", nullptr, nullptr, nullptr},
    {jump::kFine, "fine", u"Fine", "fine", "yes"},
    {jump::kToCoda, "toCoda", u"To Coda", "tocoda", "coda"},
    {jump::kDaCapo, "daCapo", u"D.C.", "dacapo", "yes"},
    {jump::kDalSegno, "dalSegno", u"D.S.", "dalsegno", "segno"},
    {jump::kAlFine, "alFine", u"al Fine", nullptr, nullptr},
    {jump::kAlCoda, "alCoda", u"al Coda", nullptr, nullptr},
}};

}  // namespace

std::span<const JumpMark> jumpMarks() {
    return kJumps;
}

const JumpMark* jumpMarkOf(std::uint32_t flag) {
    for (const JumpMark& j : kJumps)
        if (j.flag == flag)
            return &j;
    return nullptr;
}

std::u16string jumpWords(std::uint32_t jumps) {
    std::u16string words;
    const auto add = [&](std::u16string_view w) {
        if (!words.empty())
            words += u"  ";
        words += w;
    };
    for (std::uint32_t flag : {jump::kFine, jump::kToCoda})
        if (jumps & flag)
            add(jumpMarkOf(flag)->words);
    if (jumps & (jump::kDaCapo | jump::kDalSegno)) {
        // D.S. wins over D.C., al Fine over al Coda: a mark holds one jump back.
        std::u16string back = jumpMarkOf(jumps & jump::kDalSegno ? jump::kDalSegno : jump::kDaCapo)->words;
        if (jumps & (jump::kAlFine | jump::kAlCoda))
            back += std::u16string(u" ") +
                    jumpMarkOf(jumps & jump::kAlFine ? jump::kAlFine : jump::kAlCoda)->words;
        add(back);
    }
    return words;
}

}  // namespace qe::music
