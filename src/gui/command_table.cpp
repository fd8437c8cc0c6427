#include "gui/command_table.h"

#include <QMdiArea>
#include <QSpinBox>
#include <QStatusBar>
#include <QToolBar>
#include <cstdio>
#include <cstdlib>
#include <deque>
#include <string>
#include <vector>

#include "document/score_document.h"
#include "gui/document_dialogs.h"
#include "gui/export_command.h"
#include "gui/main_window.h"
#include "gui/measure_mark_dialog.h"
#include "gui/playback_controls.h"
#include "gui/score_view.h"
#include "gui/view_clipboard.h"
#include "gui/view_keys.h"
#include "gui/view_note_commands.h"
#include "gui/view_printing.h"
#include "music/note_marks.h"

namespace qe {

namespace {

using M = CommandMenu;
using E = EnabledWhen;

// A command of the score window in front: nothing without one.
template <typename Act>
auto onView(Act act) {
    return [act](const CommandContext& c) {
        if (c.view)
            act(*c.view, c);
    };
}

// A command of the document in front.
template <typename Act>
auto onDocument(Act act) {
    return [act](const CommandContext& c) {
        if (c.view && c.view->document())
            act(*c.view->document(), c);
    };
}

std::vector<CommandRow> fileCommands() {
    return {
        {.id = "fileNew", .text = "新建(&N)", .prompt = "创建新文档\n新建", .keys = "Ctrl+N",
         .menu = M::File, .run = [](const CommandContext& c) { c.window->onFileNew(); }},
        {.id = "fileOpen", .text = "打开(&O)...", .prompt = "打开现有文档\n打开",
         .keys = "Ctrl+O", .menu = M::File,
         .run = [](const CommandContext& c) { c.window->onFileOpen(); }},
        {.id = "fileImport", .text = "导入 MusicXML(&I)...",
         .prompt = "把 MusicXML 乐谱转换为新的简谱文档\n导入 MusicXML", .menu = M::File,
         .run = [](const CommandContext& c) { c.window->onFileImport(); }},
        {.id = "fileClose", .text = "关闭(&C)", .prompt = "关闭活动文档\n关闭", .menu = M::File,
         .enabled = E::Score, .run = [](const CommandContext& c) { c.window->onFileClose(); }},
        {.id = "fileSave", .text = "保存(&S)", .prompt = "保存活动文档\n保存", .keys = "Ctrl+S",
         .menu = M::File, .group = 1, .scoreOnly = true, .enabled = E::Score,
         .run = [](const CommandContext& c) { c.window->onFileSave(); }},
        {.id = "fileSaveAs", .text = "另存为(&A)...", .prompt = "用新名称保存活动文档\n另存为",
         .menu = M::File, .group = 1, .scoreOnly = true, .enabled = E::Score,
         .run = [](const CommandContext& c) { c.window->onFileSaveAs(); }},
        {.id = "fileExport", .text = "导出(&E)...", .prompt = "导出图片、MIDI等\n导出",
         .menu = M::File, .group = 2, .scoreOnly = true, .toolBarPlace = 22,
         .enabled = E::Score, .hasIcon = true, .icon = IconKind::Export,
         .run = onView([](ScoreView& v, const CommandContext& c) {
             runExportCommand(v, c.window->playback().tempo->value());
         })},
        {.id = "filePrint", .text = "打印(&P)...", .prompt = "打印活动文档\n打印",
         .keys = "Ctrl+P", .menu = M::File, .group = 3, .scoreOnly = true, .toolBarPlace = 21,
         .enabled = E::Score, .hasIcon = true, .icon = IconKind::Print,
         .run = onView([](ScoreView& v, const CommandContext& c) {
             printScore(v, c.window->printer());
         })},
        {.id = "filePrintPreview", .text = "打印预览(&V)", .prompt = "显示整页\n打印预览",
         .menu = M::File, .group = 3, .scoreOnly = true, .enabled = E::Score,
         .run = onView([](ScoreView& v, const CommandContext& c) {
             previewScore(v, c.window->printer());
         })},
        {.id = "filePrintSetup", .text = "打印设置(&R)...",
         .prompt = "更改打印机选项和打印选项\n打印设置", .menu = M::File, .group = 3,
         .run = [](const CommandContext& c) { c.window->onFilePrintSetup(); }},
        // After the recent files.
        {.id = "appExit", .text = "退出(&X)", .prompt = "退出应用程序；提示保存文档\n退出",
         .menu = M::File, .group = 9, .run = [](const CommandContext& c) { c.window->close(); }},
    };
}

std::vector<CommandRow> editCommands() {
    return {
        {.id = "editUndo", .text = "撤销(&U)", .prompt = "撤销上一步操作\n撤销",
         .keys = "Ctrl+Z;Alt+Backspace", .menu = M::Edit, .toolBarPlace = 1,
         .enabled = E::CanUndo, .hasIcon = true, .icon = IconKind::Undo,
         .guideGroup = "编辑", .run = onView([](ScoreView& v, auto&) { v.onUndo(); })},
        {.id = "editRedo", .text = "重做(&R)", .prompt = "重做上一步撤销的操作\n重做",
         .keys = "Ctrl+Y;Ctrl+Shift+Z", .menu = M::Edit, .toolBarPlace = 2,
         .enabled = E::CanRedo, .hasIcon = true, .icon = IconKind::Redo,
         .guideGroup = "编辑", .run = onView([](ScoreView& v, auto&) { v.onRedo(); })},
        {.id = "editCut", .text = "剪切(&T)", .prompt = "剪切所选内容并放到剪贴板上\n剪切",
         .keys = "Ctrl+X;Shift+Del", .menu = M::Edit, .group = 1, .contextPlace = 1,
         .enabled = E::Selection, .guideGroup = "编辑",
         .run = onView([](ScoreView& v, auto&) { cutSelection(v); })},
        {.id = "editCopy", .text = "复制(&C)", .prompt = "复制所选内容并放到剪贴板上\n复制",
         .keys = "Ctrl+C;Ctrl+Ins", .menu = M::Edit, .group = 1, .contextPlace = 2,
         .enabled = E::Selection, .guideGroup = "编辑",
         .run = onView([](ScoreView& v, auto&) { copySelection(v); })},
        {.id = "editPaste", .text = "粘贴(&P)", .prompt = "在插入点插入剪贴板内容\n粘贴",
         .keys = "Ctrl+V;Shift+Ins", .menu = M::Edit, .group = 1, .contextPlace = 3,
         .enabled = E::CanPaste, .guideGroup = "编辑",
         .run = onView([](ScoreView& v, auto&) { pasteClipboard(v); })},
        {.id = "editDelete", .text = "删除(&D)",
         .prompt = "删除所选内容，或插入点之后的音符\n删除", .keys = "Del", .menu = M::Edit,
         .group = 1, .contextPlace = 4, .enabled = E::Score, .guideGroup = "编辑",
         .run = onView([](ScoreView& v, auto&) { v.onDelete(); })},
        // Ctrl+A is the tie's; select-all takes a key no other command has.
        {.id = "editSelectAll", .text = "全选(&L)",
         .prompt = "选中插入点所在声部的全部内容\n全选", .keys = "Ctrl+Shift+A", .menu = M::Edit,
         .group = 2, .enabled = E::Score, .guideGroup = "选择",
         .run = onView([](ScoreView& v, auto&) { v.onSelectAll(); })},
    };
}

std::vector<CommandRow> viewCommands() {
    return {
        {.id = "viewToolBar", .text = "工具栏(&T)", .prompt = "显示或隐藏工具栏\n切换工具栏",
         .menu = M::View, .checks = CheckShows::ToolBar,
         .run = [](const CommandContext& c) { c.window->toolBar()->setVisible(c.checked); }},
        {.id = "viewStatusBar", .text = "状态栏(&S)", .prompt = "显示或隐藏状态栏\n切换状态栏",
         .menu = M::View, .checks = CheckShows::StatusBar,
         .run = [](const CommandContext& c) { c.window->statusBar()->setVisible(c.checked); }},
        {.id = "viewScrollMode", .text = "滚动视图(&L)",
         .prompt = "切换到无分页、所有内容平铺显示的滚动视图模式\n切换到滚动视图模式",
         .menu = M::View, .group = 1, .scoreOnly = true, .enabled = E::NotScrollMode,
         .checks = CheckShows::ScrollMode,
         .run = onView([](ScoreView& v, auto&) { v.onScrollMode(); })},
        {.id = "viewPageMode", .text = "页面视图(&P)", .prompt = "切换到页面视图模式\n切换到页面视图模式",
         .menu = M::View, .group = 1, .scoreOnly = true, .enabled = E::NotPageMode,
         .checks = CheckShows::PageMode,
         .run = onView([](ScoreView& v, auto&) { v.onPageMode(); })},
        {.id = "viewZoomIn", .text = "放大(&I)", .prompt = "放大乐谱\n放大", .keys = "Ctrl+=;Ctrl++",
         .menu = M::View, .group = 2, .scoreOnly = true, .enabled = E::Score,
         .run = onView([](ScoreView& v, auto&) { v.zoomIn(); })},
        {.id = "viewZoomOut", .text = "缩小(&O)", .prompt = "缩小乐谱\n缩小", .keys = "Ctrl+-",
         .menu = M::View, .group = 2, .scoreOnly = true, .enabled = E::Score,
         .run = onView([](ScoreView& v, auto&) { v.zoomOut(); })},
        {.id = "viewZoomReset", .text = "实际大小(&Z)", .prompt = "按 100% 显示乐谱\n实际大小",
         .keys = "Ctrl+0", .menu = M::View, .group = 2, .scoreOnly = true, .enabled = E::Score,
         .run = onView([](ScoreView& v, auto&) { v.setZoom(1.0); })},
        {.id = "viewFitWidth", .text = "适合宽度(&F)", .prompt = "缩放到页面与窗口同宽\n适合宽度",
         .menu = M::View, .group = 2, .scoreOnly = true, .enabled = E::Score,
         .run = onView([](ScoreView& v, auto&) { v.fitWidth(); })},
        {.id = "viewWatermark", .text = "显示水印(&W)",
         .prompt = "在每一页的中央显示淡色水印\n显示水印", .menu = M::View, .group = 3,
         .checks = CheckShows::Watermark,
         .run = [](const CommandContext& c) { c.window->setWatermarkShown(c.checked); }},
    };
}

std::vector<CommandRow> scoreCommands() {
    return {
        {.id = "titleSettings", .text = "标题(&T)...", .prompt = "输入标题\n输入标题",
         .menu = M::Score, .enabled = E::Score,
         .run = onDocument([](ScoreDocument& d, const CommandContext& c) {
             editTitleBlock(d, c.window);
         })},
        {.id = "fontSettings", .text = "字体(&F)...", .prompt = "修改字体信息\n修改字体信息",
         .menu = M::Score, .enabled = E::Score,
         .run = onView([](ScoreView& v, auto&) { v.onFontSettings(); })},
        {.id = "partNames", .text = "声部名称(&P)...", .prompt = "设置印在每个声部行首的名称\n声部名称",
         .menu = M::Score, .enabled = E::Score,
         .run = onDocument([](ScoreDocument& d, const CommandContext& c) {
             editPartNames(d, c.window);
         })},
        {.id = "measureMark", .text = "小节记号(&K)...",
         .prompt = "在插入点所在的小节改变调号、拍号、速度，或标上反复记号\n小节记号",
         .keys = "Ctrl+K", .menu = M::Score, .enabled = E::Score,
         .run = onDocument([](ScoreDocument& d, const CommandContext& c) {
             // Measures are numbered along the first track: the caret's measure names one there.
             const Caret& caret = c.view->controller().caret;
             editMeasureMark(d, caret.valid() ? caret.at->measure : 0, c.window);
         })},
        {.id = "measureNumbers", .text = "显示小节号(&N)",
         .prompt = "在每行谱的上方印出该行第一个小节的序号\n显示小节号", .menu = M::Score,
         .enabled = E::Score, .checks = CheckShows::MeasureNumbers,
         .run = onDocument([](ScoreDocument& d, const CommandContext& c) {
             doc_header h = d.score().header();
             h.measureNumbers = c.checked;
             d.changeTitleBlock(h);
         })},
        {.id = "hideEmptyTracks", .text = "隐藏空白声部(&H)",
         .prompt = "在第一行之后的各行中，不印只有休止的声部\n隐藏空白声部", .menu = M::Score,
         .enabled = E::Score, .checks = CheckShows::HideEmptyTracks,
         .run = onDocument([](ScoreDocument& d, const CommandContext& c) {
             doc_header h = d.score().header();
             h.hideEmptyTracks = c.checked;
             d.changeTitleBlock(h);
         })},
        {.id = "pageCount", .text = "页数(&G)...",
         .prompt = "把乐谱排进指定的页数：先缩小行距，再缩小谱面\n页数", .menu = M::Score,
         .enabled = E::Score,
         .run = onView([](ScoreView& v, auto&) { v.onPageCount(); })},
        {.id = "lyricsMode", .text = "歌词(&L)...", .prompt = "在插入点的音符下输入歌词\n输入歌词",
         .keys = "Ctrl+L", .menu = M::Score, .group = 1, .contextPlace = 21,
         .enabled = E::Score, .guideGroup = "歌词",
         .run = onView([](ScoreView& v, auto&) { v.onLyricsMode(); })},
        {.id = "lyricsPaste", .text = "粘贴整段歌词",
         .prompt = "把剪贴板中的整段歌词从插入点起填到音符下\n粘贴整段歌词", .menu = M::Score,
         .group = 1, .enabled = E::Score,
         .run = onView([](ScoreView& v, auto&) { v.onLyricsPaste(); })},
        {.id = "checkMeasures", .text = "检查小节(&M)...", .prompt = "列出拍数与拍号不符的小节\n检查小节",
         .menu = M::Score, .group = 2, .enabled = E::Score,
         .run = [](const CommandContext& c) { c.window->onCheckMeasures(); }},
    };
}

// The marks of the notation table, each a command that puts its mark on the note before the
// caret or takes it away; in the order of their bits, so that a mark added later comes last.
std::vector<CommandRow> markCommands() {
    std::vector<CommandRow> rows;
    for (std::uint32_t bit = 1; bit != 0; bit <<= 1) {
        const music::NoteMark* mark = music::noteMarkOf(bit);
        if (!mark)
            continue;
        static std::deque<std::string> ids;
        ids.push_back(std::string("mark.") + mark->name);
        rows.push_back({.id = ids.back().c_str(), .text = mark->command, .prompt = mark->prompt,
                        .keys = mark->shortcut, .menu = M::Note, .group = 2,
                        .enabled = E::Score,
                        .run = onView([flag = mark->flag](ScoreView& v, auto&) {
                            toggleMark(v, flag);
                        })});
    }
    return rows;
}

std::vector<CommandRow> noteCommands() {
    std::vector<CommandRow> rows{
        {.id = "addTie", .text = "弧线(&A)", .prompt = "为选中音符添加延音线\n添加延音线",
         .keys = "Ctrl+A", .menu = M::Note, .toolBarPlace = 11, .contextPlace = 11,
         .enabled = E::Score, .hasIcon = true, .icon = IconKind::Tie,
         .run = onView([](ScoreView& v, auto&) { tieSelection(v); })},
        {.id = "addVolta", .text = "跳房子(&J)...", .prompt = "添加跳房子\n跳房子", .keys = "Ctrl+J",
         .menu = M::Note, .toolBarPlace = 12, .contextPlace = 12, .enabled = E::Score,
         .hasIcon = true, .icon = IconKind::Bracket,
         .run = onView([](ScoreView& v, auto&) { voltaOverSelection(v); })},
        {.id = "addTriplet", .text = "三连音(&3)",
         .prompt = "把选中的音符变为三连音，再按一次恢复\n三连音", .keys = "Ctrl+3",
         .menu = M::Note, .group = 1, .enabled = E::Score,
         .run = onView([](ScoreView& v, auto&) { makeTriplet(v); })},
        {.id = "addTuplet", .text = "连音(&U)...",
         .prompt = "把选中的音符变为二连音、四连音、五连音等\n连音", .keys = "Ctrl+U",
         .menu = M::Note, .group = 1, .enabled = E::Score,
         .run = onView([](ScoreView& v, auto&) { chooseTuplet(v); })},
    };
    for (CommandRow& mark : markCommands())
        rows.push_back(std::move(mark));
    const std::vector<CommandRow> after{
        {.id = "addGraceBefore", .text = "倚音(&G)...", .prompt = "在插入点前的音符前面加上倚音\n倚音",
         .keys = "Ctrl+G", .menu = M::Note, .group = 3, .enabled = E::Score,
         .run = onView([](ScoreView& v, auto&) { addGracesBefore(v); })},
        {.id = "addGraceAfter", .text = "后倚音(&H)...",
         .prompt = "在插入点前的音符后面加上后倚音\n后倚音", .keys = "Ctrl+Shift+G",
         .menu = M::Note, .group = 3, .enabled = E::Score,
         .run = onView([](ScoreView& v, auto&) { addGracesAfter(v); })},
        {.id = "clearChordAndGraces", .text = "去掉和弦音与倚音(&R)",
         .prompt = "去掉插入点前的音符的和弦音与倚音\n去掉和弦音与倚音", .menu = M::Note,
         .group = 3, .enabled = E::Score,
         .run = onView([](ScoreView& v, auto&) { clearChordAndGraces(v); })},
        {.id = "chordSymbols", .text = "和弦记号(&D)...",
         .prompt = "在插入点前的音符上方输入和弦记号\n和弦记号", .keys = "Ctrl+H",
         .menu = M::Note, .group = 3, .enabled = E::Score,
         .run = onView([](ScoreView& v, auto&) { v.onChordSymbols(); })},
        {.id = "wordsAbove", .text = "上方文字(&W)...",
         .prompt = "在插入点前的音符上方写文字，如 rit.、渐慢\n上方文字", .keys = "Ctrl+Shift+W",
         .menu = M::Note, .group = 3, .enabled = E::Score,
         .run = onView([](ScoreView& v, auto&) { writeNoteWords(v, false); })},
        {.id = "wordsBelow", .text = "下方文字(&B)...",
         .prompt = "在插入点前的音符下方写文字，如 mf、dolce\n下方文字", .keys = "Ctrl+Shift+B",
         .menu = M::Note, .group = 3, .enabled = E::Score,
         .run = onView([](ScoreView& v, auto&) { writeNoteWords(v, true); })},
    };
    rows.insert(rows.end(), after.begin(), after.end());
    return rows;
}

std::vector<CommandRow> playCommands() {
    return {
        {.id = "playFromCaret", .text = "从光标处播放(&P)", .prompt = "从光标所在的音符开始播放",
         .keys = "F5", .menu = M::Play, .enabled = E::Playback, .guideGroup = "播放",
         .run = [](const CommandContext& c) { c.window->playback().play(true); }},
        {.id = "playFromStart", .text = "从头播放(&B)", .prompt = "从乐谱开头开始播放",
         .keys = "Shift+F5", .menu = M::Play, .enabled = E::Playback, .guideGroup = "播放",
         .run = [](const CommandContext& c) { c.window->playback().play(false); }},
        {.id = "playPause", .text = "暂停(&A)", .prompt = "暂停或继续播放", .keys = "F6",
         .menu = M::Play, .enabled = E::Playback, .checks = CheckShows::Paused,
         .guideGroup = "播放",
         .run = [](const CommandContext& c) { c.window->playback().setPaused(c.checked); }},
        {.id = "playStop", .text = "停止(&S)", .prompt = "停止播放", .keys = "F7",
         .menu = M::Play, .enabled = E::Playback, .guideGroup = "播放",
         .run = [](const CommandContext& c) { c.window->playback().stop(); }},
    };
}

std::vector<CommandRow> windowCommands() {
    return {
        {.id = "windowNew", .text = "新建窗口(&N)", .prompt = "为活动文档打开另一个窗口\n新建窗口",
         .menu = M::Window, .enabled = E::Score,
         .run = [](const CommandContext& c) { c.window->onWindowNew(); }},
        {.id = "windowCascade", .text = "层叠(&C)", .prompt = "以重叠方式排列窗口\n层叠窗口",
         .menu = M::Window, .enabled = E::Score,
         .run = [](const CommandContext& c) { c.window->mdiArea()->cascadeSubWindows(); }},
        {.id = "windowTile", .text = "平铺(&T)", .prompt = "以非重叠方式平铺窗口\n平铺窗口",
         .menu = M::Window, .enabled = E::Score,
         .run = [](const CommandContext& c) { c.window->mdiArea()->tileSubWindows(); }},
        {.id = "windowArrange", .text = "排列图标(&A)", .prompt = "在窗口底部排列图标\n排列图标",
         .menu = M::Window, .enabled = E::Score,
         .run = [](const CommandContext& c) { c.window->arrangeIcons(); }},
        {.id = "keyGuide", .text = "键盘指南(&K)", .prompt = "列出所有按键及其作用\n键盘指南",
         .keys = "F1", .menu = M::Help,
         .run = [](const CommandContext& c) { c.window->onKeyGuide(); }},
        {.id = "appAbout", .text = "关于 QanorEdit(&A)...", .prompt = "显示程序信息、版本号和版权\n关于",
         .menu = M::Help, .toolBarPlace = 23, .hasIcon = true, .icon = IconKind::About,
         .run = [](const CommandContext& c) { c.window->onAppAbout(); }},
    };
}

// The keys of the score window alone: the caret keys (with Shift they select), letting go of
// the selection, and chord tones above and below the note before the caret.
std::vector<CommandRow> viewKeyCommands() {
    std::vector<CommandRow> rows;
    static std::deque<std::string> texts;
    for (const CaretKey& key : caretKeys()) {
        const std::string keys = std::string(key.control ? "Ctrl+" : "") +
                                 QKeySequence(key.key).toString(QKeySequence::PortableText).toStdString();
        texts.push_back(keys);
        const char* plain = texts.back().c_str();
        texts.push_back("Shift+" + keys);
        const char* shifted = texts.back().c_str();
        texts.push_back(std::string("select.") + key.id);
        const char* selectId = texts.back().c_str();
        rows.push_back({.id = key.id, .keys = plain, .guideGroup = "移动插入点",
                        .guideKeys = key.keyName, .meaning = key.meaning,
                        .run = onView([move = key.move](ScoreView& v, auto&) {
                            v.moveCaret(move, false);
                        })});
        rows.push_back({.id = selectId, .keys = shifted, .guideGroup = "选择",
                        .guideKeys = "Shift + 移动插入点的键",
                        .listed = key.move == ScoreEditor::Move::Left,
                        .meaning = "从插入点起选中到移动后的位置",
                        .run = onView([move = key.move](ScoreView& v, auto&) {
                            v.moveCaret(move, true);
                        })});
    }
    rows.push_back({.id = "letGo", .keys = "Esc", .guideGroup = "选择",
                    .meaning = "放开选中的内容",
                    .run = onView([](ScoreView& v, auto&) { v.letGoOfSelection(); })});
    for (const bool below : {false, true}) {
        for (int degree = 1; degree <= 7; ++degree) {
            texts.push_back(std::string(below ? "Ctrl+Alt+" : "Alt+") + std::to_string(degree));
            const char* keys = texts.back().c_str();
            texts.push_back(std::string(below ? "chordToneBelow" : "chordToneAbove") +
                            std::to_string(degree));
            rows.push_back({.id = texts.back().c_str(), .keys = keys, .guideGroup = "和弦",
                            .guideKeys = below ? "Ctrl + Alt + 1～7" : "Alt + 1～7",
                            .listed = degree == 1,
                            .meaning = below ? "为插入点前的音符加一个更低的和弦音"
                                             : "为插入点前的音符加一个更高的和弦音",
                            .run = onView([degree, below](ScoreView& v, auto&) {
                                addChordTone(v, degree, below);
                            })});
        }
    }
    return rows;
}

std::vector<CommandRow> allCommands() {
    std::vector<CommandRow> rows;
    for (auto make : {fileCommands, editCommands, viewCommands, scoreCommands, noteCommands,
                      playCommands, windowCommands, viewKeyCommands})
        for (CommandRow& row : make())
            rows.push_back(std::move(row));
    return rows;
}

}  // namespace

std::span<const CommandRow> commandRows() {
    static const std::vector<CommandRow> rows = allCommands();
    return rows;
}

const CommandRow& commandRow(const char* id) {
    for (const CommandRow& row : commandRows())
        if (std::string_view(row.id) == id)
            return row;
    std::fprintf(stderr, "qanoredit: no command named %s\n", id);
    std::abort();
}

}  // namespace qe
