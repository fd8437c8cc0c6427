#include "gui/main_window.h"

#include "gui/accepted_files.h"
#include "gui/document_dialogs.h"
#include "gui/measure_mark_dialog.h"

#include <algorithm>

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QCloseEvent>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QMdiArea>
#include <QMenuBar>
#include <QMessageBox>
#include <QMimeData>
#include <QPageSetupDialog>
#include <QPrinter>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>

#include "audio/score_player.h"
#include "document/score_document.h"
#include "gui/about_dialog.h"
#include "gui/autosave_keeper.h"
#include "gui/document_window.h"
#include "gui/import_report_dialog.h"
#include "gui/interface_language.h"
#include "gui/key_guide.h"
#include "gui/measure_check_dialog.h"
#include "gui/note_input_bar.h"
#include "gui/playback_controls.h"
#include "gui/score_view.h"
#include "gui/ui_text.h"
#include "gui/view_clipboard.h"
#include "musicxml/musicxml_file.h"
#include "musicxml/refusal_texts.h"

namespace qe {

namespace {

const char* const kWatermarkKey = "Settings/ShowWatermark";

// The note-input panes and the texts that size them: the widest each will show.
const char* const kPaneStart[3] = {"正常", "中音", "4分音"};
const char* const kPaneSizing[3] = {"还原", "中音", "16分音"};

// The message names the file that did not open; the box is wide enough for its caption.
void showOpenFailure(QWidget* parent, const FileResult& result, const QString& path) {
    const QString message = result.message;
    QMessageBox box(QMessageBox::Warning, MainWindow::appTitle(), message, QMessageBox::Ok,
                    parent);
    const QString file = QDir::toNativeSeparators(path);
    if (!message.contains(file))
        box.setInformativeText(ui("文件：%1").arg(file));
    box.button(QMessageBox::Ok)->setText(ui("确定"));
    if (auto* grid = qobject_cast<QGridLayout*>(box.layout())) {
        const int caption = box.fontMetrics().horizontalAdvance(MainWindow::appTitle()) + 160;
        grid->addItem(new QSpacerItem(caption, 0, QSizePolicy::Minimum, QSizePolicy::Fixed),
                      grid->rowCount(), 0, 1, grid->columnCount());
    }
    box.exec();
}

QString plainTitle(const QMdiSubWindow* window) {
    QString title = window->windowTitle();
    title.remove(QStringLiteral("[*]"));
    return title;
}

ScoreDocument* documentOf(const QMdiSubWindow* window) {
    const auto* frame = qobject_cast<const DocumentWindow*>(window);
    return frame ? frame->view()->document() : nullptr;
}

// The 窗口 menu's names: a window's title, and after it the file's name where another score
// has the same title ("茉莉花 (jasmine.qe)", "茉莉花 (茉莉花2.qe)").
QStringList windowMenuNames(const QList<QMdiSubWindow*>& windows) {
    QStringList names;
    for (const QMdiSubWindow* window : windows) {
        QString name = plainTitle(window);
        const ScoreDocument* doc = documentOf(window);
        const bool shared = doc && std::any_of(windows.begin(), windows.end(), [&](auto* other) {
            const ScoreDocument* otherDoc = documentOf(other);
            return otherDoc && otherDoc != doc && otherDoc->title() == doc->title();
        });
        if (shared)
            name += QStringLiteral(" (%1)").arg(doc->path().isEmpty()
                                                    ? ui("未命名")
                                                    : QFileInfo(doc->path()).fileName());
        names << name;
    }
    return names;
}

}  // namespace

MainWindow::MainWindow(FontBook& fonts, QWidget* parent)
    : QMainWindow(parent), fonts_(fonts), commands_(this), autosave_(new AutosaveKeeper(this)) {
    setWindowTitle(appTitle());
    setAcceptDrops(true);
    mdi_ = new QMdiArea(this);
    mdi_->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    mdi_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setCentralWidget(mdi_);
    connect(mdi_, &QMdiArea::subWindowActivated, this, &MainWindow::updateCommandStates);

    commands_.action("viewWatermark")->setChecked(watermarkShown());
    settings_ = std::make_unique<QSettings>();
    playback_ = new PlaybackControls(this, *settings_, commands_);
    createMenus();
    createToolBar();
    createStatusBar();
    connectCommands();
    updateRecentFiles();
    updateCommandStates();
    resize(1100, 800);
}

MainWindow::~MainWindow() {
    // Windows go before the documents they show, without a question (closing the frame asked
    // already), and without telling this frame, which is going too: windows closed earlier
    // may still be waiting for their deletion.
    for (ScoreDocument* doc : documents_)
        disconnect(doc, nullptr, this, nullptr);
    qDeleteAll(findChildren<DocumentWindow*>());
}

// -- building --------------------------------------------------------------------------------

void MainWindow::createMenus() {
    for (int i = 0; i < RecentFiles::kMostFiles; ++i) {
        auto* action = new QAction(this);
        action->setStatusTip(ui("打开此文档"));
        connect(action, &QAction::triggered, this, [this, i] { openRecent(i); });
        recentActions_ << action;
    }
    const auto addActions = [](QMenu* menu, const QList<QAction*>& actions) {
        for (QAction* action : actions) {
            if (action)
                menu->addAction(action);
            else
                menu->addSeparator();
        }
    };
    for (CommandMenu kind : {CommandMenu::File, CommandMenu::Edit, CommandMenu::View,
                             CommandMenu::Score, CommandMenu::Note, CommandMenu::Play,
                             CommandMenu::Window, CommandMenu::Help}) {
        QMenu* menu = menuBar()->addMenu(Commands::menuTitle(kind));
        menus_[static_cast<int>(kind)] = menu;
        // The File and View menus change with what is in front (fillMenus).
        if (kind != CommandMenu::File && kind != CommandMenu::View)
            addActions(menu, commands_.menuActions(kind));
    }
    connect(menu(CommandMenu::File), &QMenu::aboutToShow, this, &MainWindow::updateRecentFiles);
    connect(menu(CommandMenu::Edit), &QMenu::aboutToShow, this, &MainWindow::updateEditStates);
    connect(menu(CommandMenu::Window), &QMenu::aboutToShow, this, &MainWindow::updateWindowMenu);
    languageMenu_ = createLanguageMenu();
    contextMenu_ = new QMenu(this);
    addActions(contextMenu_, commands_.contextActions());
    fillMenus(false);
}

QMenu* MainWindow::menu(CommandMenu kind) const {
    return menus_[static_cast<int>(kind)];
}

void MainWindow::fillMenus(bool forDocument) {
    // The File and View menus of an empty editor are shorter than those with a score.
    QMenu* file = menu(CommandMenu::File);
    file->clear();
    bool recentAdded = false;
    QAction* previous = nullptr;
    for (QAction* action : commands_.menuActions(CommandMenu::File, forDocument)) {
        // The recent files stand before the last group, the way out.
        if (action && action == commands_.action("appExit") && !recentAdded) {
            recentSeparator_ = previous ? previous : file->addSeparator();
            file->addActions(recentActions_);
            file->addSeparator();
            recentAdded = true;
            previous = nullptr;
        }
        if (action)
            file->addAction(action);
        else
            previous = file->addSeparator();
    }
    QMenu* view = menu(CommandMenu::View);
    view->clear();
    for (QAction* action : commands_.menuActions(CommandMenu::View, forDocument)) {
        if (action)
            view->addAction(action);
        else
            view->addSeparator();
    }
    view->addSeparator();
    view->addMenu(languageMenu_);

    for (CommandMenu kind : {CommandMenu::Edit, CommandMenu::Score, CommandMenu::Note,
                             CommandMenu::Play, CommandMenu::Window})
        menu(kind)->menuAction()->setVisible(forDocument);
    menusForDocument_ = forDocument;
    updateRecentFiles();
}

void MainWindow::createToolBar() {
    toolBar_ = addToolBar(ui("工具栏"));
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setIconSize(QSize(36, 20));
    toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    for (QAction* action : commands_.toolBarActions()) {
        if (action)
            toolBar_->addAction(action);
        else
            toolBar_->addSeparator();
    }
    addToolBar(playback_->toolBar());
    addToolBarBreak();
    noteBar_ = new NoteInputBar(this);
    addToolBar(noteBar_);
    connect(noteBar_, &NoteInputBar::keyTyped, this, [this](char32_t key) {
        if (ScoreView* view = activeView())
            view->typeKey(key);
    });
    QAction* shown = commands_.action("viewToolBar");
    shown->setChecked(true);
    connect(toolBar_, &QToolBar::visibilityChanged, shown, &QAction::setChecked);
}

QString MainWindow::appTitle() {
    return ui("Qanor简谱编辑器");
}

QMenu* MainWindow::createLanguageMenu() {
    auto* menu = new QMenu(ui("语言(&G)"), this);
    menu->setObjectName(QStringLiteral("languageMenu"));
    auto* group = new QActionGroup(menu);
    const std::optional<InterfaceLanguage> chosen = chosenLanguage();
    const struct {
        QString text;
        const char* name;
        std::optional<InterfaceLanguage> language;
    } kChoices[] = {{ui("跟随系统"), "followDesktop", std::nullopt},
                    {QStringLiteral("中文"), "chinese", InterfaceLanguage::Chinese},
                    {QStringLiteral("English"), "english", InterfaceLanguage::English}};
    for (const auto& choice : kChoices) {
        QAction* action = menu->addAction(choice.text);
        action->setObjectName(QString::fromLatin1(choice.name));
        action->setCheckable(true);
        action->setChecked(choice.language == chosen);
        group->addAction(action);
        connect(action, &QAction::triggered, this, [this, language = choice.language] {
            if (language == chosenLanguage() && chosenLanguage())
                return;
            chooseLanguage(language);
            if ((language ? *language : languageOfLocale(QLocale::system())) == currentLanguage())
                return;
            // Every window, menu and dialog is made in its language: it changes with the
            // next start.
            QMessageBox box(QMessageBox::Information, appTitle(),
                            ui("界面语言将在下次启动编辑器时改变。"), QMessageBox::Ok, this);
            box.button(QMessageBox::Ok)->setText(ui("确定"));
            box.exec();
        });
    }
    return menu;
}

void MainWindow::createStatusBar() {
    QStatusBar* bar = statusBar();
    // Shown whenever no command prompt is.
    bar->addWidget(new QLabel(ui("就绪"), bar), 1);
    for (int i = 0; i < 3; ++i) {
        auto* pane = new QLabel(ui(kPaneStart[i]), bar);
        pane->setAlignment(Qt::AlignCenter);
        pane->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        pane->setMinimumWidth(pane->fontMetrics().horizontalAdvance(ui(kPaneSizing[i])) + 16);
        bar->addPermanentWidget(pane);
        panes_[i] = pane;
    }
    // What the measure at the caret lacks or has too much of, while it does not add up.
    measurePane_ = new QLabel(bar);
    measurePane_->setObjectName(QStringLiteral("measurePane"));
    measurePane_->setStyleSheet(QStringLiteral("QLabel { color: #a01010; padding: 0 6px; }"));
    bar->addPermanentWidget(measurePane_);
    measurePane_->hide();
    zoomPane_ = new QLabel(QStringLiteral("100%"), bar);
    zoomPane_->setAlignment(Qt::AlignCenter);
    zoomPane_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    zoomPane_->setMinimumWidth(zoomPane_->fontMetrics().horizontalAdvance(QStringLiteral("400%")) + 16);
    bar->addPermanentWidget(zoomPane_);
    // Lyrics mode's verse, beside the note panes while the mode is on.
    versePane_ = new QWidget(bar);
    auto* layout = new QHBoxLayout(versePane_);
    layout->setContentsMargins(4, 0, 4, 0);
    layout->addWidget(new QLabel(ui("歌词 第"), versePane_));
    verseBox_ = new QSpinBox(versePane_);
    verseBox_->setRange(1, 99);
    layout->addWidget(verseBox_);
    layout->addWidget(new QLabel(ui("段"), versePane_));
    bar->addPermanentWidget(versePane_);
    versePane_->hide();
    connect(verseBox_, &QSpinBox::valueChanged, this, [this](int verse) {
        if (ScoreView* view = activeView())
            view->setLyricsVerse(verse - 1);
    });
    commands_.action("viewStatusBar")->setChecked(true);
}

void MainWindow::connectCommands() {
    for (const Commands::Entry& entry : commands_.all()) {
        if (!entry.action || !entry.row->run)
            continue;
        const CommandRow* row = entry.row;
        const auto run = [this, row](bool checked) { row->run({this, activeView(), checked}); };
        // A check mark that follows a widget or a setting acts whenever it changes; one that
        // follows the score acts only when clicked, as the window sets it from the score too.
        const CheckShows checks = row->checks;
        if (checks == CheckShows::ToolBar || checks == CheckShows::StatusBar ||
            checks == CheckShows::Watermark || checks == CheckShows::Paused)
            connect(entry.action, &QAction::toggled, this, run);
        else
            connect(entry.action, &QAction::triggered, this, run);
    }
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &MainWindow::updateEditStates);
}

