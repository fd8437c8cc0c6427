#include "musicxml/vocabulary.h"

#include <QLatin1StringView>
#include <utility>

namespace qe::musicxml {

namespace {

struct Named {
    const char* element;
    const char* what;
};

const char* lookUp(const Named* table, std::size_t size, QStringView element) {
    for (std::size_t i = 0; i < size; ++i)
        if (element == QLatin1StringView(table[i].element))
            return table[i].what;
    return nullptr;
}

constexpr Named kNotations[] = {
    {"dynamics", "dynamics dropped"},
    {"ornaments", "ornaments dropped"},
    {"technical", "technical marks dropped"},
    {"arpeggiate", "arpeggios dropped"},
    {"non-arpeggiate", "arpeggios dropped"},
    {"glissando", "glissandos and slides dropped"},
    {"slide", "glissandos and slides dropped"},
    {"accidental-mark", "accidental marks dropped"},
    {"other-notation", "other notations dropped"},
};

constexpr Named kDirections[] = {
    {"words", "text directions dropped"},
    {"metronome", "tempo marks dropped"},
    {"dynamics", "dynamics dropped"},
    {"wedge", "hairpins dropped"},
    {"pedal", "pedal marks dropped"},
    {"octave-shift", "octave shifts dropped, notes kept as written"},
    {"segno", "segno and coda signs dropped"},
    {"coda", "segno and coda signs dropped"},
    {"rehearsal", "rehearsal marks dropped"},
    {"dashes", "dashed lines and brackets dropped"},
    {"bracket", "dashed lines and brackets dropped"},
};

}  // namespace

ExactTicks typeTicks(QStringView type) {
    static const std::pair<const char*, double> kTypes[] = {
        {"maxima", 32},       {"long", 16},          {"breve", 8},       {"whole", 4},
        {"half", 2},          {"quarter", 1},        {"eighth", 0.5},    {"16th", 0.25},
        {"32nd", 0.125},      {"64th", 0.0625},      {"128th", 0.03125}, {"256th", 0.015625},
        {"512th", 0.0078125}, {"1024th", 0.00390625}};
    for (const auto& [name, quarters] : kTypes)
        if (type == QLatin1StringView(name))
            return quarters * static_cast<double>(music::kTicksPerQuarter);
    return 0;
}

std::optional<BarStyle> barStyleOf(QStringView style) {
    static const std::pair<const char*, BarStyle> kStyles[] = {
        {"regular", {0, false}},     {"dashed", {5, false}},      {"heavy", {1, false}},
        {"light-light", {2, false}}, {"light-heavy", {6, false}}, {"none", {7, false}},
        {"dotted", {5, true}},       {"heavy-light", {2, true}},  {"heavy-heavy", {2, true}},
        {"tick", {0, true}},         {"short", {0, true}},
    };
    for (const auto& [name, barStyle] : kStyles)
        if (style == QLatin1StringView(name))
            return barStyle;
    return std::nullopt;
}

const char* droppedNotation(QStringView element) {
    return lookUp(kNotations, std::size(kNotations), element);
}

const char* droppedDirection(QStringView element) {
    return lookUp(kDirections, std::size(kDirections), element);
}

}  // namespace qe::musicxml
