#pragma once

#include <string>
#include <vector>

#include "records/qe_document.h"

namespace qe::test {

// Adds a lyrics record naming item `item` of note track `track` to lyrics track `verse`
// (created as needed).
inline void addSyllable(QeDocument& doc, int verse, int track, int item, const std::u16string& text,
                        std::int16_t placeKind = 1) {
    auto& tracks = doc.content.lyrics.items;
    if (tracks.size() <= static_cast<std::size_t>(verse))
        tracks.resize(static_cast<std::size_t>(verse) + 1);
    lyrics record;
    record.text = text;
    record.place = location(placeKind, track, static_cast<std::int16_t>(item));
    tracks[static_cast<std::size_t>(verse)].content.items.push_back(record);
}

// The records of a lyrics track as "text@track:item" strings.
inline std::vector<std::string> syllablesOf(const QeDocument& doc, int verse) {
    std::vector<std::string> out;
    const auto& tracks = doc.content.lyrics.items;
    if (tracks.size() <= static_cast<std::size_t>(verse))
        return out;
    for (const lyrics& r : tracks[static_cast<std::size_t>(verse)].content.items) {
        std::string text;
        for (char16_t c : r.text)
            text += c < 0x80 ? static_cast<char>(c) : '?';
        out.push_back(text + "@" + std::to_string(r.place.trackIndex) + ":" +
                      std::to_string(r.place.itemIndex));
    }
    return out;
}

}  // namespace qe::test
