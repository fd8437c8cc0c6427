#include "gui/view_note_commands.h"

#include <QInputDialog>
#include <algorithm>

#include "edit/note_extras.h"
#include "gui/score_view.h"
#include "gui/text_input_dialog.h"
#include "gui/ui_text.h"

namespace qe {

void tieSelection(ScoreView& view) {
    tellRefusal(view, view.controller().notes().addTie(),
         {{Refusal::NothingSelected,
           "请先选中要用弧线连起来的音符（拖动鼠标或按住 Shift 移动插入点）。"},
          {Refusal::AcrossTracks, "弧线只能连接同一声部中的音符。"},
          {Refusal::None, "所选内容中没有可以用弧线连起来的两个音符。"}});
}

void voltaOverSelection(ScoreView& view) {
    // Asked for a label only when there is something to put the bracket over.
    const std::initializer_list<std::pair<Refusal, const char*>> why{
        {Refusal::NothingSelected, "请先选中要加跳房子的小节（拖动鼠标或按住 Shift 移动插入点）。"},
        {Refusal::None, "跳房子只能加在同一声部的小节上。"}};
    if (!tellRefusal(view, view.controller().notes().voltaSelection(), why))
        return;
    TextInputDialog dialog(&view);
    dialog.prompt = ui("请输入说明文字");
    dialog.value = QStringLiteral("1");
    if (dialog.exec() != QDialog::Accepted)
        return;
    view.controller().notes().addVolta(dialog.value.toStdU16String());
    view.onUpdate(true);
}

bool tellRefusal(ScoreView& view, const EditResult& result,
                 std::initializer_list<std::pair<Refusal, const char*>> why) {
    if (result)
        return true;
    const char* text = nullptr;
    for (const auto& [refusal, words] : why)
        if (refusal == result.refusal || (!text && refusal == Refusal::None))
            text = words;
    if (text)
        emit view.statusMessage(ui(text));
    return false;
}

void makeTriplet(ScoreView& view) {
    tellRefusal(view, view.controller().notes().toggleTuplet(3, 2),
         {{Refusal::None, "请先选中同一小节里要变为三连音的音符。"}});
    emit view.editStateChanged();
}

void chooseTuplet(ScoreView& view) {
    if (!view.controller().hasSelection()) {
        emit view.statusMessage(ui("请先选中同一小节里要变为连音的音符。"));
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
        QInputDialog::getItem(&view, ui("连音"), ui("选中的音符变为："), names, 0, false, &ok);
    if (!ok)
        return;
    const Choice& c = kChoices[std::max<qsizetype>(0, names.indexOf(chosen))];
    tellRefusal(view, view.controller().notes().toggleTuplet(c.actual, c.normal),
         {{Refusal::None, "连音只能用于同一小节里的音符。"}});
    emit view.editStateChanged();
}

void toggleMark(ScoreView& view, std::uint32_t flag) {
    tellRefusal(view, view.controller().notes().toggleArticulation(flag), {{Refusal::None, "插入点前没有音符。"}});
}

void addChordTone(ScoreView& view, int degree, bool below) {
    tellRefusal(view, view.controller().notes().addChordTone(degree, below),
         {{Refusal::None, "插入点前没有可以加和弦音的音符。"}});
    emit view.editStateChanged();
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

void addGracesBefore(ScoreView& view) {
    addGraces(view, view.controller(), false);
    emit view.editStateChanged();
}

void addGracesAfter(ScoreView& view) {
    addGraces(view, view.controller(), true);
    emit view.editStateChanged();
}

void clearChordAndGraces(ScoreView& view) {
    if (!view.controller().caret.valid())
        return;
    if (!noteBefore(view.controller().score(), *view.controller().caret.at)) {
        emit view.statusMessage(ui("插入点前没有音符。"));
        return;
    }
    // The editor refuses, changing nothing, when the note has neither.
    if (view.controller().notes().clearTonesAndGraces())
        emit view.editStateChanged();
}

void writeNoteWords(ScoreView& view, bool below) {
    ScoreEditor& editor = view.controller();
    if (!editor.caret.valid() || !noteBefore(editor.score(), *editor.caret.at)) {
        emit view.statusMessage(ui("请把插入点放在要写文字的音符后面。"));
        return;
    }
    TextInputDialog dialog(&view);
    dialog.setWindowTitle(below ? ui("下方文字") : ui("上方文字"));
    dialog.prompt = below ? ui("写在音符下方的文字（如 mf、dolce），留空则去掉：")
                          : ui("写在音符上方的文字（如 rit.、渐慢），留空则去掉：");
    dialog.value = QString::fromStdU16String(editor.notes().noteTextBeforeCaret(below));
    dialog.valueEdit()->setMaxLength(static_cast<int>(extension::kLongestNoteText));
    // Wide enough to show the whole prompt, which stands above the field.
    dialog.valueEdit()->setMinimumWidth(dialog.fontMetrics().horizontalAdvance(dialog.prompt) + 24);
    if (dialog.exec() != QDialog::Accepted)
        return;
    tellRefusal(view, editor.notes().setNoteText(below, dialog.value.toStdU16String()),
                {{Refusal::None, "插入点前没有可以写文字的音符。"}});
    emit view.editStateChanged();
}

}  // namespace qe
