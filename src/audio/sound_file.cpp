#include "audio/sound_file.h"

#include <QFileInfo>
#include <QIODevice>

#include "audio/fluid_renderer.h"
#include "audio/soundfont.h"
#include "files/atomic_file.h"
#include "perform/smf_writer.h"

namespace qe::sound {

namespace {

// Passes the bytes on to the temporary file of an atomic write.
class DeviceSink : public ByteSink {
public:
    explicit DeviceSink(QIODevice& device) : device_(device) {}
    bool write(const unsigned char* data, std::size_t size) override {
        return device_.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size)) ==
               static_cast<qint64>(size);
    }

private:
    QIODevice& device_;
};

}  // namespace

bool isSoundFile(const QString& path) {
    const QString suffix = QFileInfo(path).suffix().toLower();
    return suffix == QStringLiteral("mid") || suffix == QStringLiteral("midi") ||
           suffix == QStringLiteral("wav");
}

SoundFileResult writeSoundFile(const QString& path, const Performance& performance) {
    SoundFileResult result;
    const bool wav = QFileInfo(path).suffix().toLower() == QStringLiteral("wav");
    RenderOptions options;
    if (wav) {
        options.soundFont = findSoundFont();
        result.soundFont = QString::fromStdString(options.soundFont);
        if (options.soundFont.empty()) {
            result.status = SoundFileResult::kNoSoundFont;
            return result;
        }
    }
    const bool written = writeAtomically(path, [&](QIODevice& device) {
        DeviceSink sink(device);
        if (!wav) {
            const std::vector<unsigned char> bytes = writeSmf(performance);
            return sink.write(bytes.data(), bytes.size());
        }
        const RenderResult rendered = renderWav(performance, options, sink);
        switch (rendered.status) {
            case RenderResult::kOk:
                return true;
            case RenderResult::kTooLong:
                result.status = SoundFileResult::kTooLong;
                return false;
            case RenderResult::kNoSoundFont:
                result.status = SoundFileResult::kBadSoundFont;
                result.detail = QString::fromStdString(rendered.detail);
                return false;
            case RenderResult::kWriteFailed:
                break;
        }
        return false;
    });
    if (!written && result.status == SoundFileResult::kOk)
        result.status = SoundFileResult::kWriteFailed;
    return result;
}

}  // namespace qe::sound
