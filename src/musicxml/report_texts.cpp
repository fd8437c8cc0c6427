#include "musicxml/report_texts.h"

#include <QHash>

namespace qe::musicxml {

namespace {

// Each kind of the report as the code names it, and its Chinese text.
constexpr const char16_t* kTexts[][2] = {
    // Import: what the score holds and jianpu does not write.
    {u"dynamics dropped", u"力度记号已略去"},
    {u"ornaments dropped", u"装饰音记号已略去"},
    {u"technical marks dropped", u"演奏技法记号已略去"},
    {u"arpeggios dropped", u"琶音记号已略去"},
    {u"glissandos and slides dropped", u"滑音已略去"},
    {u"accidental marks dropped", u"装饰音上的变音记号已略去"},
    {u"other notations dropped", u"其他记号已略去"},
    {u"text directions dropped", u"文字表情记号已略去"},
    {u"tempo marks dropped", u"速度记号已略去"},
    {u"hairpins dropped", u"渐强渐弱线已略去"},
    {u"pedal marks dropped", u"踏板记号已略去"},
    {u"segno and coda signs dropped", u"反复记号（𝄋、𝄌）已略去"},
    {u"rehearsal marks dropped", u"排练号已略去"},
    {u"dashed lines and brackets dropped", u"虚线和括线已略去"},
    {u"octave shifts dropped, notes kept as written", u"八度记号已略去，音符按记谱音高"},
    {u"other directions dropped", u"其他指示已略去"},
    {u"figured bass dropped", u"数字低音已略去"},
    {u"cue notes dropped", u"提示音符已略去"},
    {u"grace notes dropped", u"倚音已略去"},
    {u"syllables of dropped notes dropped", u"已略去音符上的歌词已略去"},
    {u"notes without a duration dropped", u"没有时值的音符已略去"},
    {u"time printed blank inside measures written as rests", u"小节中间未印出的时值已记为休止符"},
    {u"measures shorter than in other parts lined up at their bar lines",
     u"比其他声部短的小节已按小节线与其他声部对齐"},
    {u"overlapping notes of one voice cut short", u"同一声部中重叠的音符已缩短"},
    {u"notes rounded to lengths a record holds", u"音符时值已取整为可记写的时值"},
    {u"tuplet notes written with the nearest plain lengths", u"连音符已按最接近的普通时值记写"},
    {u"notes too short to write dropped", u"太短无法记写的音符已略去"},
    {u"chord symbols with no note of their own dropped", u"没有对应音符的和弦名称已略去"},
    {u"chord symbols this editor cannot write dropped", u"无法记写的和弦名称已略去"},
    {u"chord alterations this editor cannot write dropped", u"无法记写的和弦变化音已略去"},
    {u"chord tones and grace notes beyond the octave dots dropped",
     u"超出高低音点范围的和弦音和倚音已略去"},
    {u"notes beyond the range of octave dots written as rests",
     u"超出高低音点范围的音符已记为休止符"},
    {u"notes spelled with another degree of the same sound", u"音符已改用同音的另一级数记写"},
    {u"ties with no note of their pitch to end on dropped", u"没有同音高结束音符的延音线已略去"},
    {u"slurs with no end dropped", u"没有结束的圆滑线已略去"},
    {u"slurs beyond 16 at once dropped", u"同时超过 16 条的圆滑线已略去"},
    {u"ties and slurs past the 32768th item of a track dropped",
     u"声部第 32768 个符号之后的连线已略去"},
    {u"syllables past the 32768th item of a track dropped", u"声部第 32768 个符号之后的歌词已略去"},
    {u"volta brackets past the 32768th item of a track dropped",
     u"声部第 32768 个符号之后的反复跳跃记号已略去"},
    {u"volta brackets over a measure that has one dropped", u"重叠的反复跳跃记号已略去"},
    {u"volta brackets over no written measure dropped", u"不在任何小节上的反复跳跃记号已略去"},
    {u"syllables not under a note or rest dropped", u"不在音符下的歌词已略去"},
    {u"hummed or laughed syllables dropped", u"哼唱或笑声音节已略去"},
    {u"syllables of verses beyond 32 dropped", u"第 32 段以后的歌词已略去"},
    {u"accidentals on rests or without a meaning dropped", u"休止符上或无意义的变音记号已略去"},
    {u"parentheses not around one note dropped", u"不是括住一个音符的括号已略去"},
    {u"breath marks before the first note dropped", u"第一个音符之前的换气记号已略去"},
    {u"bar lines inside measures dropped", u"小节中间的小节线已略去"},
    {u"bar line styles written as the nearest this editor has", u"小节线样式已改为最接近的一种"},
    {u"signs on bar lines dropped", u"小节线上的记号已略去"},
    {u"composite time signatures written as their sum", u"复合拍号已记为其总和"},
    {u"time signatures this editor cannot write dropped", u"无法记写的拍号已略去"},
    {u"time signatures without a beat type dropped", u"没有拍子单位的拍号已略去"},
    {u"non-traditional key signatures dropped, notes kept", u"非传统调号已略去，音符保留"},
    {u"key signatures written as the key that sounds the same", u"调号已记为同音的调"},
    {u"key signatures that differ from the first part's written in its key",
     u"与第一个声部不同的调号按第一个声部的调记写"},
    {u"microtones rounded to the nearest semitone", u"微分音已取整为最接近的半音"},
    {u"unpitched notes written at their place on the staff",
     u"无固定音高的音符按其在谱表上的位置记写"},
    {u"transposing parts kept at their written pitch", u"移调乐器声部按记谱音高保留"},
    {u"parts missing from the part list imported after the others",
     u"声部列表中没有的声部已排在其他声部之后"},
    {u"voices beyond the eighth of a staff dropped", u"一个谱表第八个以后的声部已略去"},
    {u"tablature staves skipped: jianpu writes the melody, not frets",
     u"六线谱（指法谱）谱表已跳过：简谱只记旋律"},
    {u"percussion staves skipped: jianpu writes pitches, not drums",
     u"打击乐谱表已跳过：简谱只记音高"},
    {u"tablature or percussion staves written as melody: the score has no other staff",
     u"乐谱只有六线谱或打击乐谱表，已按旋律记写"},
    {u"characters after the end of the score ignored", u"乐谱结束之后的多余字符已忽略"},
    // Export: what MusicXML has no place for.
    {u"a time signature MusicXML has no form for not written", u"MusicXML 无法表示的拍号未写出"},
    {u"arcs and brackets that name no place in a track dropped",
     u"没有指向声部位置的连线和括线已略去"},
    {u"arcs that join no two notes dropped", u"没有连接两个音符的连线已略去"},
    {u"articulations dropped", u"奏法记号已略去"},
    {u"characters XML cannot hold written as U+FFFD", u"XML 无法容纳的字符已写为 U+FFFD"},
    {u"dashes and dots after no note written as rests", u"不在音符之后的增时线和附点已记为休止符"},
    {u"fonts not written: MusicXML has no place for them", u"字体未写出：MusicXML 没有相应位置"},
    {u"notes beyond the range of MusicXML written as rests",
     u"超出 MusicXML 音域的音符已记为休止符"},
    {u"syllables that name no place in a track dropped", u"没有指向声部位置的歌词已略去"},
    {u"tempo records not written: MusicXML has no place for them",
     u"速度记录未写出：MusicXML 没有相应位置"},
    {u"volta brackets that name no measures dropped", u"没有指向小节的反复跳跃记号已略去"},
};

const QHash<QString, QString>& table() {
    static const QHash<QString, QString> texts = [] {
        QHash<QString, QString> out;
        for (const auto& [english, chinese] : kTexts)
            out.insert(QString::fromUtf16(english), QString::fromUtf16(chinese));
        return out;
    }();
    return texts;
}

}  // namespace

QString chineseReportText(const QString& what) {
    return table().value(what, what);
}

bool hasChineseReportText(const QString& what) {
    return table().contains(what);
}

}  // namespace qe::musicxml
