#include <QInputDialog>
#include <QKeyEvent>

#include "document/score_document.h"
#include "edit/note_extras.h"
#include "gui/score_view.h"
#include "gui/ui_text.h"
#include "gui/view_keys.h"
#include "music/note_marks.h"

namespace qe {

namespace {

const QString kNoNote = ui("插入点前没有音符。");

}  // namespace

void ScoreView::onTriplet() {
    tell(controller_.notes().toggleTuplet(3, 2),
         {{Refusal::None, "请先选中同一小节里要变为三连音的音符。"}});
    emit editStateChanged();
}

void ScoreView::onTuplet() {
    if (!controller_.hasSelection()) {
        emit statusMessage(ui("请先选中同一小节里要变为连音的音符。"));
        return;
    }
    struct Choice {
        const char* name;
        int actual;
        int normal;
    };
    static const Choice kChoices[] = {
        {"三连音（3 个音占 2 个音的时值）", 3, 2}, {"二连音（2 个音占 3 个音的时值）", 2, 3},
        {"四连音（4 个音占 3 个音的时值）", 4, 3}, {"五连音（5 个音占 4 个音的时值）", 5, 4},
        {"六连音（6 个音占 4 个音的时值）", 6, 4}, {"七连音（7 个音占 4 个音的时值）", 7, 4},
    };
    QStringList names;
    for (const Choice& c : kChoices)
        names << ui(c.name);
    bool ok = false;
    const QString chosen =
        QInputDialog::getItem(this, ui("连音"), ui("选中的音符变为："), names, 0, false, &ok);
    if (!ok)
        return;
    const Choice& c = kChoices[std::max<qsizetype>(0, names.indexOf(chosen))];
    tell(controller_.notes().toggleTuplet(c.actual, c.normal),
         {{Refusal::None, "连音只能用于同一小节里的音符。"}});
    emit editStateChanged();
}

void ScoreView::onToggleMark(std::uint32_t flag) {
    tell(controller_.notes().toggleArticulation(flag), {{Refusal::None, "插入点前没有音符。"}});
}

void ScoreView::addChordTone(int degree, bool below) {
    tell(controller_.notes().addChordTone(degree, below),
         {{Refusal::None, "插入点前没有可以加和弦音的音符。"}});
    emit editStateChanged();
}

namespace {

// Grace notes as typed: digits 1..7, each after an optional "#", "b" or "n" and before any
// "'" (an octave up) or "," (down), as in "#4 5 1'"; spaces are free. Nothing for anything
// else.
using TypedGrace = NoteCommands::TypedGrace;
std::optional<std::vector<TypedGrace>> graceDigits(const QString& text) {
    std::vector<TypedGrace> graces;
    int accidental = 0;
    for (QChar c : text) {
        if (c == QLatin1Char(' '))
            continue;
        if (c == QLatin1Char('#') || c == QLatin1Char('b') || c == QLatin1Char('n')) {
            if (accidental != 0)
                return std::nullopt;
            accidental = c == QLatin1Char('#') ? 1 : c == QLatin1Char('b') ? 3 : 5;
        } else if (c >= QLatin1Char('1') && c <= QLatin1Char('7')) {
            graces.push_back({c.unicode() - u'0', accidental, 0});
            accidental = 0;
        } else if ((c == QLatin1Char('\'') || c == QLatin1Char(',')) && !graces.empty() &&
                   accidental == 0) {
            graces.back().octaveShift += c == QLatin1Char('\'') ? 1 : -1;
        } else {
            return std::nullopt;
        }
    }
    if (graces.empty() || accidental != 0)
        return std::nullopt;
    return graces;
}

void addGraces(ScoreView& view, ScoreEditor& editor, bool after) {
    bool ok = false;
    const QString text = QInputDialog::getText(
        &view, after ? ui("后倚音") : ui("倚音"),
        ui("倚音的数字 1～7，可连写；前加 #、b、n 为升、降、还原，后加 ' 或 , 为高、低八度"
           "（如 56、#4、1'）："),
        QLineEdit::Normal, QString(), &ok);
    if (!ok)
        return;
    const std::optional<std::vector<TypedGrace>> graces = graceDigits(text);
    if (!graces) {
        emit view.statusMessage(ui("无法识别的倚音：%1").arg(text));
        return;
    }
    if (!editor.notes().addGraceNotes(*graces, after))
        emit view.statusMessage(ui("插入点前没有可以加倚音的音符。"));
}

}  // namespace

void ScoreView::onGraceBefore() {
    addGraces(*this, controller_, false);
    emit editStateChanged();
}

void ScoreView::onGraceAfter() {
    addGraces(*this, controller_, true);
    emit editStateChanged();
}

void ScoreView::onClearChordAndGraces() {
    if (!controller_.caret.valid())
        return;
    if (!noteBefore(controller_.score(), *controller_.caret.at)) {
        emit statusMessage(kNoNote);
        return;
    }
    // The editor refuses, changing nothing, when the note has neither.
    if (controller_.notes().clearTonesAndGraces())
        emit editStateChanged();
}

bool ScoreView::focusNextPrevChild(bool next) {
    if (lyrics_.active() || chords_.active())
        return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}

void ScoreView::onChordSymbols() {
    if (chords_.active() || !controller_.caret.valid())
        return;
    if (!chords_.begin()) {
        emit statusMessage(ui("插入点之后没有可以加和弦记号的音符。"));
        return;
    }
    showChordStep(ChordSymbolEntry::Step::Typed);
}

void ScoreView::showChordStep(ChordSymbolEntry::Step step) {
    if (chords_.put()) {
        doc_->contentChanged(&controller_);
        afterEdit();
    }
    switch (step) {
        case ChordSymbolEntry::Step::Ignored:
            // The note went from under the entry (an undo, an edit in another window).
            if (!chords_.active() && chordsShown_)
                break;
            return;
        case ChordSymbolEntry::Step::Unrecognised:
            emit statusMessage(
                ui("无法识别的和弦记号：%1").arg(QString::fromStdU16String(chords_.typed())));
            return;
        case ChordSymbolEntry::Step::Typed: {
            chordsShown_ = true;
            const std::u16string now = chords_.current();
            emit statusMessage(
                ui("和弦记号：%1▏%2（Tab 或空格放上并到下一个音符，Esc 结束）")
                    .arg(QString::fromStdU16String(chords_.typed()),
                         now.empty() ? QString()
                                     : ui("  现在是 %1").arg(QString::fromStdU16String(now))));
            emit editStateChanged();
            return;
        }
        case ChordSymbolEntry::Step::Finished:
            break;
    }
    chordsShown_ = false;
    emit statusMessage(ui("和弦记号输入结束。"));
    emit editStateChanged();
}

}  // namespace qe