// -- documents and windows -------------------------------------------------------------------

ScoreDocument* MainWindow::adoptDocument(ScoreDocument* doc) {
    doc->setParent(this);
    documents_ << doc;
    autosave_->watch(doc);
    connect(doc, &ScoreDocument::historyChanged, this, &MainWindow::updateEditStates);
    connect(doc, &ScoreDocument::historyChanged, this, [this, doc] {
        if (ScoreView* view = activeView(); view && view->document() == doc)
            playback_->followMark(doc->score().header().tempo.quartersPerMinute());
    });
    connect(doc, &ScoreDocument::lastViewClosed, this, [this, doc] {
        documents_.removeAll(doc);
        doc->deleteLater();
        updateCommandStates();
    });
    connect(doc, &ScoreDocument::pathChanged, this, [this](const QString& path) {
        recent_.add(path);
        // The tempo is remembered for the file the score now lives in.
        updateCommandStates();
    });
    return doc;
}

DocumentWindow* MainWindow::createFrame(ScoreDocument* doc) {
    auto* view = new ScoreView(doc, fonts_, stage_);
    view->setWatermarkShown(watermarkShown());
    connect(view, &ScoreView::statusTextsChanged, this, &MainWindow::setStatusTexts);
    connect(view, &ScoreView::modeChanged, this, &MainWindow::updateCommandStates);
    connect(view, &ScoreView::editStateChanged, this, &MainWindow::updateEditStates);
    connect(view, &ScoreView::measureStatusChanged, this, [this, view](const QString& text) {
        if (view == activeView()) {
            measurePane_->setText(text);
            measurePane_->setVisible(!text.isEmpty());
        }
    });
    connect(view, &ScoreView::zoomChanged, this, [this, view](double zoom) {
        if (view == activeView())
            zoomPane_->setText(QStringLiteral("%1%").arg(qRound(zoom * 100)));
    });
    connect(view, &ScoreView::contextMenuRequested, this, [this](const QPoint& global) {
        updateEditStates();
        contextMenu_->popup(global);
    });
    connect(view, &ScoreView::statusMessage, this,
            [this](const QString& text) { statusBar()->showMessage(text, 8000); });
    connect(view, &ScoreView::lyricsModeChanged, this, [this](bool on, int verse) {
        const QSignalBlocker quiet(verseBox_);
        verseBox_->setValue(verse + 1);
        versePane_->setVisible(on);
        if (!on)
            statusBar()->clearMessage();
    });
    auto* frame = new DocumentWindow(view);
    connect(frame, &QObject::destroyed, this, [this, doc] {
        if (documents_.contains(doc))
            renumberFrames(doc);
    });
    mdi_->addSubWindow(frame);
    frame->showMaximized();
    view->attachDocument();
    renumberFrames(doc);
    mdi_->setActiveSubWindow(frame);
    view->setFocus();
    updateCommandStates();
    return frame;
}

