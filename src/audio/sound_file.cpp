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
            result.fail(SoundFileResult::kNoSoundFont);
            return result;
        }
    }
    RenderResult rendered;
    const Result written = writeAtomically(path, [&](QIODevice& device) {
        DeviceSink sink(device);
        if (!wav) {
            const std::vector<unsigned char> bytes = writeSmf(performance);
            return sink.write(bytes.data(), bytes.size());
        }
        rendered = renderWav(performance, options, sink);
        return rendered.ok();
    });
    if (written.ok())
        return result;
    switch (rendered.status) {
        case RenderResult::kTooLong:
            result.fail(SoundFileResult::kTooLong);
            break;
        case RenderResult::kNoSoundFont:
            result.fail(SoundFileResult::kBadSoundFont, QString::fromStdString(rendered.detail));
            break;
        case RenderResult::kOk:  // the sound was made, but the file did not take it
        case RenderResult::kWriteFailed:
            result.fail(SoundFileResult::kWriteFailed, written.message);
            break;
    }
    return result;
}

}  // namespace qe::sound
