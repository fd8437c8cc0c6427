#pragma once

#include <QAbstractScrollArea>
#include <QImage>
#include <QTimer>
#include <memory>

#include "audio/score_player.h"
#include "edit/chord_symbol_entry.h"
#include "gui/played_editor.h"
#include "edit/lyrics_entry.h"
#include "edit/score_editor.h"
#include "edit/view_host.h"

namespace qe {

class ScoreDocument;
class FontBook;
class SoundStage;

// The window that shows one score document: it hosts one view controller, maps its logical
// units (twips, y up) onto the screen at 96 dots per inch with the scroll offset, paints it
// through an off-screen image, and passes keys, mouse and commands on. Everything that
// edits or lays out is the controller's; the window only shows and forwards.
class ScoreView : public QAbstractScrollArea, public ViewHost {
    Q_OBJECT

public:
    static constexpr int kUnitsPerPixel = 15;  // 1440 units per inch on 96 pixels
    static constexpr int kCaretMargin = 5;     // pixels kept between the caret and the edge

    // The colour around the pages and under the strip.
    static QColor backgroundColor() { return QColor(221, 238, 255); }
    // The tint under the notes sounding while the score plays.
    static QColor soundingColor() { return QColor(255, 214, 140); }
    // The tint, on screen only, of a measure whose beats do not fill the time signature.
    static QColor misfitColor() { return QColor(255, 205, 205); }
    static constexpr double kMinZoom = 0.25;
    static constexpr double kMaxZoom = 4.0;

    // `stage` is where the view plays its score.
    ScoreView(ScoreDocument* document, FontBook& fonts, std::shared_ptr<SoundStage> stage,
              QWidget* parent = nullptr);
    ~ScoreView() override;

    ScoreDocument* document() const { return doc_; }
    ScoreEditor& controller() { return controller_; }
    int mode() const { return controller_.mode(); }
    // Plays the score this window shows, and shows what sounds.
    ScorePlayer* player() const { return player_.get(); }

    // Attaches the document and lays it out; once, when the window first shows it.
    void attachDocument();
    // Lays the view out again, sizes the scroll range and repaints: the whole window, or only
    // what the layout changed. A score too wide for its lines is reported when `warn` is set.
    void onUpdate(bool warn = false, bool onlyChanges = false);

    void setWatermarkShown(bool shown);
    bool watermarkShown() const { return watermark_; }
    FontBook& fonts() const { return fonts_; }

    // The zoom of this window: 1 shows the score at 96 dots per inch.
    double zoom() const { return zoom_; }
    void setZoom(double zoom);
    void zoomIn();
    void zoomOut();
    // As wide as the window shows the widest page (or the strip's first screen).
    void fitWidth();
    // Where the score starts in the viewport when it is narrower than the window: the pages
    // stand in the middle.
    int leftOffset() const;

    // Viewport pixels to logical units and back, with the scroll offset.
    Point toLogical(QPoint pixel) const;
    QPoint toPixel(Point logical) const;
    // The caret in viewport pixels, at least one pixel wide; empty when it is hidden.
    QRect caretRect() const;
    // Measure `measure` of track `track` (from 0) in viewport pixels; empty when it is not laid
    // out (or, in page mode, on no page).
    QRect measureRect(int track, int measure) const;

    // Commands of the view.
    // A key of the note input (as typed, or a button of the note-input toolbar).
    void typeKey(char32_t key);
    // Deletes the selection, or what stands after the caret.
    void onDelete();
    void onSelectAll();
    // The caret to the start of measure `measure` of track `track` (from 0), scrolled into view.
    void goToMeasure(int track, int measure);
    // The status text of the measure the caret is in when its beats do not fill the time
    // signature ("第3小节多了半拍"); empty otherwise.
    QString measureStatus() const;
    void onScrollMode();
    void onPageMode();
    // Chord-symbol entry, like lyrics mode: typed into the status bar from the note after the
    // caret, Tab or space to put it on the note and go on to the next, Esc to end.
    void onChordSymbols();
    bool chordEntryActive() const { return chords_.active(); }
    void onFontSettings();
    // 编辑: undo and redo through the document's history; the clipboard carries the editor's
    // own form and jianpu text.
    void onUndo();
    void onRedo();
    bool canCutOrCopy() const;
    // Whether the caret stands at the note lyrics mode is typing under.
    bool caretOnLyricsNote() const;
    // Lyrics mode: typing puts syllables under the notes from the caret on, in `verse`
    // (from 0), until Esc. The whole text of the clipboard can be laid from the caret at once.
    void onLyricsMode();
    void onLyricsPaste();
    // 谱面 > 页数: asks for the number of pages the score is fitted to (0 for as many as it
    // takes) and sets it as one undoable step; says so when the score cannot be fitted to
    // them.
    void onPageCount();
    bool inLyricsMode() const { return lyrics_.active(); }
    void setLyricsVerse(int verse);
    int lyricsVerse() const { return lyrics_.verse(); }
    void leaveLyricsMode();

