#include <gtest/gtest.h>

#include <climits>

#include "base/exception.h"
#include "records/memory_io.h"
#include "support/fake_host.h"
#include "support/notation.h"

namespace qe {
namespace {

// Page sizes, margins and fonts come straight from the file; the layout must keep its sums in
// range whatever they hold, and the document must still save what it read.
TEST(HostileSettings, ExtremeSizesLayOutPaintAndSaveUnchanged) {
    const auto cases = std::vector<std::function<void(format_track_header&)>>{
        [](format_track_header& f) { f.marginTop = INT_MAX; },
        [](format_track_header& f) {
            f.pageWidth = 0x7ffffff0;
            f.marginRight = -0x7ffffff0;
        },
        [](format_track_header& f) { f.pageHeight = INT_MIN; },
        [](format_track_header& f) { f.fonts[kNoteFont].logFont.width = 0x40000000; },
        [](format_track_header& f) { f.fonts[kNoteFont].logFont.height = INT_MIN; },
        [](format_track_header& f) { f.fonts[kBarLineFont].logFont.height = INT_MAX; },
        [](format_track_header& f) { f.fonts[kTitleFont].logFont.height = INT_MIN; },
        [](format_track_header& f) { f.fonts[kSubtitleFont].logFont.width = INT_MIN; },
    };
    for (std::size_t i = 0; i < cases.size(); ++i) {
        QeDocument doc = test::scoreOf({"1 2 3 | 4 5 |"});
        doc.header.subtitle = u"sub";
        test::addFormat(doc, 1, 0, 0, 1);
        cases[i](doc.formatSettings());
        const format_track_header stored = doc.formatSettings();
        test::Editor ed(std::move(doc));
        ed.type(U"k5\r6");
        RecordingSurface all(0, 0, INT_MIN / 2, INT_MAX / 2, INT_MAX / 2, INT_MIN / 2, false);
        ed.view.paintAll(all);
        RecordingSurface page(0, 0, 0, 0, 11906, -16838, false);
        ed.view.paintPage(page, 0);
        ed.view.setMode(ScoreEditor::kScrollMode);
        ed.view.relayout();
        QeDocument& saved = ed.committed();
        EXPECT_EQ(saved.formatSettings().pageWidth, stored.pageWidth) << i;
        EXPECT_EQ(saved.formatSettings().marginTop, stored.marginTop) << i;
        EXPECT_EQ(saved.formatSettings().fonts[kNoteFont], stored.fonts[kNoteFont]) << i;
        EXPECT_EQ(saved.noteTracks()[0].content.items, test::parseTrack("5_ | 6_ 1 2 3 | 4 5 |"))
            << i;
    }
}

}  // namespace
}  // namespace qe
