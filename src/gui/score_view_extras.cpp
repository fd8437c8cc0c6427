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
    if (!controller_.hasSelection() || !controller_.toggleTuplet(3, 2))
        emit statusMessage(ui("请先选中同一小节里要变为三连音的音符。"));
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
    if (!controller_.toggleTuplet(c.actual, c.normal))
        emit statusMessage(ui("连音只能用于同一小节里的音符。"));
    emit editStateChanged();
}

void ScoreView::onFermata() {
    if (!controller_.toggleArticulation(articulation::kFermata))
        emit statusMessage(kNoNote);
}

void ScoreView::onStaccato() {
    if (!controller_.toggleArticulation(articulation::kStaccato))
        emit statusMessage(kNoNote);
}

void ScoreView::onAccent() {
    if (!controller_.toggleArticulation(articulation::kAccent))
        emit statusMessage(kNoNote);
}

namespace {

// Grace notes as typed: digits 1..7, each after an optional "#", "b" or "n" and before any
// "'" (an octave up) or "," (down), as in "#4 5 1'"; spaces are free. Nothing for anything
// else.
using TypedGrace = ScoreEditor::TypedGrace;
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
    if (!editor.addGraceNotes(*graces, after))
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
    if (controller_.clearTonesAndGraces())
        emit editStateChanged();
}

bool ScoreView::focusNextPrevChild(bool next) {
    if (lyrics_.active() || chord_.active)
        return false;
    return QAbstractScrollArea::focusNextPrevChild(next);
}

void ScoreView::onChordSymbols() {
    if (chord_.active || !controller_.caret.valid())
        return;
    const Position& caret = *controller_.caret.at;
    const std::optional<music::EntryRef> note = noteFrom(controller_.score(), caret);
    if (!note) {
        emit statusMessage(ui("插入点之后没有可以加和弦记号的音符。"));
        return;
    }
    chord_ = ChordEntry{true, caret.track, *note, QString()};
    showChordEntry();
}

void ScoreView::showChordEntry() {
    // The caret stands before the note the symbol goes on.
    controller_.setCaret(Position{chord_.track, chord_.note.measure, chord_.note.entry, false});
    controller_.placeSystemCaret();
    const std::u16string now =
        controller_.score().entry(chord_.track, chord_.note).extras().chordSymbol;
    emit statusMessage(
        ui("和弦记号：%1▏%2（Tab 或空格放上并到下一个音符，Esc 结束）")
            .arg(chord_.typed,
                 now.empty() ? QString() : ui("  现在是 %1").arg(QString::fromStdU16String(now))));
    emit editStateChanged();
}

void ScoreView::leaveChordEntry() {
    chord_ = ChordEntry{};
    emit statusMessage(ui("和弦记号输入结束。"));
    emit editStateChanged();
}

bool ScoreView::commitChordSymbol(bool next) {
    // Nothing typed leaves the note as it is.
    if (!chord_.typed.trimmed().isEmpty()) {
        if (!controller_.setChordSymbolAt(chord_.track, chord_.note, chord_.typed.toStdU16String())) {
            emit statusMessage(ui("无法识别的和弦记号：%1").arg(chord_.typed));
            return false;
        }
        doc_->contentChanged(&controller_);
        afterEdit();
    }
    chord_.typed.clear();
    if (!next)
        return true;
    const std::optional<music::EntryRef> after =
        noteAfter(controller_.score(), chord_.track, chord_.note);
    if (!after) {
        leaveChordEntry();
        return true;
    }
    chord_.note = *after;
    showChordEntry();
    return true;
}

bool ScoreView::chordKey(QKeyEvent* event) {
    // The note may have gone (an undo, an edit in another window): the entry ends.
    if (!controller_.score().isContentItem(chord_.track, chord_.note)) {
        leaveChordEntry();
        return false;
    }
    if (const ChordKey* key = chordKeyOf(event->key())) {
        switch (key->act) {
            case ChordKey::Act::Next:
                commitChordSymbol(true);
                break;
            case ChordKey::Act::Backspace:
                chord_.typed.chop(1);
                showChordEntry();
                break;
            case ChordKey::Act::Leave:
                if (event->key() == Qt::Key_Escape || commitChordSymbol(false))
                    leaveChordEntry();
                break;
        }
        return true;
    }
    const Qt::KeyboardModifiers commands = Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier;
    if (event->text().isEmpty() || (event->modifiers() & commands))
        return false;
    if (chord_.typed.size() < static_cast<qsizetype>(extension::kLongestChordSymbol))
        chord_.typed += event->text();
    showChordEntry();
    return true;
}

}  // namespace qe
