#include "gui/score_view.h"
#include "audio/sound_stage.h"
#include "gui/document_dialogs.h"
#include "gui/measure_check_dialog.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QInputDialog>
#include <QInputMethodEvent>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QScopeGuard>
#include <QScrollBar>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>

#include "audio/score_player.h"
#include "base/exception.h"
#include "document/score_document.h"
#include "edit/fragment.h"
#include "edit/lyrics_text.h"
#include "edit/note_extras.h"
#include "engrave/measure.h"
#include "engrave/page_view.h"
#include "export/score_printer.h"
#include "gui/command_table.h"
#include "gui/export_command.h"
#include "gui/text_input_dialog.h"
#include "gui/ui_text.h"
#include "gui/view_keys.h"
#include "gui/view_note_commands.h"
#include "music/measure_check.h"
#include "music/measure_numbers.h"
#include "painter/painter_surface.h"
#include "painter/scratch_surface.h"

namespace qe {

namespace {

// The zoom steps of Ctrl+= and Ctrl+-.
constexpr double kZoomSteps[] = {0.25, 0.33, 0.5, 0.67, 0.75, 0.8, 0.9, 1.0,
                                 1.1,  1.25, 1.5, 1.75, 2.0,  2.5, 3.0, 4.0};

}  // namespace

ScoreView::ScoreView(ScoreDocument* document, FontBook& fonts, std::shared_ptr<SoundStage> stage,
                     QWidget* parent)
    : QAbstractScrollArea(parent),
      doc_(document),
      fonts_(fonts),
      controller_(this),
      stage_(std::move(stage)) {
    setFocusPolicy(Qt::StrongFocus);
    // Note entry is typed with plain letters and digits; an input method of the desktop
    // would take them for itself.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    viewport()->setAttribute(Qt::WA_InputMethodEnabled, false);
    // Every pixel is painted from the off-screen image: nothing to erase first.
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setMouseTracking(true);
    setFrameShape(QFrame::NoFrame);
    blinkTimer_.setInterval(std::max(100, QApplication::cursorFlashTime() / 2));
    connect(&blinkTimer_, &QTimer::timeout, this, &ScoreView::blink);
    doc_->addView(&controller_);
    connect(doc_, &ScoreDocument::viewsNeedUpdate, this, &ScoreView::documentUpdated);

    player_ = std::make_unique<ScorePlayer>(played_, *stage_, stage_->desktopSynth());
    connect(player_.get(), &ScorePlayer::highlightChanged, this, &ScoreView::showSounding);
    // Whatever changes the score, in this window or another on the document, stops what
    // plays: the notes sounding would no longer be the notes shown.
    connect(doc_, &ScoreDocument::historyChanged, player_.get(), &ScorePlayer::scoreEdited);
}

ScoreView::~ScoreView() {
    // The player plays the controller's tree: it stops before the tree goes.
    player_.reset();
    doc_->removeView(&controller_);
}

std::vector<Rect> ScoreView::soundingRects() const {
    return qe::soundingRects(controller_, *player_);
}

void ScoreView::showSounding() {
    const std::vector<Rect> rects = soundingRects();
    // The first track's note leads the eye: the window follows it from line to line.
    if (!rects.empty())
        scrollIntoView(pixelRect(rects.front()));
    viewport()->update();
}

void ScoreView::attachDocument() {
    if (attached_)
        return;
    attached_ = true;
    controller_.attach(&doc_->session());
    onUpdate(true);
}

void ScoreView::onUpdate(bool warnOnOverflow, bool onlyChanges) {
    const auto refresh = qScopeGuard([this, onlyChanges] {
        if (onlyChanges) {
            repaintLayoutChanges();
        } else {
            setScrollSizes();
            viewport()->update();
        }
    });
    try {
        controller_.relayout();
        if (warnOnOverflow && controller_.layout().overwideAppeared())
            warn(ScoreEditor::kOverflowWarning, ScoreEditor::kWarningCaption);
    } catch (const Exception& e) {
        if (warnOnOverflow && e.code == kLayoutOverflow)
            warn(ScoreEditor::kOverflowWarning, ScoreEditor::kWarningCaption);
    }
}

void ScoreView::documentUpdated(ScoreEditor* source, bool changed) {
    if (source == &controller_ || !attached_)
        return;
    if (changed) {
        // The score changed under this view: its lyrics entry may have lost its note.
        if (lyrics_.active()) {
            lyrics_.abandon();
            setInputMethodOn(false);
            emit lyricsModeChanged(false, lyrics_.verse());
        }
        controller_.scoreChangedElsewhere();
    }
    // Another window edited the score: this one shows what its own layout changed.
    onUpdate(false, changed);
}

void ScoreView::setWatermarkShown(bool shown) {
    if (shown == watermark_)
        return;
    watermark_ = shown;
    viewport()->update();
}

int ScoreView::toPixels(long long units) const {
    return static_cast<int>(std::llround(double(units) * zoom_ / kUnitsPerPixel));
}

int ScoreView::leftOffset() const {
    const Node* root = attached_ ? &controller_.currentRoot() : nullptr;
    const int width = root ? std::abs(toPixels(root->style.width)) : 0;
    return std::max(0, (viewport()->width() - width) / 2);
}

void ScoreView::setZoom(double zoom) {
    zoom = std::clamp(zoom, kMinZoom, kMaxZoom);
    if (zoom == zoom_)
        return;
    // The point at the middle of the window stays there.
    const QPoint middle(viewport()->width() / 2, viewport()->height() / 2);
    const Point kept = toLogical(middle);
    zoom_ = zoom;
    setScrollSizes();
    const QPoint now = toPixel(kept);
    horizontalScrollBar()->setValue(horizontalScrollBar()->value() + now.x() - middle.x());
    verticalScrollBar()->setValue(verticalScrollBar()->value() + now.y() - middle.y());
    controller_.placeSystemCaret();
    viewport()->update();
    emit zoomChanged(zoom_);
}

void ScoreView::zoomIn() {
    for (double step : kZoomSteps)
        if (step > zoom_ + 1e-6) {
            setZoom(step);
            return;
        }
}

void ScoreView::zoomOut() {
    for (auto it = std::rbegin(kZoomSteps); it != std::rend(kZoomSteps); ++it)
        if (*it < zoom_ - 1e-6) {
            setZoom(*it);
            return;
        }
}

void ScoreView::fitWidth() {
    if (!attached_)
        return;
    const int units = std::abs(controller_.currentRoot().style.width);
    // Scroll mode's strip is as long as the score: its first screen is shown at 100 %.
    if (units <= 0 || controller_.mode() == ScoreEditor::kScrollMode) {
        setZoom(1.0);
        return;
    }
    setZoom(double(viewport()->width() - 2 * kCaretMargin) * kUnitsPerPixel / units);
}

void ScoreView::setScrollSizes() {
    // Before the score is attached there is nothing to scroll over.
    const Node* root = controller_.session() ? &controller_.currentRoot() : nullptr;
    const int width = root ? std::abs(toPixels(root->style.width)) : 0;
    const int height = root ? std::abs(toPixels(root->style.height)) : 0;
    const QSize page = viewport()->size();
    horizontalScrollBar()->setRange(0, std::max(0, width - page.width()));
    horizontalScrollBar()->setPageStep(page.width());
    horizontalScrollBar()->setSingleStep(std::max(1, page.width() / 10));
    verticalScrollBar()->setRange(0, std::max(0, height - page.height()));
    verticalScrollBar()->setPageStep(page.height());
    verticalScrollBar()->setSingleStep(std::max(1, page.height() / 10));
}

Point ScoreView::toLogical(QPoint pixel) const {
    const double x = pixel.x() - leftOffset() + horizontalScrollBar()->value();
    const double y = pixel.y() + verticalScrollBar()->value();
    return {static_cast<int>(std::lround(x * kUnitsPerPixel / zoom_)),
            static_cast<int>(std::lround(-y * kUnitsPerPixel / zoom_))};
}

QPoint ScoreView::toPixel(Point logical) const {
    return {toPixels(logical.x) + leftOffset() - horizontalScrollBar()->value(),
            toPixels(-static_cast<long long>(logical.y)) - verticalScrollBar()->value()};
}

QRect ScoreView::pixelRect(const Rect& logical) const {
    const QPoint a = toPixel({logical.left, logical.top});
    const QPoint b = toPixel({logical.right, logical.bottom});
    return QRect(a, b).normalized();
}

QRect ScoreView::caretRect() const {
    if (!caretShown_)
        return {};
    const QPoint a = toPixel({caret_.left, caret_.top});
    const QPoint b = toPixel({caret_.right, caret_.bottom});
    const int left = a.x();
    const int right = b.x() == left ? left + 1 : b.x();
    return QRect(QPoint(left, a.y()), QPoint(right - 1, b.y() - 1));
}

void ScoreView::updateCaretArea() {
    const QRect area = caretRect();
    if (!area.isEmpty())
        viewport()->update(area.adjusted(-1, -1, 1, 1));
}

// -- the controller's window ---------------------------------------------------------------

std::unique_ptr<Surface> ScoreView::layoutSurface() {
    return std::make_unique<ScratchSurface>(fonts_, scratch_);
}

void ScoreView::scrollIntoView(const QRect& r) {
    const int width = viewport()->width();
    const int height = viewport()->height();
    int dx = 0;
    int dy = 0;
    if (r.left() < 0)
        dx += r.left() - kCaretMargin;
    if (r.right() + 1 > width)
        dx += r.right() + 1 - width + kCaretMargin;
    if (r.top() < 0)
        dy += r.top() - kCaretMargin;
    if (r.bottom() + 1 > height)
        dy += r.bottom() + 1 - height + kCaretMargin;
    if (dx)
        horizontalScrollBar()->setValue(horizontalScrollBar()->value() + dx);
    if (dy)
        verticalScrollBar()->setValue(verticalScrollBar()->value() + dy);
}

void ScoreView::placeCaret(const Rect& logical) {
    updateCaretArea();
    caret_ = logical;
    caretShown_ = true;
    caretLit_ = true;
    // The caret is kept in sight in the view being worked in; other views on the same
    // document keep their scroll position when the score changes under them.
    const auto* focused = qobject_cast<const ScoreView*>(QApplication::focusWidget());
    if (!focused || focused == this)
        scrollIntoView(caretRect());
    if (hasFocus())
        blinkTimer_.start();
    updateCaretArea();
    updateMeasureStatus();
}

void ScoreView::hideCaret() {
    updateCaretArea();
    caretShown_ = false;
    blinkTimer_.stop();
}

void ScoreView::blink() {
    caretLit_ = !caretLit_;
    updateCaretArea();
}

void ScoreView::captureMouse(bool) {
    // Qt keeps the mouse with the widget a button was pressed in until it is released.
}

void ScoreView::scoreEdited() {
    // The document is modified and the other views take the change; each lays itself out in
    // its own slot.
    doc_->contentChanged(&controller_);
}

void ScoreView::layoutChanged() {
    repaintLayoutChanges();
}

void ScoreView::repaintLayoutChanges() {
    setScrollSizes();
    // Only what the layout says it changed is painted again: on a long score a keystroke
    // touches a measure or a few lines, not the whole window.
    QRegion area;
    if (controller_.session())
        for (const Rect& r : controller_.layout().changed())
            area += pixelRect(r).adjusted(-1, -1, 1, 1);
    if (!area.isEmpty())
        viewport()->update(area);
}

void ScoreView::warn(const std::u16string& text, const std::u16string& caption) {
    // The editing layer's own texts, in the window's language.
    QString message = uiText(QString::fromStdU16String(text));
    message.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(QMessageBox::Warning, uiText(QString::fromStdU16String(caption)), message,
                    QMessageBox::Ok, this);
    box.button(QMessageBox::Ok)->setText(ui("确定"));
    box.exec();
}

void ScoreView::setStatusTexts(const std::u16string& accidental, const std::u16string& octave,
                               const std::u16string& duration) {
    emit statusTextsChanged(uiText(QString::fromStdU16String(accidental)),
                            uiText(QString::fromStdU16String(octave)),
                            uiText(QString::fromStdU16String(duration)));
}

void ScoreView::repaintRegion(const std::vector<Rect>& logical) {
    // The highlight is painted from the controller's selection with everything else; what
    // changed only needs showing.
    QRect area;
    for (const Rect& r : logical)
        area |= pixelRect(r);
    if (!area.isEmpty())
        viewport()->update(area.adjusted(-1, -1, 1, 1));
}

// -- painting --------------------------------------------------------------------------------

void ScoreView::paintEvent(QPaintEvent* event) {
    const QRect clip = event->rect();
    const qreal ratio = viewport()->devicePixelRatioF();
    const QSize pixels = (QSizeF(viewport()->size()) * ratio).toSize();
    if (buffer_.size() != pixels || buffer_.devicePixelRatio() != ratio) {
        buffer_ = QImage(pixels, QImage::Format_RGB32);
        buffer_.setDevicePixelRatio(ratio);
    }
    {
        QPainter painter(&buffer_);
        painter.setClipRect(clip);
        painter.fillRect(clip, backgroundColor());
        if (attached_) {
            painter.setBackground(Qt::white);
            const int sx = horizontalScrollBar()->value() - leftOffset();
            const int sy = verticalScrollBar()->value();
            painter.translate(-sx, -sy);
            painter.scale(zoom_, zoom_);
            const auto units = [this](double pixels) {
                return static_cast<int>(std::floor(pixels * kUnitsPerPixel / zoom_));
            };
            const int left = units(clip.left() + sx) - kUnitsPerPixel;
            const int top = -units(clip.top() + sy) + kUnitsPerPixel;
            const int right = units(clip.right() + 1 + sx) + kUnitsPerPixel;
            const int bottom = -units(clip.bottom() + 1 + sy) - kUnitsPerPixel;
            {
                PainterSurface g(fonts_, painter, 96, 0, 0, left, top, right, bottom, false);
                g.setWatermarkShown(watermark_);
                controller_.paintAll(g);
            }
            painter.resetTransform();
            // The notes sounding, on paper tinted so that their digits stay black.
            painter.setCompositionMode(QPainter::CompositionMode_Multiply);
            for (const Rect& r : soundingRects())
                painter.fillRect(pixelRect(r), soundingColor());
            for (const QRect& r : misfitRects())
                if (r.intersects(clip))
                    painter.fillRect(r, misfitColor());
            painter.setCompositionMode(QPainter::CompositionMode_Difference);
            if (controller_.caret.selectionShown)
                for (const Rect& r : controller_.selectionRegion())
                    painter.fillRect(pixelRect(r), Qt::white);
            if (caretShown_ && caretLit_ && hasFocus())
                painter.fillRect(caretRect(), Qt::white);
        }
    }
    QPainter screen(viewport());
    screen.drawImage(clip, buffer_,
                     QRectF(QPointF(clip.topLeft()) * ratio, QSizeF(clip.size()) * ratio));
}

void ScoreView::resizeEvent(QResizeEvent* event) {
    QAbstractScrollArea::resizeEvent(event);
    setScrollSizes();
}

void ScoreView::scrollContentsBy(int, int) {
    viewport()->update();
}

// -- keys and mouse --------------------------------------------------------------------------

namespace {

// The row of a key of the score window alone, or null.
const CommandRow* keyCommandOf(const QKeyEvent* event) {
    static const std::vector<std::pair<QKeyCombination, const CommandRow*>> keys = [] {
        std::vector<std::pair<QKeyCombination, const CommandRow*>> found;
        for (const CommandRow& row : commandRows())
            if (row.menu == CommandMenu::None && row.keys)
                for (const QString& text : QString::fromLatin1(row.keys).split(QLatin1Char(';')))
                    found.emplace_back(QKeySequence(text, QKeySequence::PortableText)[0], &row);
        return found;
    }();
    const QKeyCombination pressed(event->modifiers() & ~Qt::KeypadModifier, Qt::Key(event->key()));
    for (const auto& [combination, row] : keys)
        if (combination == pressed)
            return row;
    return nullptr;
}

}  // namespace

void ScoreView::keyPressEvent(QKeyEvent* event) {
    // An input mode has every key first, a key of the command table next, then note entry.
    if (forwardToMode(event))
        return;
    if (const CommandRow* row = keyCommandOf(event)) {
        row->run({nullptr, this, false});
        return;
    }
    const QString text = event->text();
    const char32_t key = keyCharacter(event);
    const bool typed = key == modekey::kBackspace || key == modekey::kEnter;
    if (!typed && (text.isEmpty() || (event->modifiers() & kCommandModifiers))) {
        QAbstractScrollArea::keyPressEvent(event);
        return;
    }
    try {
        if (typed) {
            controller_.onChar(key);
        } else {
            for (char32_t ch : text.toStdU32String())
                if (ch >= 0x20 && ch != 0x7F)
                    controller_.onChar(ch);
        }
    } catch (const Exception&) {
        // A caret move the tree cannot make is dropped.
        return;
    }
    emit editStateChanged();
}

void ScoreView::moveCaret(ScoreEditor::Move move, bool extend) {
    const int page = static_cast<int>(viewport()->height() * kUnitsPerPixel / zoom_);
    controller_.moveCaret(move, extend, page);
    controller_.placeSystemCaret();
    emit editStateChanged();
}

void ScoreView::letGoOfSelection() {
    try {
        if (controller_.caret.selectionShown) {
            controller_.invertSelection(false);
            controller_.caret.selectionAnchor.reset();
            controller_.caret.selectionEnd.reset();
            emit editStateChanged();
        }
        controller_.placeSystemCaret();
    } catch (const Exception&) {
        // A caret the tree cannot show stays hidden.
    }
}

void ScoreView::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !attached_)
        return;
    const Point p = toLogical(event->position().toPoint());
    if ((event->modifiers() & Qt::ShiftModifier) && controller_.caret.valid()) {
        // Shift+click: the selection runs from the caret to the place clicked.
        controller_.extendSelectionTo(p);
        controller_.placeSystemCaret();
        shiftClicked_ = true;
        emit editStateChanged();
        return;
    }
    shiftClicked_ = false;
    hideCaret();
    controller_.beginSelection(p);
}

