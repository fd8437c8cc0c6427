#include "gui/view_keys.h"

#include <array>

namespace qe {

namespace {

using Move = ScoreEditor::Move;

constexpr std::array<CaretKey, 10> kCaretKeys{{
    {Qt::Key_Left, false, Move::Left, u"←", u"插入点左移一格"},
    {Qt::Key_Right, false, Move::Right, u"→", u"插入点右移一格"},
    {Qt::Key_Up, false, Move::LineUp, u"↑", u"上一行（同一行谱的上一声部，再上一行谱）"},
    {Qt::Key_Down, false, Move::LineDown, u"↓", u"下一行（同一行谱的下一声部，再下一行谱）"},
    {Qt::Key_Home, false, Move::LineStart, u"Home", u"行首"},
    {Qt::Key_End, false, Move::LineEnd, u"End", u"行尾"},
    {Qt::Key_PageUp, false, Move::PageUp, u"PgUp", u"向上一屏"},
    {Qt::Key_PageDown, false, Move::PageDown, u"PgDn", u"向下一屏"},
    {Qt::Key_Home, true, Move::ScoreStart, u"Ctrl+Home", u"乐谱开头"},
    {Qt::Key_End, true, Move::ScoreEnd, u"Ctrl+End", u"乐谱末尾"},
}};

constexpr std::array<LyricsKey, 7> kLyricsKeys{{
    {Qt::Key_Space, LyricsKey::Act::Next, u"空格", u"到下一个音符"},
    {Qt::Key_Tab, LyricsKey::Act::Next, u"Tab", u"到下一个音符"},
    {Qt::Key_Minus, LyricsKey::Act::Join, u"-", u"连到下一个音符（同一个词）"},
    {Qt::Key_Backspace, LyricsKey::Act::Backspace, u"Backspace", u"删除一个字"},
    {Qt::Key_Escape, LyricsKey::Act::Leave, u"Esc", u"结束歌词输入"},
    {Qt::Key_Return, LyricsKey::Act::Leave, u"Enter", u"结束歌词输入"},
    {Qt::Key_Enter, LyricsKey::Act::Leave, u"Enter（小键盘）", u"结束歌词输入"},
}};

constexpr std::array<ChordKey, 6> kChordKeys{{
    {Qt::Key_Tab, ChordKey::Act::Next, u"Tab", u"和弦记号放到这个音符上，到下一个音符"},
    {Qt::Key_Space, ChordKey::Act::Next, u"空格", u"和弦记号放到这个音符上，到下一个音符"},
    {Qt::Key_Backspace, ChordKey::Act::Backspace, u"Backspace", u"删除一个字符"},
    {Qt::Key_Escape, ChordKey::Act::Leave, u"Esc", u"结束和弦记号输入（未放上的不要）"},
    {Qt::Key_Return, ChordKey::Act::Leave, u"Enter", u"放上和弦记号并结束输入"},
    {Qt::Key_Enter, ChordKey::Act::Leave, u"Enter（小键盘）", u"放上和弦记号并结束输入"},
}};

// The entry of a key table for a key, or null.
template <typename Key, std::size_t N>
const Key* find(const std::array<Key, N>& table, int key) {
    for (const Key& k : table)
        if (k.key == key)
            return &k;
    return nullptr;
}

}  // namespace

std::span<const ChordKey> chordKeys() {
    return kChordKeys;
}

const ChordKey* chordKeyOf(int key) {
    return find(kChordKeys, key);
}

std::span<const CaretKey> caretKeys() {
    return kCaretKeys;
}

const CaretKey* caretKeyOf(int key, Qt::KeyboardModifiers modifiers) {
    const bool control = modifiers & Qt::ControlModifier;
    if (modifiers & (Qt::AltModifier | Qt::MetaModifier))
        return nullptr;
    for (const CaretKey& k : kCaretKeys)
        if (k.key == key && k.control == control)
            return &k;
    return nullptr;
}

std::span<const LyricsKey> lyricsKeys() {
    return kLyricsKeys;
}

const LyricsKey* lyricsKeyOf(int key) {
    return find(kLyricsKeys, key);
}

}  // namespace qe
