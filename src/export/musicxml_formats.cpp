#include <QtGlobal>

#include <memory>

#include "export/export_host.h"
#include "export/export_registry.h"
#include "musicxml/musicxml_file.h"

namespace qe {

namespace {

// The score as MusicXML; compressed when the file's name ends in .mxl. What the format cannot
// hold goes to the result's report.
class MusicXmlFormat : public ExportFormat {
public:
    MusicXmlFormat(QStringList extensions, const char* description)
        : ExportFormat(std::move(extensions), description, {}) {}

    ExportResult write(const music::Score& score, const ExportOptions&, const QString& path,
                       ExportHost& host) const override {
        ExportResult result;
        if (!mayWrite(path, host.prompts(), result))
            return result;
        const musicxml::Outcome outcome = musicxml::exportMusicXmlFile(score, path);
        if (outcome.ok()) {
            wrote(path, result);
        } else {
            result.fileFailed(outcome.message);
            result.problem = {ExportProblem::kNotConverted, path};
        }
        result.report = outcome.report;
        return result;
    }
};

}  // namespace

void addMusicXmlFormats(ExportRegistry& registry) {
    registry.add(std::make_unique<MusicXmlFormat>(
        QStringList{QStringLiteral("musicxml"), QStringLiteral("xml")},
        QT_TRANSLATE_NOOP("qanoredit", "MusicXML 乐谱 (*.musicxml *.xml)")));
    registry.add(std::make_unique<MusicXmlFormat>(
        QStringList{QStringLiteral("mxl")},
        QT_TRANSLATE_NOOP("qanoredit", "压缩的 MusicXML 乐谱 (*.mxl)")));
}

}  // namespace qe