void MainWindow::renumberFrames(const ScoreDocument* doc) {
    for (DocumentWindow* frame : framesOf(doc))
        frame->updateTitle();
    updateCommandStates();
}

ScoreDocument* MainWindow::onFileNew() {
    ScoreDocument* doc = adoptDocument(new ScoreDocument);
    doc->onNewDocument(ui("Qanor简谱%1").arg(++untitled_));
    createFrame(doc);
    return doc;
}

ScoreDocument* MainWindow::openDocument(const QString& path) {
    const QString absolute = QFileInfo(path).absoluteFilePath();
    for (ScoreDocument* doc : documents_) {
        if (!doc->path().isEmpty() && QFileInfo(doc->path()) == QFileInfo(absolute)) {
            const QList<DocumentWindow*> frames = framesOf(doc);
            if (!frames.isEmpty())
                mdi_->setActiveSubWindow(frames.first());
            return doc;
        }
    }
    auto loaded = std::make_unique<ScoreDocument>();
    const FileResult result = loaded->onOpenDocument(absolute);
    if (!result.ok()) {
        showOpenFailure(this, result, absolute);
        return nullptr;
    }
    ScoreDocument* doc = adoptDocument(loaded.release());
    recent_.add(absolute);
    createFrame(doc);
    return doc;
}

