#include "export/export_format.h"

#include <QFileInfo>

#include <utility>

#include "export/export_host.h"

namespace qe {

ExportFormat::ExportFormat(QStringList extensions, const char* description,
                           std::initializer_list<ExportOption> options)
    : extensions_(std::move(extensions)), description_(description) {
    for (const ExportOption option : options)
        options_ |= static_cast<unsigned>(option);
}

bool ExportFormat::takes(ExportOption option) const {
    return (options_ & static_cast<unsigned>(option)) != 0;
}

bool ExportFormat::names(const QString& path) const {
    const QString extension = QFileInfo(path).suffix().toLower();
    return !extension.isEmpty() && extensions_.contains(extension);
}

bool ExportFormat::mayWrite(const QString& path, ExportPrompts& prompts, ExportResult& result) {
    if (QFileInfo::exists(path) && !prompts.confirmOverwrite(path)) {
        result.skipped = 1;
        return false;
    }
    return true;
}

void ExportFormat::wrote(const QString& path, ExportResult& result) {
    ++result.written;
    result.files << path;
}

ExportResult ExportFormat::stopped(ExportProblem::Kind kind, const QString& subject,
                                   const QString& why) {
    ExportResult result;
    result.problem = {kind, subject};
    result.fail(why);
    return result;
}

}  // namespace qe
