#include <QJsonDocument>
#include <functional>
#include <memory>

#include "layout/linear_view.h"
#include "layout/page_view.h"
#include "model/exception.h"
#include "shell/cli.h"
#include "shell/cli_actions.h"
#include "shell/headless_host.h"
#include "shell/layout_json.h"
#include "shell/left_out.h"

namespace qe {

namespace {

const char16_t* const kOverflowWarning =
    u"单个小节不能换行，当前小节已无法再添加内容。\r\n如果是散板，请使用虚小节线或隐藏小节线。";

int reportLayoutFailure(const Exception& e) {
    if (e.code == kLayoutOverflow)
        printError(QString::fromUtf16(kOverflowWarning));
    else
        printError(
            QStringLiteral("qanoredit: the score cannot be laid out (error %1).").arg(e.code));
    return kExitFailure;
}

// Runs one layout pass with the real fonts measuring; a failure is reported and gives the exit
// status.
bool runLayoutPass(const std::function<void(BaseGDI&)>& pass, int& status) {
    HeadlessHost host;
    const std::unique_ptr<BaseGDI> g = host.layoutSurface();
    try {
        pass(*g);
    } catch (const Exception& e) {
        status = reportLayoutFailure(e);
        return false;
    }
    return true;
}

}  // namespace

bool layOutPages(QanorDoc& doc, PageView& view, int& status) {
    view.build(&doc);
    reportLeftOut(view.linear, false);
    return runLayoutPass([&](BaseGDI& g) { view.rebuild(g); }, status);
}

bool layOutStrip(QanorDoc& doc, LinearView& view, int& status) {
    view.document = &doc;
    view.stripSpacing = true;
    view.build();
    reportLeftOut(view, false);
    return runLayoutPass([&](BaseGDI& g) { view.relayout(g); }, status);
}

int actionLayout(const QString& path, bool scrollMode) {
    QanorDoc doc;
    const FileResult loaded = loadScore(path, doc);
    if (!loaded.ok)
        return reportFileFailure(loaded);
    QJsonObject json;
    if (scrollMode) {
        LinearView view;
        int status = kExitOk;
        if (!layOutStrip(doc, view, status))
            return status;
        json = scrollLayoutToJson(view);
    } else {
        PageView view;
        int status = kExitOk;
        if (!layOutPages(doc, view, status))
            return status;
        json = pageLayoutToJson(view);
    }
    writeStdout(QJsonDocument(json).toJson(QJsonDocument::Indented));
    return kExitOk;
}

}  // namespace qe