    // The caret keys: a move, selecting as it goes with `extend`; Esc lets go of the selection.
    void moveCaret(ScoreEditor::Move move, bool extend);
    void letGoOfSelection();

    // The controller's window.
    std::unique_ptr<Surface> layoutSurface() override;
    void placeCaret(const Rect& logical) override;
    void hideCaret() override;
    void captureMouse(bool captured) override;
    void scoreEdited() override;
    void layoutChanged() override;
    // Repaints the rectangles the last layout changed.
    void repaintLayoutChanges();
    void warn(const std::u16string& text, const std::u16string& caption) override;
    void setStatusTexts(const std::u16string& accidental, const std::u16string& octave,
                        const std::u16string& duration) override;
    void repaintRegion(const std::vector<Rect>& logical) override;

    // The boxes of the notes sounding, in the current root's logical units.
    std::vector<Rect> soundingRects() const;

signals:
    void statusTextsChanged(const QString& accidental, const QString& octave,
                            const QString& duration);
    // The view switched between scroll and page mode.
    void modeChanged(int mode);
    // The selection or what the clipboard commands can do changed.
    void editStateChanged();
    // A short message for the status bar.
    void statusMessage(const QString& text);
    // The text of the measure the caret is in changed (empty when it adds up).
    void measureStatusChanged(const QString& text);
    // A right click on the score, at a global position.
    void contextMenuRequested(const QPoint& global);
    void zoomChanged(double zoom);
    // Lyrics mode began or ended.
    void lyricsModeChanged(bool on, int verse);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void keyPressEvent(QKeyEvent* event) override;
    // In lyrics mode and chord-symbol entry Tab goes on to the next note, not to the next widget.
    bool focusNextPrevChild(bool next) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void inputMethodEvent(QInputMethodEvent* event) override;
    QVariant inputMethodQuery(Qt::InputMethodQuery query) const override;

private:
    void documentUpdated(ScoreEditor* source, bool rebuild);
    void switchMode(int mode);
    // The score changed through a command of this view: the document and the other views
    // learn of it, and this view lays itself out.
    void contentChangedHere();
    void setScrollSizes();
    // Scrolls as little as keeps `r` (viewport pixels) in sight, with the caret's margin.
    void scrollIntoView(const QRect& r);
    // The notes sounding changed: repaint them, and follow them from line to line.
    void showSounding();
    QRect pixelRect(const Rect& logical) const;
    // The rectangles of the measures that do not add up, in viewport pixels.
    std::vector<QRect> misfitRects() const;
    void updateMeasureStatus();
    // Logical units to pixels at the zoom, rounded to the nearest pixel.
    int toPixels(long long units) const;
    void updateCaretArea();
    void blink();

    ScoreDocument* doc_;  // not owned; outlives the view
    FontBook& fonts_;
    ScoreEditor controller_;
    QImage buffer_;
    QImage scratch_{1, 1, QImage::Format_RGB32};
    bool watermark_ = true;
    double zoom_ = 1.0;
    bool shiftClicked_ = false;  // the press extended the selection; its release does nothing
    QString measureStatus_;
    bool attached_ = false;
    bool caretShown_ = false;
    bool caretLit_ = false;
    Rect caret_;  // logical
    QTimer blinkTimer_;
    LyricsEntry lyrics_{controller_};
    std::shared_ptr<SoundStage> stage_;
    PlayedEditor played_{controller_};
    std::unique_ptr<ScorePlayer> player_;  // after the controller and stage it plays with
    // Lyrics mode: the desktop's input method is on, for Chinese syllables.
    void setInputMethodOn(bool on);
    // Hands a key to the input mode that is on (lyrics or chord-symbol entry); false when none
    // is on or it leaves the key to the window.
    bool forwardToMode(QKeyEvent* event);
    // A syllable typed shows at once, in every window.
    void showLyricsTyped();
    // Chord-symbol entry (score_view_extras.cpp): typed into the status bar.
    ChordSymbolEntry chords_{controller_};
    bool chordsShown_ = false;  // its prompt is in the status bar
    // Tells what the entry did: the symbol typed so far, one it cannot read, or its end.
    void showChordStep(ChordSymbolEntry::Step step);
    // After an edit made here: the document and the other views learn of it.
    void afterEdit();

};

}  // namespace qe
