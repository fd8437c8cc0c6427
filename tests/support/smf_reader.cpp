#include "support/smf_reader.h"

#include <algorithm>
#include <map>
#include <stdexcept>

namespace qe::test {

namespace {

class Reader {
public:
    Reader(const std::vector<unsigned char>& bytes, std::size_t begin, std::size_t end)
        : bytes_(bytes), at_(begin), end_(end) {}

    bool atEnd() const { return at_ >= end_; }
    std::size_t offset() const { return at_; }

    unsigned byte() {
        if (at_ >= end_)
            throw std::runtime_error("read past the end of a chunk");
        return bytes_[at_++];
    }
    unsigned peek() const {
        if (at_ >= end_)
            throw std::runtime_error("read past the end of a chunk");
        return bytes_[at_];
    }
    std::uint32_t big(int count) {
        std::uint32_t v = 0;
        for (int i = 0; i < count; ++i)
            v = (v << 8) | byte();
        return v;
    }
    std::uint32_t variable() {
        std::uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            const unsigned b = byte();
            v = (v << 7) | (b & 0x7F);
            if (!(b & 0x80))
                return v;
        }
        throw std::runtime_error("a variable-length quantity longer than four bytes");
    }
    std::string tag() {
        std::string t;
        for (int i = 0; i < 4; ++i)
            t += static_cast<char>(byte());
        return t;
    }

private:
    const std::vector<unsigned char>& bytes_;
    std::size_t at_;
    std::size_t end_;
};

}  // namespace

std::vector<SmfNote> SmfFile::notesOf(int track) const {
    std::vector<SmfNote> out;
    for (const SmfNote& n : notes)
        if (n.track == track)
            out.push_back(n);
    return out;
}

const SmfMeta* SmfFile::meta(int type) const {
    for (const SmfMeta& m : metas)
        if (m.type == type)
            return &m;
    return nullptr;
}

SmfFile readSmf(const std::vector<unsigned char>& bytes) {
    SmfFile file;
    Reader head(bytes, 0, bytes.size());
    if (head.tag() != "MThd" || head.big(4) != 6)
        throw std::runtime_error("no MThd chunk of 6 bytes");
    file.format = static_cast<int>(head.big(2));
    file.trackCount = static_cast<int>(head.big(2));
    file.division = static_cast<int>(head.big(2));
    std::size_t at = head.offset();
    for (int t = 0; at < bytes.size(); ++t) {
        Reader chunkHead(bytes, at, bytes.size());
        if (chunkHead.tag() != "MTrk")
            throw std::runtime_error("a chunk other than MTrk");
        const std::uint32_t length = chunkHead.big(4);
        const std::size_t begin = chunkHead.offset();
        if (begin + length > bytes.size())
            throw std::runtime_error("a track chunk longer than the file");
        Reader r(bytes, begin, begin + length);
        std::int64_t now = 0;
        unsigned status = 0;
        bool ended = false;
        std::map<std::pair<int, int>, SmfNote> open;  // channel and key
        std::vector<SmfNote> notes;
        while (!r.atEnd()) {
            if (ended)
                throw std::runtime_error("events after the end of a track");
            now += r.variable();
            if (r.peek() & 0x80)
                status = r.byte();
            else if (status == 0 || status >= 0xF0)
                throw std::runtime_error("running status without a status");
            if (status == 0xFF) {
                SmfMeta meta{t, now, static_cast<int>(r.byte()), {}};
                const std::uint32_t size = r.variable();
                for (std::uint32_t i = 0; i < size; ++i)
                    meta.data.push_back(static_cast<unsigned char>(r.byte()));
                if (meta.type == 0x2F) {
                    ended = true;
                    file.trackEnds.push_back(now);
                }
                file.metas.push_back(std::move(meta));
                status = 0;
                continue;
            }
            if (status == 0xF0 || status == 0xF7)
                throw std::runtime_error("system exclusive events are not expected");
            const int channel = static_cast<int>(status & 0x0F);
            switch (status & 0xF0) {
                case 0x90:
                case 0x80: {
                    const int key = static_cast<int>(r.byte());
                    const int velocity = static_cast<int>(r.byte());
                    const auto slot = std::make_pair(channel, key);
                    if ((status & 0xF0) == 0x90 && velocity > 0) {
                        if (open.count(slot))
                            throw std::runtime_error("a key struck again before it ended");
                        open[slot] = SmfNote{t, channel, key, now, 0, velocity};
                    } else {
                        const auto found = open.find(slot);
                        if (found == open.end())
                            throw std::runtime_error("a note off without its note on");
                        found->second.length = now - found->second.start;
                        notes.push_back(found->second);
                        open.erase(found);
                    }
                    break;
                }
                case 0xC0:
                    file.programs.emplace_back(channel, static_cast<int>(r.byte()));
                    break;
                case 0xD0:
                    r.byte();
                    break;
                default:
                    r.byte();
                    r.byte();
                    break;
            }
        }
        if (!ended)
            throw std::runtime_error("a track without its end");
        if (!open.empty())
            throw std::runtime_error("a note left sounding at the end of a track");
        std::stable_sort(notes.begin(), notes.end(),
                         [](const SmfNote& a, const SmfNote& b) { return a.start < b.start; });
        file.notes.insert(file.notes.end(), notes.begin(), notes.end());
        at = begin + length;
    }
    if (static_cast<int>(file.trackEnds.size()) != file.trackCount)
        throw std::runtime_error("the header counts another number of tracks");
    return file;
}

}  // namespace qe::test
