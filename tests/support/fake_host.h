#pragma once

#include <memory>
#include <string>
#include <vector>

#include "base/exception.h"
#include "edit/score_editor.h"
#include "edit/score_session.h"
#include "edit/view_host.h"
#include "engrave/measure.h"
#include "engrave/recording_surface.h"
#include "records/qe_document.h"

namespace qe::test {

// A window for an editor: layout on a recording surface, and a record of what the editor
// asked of the window.
class FakeHost : public ViewHost {
public:
    std::unique_ptr<Surface> layoutSurface() override {
        return std::make_unique<RecordingSurface>();
    }
    void placeCaret(const Rect& r) override {
        caretShown = true;
        caret = r;
    }
    void hideCaret() override { caretShown = false; }
    void captureMouse(bool c) override { captured = c; }
    void scoreEdited() override {
        ++updates;
        // The other windows lay themselves out; a score too wide for their lines is theirs to
        // warn about.
        for (ScoreEditor* other : others) {
            try {
                other->relayout();
            } catch (const Exception& e) {
                if (e.code != kLayoutOverflow)
                    throw;
            }
        }
    }
    void layoutChanged() override { ++repaints; }
    void warn(const std::u16string& text, const std::u16string& caption) override {
        warnings.push_back(caption + u": " + text);
    }
    void setStatusTexts(const std::u16string& a, const std::u16string& o,
                        const std::u16string& d) override {
        status = {a, o, d};
        ++statusUpdates;
    }
    void repaintRegion(const std::vector<Rect>& region) override { inversions.push_back(region); }

    ScoreEditor* view = nullptr;
    // Further views on the same score, laid out again with this one.
    std::vector<ScoreEditor*> others;
    bool caretShown = false;
    Rect caret;
    bool captured = false;
    int updates = 0;
    int repaints = 0;
    std::vector<std::u16string> warnings;
    std::vector<std::u16string> status;
    int statusUpdates = 0;
    std::vector<std::vector<Rect>> inversions;
};

// A score opened in an editor as the window opens one: attached, laid out, the caret at the
// start.
// The selection of an editor as copied, and as cut (empty when refused).
inline Fragment copied(const ScoreEditor& editor) {
    Fragment fragment;
    editor.copySelection(fragment);
    return fragment;
}
inline Fragment cutOut(ScoreEditor& editor) {
    Fragment fragment;
    editor.cutSelection(fragment);
    return fragment;
}

struct Editor {
    explicit Editor(const QeDocument& d, int mode = ScoreEditor::kPageMode) : view(&host) {
        report = session.load(d);
        host.view = &view;
        view.setMode(mode);
        view.attach(&session);
        try {
            view.relayout();
        } catch (const Exception& e) {
            // A score too wide for its lines opens all the same, as in the editor.
            if (e.code != kLayoutOverflow)
                throw;
        }
    }
    void type(const std::u32string& keys) {
        for (char32_t k : keys)
            view.onChar(k);
    }
    // The records a save would write now.
    QeDocument& committed() {
        saved = session.records();
        return saved;
    }
    std::vector<note>& track(int t = 0) {
        return committed().noteTracks()[static_cast<std::size_t>(t)].content.items;
    }
    music::Score& score() { return session.score; }
    ScoreHistory& history() { return session.history; }

    // Stop `e` of measure `m` (its element count for the measure's end), as a caret position.
    Position at(int m, int e, int t = 0) { return positionAt(session.score, t, m, e); }
    Position end(int m, int t = 0) { return endOf(session.score, t, m); }
    void caretAt(int m, int e, int t = 0) { view.setCaret(at(m, e, t)); }
    void caretAtEnd(int m, int t = 0) { view.setCaret(end(m, t)); }

    // The layout's nodes, for what is shown.
    LinearView& tracks() { return view.layout().tracks(); }
    Measure* measure(int m, int t = 0) { return tracks().measureNode(t, m); }
    Node* element(int m, int e, int t = 0) { return measure(m, t)->child(e); }

    ScoreSession session;
    music::LoadReport report;
    QeDocument saved;
    FakeHost host;
    ScoreEditor view;
};

}  // namespace qe::test
