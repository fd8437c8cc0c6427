#include "records/font_record.h"

#include "records/field_io.h"

namespace qe {

std::u16string LogFont::face() const {
    std::u16string name;
    for (char16_t unit : faceName) {
        if (unit == 0)
            break;
        name.push_back(unit);
    }
    return name;
}

void LogFont::setFace(const std::u16string& name) {
    faceName.fill(0);
    for (std::size_t i = 0; i < name.size() && i + 1 < faceName.size(); ++i)
        faceName[i] = name[i];
}

void FontRecord::decode(const unsigned char* p) {
    logFont.height = loadLE<std::int32_t>(p);
    logFont.width = loadLE<std::int32_t>(p + 4);
    logFont.escapement = loadLE<std::int32_t>(p + 8);
    logFont.orientation = loadLE<std::int32_t>(p + 12);
    logFont.weight = loadLE<std::int32_t>(p + 16);
    logFont.italic = p[20];
    logFont.underline = p[21];
    logFont.strikeOut = p[22];
    logFont.charSet = p[23];
    logFont.outPrecision = p[24];
    logFont.clipPrecision = p[25];
    logFont.quality = p[26];
    logFont.pitchAndFamily = p[27];
    for (std::size_t i = 0; i < logFont.faceName.size(); ++i)
        logFont.faceName[i] = loadLE<char16_t>(p + 28 + 2 * i);
    color = loadLE<std::uint32_t>(p + 92);
}

void FontRecord::encode(unsigned char* p) const {
    storeLE(p, logFont.height);
    storeLE(p + 4, logFont.width);
    storeLE(p + 8, logFont.escapement);
    storeLE(p + 12, logFont.orientation);
    storeLE(p + 16, logFont.weight);
    p[20] = logFont.italic;
    p[21] = logFont.underline;
    p[22] = logFont.strikeOut;
    p[23] = logFont.charSet;
    p[24] = logFont.outPrecision;
    p[25] = logFont.clipPrecision;
    p[26] = logFont.quality;
    p[27] = logFont.pitchAndFamily;
    for (std::size_t i = 0; i < logFont.faceName.size(); ++i)
        storeLE(p + 28 + 2 * i, logFont.faceName[i]);
    storeLE(p + 92, color);
}

FontRecord defaultFont(FontCategory category) {
    struct Default {
        std::int32_t height, weight;
        std::uint8_t charSet, pitchAndFamily;
        const char16_t* face;
    };
    static constexpr Default kDefaults[kFontCount] = {
        {-400, 400, 2, 18, u"QanorEditSymbol"},  // bar lines and other symbols
        {-320, 400, 2, 18, u"QanorEditSymbol"},  // notes
        {-180, 400, 2, 18, u"QanorEditSymbol"},  // grace notes
        {-480, 700, 134, 49, u"Arial"},          // main title
        {-280, 700, 134, 49, u"Arial"},          // subtitle, key and time signature
        {-200, 400, 134, 2, u"Arial"},           // normal text
        {-180, 400, 134, 2, u"Arial"},           // small text
        {-200, 400, 134, 2, u"Arial"},           // lyrics, as normal text
    };
    const Default& d = kDefaults[category];
    FontRecord font;
    font.logFont.height = d.height;
    font.logFont.weight = d.weight;
    font.logFont.charSet = d.charSet;
    font.logFont.pitchAndFamily = d.pitchAndFamily;
    font.logFont.outPrecision = 3;
    font.logFont.clipPrecision = 2;
    font.logFont.quality = 1;
    font.logFont.setFace(d.face);
    return font;
}

}  // namespace qe