void ScoreView::wheelEvent(QWheelEvent* event) {
    if (!(event->modifiers() & Qt::ControlModifier)) {
        QAbstractScrollArea::wheelEvent(event);
        return;
    }
    const int steps = event->angleDelta().y();
    if (steps > 0)
        zoomIn();
    else if (steps < 0)
        zoomOut();
    event->accept();
}

void ScoreView::contextMenuEvent(QContextMenuEvent* event) {
    if (!attached_)
        return;
    // A right click away from the selection moves the caret there first, as a left click would.
    if (!controller_.hasSelection() && event->reason() == QContextMenuEvent::Mouse) {
        controller_.moveCaretTo(toLogical(event->pos()));
        controller_.placeSystemCaret();
    }
    emit editStateChanged();
    emit contextMenuRequested(event->globalPos());
}

void ScoreView::mouseMoveEvent(QMouseEvent* event) {
    if (!attached_)
        return;
    const Point p = toLogical(event->position().toPoint());
    if (controller_.caret.dragging) {
        controller_.extendSelection(p);
        controller_.moveCaretTo(p);
        controller_.placeSystemCaret();
        return;
    }
    viewport()->setCursor(controller_.textCursorAt(p) ? Qt::IBeamCursor : Qt::ArrowCursor);
}

void ScoreView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton || !attached_)
        return;
    if (shiftClicked_) {
        shiftClicked_ = false;
        return;
    }
    const Point p = toLogical(event->position().toPoint());
    if (controller_.caret.dragging)
        controller_.endSelection(p);
    controller_.moveCaretTo(p);
    controller_.placeSystemCaret();
    // A click elsewhere leaves lyrics mode where it stands.
    if (lyrics_.active() && !caretOnLyricsNote())
        leaveLyricsMode();
    // A click starts chord-symbol entry over from the note clicked (what was typed goes).
    if (chords_.active())
        showChordStep(chords_.restartAtCaret());
    emit editStateChanged();
}

