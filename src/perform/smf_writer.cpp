#include "perform/smf_writer.h"

#include <algorithm>
#include <cstdint>
#include <initializer_list>
#include <string>

namespace qe::sound {

namespace {

using Bytes = std::vector<unsigned char>;

// The largest delta time a variable-length quantity holds.
constexpr Ticks kMaxDelta = 0x0FFFFFFF;

void put32(Bytes& out, std::uint32_t v) {
    for (int shift = 24; shift >= 0; shift -= 8)
        out.push_back(static_cast<unsigned char>(v >> shift));
}

void put16(Bytes& out, std::uint32_t v) {
    out.push_back(static_cast<unsigned char>(v >> 8));
    out.push_back(static_cast<unsigned char>(v));
}

void putBytes(Bytes& out, std::initializer_list<unsigned char> bytes) {
    for (unsigned char b : bytes)
        out.push_back(b);
}

void putVariable(Bytes& out, std::uint32_t v) {
    unsigned char groups[5];
    int n = 0;
    do {
        groups[n++] = static_cast<unsigned char>(v & 0x7F);
        v >>= 7;
    } while (v != 0);
    while (n-- > 0)
        out.push_back(static_cast<unsigned char>(groups[n] | (n > 0 ? 0x80 : 0)));
}

std::string toUtf8(const std::u16string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (c >= 0xD800 && c <= 0xDBFF && i + 1 < text.size() && text[i + 1] >= 0xDC00 &&
            text[i + 1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[i + 1] - 0xDC00);
            ++i;
        } else if (c >= 0xD800 && c <= 0xDFFF) {
            c = 0xFFFD;  // a lone surrogate names no character
        }
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}

// The events of one track chunk, with times made relative as they are written.
class TrackChunk {
public:
    // Moves to an absolute time; later than any gap a delta time can hold is crossed with
    // empty text events.
    void at(Ticks time) {
        Ticks delta = std::max<Ticks>(0, time - now_);
        while (delta > kMaxDelta) {
            putVariable(body_, static_cast<std::uint32_t>(kMaxDelta));
            putBytes(body_, {0xFF, 0x01, 0x00});
            delta -= kMaxDelta;
        }
        putVariable(body_, static_cast<std::uint32_t>(delta));
        now_ = std::max(now_, time);
    }

    void meta(Ticks time, unsigned char type, const Bytes& data) {
        at(time);
        body_.push_back(0xFF);
        body_.push_back(type);
        putVariable(body_, static_cast<std::uint32_t>(data.size()));
        body_.insert(body_.end(), data.begin(), data.end());
    }

    void channel(Ticks time, unsigned char status, unsigned char a, int b = -1) {
        at(time);
        body_.push_back(status);
        body_.push_back(a);
        if (b >= 0)
            body_.push_back(static_cast<unsigned char>(b));
    }

