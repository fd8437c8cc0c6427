#pragma once

#include <memory>
#include <string>
#include <vector>

#include "draw/recording_gdi.h"
#include "edit/operate_interface.h"
#include "edit/qanor_view.h"
#include "edit/view_host.h"
#include "model/exception.h"
#include "model/qanor_doc.h"

namespace qe::test {

// A window for a view controller: layout on a recording surface, and a record of what the
// controller asked of the window.
class FakeHost : public ViewHost {
public:
    std::unique_ptr<BaseGDI> layoutSurface() override { return std::make_unique<RecordingGDI>(); }
    void placeCaret(const Rect& r) override {
        caretShown = true;
        caret = r;
    }
    void hideCaret() override { caretShown = false; }
    void captureMouse(bool c) override { captured = c; }
    void updateAllViews() override {
        ++updates;
        if (view)
            view->relayout();
    }
    void warn(const std::u16string& text, const std::u16string& caption) override {
        warnings.push_back(caption + u": " + text);
    }
    void setStatusTexts(const std::u16string& a, const std::u16string& o,
                        const std::u16string& d) override {
        status = {a, o, d};
        ++statusUpdates;
    }
    void invertRegion(const std::vector<Rect>& region) override { inversions.push_back(region); }

    QanorView* view = nullptr;
    bool caretShown = false;
    Rect caret;
    bool captured = false;
    int updates = 0;
    std::vector<std::u16string> warnings;
    std::vector<std::u16string> status;
    int statusUpdates = 0;
    std::vector<std::vector<Rect>> inversions;
};

// A document opened in a controller as the editor opens one: attached, laid out, the caret
// at the start.
struct Editor {
    explicit Editor(QanorDoc d, int mode = qeview::kPageMode) : doc(std::move(d)), view(&host) {
        host.view = &view;
        view.mode = mode;
        view.attachDocument(&doc);
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
    // The document as it would be saved now.
    QanorDoc& committed() {
        view.operations->commitToDocument(view.editTree());
        return doc;
    }
    std::vector<note>& track(int t = 0) {
        return committed().noteTracks()[static_cast<std::size_t>(t)].content.items;
    }
    Node* measure(int m, int t = 0) { return view.editTree().child(t)->child(m); }
    Node* element(int m, int e, int t = 0) { return measure(m, t)->child(e); }

    QanorDoc doc;
    FakeHost host;
    QanorView view;
};

}  // namespace qe::test
