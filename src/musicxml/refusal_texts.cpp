#include "musicxml/refusal_texts.h"

#include <QRegularExpression>
#include <vector>

namespace qe::musicxml {

namespace {

// A reason as the code words it, with %1, %2 … where it names something, and its Chinese,
// naming the same things. The first that matches is taken, so a reason that holds another
// stands before it, and a more particular wording before a more general one.
struct Refusal {
    const char* given;
    const char16_t* shown;
    // The %N that is itself a reason from elsewhere (the XML reader's, the system's): said
    // in Chinese when the table knows it, else in general words. 0 for none.
    int reason = 0;
};

constexpr Refusal kRefusals[] = {
    // Reasons that hold another.
    {"line %1, column %2: %3", u"第 %1 行第 %2 列：%3", 3},
    {"cannot read %1: %2", u"无法读取 %1：%2", 2},
    {"the compressed MusicXML file is damaged: %1", u"压缩的 MusicXML 文件已损坏（%1）", 1},
    {"cannot write %1", u"无法写入：%1", 1},
    // Reading the file.
    {"the file is empty", u"文件是空的"},
    {"the file is larger than %1 MiB", u"文件大于 %1 MiB"},
    {"the score inside the compressed file is larger than %1 MiB",
     u"压缩文件中的乐谱大于 %1 MiB"},
    {"%1 is larger than %2 MiB", u"%1 大于 %2 MiB"},
    {"the compressed file's container names no score", u"压缩文件的目录中没有指明乐谱"},
    {"the compressed file holds no MusicXML score", u"压缩文件中没有 MusicXML 乐谱"},
    {"the score %1 the container names is not in the compressed file",
     u"压缩文件的目录指明的乐谱 %1 不在文件中"},
    {"the file declares XML entities, which MusicXML does not use",
     u"文件声明了 XML 实体，MusicXML 不使用实体"},
    {"the file holds no XML element", u"文件中没有 XML 元素"},
    {"the file ends inside an element", u"文件在一个元素的中途结束"},
    {"<%1> \"%2\" is not a number", u"<%1> 的值“%2”不是数字"},
    {"<%1> \"%2\" is not a whole number", u"<%1> 的值“%2”不是整数"},
    // What the score holds.
    {"this is a MusicXML opus, a list of scores; import its scores",
     u"这是 MusicXML 乐谱集（opus），只列出乐谱；请分别导入其中的乐谱"},
    {"not a MusicXML score: the document is <%1>", u"不是 MusicXML 乐谱：文档是 <%1>"},
    {"the score has more than %1 parts", u"乐谱的声部多于 %1 个"},
    {"part %1 has more than %2 measures", u"声部 %1 的小节多于 %2 个"},
    {"the score holds more than %1 notes", u"乐谱的音符多于 %1 个"},
    {"the score takes more than %1 records", u"乐谱需要的记录多于 %1 个"},
    {"the score has no measures to import", u"乐谱中没有可以导入的小节"},
    {"the score is too large to import", u"乐谱太大，无法导入"},
    {"the score holds a value this editor cannot write (%1)", u"乐谱中有本编辑器无法保存的数值（%1）"},
    {"%1: the duration %2 is out of range", u"%1：时值 %2 超出范围"},
    {"%1: the measure is longer than %2 quarters", u"%1：小节长于 %2 个四分音符"},
    {"%1: %2 divisions to the quarter is out of range", u"%1：每个四分音符分为 %2 份，超出范围"},
    {"%1: %2 staves are out of range", u"%1：%2 行谱表超出范围"},
    {"%1: %2 fifths is not a key", u"%1：%2 个升降号不是调号"},
    {"%1: the time signature %2 is not one", u"%1：%2 不是拍号"},
    {"%1: the time signature is not one", u"%1：拍号无法识别"},
    {"%1: the beat type %2 is not one", u"%1：%2 不是拍号的单位拍"},
    {"%1: staff %2 is out of range", u"%1：第 %2 行谱表超出范围"},
    {"%1: \"%2\" is not a step", u"%1：“%2”不是音名"},
    {"%1: the pitch is out of range", u"%1：音高超出范围"},
    {"part %1, measure %2", u"声部 %1，第 %2 小节"},
    // Export.
    {"the document has no note track to export", u"文档中没有可以导出的音符声部"},
    {"cannot make a compressed file", u"无法生成压缩文件"},
    // The XML reader's own reasons (the third part of "line …, column …").
    {"Premature end of document.", u"文件在中途结束"},
    {"Opening and ending tag mismatch.", u"开始标签与结束标签不匹配"},
    {"Extra content at end of document.", u"文档末尾有多余的内容"},
    {"Start tag expected.", u"缺少开始标签"},
    {"Encountered incorrectly encoded content.", u"有编码错误的内容"},
    {"Invalid XML character.", u"有无效的 XML 字符"},
    {"Invalid XML name.", u"有无效的 XML 名称"},
    {"Unexpected '%1'.", u"有意外的“%1”"},
    // The system's, for a file.
    {"No such file or directory", u"文件不存在"},
    {"Permission denied", u"没有访问权限"},
    {"Is a directory", u"这是一个文件夹"},
    {"No space left on device", u"磁盘空间不足"},
    {"Read-only file system", u"文件系统只读"},
    // The archive reader's.
    {"Not a zip archive", u"不是 zip 压缩文件"},
    {"Zip archive inconsistent", u"压缩文件的结构前后矛盾"},
    {"CRC error", u"校验和不符"},
};

struct Pattern {
    QRegularExpression english;
    QString chinese;
    int reason;
};

const std::vector<Pattern>& patterns() {
    static const std::vector<Pattern> all = [] {
        std::vector<Pattern> out;
        // escape() writes "%1" as "\\%1".
        static const QRegularExpression slot(QStringLiteral("\\\\?%\\d"));
        for (const Refusal& r : kRefusals) {
            // The words as they are, each %N any text.
            QString english = QRegularExpression::escape(QString::fromUtf8(r.given));
            english.replace(slot, QStringLiteral("(.*?)"));
            out.push_back({QRegularExpression(QStringLiteral("^") + english + QStringLiteral("$"),
                                              QRegularExpression::DotMatchesEverythingOption),
                           QString::fromUtf16(r.shown), r.reason});
        }
        return out;
    }();
    return all;
}

// The template with each %N replaced by the N-th part, in one pass: a part that holds "%2"
// itself stays as it is.
QString filled(const QString& chinese, const QStringList& parts) {
    QString out;
    for (qsizetype i = 0; i < chinese.size(); ++i) {
        const QChar c = chinese[i];
        if (c == u'%' && i + 1 < chinese.size() && chinese[i + 1].isDigit()) {
            const qsizetype n = chinese[i + 1].digitValue();
            if (n >= 1 && n <= parts.size()) {
                out += parts[n - 1];
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

// The Chinese of a reason, or of a part of one (a place, the XML reader's words); null when
// the table does not know it.
QString translated(const QString& text, int depth) {
    const Pattern* best = nullptr;
    QRegularExpressionMatch found;
    for (const Pattern& p : patterns()) {
        found = p.english.match(text);
        if (found.hasMatch()) {
            best = &p;
            break;
        }
    }
    if (!best)
        return {};
    QStringList parts;
    for (int i = 1; i <= found.lastCapturedIndex(); ++i) {
        const QString part = found.captured(i);
        // A place or a reason inside the reason is said in Chinese too; a name or number is
        // kept as it is.
        const QString inner = depth < 2 ? translated(part, depth + 1) : QString();
        if (!inner.isNull())
            parts << inner;
        else if (i == best->reason)
            parts << QStringLiteral("内容无法读取");
        else
            parts << part;
    }
    return filled(best->chinese, parts);
}

}  // namespace

QString chineseRefusalText(const QString& message) {
    const QString text = translated(message, 0);
    return text.isNull() ? QStringLiteral("文件内容无法读取") : text;
}

}  // namespace qe::musicxml