void ScoreView::focusInEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusInEvent(event);
    controller_.placeSystemCaret();
}

void ScoreView::focusOutEvent(QFocusEvent* event) {
    QAbstractScrollArea::focusOutEvent(event);
    blinkTimer_.stop();
    updateCaretArea();
}

// -- commands --------------------------------------------------------------------------------

void ScoreView::afterEdit() {
    emit editStateChanged();
}

void ScoreView::onUndo() {
    leaveLyricsMode();
    hideCaret();
    controller_.undo();
    afterEdit();
}

void ScoreView::onRedo() {
    leaveLyricsMode();
    hideCaret();
    controller_.redo();
    afterEdit();
}

bool ScoreView::canCutOrCopy() const {
    return controller_.hasSelection();
}

void ScoreView::switchMode(int mode) {
    hideCaret();
    if (controller_.mode() != mode)
        controller_.setMode(mode);
    onUpdate(true);
    doc_->updateAllViews(&controller_);
    controller_.placeSystemCaret();
    emit modeChanged(controller_.mode());
}

void ScoreView::onScrollMode() {
    switchMode(ScoreEditor::kScrollMode);
}

void ScoreView::onPageMode() {
    switchMode(ScoreEditor::kPageMode);
}

void ScoreView::contentChangedHere() {
    doc_->contentChanged(&controller_);
    onUpdate(true);
}

