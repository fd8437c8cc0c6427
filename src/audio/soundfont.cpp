#include "audio/soundfont.h"

#include <fstream>

namespace qe::sound {

const std::vector<std::string>& soundFontCandidates() {
    static const std::vector<std::string> kCandidates = {
        "/usr/share/sounds/sf2/FluidR3_GM.sf2", "/usr/share/sounds/sf3/FluidR3_GM.sf3",
        "/usr/share/sounds/sf2/TimGM6mb.sf2",   "/usr/share/sounds/sf2/default-GM.sf2",
        "/usr/share/sounds/sf3/default-GM.sf3",
    };
    return kCandidates;
}

std::string findSoundFont(const std::vector<std::string>& candidates) {
    for (const std::string& path : candidates) {
        std::ifstream file(path, std::ios::binary);
        if (file && file.peek() != std::ifstream::traits_type::eof())
            return path;
    }
    return {};
}

}  // namespace qe::sound