ScoreDocument* MainWindow::importMusicXml(const QString& path) {
    auto imported = std::make_unique<ScoreDocument>();
    QeDocument records;
    const musicxml::Outcome outcome = musicxml::importMusicXmlFile(path, records);
    if (!outcome.ok()) {
        QMessageBox box(QMessageBox::Warning, appTitle(),
                        ui("无法导入 MusicXML 文件 %1：\n%2")
                            .arg(QDir::toNativeSeparators(path),
                                 currentLanguage() == InterfaceLanguage::English
                                     ? outcome.message
                                     : musicxml::chineseRefusalText(outcome.message)),
                        QMessageBox::Ok, this);
        box.button(QMessageBox::Ok)->setText(ui("确定"));
        box.exec();
        return nullptr;
    }
    // A new document that holds changes: nothing is saved until the person chooses where.
    imported->onImportedDocument(records, path);
    ScoreDocument* doc = adoptDocument(imported.release());
    createFrame(doc);
    emit doc->titleChanged(doc->title());
    if (!outcome.kinds.empty()) {
        ImportReportDialog report(outcome.kinds, this);
        report.setWindowTitle(appTitle());
        report.exec();
    }
    return doc;
}

void MainWindow::onFileImport() {
    QString folder = QDir::homePath();
    if (const QStringList recent = recent_.files(); !recent.isEmpty())
        folder = QFileInfo(recent.first()).absolutePath();
    QFileDialog dialog(this, ui("导入 MusicXML"), folder,
                       ui("MusicXML 乐谱 (*.musicxml *.xml *.mxl)"));
    dialog.setFileMode(QFileDialog::ExistingFiles);
    for (const QString& path : acceptedFiles(dialog))
        importMusicXml(path);
}