void ScoreView::onFontSettings() {
    editFonts(*doc_, this);
}

void ScoreView::typeKey(char32_t key) {
    if (!attached_ || lyrics_.active())
        return;
    setFocus();
    controller_.onChar(key);
    emit editStateChanged();
}

void ScoreView::onDelete() {
    if (!attached_)
        return;
    // Lyrics mode types syllables: Delete must not take a note from under them.
    if (lyrics_.active()) {
        emit statusMessage(ui("输入歌词时用 Backspace 删除；按 Esc 结束歌词输入后再删除音符。"));
        return;
    }
    if (controller_.hasSelection()) {
        if (!controller_.selection()) {
            emit statusMessage(ui("只能删除同一声部中的内容。"));
            return;
        }
        hideCaret();
        tellRefusal(*this, controller_.deleteSelection(),
                    {{Refusal::None, "所选内容无法删除：乐谱不能接受这样的改动"}});
    } else {
        controller_.onChar(InputMethod::kDelete);
    }
    emit editStateChanged();
}

void ScoreView::onSelectAll() {
    if (!attached_)
        return;
    leaveLyricsMode();
    controller_.selectAll();
    controller_.placeSystemCaret();
    emit editStateChanged();
}

void ScoreView::goToMeasure(int track, int measure) {
    if (!attached_)
        return;
    const music::Score& score = controller_.score();
    if (track < 0 || track >= score.trackCount() || measure < 0 ||
        measure >= score.measureCount(track))
        return;
    leaveLyricsMode();
    if (controller_.caret.selectionShown)
        controller_.invertSelection(false);
    controller_.setCaret(positionAt(score, track, measure, 0));
    controller_.placeSystemCaret();
    setFocus();
}

