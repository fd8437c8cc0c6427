#include "gui/main_window.h"

#include "gui/accepted_files.h"
#include "gui/document_dialogs.h"
#include "gui/measure_mark_dialog.h"

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
#include "musicxml/musicxml_file.h"

namespace qe {

namespace {

const char* const kWatermarkKey = "Settings/ShowWatermark";

// The note-input panes and the texts that size them: the widest each will show.
const char* const kPaneStart[3] = {"正常", "中音", "4分音"};
const char* const kPaneSizing[3] = {"还原", "中音", "16分音"};

// The message names the file that did not open; the box is wide enough for its caption.
void showOpenFailure(QWidget* parent, const FileResult& result, const QString& path) {
    const QString message = result.notADocument ? unreadableDocumentMessage() : result.error;
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

    commands_.viewWatermark->setChecked(watermarkShown());
    settings_ = std::make_unique<QSettings>();
    playback_ = new PlaybackControls(this, *settings_);
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
    const Commands& c = commands_;
    for (int i = 0; i < RecentFiles::kMostFiles; ++i) {
        auto* action = new QAction(this);
        action->setStatusTip(ui("打开此文档"));
        connect(action, &QAction::triggered, this, [this, i] { openRecent(i); });
        recentActions_ << action;
    }
    fileMenu_ = menuBar()->addMenu(ui("文件(&F)"));
    connect(fileMenu_, &QMenu::aboutToShow, this, &MainWindow::updateRecentFiles);
    editMenu_ = menuBar()->addMenu(ui("编辑(&E)"));
    editMenu_->addActions({c.editUndo, c.editRedo});
    editMenu_->addSeparator();
    editMenu_->addActions({c.editCut, c.editCopy, c.editPaste, c.editDelete});
    editMenu_->addSeparator();
    editMenu_->addAction(c.editSelectAll);
    connect(editMenu_, &QMenu::aboutToShow, this, &MainWindow::updateEditStates);
    viewMenu_ = menuBar()->addMenu(ui("视图(&V)"));
    languageMenu_ = createLanguageMenu();

    scoreMenu_ = menuBar()->addMenu(ui("谱面(&S)"));
    scoreMenu_->addActions(
        {c.titleSettings, c.fontSettings, c.partNames, c.measureMark, c.measureNumbers});
    scoreMenu_->addSeparator();
    scoreMenu_->addActions({c.lyricsMode, c.lyricsPaste});
    scoreMenu_->addSeparator();
    scoreMenu_->addAction(c.checkMeasures);

    noteMenu_ = menuBar()->addMenu(ui("音符(&N)"));
    noteMenu_->addActions({c.addTie, c.addVolta});
    noteMenu_->addSeparator();
    noteMenu_->addActions({c.addTriplet, c.addTuplet});
    noteMenu_->addSeparator();
    noteMenu_->addActions({c.addFermata, c.addStaccato, c.addAccent});
    noteMenu_->addSeparator();
    noteMenu_->addActions({c.addGraceBefore, c.addGraceAfter, c.clearChordAndGraces, c.chordSymbols});

    menuBar()->addMenu(playback_->menu());

    windowMenu_ = menuBar()->addMenu(ui("窗口(&W)"));
    windowMenu_->addActions({c.windowNew, c.windowCascade, c.windowTile, c.windowArrange});
    connect(windowMenu_, &QMenu::aboutToShow, this, &MainWindow::updateWindowMenu);

    helpMenu_ = menuBar()->addMenu(ui("帮助(&H)"));
    helpMenu_->addActions({c.keyGuide, c.appAbout});

    contextMenu_ = new QMenu(this);
    contextMenu_->addActions({c.editCut, c.editCopy, c.editPaste, c.editDelete});
    contextMenu_->addSeparator();
    contextMenu_->addActions({c.addTie, c.addVolta});
    contextMenu_->addSeparator();
    contextMenu_->addAction(c.lyricsMode);
    fillMenus(false);
}

void MainWindow::fillMenus(bool forDocument) {
    const Commands& c = commands_;
    // The File and View menus of an empty editor are shorter than those with a score.
    fileMenu_->clear();
    fileMenu_->addActions({c.fileNew, c.fileOpen, c.fileImport});
    if (forDocument) {
        fileMenu_->addAction(c.fileClose);
        fileMenu_->addSeparator();
        fileMenu_->addActions({c.fileSave, c.fileSaveAs});
        fileMenu_->addSeparator();
        fileMenu_->addAction(c.fileExport);
        fileMenu_->addSeparator();
        fileMenu_->addActions({c.filePrint, c.filePrintPreview, c.filePrintSetup});
    } else {
        fileMenu_->addSeparator();
        fileMenu_->addActions({c.filePrintSetup, c.fileClose});
    }
    recentSeparator_ = fileMenu_->addSeparator();
    fileMenu_->addActions(recentActions_);
    fileMenu_->addSeparator();
    fileMenu_->addAction(c.appExit);

    viewMenu_->clear();
    viewMenu_->addActions({c.viewToolBar, c.viewStatusBar});
    if (forDocument) {
        viewMenu_->addSeparator();
        viewMenu_->addActions({c.viewScrollMode, c.viewPageMode});
        viewMenu_->addSeparator();
        viewMenu_->addActions({c.viewZoomIn, c.viewZoomOut, c.viewZoomReset, c.viewFitWidth});
    }
    viewMenu_->addSeparator();
    viewMenu_->addAction(c.viewWatermark);
    viewMenu_->addSeparator();
    viewMenu_->addMenu(languageMenu_);

    for (QMenu* menu : {editMenu_, scoreMenu_, noteMenu_, playback_->menu(), windowMenu_})
        menu->menuAction()->setVisible(forDocument);
    menusForDocument_ = forDocument;
    updateRecentFiles();
}

void MainWindow::createToolBar() {
    toolBar_ = addToolBar(ui("工具栏"));
    toolBar_->setObjectName(QStringLiteral("toolBar"));
    toolBar_->setIconSize(QSize(36, 20));
    toolBar_->setToolButtonStyle(Qt::ToolButtonIconOnly);
    toolBar_->addActions({commands_.editUndo, commands_.editRedo});
    toolBar_->addSeparator();
    toolBar_->addActions({commands_.addTie, commands_.addVolta});
    toolBar_->addSeparator();
    toolBar_->addActions({commands_.filePrint, commands_.fileExport, commands_.appAbout});
    addToolBar(playback_->toolBar());
    addToolBarBreak();
    noteBar_ = new NoteInputBar(this);
    addToolBar(noteBar_);
    connect(noteBar_, &NoteInputBar::keyTyped, this, [this](char32_t key) {
        if (ScoreView* view = activeView())
            view->typeKey(key);
    });
    commands_.viewToolBar->setChecked(true);
    connect(toolBar_, &QToolBar::visibilityChanged, commands_.viewToolBar, &QAction::setChecked);
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
    commands_.viewStatusBar->setChecked(true);
}

void MainWindow::connectCommands() {
    const Commands& c = commands_;
    const auto onView = [this](void (ScoreView::*command)()) {
        return [this, command] {
            if (ScoreView* view = activeView())
                (view->*command)();
        };
    };
    connect(c.fileNew, &QAction::triggered, this, &MainWindow::onFileNew);
    connect(c.fileOpen, &QAction::triggered, this, &MainWindow::onFileOpen);
    connect(c.fileClose, &QAction::triggered, this, &MainWindow::onFileClose);
    connect(c.fileSave, &QAction::triggered, this, &MainWindow::onFileSave);
    connect(c.fileSaveAs, &QAction::triggered, this, &MainWindow::onFileSaveAs);
    connect(c.fileExport, &QAction::triggered, this, [this] {
        if (ScoreView* view = activeView())
            view->onExport(playback_->tempo->value());
    });
    connect(c.filePrint, &QAction::triggered, this, [this] {
        if (ScoreView* view = activeView())
            view->onFilePrint(printer());
    });
    connect(c.filePrintPreview, &QAction::triggered, this, [this] {
        if (ScoreView* view = activeView())
            view->onFilePrintPreview(printer());
    });
    connect(c.filePrintSetup, &QAction::triggered, this, &MainWindow::onFilePrintSetup);
    connect(c.appExit, &QAction::triggered, this, &QWidget::close);

    connect(c.viewToolBar, &QAction::toggled, toolBar_, &QWidget::setVisible);
    connect(c.viewStatusBar, &QAction::toggled, statusBar(), &QWidget::setVisible);
    connect(c.viewScrollMode, &QAction::triggered, this, onView(&ScoreView::onScrollMode));
    connect(c.viewPageMode, &QAction::triggered, this, onView(&ScoreView::onPageMode));
    connect(c.viewWatermark, &QAction::toggled, this, &MainWindow::setWatermarkShown);

    connect(c.titleSettings, &QAction::triggered, this, [this] {
        if (ScoreDocument* doc = activeDocument())
            editTitleBlock(*doc, this);
    });
    connect(c.measureNumbers, &QAction::triggered, this, [this](bool on) {
        if (ScoreDocument* doc = activeDocument()) {
            doc_header h = doc->score().header();
            h.measureNumbers = on;
            doc->changeTitleBlock(h);
        }
    });
    connect(c.measureMark, &QAction::triggered, this, [this] {
        ScoreView* view = activeView();
        if (!view || !view->document())
            return;
        // Measures are numbered along the first track: the caret's measure names one there.
        const Caret& caret = view->controller().caret;
        const int measure = caret.valid() ? caret.at->measure : 0;
        editMeasureMark(*view->document(), measure, this);
    });
    connect(c.partNames, &QAction::triggered, this, [this] {
        if (ScoreDocument* doc = activeDocument())
            editPartNames(*doc, this);
    });
    connect(c.fontSettings, &QAction::triggered, this, onView(&ScoreView::onFontSettings));
    connect(c.lyricsMode, &QAction::triggered, this, onView(&ScoreView::onLyricsMode));
    connect(c.lyricsPaste, &QAction::triggered, this, onView(&ScoreView::onLyricsPaste));
    connect(c.fileImport, &QAction::triggered, this, &MainWindow::onFileImport);
    connect(c.editUndo, &QAction::triggered, this, onView(&ScoreView::onUndo));
    connect(c.editRedo, &QAction::triggered, this, onView(&ScoreView::onRedo));
    connect(c.editCut, &QAction::triggered, this, onView(&ScoreView::onCut));
    connect(c.editCopy, &QAction::triggered, this, onView(&ScoreView::onCopy));
    connect(c.editPaste, &QAction::triggered, this, onView(&ScoreView::onPaste));
    connect(c.editDelete, &QAction::triggered, this, onView(&ScoreView::onDelete));
    connect(c.editSelectAll, &QAction::triggered, this, onView(&ScoreView::onSelectAll));
    connect(c.viewZoomIn, &QAction::triggered, this, onView(&ScoreView::zoomIn));
    connect(c.viewZoomOut, &QAction::triggered, this, onView(&ScoreView::zoomOut));
    connect(c.viewZoomReset, &QAction::triggered, this, [this] {
        if (ScoreView* view = activeView())
            view->setZoom(1.0);
    });
    connect(c.viewFitWidth, &QAction::triggered, this, onView(&ScoreView::fitWidth));
    connect(c.checkMeasures, &QAction::triggered, this, &MainWindow::onCheckMeasures);
    connect(c.keyGuide, &QAction::triggered, this, &MainWindow::onKeyGuide);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this,
            &MainWindow::updateEditStates);
    connect(c.addTie, &QAction::triggered, this, onView(&ScoreView::onAddTie));
    connect(c.addVolta, &QAction::triggered, this, onView(&ScoreView::onVolta));
    connect(c.addTriplet, &QAction::triggered, this, onView(&ScoreView::onTriplet));
    connect(c.addTuplet, &QAction::triggered, this, onView(&ScoreView::onTuplet));
    connect(c.addFermata, &QAction::triggered, this, onView(&ScoreView::onFermata));
    connect(c.addStaccato, &QAction::triggered, this, onView(&ScoreView::onStaccato));
    connect(c.addAccent, &QAction::triggered, this, onView(&ScoreView::onAccent));
    connect(c.addGraceBefore, &QAction::triggered, this, onView(&ScoreView::onGraceBefore));
    connect(c.addGraceAfter, &QAction::triggered, this, onView(&ScoreView::onGraceAfter));
    connect(c.clearChordAndGraces, &QAction::triggered, this,
            onView(&ScoreView::onClearChordAndGraces));
    connect(c.chordSymbols, &QAction::triggered, this, onView(&ScoreView::onChordSymbols));

