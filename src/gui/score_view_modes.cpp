#include <QClipboard>
#include <QGuiApplication>
#include <QInputMethodEvent>
#include <QKeyEvent>

#include "document/score_document.h"
#include "edit/lyrics_text.h"
#include "edit/note_extras.h"
#include "gui/score_view.h"
#include "gui/ui_text.h"
#include "gui/view_keys.h"
#include "music/note_marks.h"

namespace qe {

bool ScoreView::caretOnLyricsNote() const {
    const auto& note = lyrics_.note();
    const Caret& c = controller_.caret;
    return note && c.valid() && c.at->track == note->track && c.at->measure == note->at.measure &&
           c.at->entry == note->at.entry;
}

void ScoreView::setInputMethodOn(bool on) {
    setAttribute(Qt::WA_InputMethodEnabled, on);
    viewport()->setAttribute(Qt::WA_InputMethodEnabled, on);
    if (hasFocus())
        QGuiApplication::inputMethod()->update(Qt::ImEnabled);
}

void ScoreView::onLyricsMode() {
    if (lyrics_.active())
        return;
    if (!lyrics_.begin(lyrics_.verse())) {
        emit statusMessage(ui("插入点之后没有可以配歌词的音符。"));
        return;
    }
    setInputMethodOn(true);
    onUpdate(false);
    emit lyricsModeChanged(true, lyrics_.verse());
    emit statusMessage(ui("输入歌词：空格或 Tab 到下一个音符，“-”连到下一个音符，Esc 结束。"));
}

void ScoreView::leaveLyricsMode() {
    if (!lyrics_.active())
        return;
    lyrics_.end();
    setInputMethodOn(false);
    doc_->contentChanged(&controller_);
    onUpdate(false);
    emit lyricsModeChanged(false, lyrics_.verse());
    afterEdit();
}

void ScoreView::setLyricsVerse(int verse) {
    const bool active = lyrics_.active();
    lyrics_.setVerse(verse);
    if (active) {
        doc_->contentChanged(&controller_);
        onUpdate(false);
    }
}

void ScoreView::showLyricsTyped() {
    doc_->contentChanged(&controller_);
    onUpdate(false);
    afterEdit();
}

void ScoreView::inputMethodEvent(QInputMethodEvent* event) {
    if (!lyrics_.active() || event->commitString().isEmpty()) {
        QAbstractScrollArea::inputMethodEvent(event);
        return;
    }
    lyrics_.type(event->commitString().toStdU16String());
    doc_->contentChanged(&controller_);
    onUpdate(false);
    event->accept();
}

QVariant ScoreView::inputMethodQuery(Qt::InputMethodQuery query) const {
    if (query == Qt::ImEnabled)
        return lyrics_.active();
    if (query == Qt::ImCursorRectangle)
        return caretRect();
    return QAbstractScrollArea::inputMethodQuery(query);
}

void ScoreView::onLyricsPaste() {
    const QString text = QGuiApplication::clipboard()->text();
    if (text.trimmed().isEmpty()) {
        emit statusMessage(ui("剪贴板中没有歌词。"));
        return;
    }
    if (!controller_.caret.valid()) {
        emit statusMessage(ui("请先在乐谱中点击，确定歌词开始的小节。"));
        return;
    }
    leaveLyricsMode();
    const Position at = *controller_.caret.at;
    const int left = controller_.layLyrics(at.track, lyrics_.verse(), at.measure,
                                           splitSyllables(text.toStdU16String()));
    onUpdate(true);
    if (left > 0)
        emit statusMessage(ui("还有 %1 个字没有音符可配。").arg(left));
    afterEdit();
}

bool ScoreView::forwardToMode(QKeyEvent* event) {
    if (!lyrics_.active() && !chords_.active())
        return false;
    const char32_t key = keyCharacter(event);
    const bool text = !event->text().isEmpty() && !(event->modifiers() & kCommandModifiers);
    if (lyrics_.active()) {
        LyricsEntry::Step step = key ? lyrics_.key(key) : LyricsEntry::Step::Ignored;
        if (step == LyricsEntry::Step::Ignored && text) {
            lyrics_.type(event->text().toStdU16String());
            step = LyricsEntry::Step::Typed;
        }
        if (step == LyricsEntry::Step::Finished)
            leaveLyricsMode();
        else if (step == LyricsEntry::Step::Typed)
            showLyricsTyped();
        return step != LyricsEntry::Step::Ignored;
    }
    ChordSymbolEntry::Step step = key ? chords_.key(key) : ChordSymbolEntry::Step::Ignored;
    if (step == ChordSymbolEntry::Step::Ignored && text && chords_.active())
        step = chords_.type(event->text().toStdU16String());
    showChordStep(step);
    return step != ChordSymbolEntry::Step::Ignored;
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
