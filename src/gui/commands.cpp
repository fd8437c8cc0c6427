#include "gui/commands.h"

#include "gui/ui_text.h"

#include <QAction>
#include <QKeySequence>

#include "gui/drawn_icon.h"

namespace qe {

namespace {

// A prompt of the string table: the status-bar text, then after "\n" the tooltip.
QAction* make(QObject* owner, const char* text, const char* prompt,
              const QKeySequence& shortcut = {}) {
    auto* action = new QAction(ui(text), owner);
    const QString both = ui(prompt);
    const qsizetype split = both.indexOf(QLatin1Char('\n'));
    action->setStatusTip(split < 0 ? both : both.left(split));
    action->setToolTip(split < 0 ? both : both.mid(split + 1));
    if (!shortcut.isEmpty())
        action->setShortcut(shortcut);
    return action;
}

}  // namespace

Commands::Commands(QObject* owner) {
    fileNew = make(owner, "新建(&N)", "创建新文档\n新建", QKeySequence(QStringLiteral("Ctrl+N")));
    fileOpen =
        make(owner, "打开(&O)...", "打开现有文档\n打开", QKeySequence(QStringLiteral("Ctrl+O")));
    fileClose = make(owner, "关闭(&C)", "关闭活动文档\n关闭");
    fileSave =
        make(owner, "保存(&S)", "保存活动文档\n保存", QKeySequence(QStringLiteral("Ctrl+S")));
    fileSaveAs = make(owner, "另存为(&A)...", "用新名称保存活动文档\n另存为");
    fileExport = make(owner, "导出(&E)...", "导出图片、MIDI等\n导出");
    fileExport->setIcon(DrawnIcon::make(IconKind::Export));
    filePrint =
        make(owner, "打印(&P)...", "打印活动文档\n打印", QKeySequence(QStringLiteral("Ctrl+P")));
    filePrint->setIcon(DrawnIcon::make(IconKind::Print));
    filePrintPreview = make(owner, "打印预览(&V)", "显示整页\n打印预览");
    filePrintSetup = make(owner, "打印设置(&R)...", "更改打印机选项和打印选项\n打印设置");
    appExit = make(owner, "退出(&X)", "退出应用程序；提示保存文档\n退出");
    fileImport =
        make(owner, "导入 MusicXML(&I)...", "把 MusicXML 乐谱转换为新的简谱文档\n导入 MusicXML");

    editUndo =
        make(owner, "撤销(&U)", "撤销上一步操作\n撤销", QKeySequence(QStringLiteral("Ctrl+Z")));
    editUndo->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+Z")), QKeySequence(QStringLiteral("Alt+Backspace"))});
    editUndo->setIcon(DrawnIcon::make(IconKind::Undo));
    editRedo = make(owner, "重做(&R)", "重做上一步撤销的操作\n重做");
    editRedo->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+Y")), QKeySequence(QStringLiteral("Ctrl+Shift+Z"))});
    editRedo->setIcon(DrawnIcon::make(IconKind::Redo));
    editCut = make(owner, "剪切(&T)", "剪切所选内容并放到剪贴板上\n剪切");
    editCut->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+X")), QKeySequence(QStringLiteral("Shift+Delete"))});
    editCopy = make(owner, "复制(&C)", "复制所选内容并放到剪贴板上\n复制");
    editCopy->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+C")), QKeySequence(QStringLiteral("Ctrl+Insert"))});
    editPaste = make(owner, "粘贴(&P)", "在插入点插入剪贴板内容\n粘贴");
    editPaste->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+V")), QKeySequence(QStringLiteral("Shift+Insert"))});

    editDelete = make(owner, "删除(&D)", "删除所选内容，或插入点之后的音符\n删除",
                      QKeySequence(QKeySequence::Delete));
    // Ctrl+A is the tie's; select-all takes a key no other command has.
    editSelectAll = make(owner, "全选(&L)", "选中插入点所在声部的全部内容\n全选",
                         QKeySequence(QStringLiteral("Ctrl+Shift+A")));

    viewToolBar = make(owner, "工具栏(&T)", "显示或隐藏工具栏\n切换工具栏");
    viewToolBar->setCheckable(true);
    viewStatusBar = make(owner, "状态栏(&S)", "显示或隐藏状态栏\n切换状态栏");
    viewStatusBar->setCheckable(true);
    viewScrollMode = make(owner, "滚动视图(&L)",
                          "切换到无分页、所有内容平铺显示的滚动视图模式\n切换到滚动视图模式");
    viewScrollMode->setCheckable(true);
    viewPageMode = make(owner, "页面视图(&P)", "切换到页面视图模式\n切换到页面视图模式");
    viewPageMode->setCheckable(true);
    viewWatermark = make(owner, "显示水印(&W)", "在每一页的中央显示淡色水印\n显示水印");
    viewWatermark->setCheckable(true);

    viewZoomIn = make(owner, "放大(&I)", "放大乐谱\n放大", QKeySequence(QStringLiteral("Ctrl+=")));
    viewZoomIn->setShortcuts(
        {QKeySequence(QStringLiteral("Ctrl+=")), QKeySequence(QStringLiteral("Ctrl++"))});
    viewZoomOut = make(owner, "缩小(&O)", "缩小乐谱\n缩小", QKeySequence(QStringLiteral("Ctrl+-")));
    viewZoomReset =
        make(owner, "实际大小(&Z)", "按 100% 显示乐谱\n实际大小", QKeySequence(QStringLiteral("Ctrl+0")));
    viewFitWidth = make(owner, "适合宽度(&F)", "缩放到页面与窗口同宽\n适合宽度");

    titleSettings = make(owner, "标题(&T)...", "输入标题\n输入标题");
    fontSettings = make(owner, "字体(&F)...", "修改字体信息\n修改字体信息");
    lyricsMode = make(owner, "歌词(&L)...", "在插入点的音符下输入歌词\n输入歌词",
                      QKeySequence(QStringLiteral("Ctrl+L")));
    lyricsPaste =
        make(owner, "粘贴整段歌词", "把剪贴板中的整段歌词从插入点起填到音符下\n粘贴整段歌词");

    measureNumbers = make(owner, "显示小节号(&N)", "在每行谱的上方印出该行第一个小节的序号\n显示小节号");
    measureNumbers->setCheckable(true);
    partNames = make(owner, "声部名称(&P)...", "设置印在每个声部行首的名称\n声部名称");
    measureMark = make(owner, "小节记号(&K)...",
                       "在插入点所在的小节改变调号、拍号、速度，或标上反复记号\n小节记号",
                       QKeySequence(QStringLiteral("Ctrl+K")));
    checkMeasures = make(owner, "检查小节(&M)...", "列出拍数与拍号不符的小节\n检查小节");

    addTie = make(owner, "弧线(&A)", "为选中音符添加延音线\n添加延音线",
                  QKeySequence(QStringLiteral("Ctrl+A")));
    addTie->setIcon(DrawnIcon::make(IconKind::Tie));
    addVolta =
        make(owner, "跳房子(&J)...", "添加跳房子\n跳房子", QKeySequence(QStringLiteral("Ctrl+J")));
    addVolta->setIcon(DrawnIcon::make(IconKind::Bracket));

    addTriplet = make(owner, "三连音(&3)", "把选中的音符变为三连音，再按一次恢复\n三连音",
                      QKeySequence(QStringLiteral("Ctrl+3")));
    addTuplet = make(owner, "连音(&U)...", "把选中的音符变为二连音、四连音、五连音等\n连音",
                     QKeySequence(QStringLiteral("Ctrl+U")));
    addFermata = make(owner, "延长记号(&F)", "为插入点前的音符加上或去掉延长记号\n延长记号",
                      QKeySequence(QStringLiteral("Ctrl+Shift+F")));
    addStaccato = make(owner, "跳音(&S)", "为插入点前的音符加上或去掉跳音记号\n跳音",
                       QKeySequence(QStringLiteral("Ctrl+Shift+T")));
    addAccent = make(owner, "重音(&C)", "为插入点前的音符加上或去掉重音记号\n重音",
                     QKeySequence(QStringLiteral("Ctrl+Shift+V")));
    addGraceBefore = make(owner, "倚音(&G)...", "在插入点前的音符前面加上倚音\n倚音",
                          QKeySequence(QStringLiteral("Ctrl+G")));
    addGraceAfter = make(owner, "后倚音(&H)...", "在插入点前的音符后面加上后倚音\n后倚音",
                         QKeySequence(QStringLiteral("Ctrl+Shift+G")));
    clearChordAndGraces = make(owner, "去掉和弦音与倚音(&R)",
                               "去掉插入点前的音符的和弦音与倚音\n去掉和弦音与倚音");
    chordSymbols = make(owner, "和弦记号(&D)...", "在插入点前的音符上方输入和弦记号\n和弦记号",
                        QKeySequence(QStringLiteral("Ctrl+H")));

    windowNew = make(owner, "新建窗口(&N)", "为活动文档打开另一个窗口\n新建窗口");
    windowCascade = make(owner, "层叠(&C)", "以重叠方式排列窗口\n层叠窗口");
    windowTile = make(owner, "平铺(&T)", "以非重叠方式平铺窗口\n平铺窗口");
    windowArrange = make(owner, "排列图标(&A)", "在窗口底部排列图标\n排列图标");

    keyGuide = make(owner, "键盘指南(&K)", "列出所有按键及其作用\n键盘指南",
                    QKeySequence(QKeySequence::HelpContents));
    keyGuide->setShortcut(QKeySequence(Qt::Key_F1));
    appAbout = make(owner, "关于 QanorEdit(&A)...", "显示程序信息、版本号和版权\n关于");
    appAbout->setIcon(DrawnIcon::make(IconKind::About));
}

QList<QAction*> Commands::documentCommands() const {
    return {fileClose,    fileSave,      fileSaveAs,    fileExport, filePrint,    filePrintPreview,
            editUndo,     editRedo,      editCut,       editCopy,   editPaste,    viewScrollMode,
            viewPageMode, titleSettings, fontSettings,  lyricsMode, lyricsPaste,  addTie,
            addVolta,  windowNew,     windowCascade, windowTile, windowArrange,
            editDelete,   editSelectAll, viewZoomIn,    viewZoomOut, viewZoomReset, viewFitWidth,
            checkMeasures, partNames, measureNumbers, measureMark, addTriplet, addTuplet,
            addFermata, addStaccato, addAccent, addGraceBefore, addGraceAfter,
            clearChordAndGraces, chordSymbols};
}

QList<Commands::Entry> Commands::all() const {
    return {{"文件", fileNew},         {"文件", fileOpen},         {"文件", fileImport},
            {"文件", fileClose},       {"文件", fileSave},         {"文件", fileSaveAs},
            {"文件", fileExport},      {"文件", filePrint},        {"文件", filePrintPreview},
            {"文件", filePrintSetup},  {"文件", appExit},          {"编辑", editUndo},
            {"编辑", editRedo},        {"编辑", editCut},          {"编辑", editCopy},
            {"编辑", editPaste},       {"编辑", editDelete},       {"编辑", editSelectAll},
            {"视图", viewToolBar},     {"视图", viewStatusBar},    {"视图", viewScrollMode},
            {"视图", viewPageMode},    {"视图", viewZoomIn},       {"视图", viewZoomOut},
            {"视图", viewZoomReset},   {"视图", viewFitWidth},     {"视图", viewWatermark},
            {"谱面", titleSettings},   {"谱面", fontSettings},     {"谱面", partNames},
            {"谱面", measureNumbers},  {"谱面", measureMark},     {"谱面", lyricsMode},
            {"谱面", lyricsPaste},     {"谱面", checkMeasures},    {"音符", addTie},
            {"音符", addVolta},     {"音符", addTriplet},       {"音符", addTuplet},
            {"音符", addFermata},      {"音符", addStaccato},      {"音符", addAccent},
            {"音符", addGraceBefore},  {"音符", addGraceAfter},
            {"音符", clearChordAndGraces}, {"音符", chordSymbols}, {"窗口", windowNew},        {"窗口", windowCascade},
            {"窗口", windowTile},      {"窗口", windowArrange},    {"帮助", keyGuide},
            {"帮助", appAbout}};
}

}  // namespace qe