    void appendTo(Bytes& out, Ticks end) {
        meta(end, 0x2F, {});
        putBytes(out, {'M', 'T', 'r', 'k'});
        put32(out, static_cast<std::uint32_t>(body_.size()));
        out.insert(out.end(), body_.begin(), body_.end());
    }

private:
    Bytes body_;
    Ticks now_ = 0;
};

int log2Exact(int value) {
    for (int n = 0; n < 8; ++n)
        if (value == 1 << n)
            return n;
    return -1;
}

void signatures(TrackChunk& chunk, Ticks at, const music::Meter& meter, bool free,
                const music::Key& key) {
    const int power = log2Exact(meter.denominator);
    // Free meter has no time signature to write: the measures follow as they are.
    if (!free && meter.numerator > 0 && meter.numerator <= 255 && power >= 0) {
        // MIDI clocks (24 to the quarter) per beat of the meter.
        const Ticks clocks = meter.beat() * 24 / music::kTicksPerQuarter;
        chunk.meta(at, 0x58,
                   {static_cast<unsigned char>(meter.numerator), static_cast<unsigned char>(power),
                    static_cast<unsigned char>(std::clamp<Ticks>(clocks, 1, 255)), 8});
    }
    // A key signature holds seven sharps or flats at most: a key beyond (1=#G, eight sharps)
    // is written as its enharmonic neighbour (1=bA, four flats), which sounds the same.
    int fifths = key.fifths();
    fifths = fifths > 7 ? fifths - 12 : fifths < -7 ? fifths + 12 : fifths;
    chunk.meta(at, 0x59, {static_cast<unsigned char>(static_cast<signed char>(fifths)), 0});
}

void tempoEvent(TrackChunk& chunk, Ticks at, int tempo) {
    const auto micros = static_cast<std::uint32_t>(60000000 / std::clamp(tempo, kMinTempo, kMaxTempo));
    chunk.meta(at, 0x51,
               {static_cast<unsigned char>(micros >> 16), static_cast<unsigned char>(micros >> 8),
                static_cast<unsigned char>(micros)});
}

void tempoTrack(const Performance& p, Bytes& out) {
    TrackChunk chunk;
    if (!p.title.empty()) {
        const std::string title = toUtf8(p.title);
        chunk.meta(0, 0x03, Bytes(title.begin(), title.end()));
    }
    if (p.signatures.empty())
        signatures(chunk, 0, p.meter, false, p.key);
    const std::vector<TempoChange> only{TempoChange{0, p.tempo}};
    const std::vector<TempoChange>& tempos = p.tempos.empty() ? only : p.tempos;
    // Both lists are in time order: merged as they are written.
    std::size_t s = 0;
    std::size_t t = 0;
    while (s < p.signatures.size() || t < tempos.size()) {
        if (s < p.signatures.size() && (t >= tempos.size() || p.signatures[s].at <= tempos[t].at)) {
            const SignatureChange& c = p.signatures[s++];
            signatures(chunk, c.at, c.meter, c.free, c.key);
        } else {
            tempoEvent(chunk, tempos[t].at, tempos[t].tempo);
            ++t;
        }
    }
    chunk.appendTo(out, p.length);
}

void noteTrack(const PerformedTrack& track, Ticks end, Bytes& out) {
    TrackChunk chunk;
    const auto ch = static_cast<unsigned char>(track.channel & 0x0F);
    chunk.channel(0, static_cast<unsigned char>(0xC0 | ch),
                  static_cast<unsigned char>(track.program & 0x7F));
    // The tones of a chord overlap, so the events are put in time order; at one time a note
    // ends before the next one begins.
    struct Event {
        Ticks at;
        bool on;
        const SoundedNote* note;
    };
    std::vector<Event> events;
    events.reserve(track.notes.size() * 2);
    for (const SoundedNote& n : track.notes) {
        events.push_back({n.start, true, &n});
        events.push_back({n.start + n.length, false, &n});
    }
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
        return a.at != b.at ? a.at < b.at : !a.on && b.on;
    });
    for (const Event& e : events) {
        const auto key = static_cast<unsigned char>(e.note->key & 0x7F);
        if (e.on)
            chunk.channel(e.at, static_cast<unsigned char>(0x90 | ch), key,
                          std::clamp(e.note->velocity, 1, 127));
        else
            chunk.channel(e.at, static_cast<unsigned char>(0x80 | ch), key, 64);
    }
    chunk.appendTo(out, end);
}

}  // namespace

std::vector<unsigned char> writeSmf(const Performance& performance) {
    Bytes out;
    putBytes(out, {'M', 'T', 'h', 'd'});
    put32(out, 6);
    put16(out, 1);
    put16(out,
          static_cast<std::uint32_t>(std::min<std::size_t>(performance.tracks.size() + 1, 0xFFFF)));
    put16(out, static_cast<std::uint32_t>(music::kTicksPerQuarter));
    tempoTrack(performance, out);
    for (std::size_t t = 0; t + 1 < 0xFFFF && t < performance.tracks.size(); ++t)
        noteTrack(performance.tracks[t], performance.length, out);
    return out;
}

}  // namespace qe::sound