void MainWindow::onFileOpen() {
    QString folder = QDir::homePath();
    if (ScoreDocument* doc = activeDocument(); doc && !doc->path().isEmpty())
        folder = QFileInfo(doc->path()).absolutePath();
    else if (const QStringList recent = recent_.files(); !recent.isEmpty())
        folder = QFileInfo(recent.first()).absolutePath();
    QFileDialog dialog(this, ui("打开"), folder, scoreFileFilter());
    dialog.setFileMode(QFileDialog::ExistingFiles);
    for (const QString& path : acceptedFiles(dialog))
        openDocument(path);
}

void MainWindow::openRecent(int index) {
    const QStringList files = recent_.files();
    if (index < 0 || index >= files.size())
        return;
    const QString path = files[index];
    if (!QFileInfo::exists(path)) {
        showOpenFailure(this, FileResult::failure(ui("%1: 文件不存在。").arg(path)), path);
        recent_.remove(path);
        return;
    }
    openDocument(path);
}

DocumentWindow* MainWindow::onWindowNew() {
    ScoreDocument* doc = activeDocument();
    if (!doc)
        return nullptr;
    return createFrame(doc);
}

void MainWindow::onFileClose() {
    ScoreDocument* doc = activeDocument();
    if (!doc || !saveModifiedDocument(*doc, this))
        return;
    for (DocumentWindow* frame : framesOf(doc))
        frame->closeUnasked();
}

bool MainWindow::onFileSave() {
    ScoreDocument* doc = activeDocument();
    return doc && saveDocument(*doc, this);
}

bool MainWindow::onFileSaveAs() {
    ScoreDocument* doc = activeDocument();
    return doc && saveDocumentAs(*doc, this);
}

void MainWindow::onFilePrintSetup() {
    QPageSetupDialog dialog(&printer(), this);
    dialog.setWindowTitle(ui("打印设置"));
    dialog.exec();
}

int MainWindow::offerRecovery() {
    return autosave_->offerLeftovers(
        this, [this](ScoreDocument* doc) { createFrame(adoptDocument(doc)); });
}