QString ScoreView::measureStatus() const {
    const Caret& c = controller_.caret;
    if (!attached_ || !c.valid())
        return {};
    const std::optional<music::MeasureMisfit> misfit =
        doc_->session().measureCheck.misfit(c.at->track, c.at->measure);
    if (!misfit)
        return {};
    const music::Ticks beat = music::countedBeat(misfit->meter);
    const bool over = misfit->length > misfit->expected;
    const music::Ticks by =
        over ? misfit->length - misfit->expected : misfit->expected - misfit->length;
    return ui("第%1小节%2了%3")
        .arg(music::measureNumber(doc_->session().score, misfit->measure))
        .arg(over ? ui("多") : ui("少"))
        .arg(beatsPhrase(by, beat));
}

void ScoreView::updateMeasureStatus() {
    const QString now = measureStatus();
    if (now == measureStatus_)
        return;
    measureStatus_ = now;
    emit measureStatusChanged(now);
}

std::vector<QRect> ScoreView::misfitRects() const {
    std::vector<QRect> rects;
    if (!attached_)
        return rects;
    for (const music::MeasureMisfit& f : doc_->session().measureCheck.misfits())
        if (const QRect r = measureRect(f.track, f.measure); !r.isEmpty())
            rects.push_back(r);
    return rects;
}