    connect(c.windowNew, &QAction::triggered, this, &MainWindow::onWindowNew);
    connect(c.windowCascade, &QAction::triggered, mdi_, &QMdiArea::cascadeSubWindows);
    connect(c.windowTile, &QAction::triggered, mdi_, &QMdiArea::tileSubWindows);
    connect(c.windowArrange, &QAction::triggered, this, &MainWindow::arrangeIcons);
    connect(c.appAbout, &QAction::triggered, this, &MainWindow::onAppAbout);
}

// -- documents and windows -------------------------------------------------------------------

ScoreDocument* MainWindow::adoptDocument(ScoreDocument* doc) {
    doc->setParent(this);
    documents_ << doc;
    autosave_->watch(doc);
    connect(doc, &ScoreDocument::historyChanged, this, &MainWindow::updateEditStates);
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
    if (!result.ok) {
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
    if (!outcome.ok) {
        QMessageBox box(QMessageBox::Warning, appTitle(),
                        ui("无法导入 MusicXML 文件 %1：\n%2")
                            .arg(QDir::toNativeSeparators(path), outcome.error),
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
        showOpenFailure(this, {false, false, ui("%1: 文件不存在。").arg(path)}, path);
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
        keyGuide_ = new KeyGuide(keyGuideRows(commands_, *playback_), this);
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
    commands_.editUndo->setEnabled(doc && doc->history().canUndo());
    commands_.editRedo->setEnabled(doc && doc->history().canRedo());
    // A setting of the score: it follows undo and redo.
    commands_.measureNumbers->setChecked(doc && doc->score().header().measureNumbers);
    const bool selected = view && view->canCutOrCopy();
    commands_.editCut->setEnabled(selected);
    commands_.editCopy->setEnabled(selected);
    const QMimeData* mime = QGuiApplication::clipboard()->mimeData();
    commands_.editPaste->setEnabled(
        view && mime &&
        (mime->hasText() || mime->hasFormat(QStringLiteral("application/x-qanoredit-fragment"))));
    if (versePane_)
        versePane_->setVisible(view && view->inLyricsMode());
}

void MainWindow::updateCommandStates() {
    ScoreView* view = activeView();
    ScoreDocument* doc = view ? view->document() : nullptr;
    const bool open = doc != nullptr;
    for (QAction* action : commands_.documentCommands())
        action->setEnabled(open);
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
    if (view) {
        const bool scroll = view->mode() == 0;
        commands_.viewScrollMode->setChecked(scroll);
        commands_.viewScrollMode->setEnabled(!scroll);
        commands_.viewPageMode->setChecked(!scroll);
        commands_.viewPageMode->setEnabled(scroll);
    } else {
        commands_.viewScrollMode->setChecked(false);
        commands_.viewPageMode->setChecked(false);
    }
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
    windowActions_ << windowMenu_->addSeparator();
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows[i];
        QAction* action =
            windowMenu_->addAction(QStringLiteral("&%1 %2").arg(i + 1).arg(plainTitle(window)));
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
