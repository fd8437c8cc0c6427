#include <algorithm>

#include "records/entry_bytes.h"
#include "records/extension.h"

namespace qe::extension {

namespace {

constexpr std::uint8_t kAbove = 0;
constexpr std::uint8_t kBelow = 1;

}  // namespace

std::vector<unsigned char> encodeNoteTexts(const std::vector<PlacedNoteExtra>& extras) {
    std::vector<unsigned char> out;
    std::uint32_t count = 0;
    for (const PlacedNoteExtra& e : extras)
        count += (e.extra.textAbove.empty() ? 0 : 1) + (e.extra.textBelow.empty() ? 0 : 1);
    if (count == 0)
        return out;
    append(out, count);
    for (const PlacedNoteExtra& e : extras) {
        for (const auto& [side, text] : {std::pair{kAbove, &e.extra.textAbove},
                                         std::pair{kBelow, &e.extra.textBelow}}) {
            if (text->empty())
                continue;
            append(out, e.track);
            append(out, e.record);
            append(out, side);
            append(out, std::uint8_t{0});
            appendText(out, text->substr(0, kLongestNoteText));
        }
    }
    return out;
}

void decodeNoteTexts(const std::vector<unsigned char>& bytes, std::vector<PlacedNoteExtra>& extras) {
    Reader in(bytes);
    const auto count = in.take<std::uint32_t>();
    // Each takes at least 14 bytes, a text of one unit included.
    if (count > in.left() / 14)
        throw Exception(kMalformed);
    std::vector<PlacedNoteExtra> texts;
    std::uint8_t lastSide = 0;
    for (std::uint32_t i = 0; i < count; ++i) {
        const auto track = in.take<std::uint32_t>();
        const auto record = in.take<std::uint32_t>();
        const auto side = in.take<std::uint8_t>();
        if (side > kBelow || in.take<std::uint8_t>() != 0)
            throw Exception(kMalformed);
        std::u16string text = takeText(in);
        if (text.empty() || text.size() > kLongestNoteText)
            throw Exception(kMalformed);
        const bool sameNote =
            !texts.empty() && texts.back().track == track && texts.back().record == record;
        if (sameNote ? side <= lastSide
                     : !texts.empty() && std::pair(track, record) <
                                             std::pair(texts.back().track, texts.back().record))
            throw Exception(kMalformed);
        if (!sameNote)
            texts.push_back({track, record, {}});
        (side == kAbove ? texts.back().extra.textAbove : texts.back().extra.textBelow) =
            std::move(text);
        lastSide = side;
    }
    in.finish();
    mergeExtras(extras, std::move(texts), [](NoteExtra& into, NoteExtra& from) {
        into.textAbove = std::move(from.textAbove);
        into.textBelow = std::move(from.textBelow);
    });
}

}  // namespace qe::extension