QRect ScoreView::measureRect(int track, int measure) const {
    if (!attached_)
        return {};
    const Node* node = controller_.layout().tracks().measureNode(track, measure);
    if (!node || (controller_.mode() == ScoreEditor::kPageMode && !node->shadow))
        return {};
    Rect r{0, 0, node->style.width, node->style.height};
    offsetInAncestor(r, node, true, nullptr);
    return pixelRect(r);
}

void ScoreView::onPageCount() {
    doc_header header = doc_->score().header();
    bool ok = false;
    const int pages =
        QInputDialog::getInt(this, ui("页数"), ui("把乐谱排成几页（0：需要几页就几页）："),
                             header.pageCount, 0, 255, 1, &ok);
    if (!ok || pages == header.pageCount)
        return;
    header.pageCount = static_cast<std::uint8_t>(pages);
    doc_->changeTitleBlock(header);
    onUpdate(false);
    const PageView* shown = controller_.layout().pages();
    if (pages == 0 || !shown || shown->fitsPageCount())
        return;
    QMessageBox box(
        QMessageBox::Warning, ui("页数"),
        ui("乐谱排不进 %1 页：行距缩到最小、谱面缩小到 %2% 也不够。现在按需要的 %3 页排。")
            .arg(pages)
            .arg(static_cast<int>(PageView::kLeastScale * 100))
            .arg(shown->childCount()),
        QMessageBox::Ok, this);
    box.button(QMessageBox::Ok)->setText(ui("确定"));
    box.exec();
}

}  // namespace qe
