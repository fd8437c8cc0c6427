#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "engrave/measure.h"
#include "engrave/page_view.h"
#include "engrave/recording_surface.h"
#include "records/doc_chunks.h"
#include "support/notation.h"

namespace qe {
namespace {

// The left edges of the small glyphs a measure draws for its grace notes (digits and
// accidentals), left to right, with the width each takes in the grace-note font.
struct GraceRow {
    std::vector<int> lefts;
    int glyphWidth = 0;
    int noteLeft = 0;  // of the first element of the measure: the note the graces lead to
};

GraceRow graceRowOf(const std::vector<GraceNote>& graces) {
    QeDocument doc = test::scoreOf({"1 2 3 4 |]"});
    test::changeExtra(doc, 0, 1, [&](NoteExtra& e) { e.graces = graces; });
    const auto score = test::scoreFrom(doc);
    PageView view;
    view.build(score.get());
    RecordingSurface g;
    view.rebuild(g);
    const Measure* m = view.linear.measureNode(0, 0);
    RecordingSurface drawn;
    m->ornaments().draw(drawn, m->format);
    GraceRow row;
    for (const DrawCall& call : drawn.callsOf("drawText"))
        row.lefts.push_back(call.args[0]);
    std::sort(row.lefts.begin(), row.lefts.end());
    drawn.setFont(m->format->font(kGraceNoteFont));
    const char16_t two = u'2';
    row.glyphWidth = drawn.textExtent(&two, 1).width;
    row.noteLeft = m->child(1)->style.x;
    return row;
}

TEST(GraceNotes, AccidentalsKeepRoomOfTheirOwnBeforeTheirDigits) {
    // A plain grace note, then a sharpened and a flattened one, before the second note.
    const GraceRow row =
        graceRowOf({{{2, 0, 0}, 1, false}, {{4, 0, 1}, 1, false}, {{6, 0, 3}, 1, false}});
    ASSERT_EQ(row.lefts.size(), 5u);  // three digits and two accidentals
    for (std::size_t i = 1; i < row.lefts.size(); ++i)
        EXPECT_GE(row.lefts[i], row.lefts[i - 1] + row.glyphWidth) << "glyph " << i;
    // The whole row still stands before its note.
    EXPECT_LE(row.lefts.back() + row.glyphWidth, row.noteLeft);
}

}  // namespace
}  // namespace qe
