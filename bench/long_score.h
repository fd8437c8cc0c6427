#pragma once

#include "records/qe_document.h"

namespace qe::bench {

// Two tracks of `measures` measures each: eight eighth notes with octave dots here and there
// in the upper track, four quarters in the lower. 4200 measures fill 200 pages.
inline QeDocument longScore(int measures) {
    QeDocument doc;
    doc.initNew(u"Typing");
    doc.noteTracks().clear();
    for (int t = 0; t < 2; ++t) {
        note_track track;
        auto& items = track.content.items;
        for (int m = 0; m < measures; ++m) {
            if (t == 0) {
                for (int i = 0; i < 8; ++i)
                    items.emplace_back(0, 1 + (m + i) % 7, (m + i) % 5 == 0 ? 1 : 0, 1);
            } else {
                for (int i = 0; i < 4; ++i)
                    items.emplace_back(0, 1 + (m * 3 + i) % 7, i == 2 ? -1 : 0, 0);
            }
            items.push_back(note::barLine(0));
        }
        doc.noteTracks().push_back(std::move(track));
    }
    return doc;
}

// One syllable under every note of the score that a lyrics record can name (an item index
// fits 15 bits): a Chinese character in the upper track, a Latin syllable in the lower.
inline void addSyllableToEveryNote(QeDocument& doc) {
    auto& verses = doc.content.lyrics.items;
    verses.resize(2);
    for (std::size_t t = 0; t < 2 && t < doc.noteTracks().size(); ++t) {
        const auto& items = doc.noteTracks()[t].content.items;
        for (std::size_t i = 0; i < items.size() && i <= 0x7FFF; ++i) {
            if (items[i].isBarLine())
                continue;
            lyrics record;
            record.text = t == 0 ? std::u16string(1, char16_t(u'\u8309' + i % 40)) : u"la-";
            record.place = location(1, static_cast<std::int32_t>(t), static_cast<std::int16_t>(i));
            verses[t].content.items.push_back(record);
        }
    }
}

}  // namespace qe::bench