QDialog* MainWindow::onKeyGuide() {
    if (!keyGuide_) {
        keyGuide_ = new KeyGuide(keyGuideRows(commands_), this);
        keyGuide_->setAttribute(Qt::WA_DeleteOnClose);
    }
    keyGuide_->show();
    keyGuide_->raise();
    keyGuide_->activateWindow();
    return keyGuide_;
}

QDialog* MainWindow::onCheckMeasures() {
    ScoreView* view = activeView();
    if (!view)
        return nullptr;
    auto* dialog = new MeasureCheckDialog(*view, this);
    dialog->show();
    return dialog;
}

QString MainWindow::measureStatusText() const {
    return measurePane_->isVisible() ? measurePane_->text() : QString();
}

void MainWindow::onAppAbout() {
    AboutDialog dialog(this);
    dialog.exec();
}

DocumentWindow* MainWindow::activeFrame() const {
    return qobject_cast<DocumentWindow*>(mdi_->currentSubWindow());
}

ScoreView* MainWindow::activeView() const {
    DocumentWindow* frame = activeFrame();
    return frame ? frame->view() : nullptr;
}

ScoreDocument* MainWindow::activeDocument() const {
    ScoreView* view = activeView();
    return view ? view->document() : nullptr;
}

QList<DocumentWindow*> MainWindow::framesOf(const ScoreDocument* doc) const {
    QList<DocumentWindow*> frames;
    for (QMdiSubWindow* window : mdi_->subWindowList(QMdiArea::CreationOrder))
        if (auto* frame = qobject_cast<DocumentWindow*>(window);
            frame && frame->view() && frame->view()->document() == doc)
            frames << frame;
    return frames;
}

QPrinter& MainWindow::printer() {
    if (!printer_) {
        printer_ = std::make_unique<QPrinter>(QPrinter::HighResolution);
        // Scores are laid out on A4 sheets.
        printer_->setPageSize(QPageSize(QPageSize::A4));
        printer_->setPageOrientation(QPageLayout::Portrait);
    }
    return *printer_;
}

// -- state -----------------------------------------------------------------------------------

bool MainWindow::watermarkShown() const {
    return QSettings().value(QString::fromUtf8(kWatermarkKey), true).toBool();
}

void MainWindow::setWatermarkShown(bool shown) {
    QSettings().setValue(QString::fromUtf8(kWatermarkKey), shown);
    for (QMdiSubWindow* window : mdi_->subWindowList())
        if (auto* frame = qobject_cast<DocumentWindow*>(window); frame && frame->view())
            frame->view()->setWatermarkShown(shown);
}

QStringList MainWindow::statusTexts() const {
    return {panes_[0]->text(), panes_[1]->text(), panes_[2]->text()};
}

void MainWindow::setStatusTexts(const QString& accidental, const QString& octave,
                                const QString& duration) {
    panes_[0]->setText(accidental);
    panes_[1]->setText(octave);
    panes_[2]->setText(duration);
    if (ScoreView* view = activeView())
        noteBar_->showState(view->controller().input);
}

void MainWindow::updateEditStates() {
    ScoreView* view = activeView();
    ScoreDocument* doc = view ? view->document() : nullptr;
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    const bool canPaste =
        view && mime &&
        (mime->hasText() || mime->hasFormat(QString::fromLatin1(kFragmentMime)));
    const bool scroll = view && view->mode() == ScoreEditor::kScrollMode;
    const auto enabled = [&](EnabledWhen when) {
        switch (when) {
            case EnabledWhen::Always:
                return true;
            case EnabledWhen::Score:
                return doc != nullptr;
            case EnabledWhen::CanUndo:
                return doc && doc->history().canUndo();
            case EnabledWhen::CanRedo:
                return doc && doc->history().canRedo();
            case EnabledWhen::Selection:
                return view && view->canCutOrCopy();
            case EnabledWhen::CanPaste:
                return canPaste;
            case EnabledWhen::NotScrollMode:
                return view && !scroll;
            case EnabledWhen::NotPageMode:
                return view && scroll;
            case EnabledWhen::Playback:
                break;
        }
        return false;
    };
    for (const Commands::Entry& entry : commands_.all()) {
        if (!entry.action || entry.row->enabled == EnabledWhen::Playback)
            continue;
        entry.action->setEnabled(enabled(entry.row->enabled));
        // The check marks that follow the score in front; a setting of the score follows undo
        // and redo.
        switch (entry.row->checks) {
            case CheckShows::ScrollMode:
                entry.action->setChecked(view && scroll);
                break;
            case CheckShows::PageMode:
                entry.action->setChecked(view && !scroll);
                break;
            case CheckShows::MeasureNumbers:
                entry.action->setChecked(doc && doc->score().header().measureNumbers);
                break;
            case CheckShows::HideEmptyTracks:
                entry.action->setChecked(doc && doc->score().header().hideEmptyTracks);
                break;
            default:
                break;
        }
    }
    if (versePane_)
        versePane_->setVisible(view && view->inLyricsMode());
}

