#include "gui/paste_reasons.h"

#include <QRegularExpression>

#include "gui/interface_language.h"
#include "gui/ui_text.h"

namespace qe {

namespace {

// Each reason of the clipboard forms, with the number it names written as N, and the text the
// window shows for it.
struct Reason {
    const char* given;
    const char* shown;
};

constexpr Reason kReasons[] = {
    {"not jianpu at character N", "第 %1 个字符处不是简谱"},
    {"too many notes for one paste", "音符太多，无法一次粘贴"},
    {"the text is not UTF-8", "文本不是 UTF-8 编码"},
    {"the fragment has no notes", "其中没有音符"},
    {"not a score fragment of this editor", "不是本编辑器的乐谱片段"},
    {"a score fragment of a newer version of this editor", "是更新版本的编辑器复制的乐谱片段"},
    {"an unknown line in the fragment", "片段中有无法识别的行"},
    {"extras that name no note of the fragment", "附加记号所指的音符不在片段中"},
    {"damaged extras", "附加记号已损坏"},
    {"extras on something that cannot carry them", "附加记号标在不能带记号的内容上"},
    {"a tie or bracket names no note of the fragment", "连线或反复跳跃线所指的音符不在片段中"},
    {"a tie that joins no two notes", "连线没有连接两个音符"},
    {"a bracket over no measures", "反复跳跃线没有跨过小节"},
    {"a bracket label that is not text", "反复跳跃线的标签不是文字"},
    {"words of a verse numbered other than 1 to N", "歌词段号超出 1 至 %1"},
    {"the words of verse N given twice", "第 %1 段歌词出现了两次"},
    {"more words in verse N than notes", "第 %1 段歌词的字数多于音符"},
    {"a word too long in verse N", "第 %1 段歌词中有过长的字词"},
    {"a damaged line of words", "歌词行已损坏"},
    {"words that name no note of the fragment", "歌词所指的音符不在片段中"},
    {"words out of order", "歌词的顺序有误"},
    {"words that are not text", "歌词不是文字"},
    {"a word too long", "歌词中有过长的字词"},
};

}  // namespace

QString pasteReason(const std::string& given) {
    const QString text = QString::fromStdString(given);
    if (currentLanguage() == InterfaceLanguage::English)
        return text;
    static const QRegularExpression number(QStringLiteral("\\d+"));
    const QRegularExpressionMatch found = number.match(text);
    QString pattern = text;
    if (found.hasMatch())
        pattern.replace(found.capturedStart(), found.capturedLength(), QStringLiteral("N"));
    for (const Reason& reason : kReasons)
        if (pattern == QLatin1String(reason.given))
            return found.hasMatch() ? ui(reason.shown).arg(found.captured()) : ui(reason.shown);
    return ui("内容已损坏");
}

}  // namespace qe
