#pragma once

#include "model/qanor_doc.h"

namespace qe::bench {

// Two tracks of `measures` measures each: eight eighth notes with octave dots here and there
// in the upper track, four quarters in the lower. 4200 measures fill 200 pages.
inline QanorDoc longScore(int measures) {
    QanorDoc doc;
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

}  // namespace qe::bench