void MainWindow::updateCommandStates() {
    ScoreView* view = activeView();
    ScoreDocument* doc = view ? view->document() : nullptr;
    const bool open = doc != nullptr;
    updateEditStates();
    noteBar_->setEnabled(open);
    if (view) {
        noteBar_->showState(view->controller().input);
        const QString measure = view->measureStatus();
        measurePane_->setText(measure);
        measurePane_->setVisible(!measure.isEmpty());
        zoomPane_->setText(QStringLiteral("%1%").arg(qRound(view->zoom() * 100)));
    } else {
        measurePane_->hide();
    }
    zoomPane_->setVisible(open);
    playback_->setCurrent(view ? view->player() : nullptr, doc ? doc->path() : QString(),
                          doc ? doc->score().header().tempo.quartersPerMinute() : 0);
    if (open != menusForDocument_)
        fillMenus(open);
}

void MainWindow::updateRecentFiles() {
    const QStringList files = recent_.files();
    for (int i = 0; i < recentActions_.size(); ++i) {
        QAction* action = recentActions_[i];
        const bool used = i < files.size();
        action->setVisible(used);
        if (used)
            action->setText(
                QStringLiteral("&%1 %2").arg(i + 1).arg(QDir::toNativeSeparators(files[i])));
    }
    recentSeparator_->setVisible(!files.isEmpty());
}

void MainWindow::updateWindowMenu() {
    qDeleteAll(windowActions_);
    windowActions_.clear();
    const QList<QMdiSubWindow*> windows = mdi_->subWindowList(QMdiArea::CreationOrder);
    if (windows.isEmpty())
        return;
    windowActions_ << menu(CommandMenu::Window)->addSeparator();
    const QStringList names = windowMenuNames(windows);
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows[i];
        QAction* action = menu(CommandMenu::Window)
                              ->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(names[i]));
        action->setCheckable(true);
        action->setChecked(window == mdi_->currentSubWindow());
        connect(action, &QAction::triggered, this,
                [this, window] { mdi_->setActiveSubWindow(window); });
        windowActions_ << action;
    }
}

void MainWindow::arrangeIcons() {
    // Minimised windows line up along the bottom of the window area.
    int x = 0;
    for (QMdiSubWindow* window : mdi_->subWindowList(QMdiArea::CreationOrder)) {
        if (!window->isMinimized())
            continue;
        window->move(x, mdi_->viewport()->height() - window->height());
        x += window->width();
    }
}

// -- closing and dropping --------------------------------------------------------------------

void MainWindow::closeEvent(QCloseEvent* event) {
    for (ScoreDocument* doc : QList<ScoreDocument*>(documents_)) {
        if (!doc->isModified())
            continue;
        const QList<DocumentWindow*> frames = framesOf(doc);
        if (!frames.isEmpty())
            mdi_->setActiveSubWindow(frames.first());
        if (!saveModifiedDocument(*doc, this)) {
            event->ignore();
            return;
        }
    }
    for (QMdiSubWindow* window : mdi_->subWindowList())
        if (auto* frame = qobject_cast<DocumentWindow*>(window))
            frame->closeUnasked();
    event->accept();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    const QMimeData* data = event->mimeData();
    if (!data->hasUrls())
        return;
    for (const QUrl& url : data->urls())
        if (url.isLocalFile()) {
            event->acceptProposedAction();
            return;
        }
}

void MainWindow::dropEvent(QDropEvent* event) {
    QStringList files;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile())
            files << url.toLocalFile();
    if (files.isEmpty())
        return;
    event->acceptProposedAction();
    activateWindow();
    for (const QString& path : files)
        openDocument(path);
}

}  // namespace qe
