#include <algorithm>
#include <tuple>

#include "records/entry_bytes.h"
#include "records/extension.h"

namespace qe::extension {

namespace {

// Place 0 is the title block's mark; place m + 1 the mark of measure m.
struct PrintedTempo {
    std::uint32_t place = 0;
    TempoMark mark;  // its beat, its number and the text printed for the number
};

// The same beat and number: the mark the text was printed with.
bool sameNumber(const TempoMark& a, const TempoMark& b) {
    return std::tie(a.beatUnit, a.dotted, a.perMinute) ==
           std::tie(b.beatUnit, b.dotted, b.perMinute);
}

std::vector<PrintedTempo> printedTempos(const TempoMark& title,
                                        const std::vector<MeasureMark>& marks) {
    std::vector<PrintedTempo> out;
    // A printed number stands for a played one: a mark without a number has none.
    if (!title.perMinuteText.empty() && title.perMinute > 0)
        out.push_back({0, title});
    for (const MeasureMark& m : marks)
        if (!m.tempo.perMinuteText.empty() && m.tempo.perMinute > 0 && m.measure < 0xFFFFFFFFu)
            out.push_back({m.measure + 1, m.tempo});
    // Places are written in increasing order, one each, however the marks were held.
    std::stable_sort(out.begin(), out.end(),
                     [](const PrintedTempo& a, const PrintedTempo& b) { return a.place < b.place; });
    out.erase(std::unique(out.begin(), out.end(),
                          [](const PrintedTempo& a, const PrintedTempo& b) {
                              return a.place == b.place;
                          }),
              out.end());
    return out;
}

}  // namespace

std::vector<unsigned char> encodePrintedTempos(const TempoMark& title,
                                               const std::vector<MeasureMark>& marks) {
    std::vector<unsigned char> out;
    const std::vector<PrintedTempo> printed = printedTempos(title, marks);
    if (printed.empty())
        return out;
    append(out, static_cast<std::uint32_t>(printed.size()));
    for (const PrintedTempo& p : printed) {
        append(out, p.place);
        append(out, p.mark.beatUnit);
        append(out, static_cast<std::uint8_t>(p.mark.dotted ? 1 : 0));
        append(out, std::uint8_t{0});
        append(out, p.mark.perMinute);
        appendText(out, p.mark.perMinuteText);
    }
    return out;
}

void decodePrintedTempos(const std::vector<unsigned char>& bytes, TempoMark& title,
                         std::vector<MeasureMark>& marks) {
    Reader in(bytes);
    const auto count = in.take<std::uint32_t>();
    // Each takes at least 12 bytes, a text of one unit included.
    if (count > in.left() / 12)
        throw Exception(kMalformed);
    std::vector<PrintedTempo> printed;
    printed.reserve(count);
    for (std::uint32_t i = 0; i < count; ++i) {
        PrintedTempo p;
        p.place = in.take<std::uint32_t>();
        p.mark.beatUnit = in.take<std::uint16_t>();
        const auto dotted = in.take<std::uint8_t>();
        if (dotted > 1 || in.take<std::uint8_t>() != 0)
            throw Exception(kMalformed);
        p.mark.dotted = dotted == 1;
        p.mark.perMinute = in.take<std::uint16_t>();
        p.mark.perMinuteText = takeText(in);
        if (p.mark.perMinuteText.empty() || (!printed.empty() && p.place <= printed.back().place))
            throw Exception(kMalformed);
        printed.push_back(std::move(p));
    }
    in.finish();
    // Marks are in measure order, as are the places: one walk pairs them.
    auto mark = marks.begin();
    for (const PrintedTempo& p : printed) {
        if (p.place == 0) {
            if (sameNumber(title, p.mark))
                title.perMinuteText = p.mark.perMinuteText;
            continue;
        }
        while (mark != marks.end() && mark->measure < p.place - 1)
            ++mark;
        if (mark != marks.end() && mark->measure == p.place - 1 && sameNumber(mark->tempo, p.mark))
            mark->tempo.perMinuteText = p.mark.perMinuteText;
    }
}

}  // namespace qe::extension
