#include <QJsonDocument>
#include <functional>
#include <memory>

#include "base/exception.h"
#include "cli/cli.h"
#include "cli/cli_actions.h"
#include "cli/headless_host.h"
#include "cli/layout_json.h"
#include "cli/left_out.h"
#include "edit/score_session.h"
#include "engrave/linear_view.h"
#include "engrave/page_view.h"
#include "engrave/score_layout.h"

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
bool runLayoutPass(FontBook& fonts, const std::function<void(Surface&)>& pass, int& status) {
    HeadlessHost host(fonts);
    const std::unique_ptr<Surface> g = host.layoutSurface();
    try {
        pass(*g);
    } catch (const Exception& e) {
        status = reportLayoutFailure(e);
        return false;
    }
    return true;
}

}  // namespace

bool openScore(const QString& path, ScoreSession& session, bool saving, int& status) {
    QeDocument doc;
    const FileResult loaded = loadScore(path, doc);
    if (!loaded.ok()) {
        status = reportFileFailure(loaded);
        return false;
    }
    reportLeftOut(session.load(doc), saving);
    return true;
}

bool layOut(FontBook& fonts, ScoreLayout& layout, int& status) {
    // A measure wider than a line is squeezed into one: the user is told, and gets every page.
    return runLayoutPass(
        fonts,
        [&](Surface& g) {
            layout.update(g);
            if (layout.overwideAppeared())
                printError(QString::fromUtf16(kOverflowWarning));
        },
        status);
}

int actionLayout(FontBook& fonts, const QString& path, bool scrollMode) {
    ScoreSession session;
    int status = kExitOk;
    if (!openScore(path, session, false, status))
        return status;
    ScoreLayout& layout =
        session.layout(scrollMode ? ScoreLayout::kScrollMode : ScoreLayout::kPageMode);
    if (!layOut(fonts, layout, status))
        return status;
    const QJsonObject json =
        scrollMode ? scrollLayoutToJson(layout.tracks()) : pageLayoutToJson(*layout.pages(), &fonts);
    writeStdout(QJsonDocument(json).toJson(QJsonDocument::Indented));
    return kExitOk;
}

}  // namespace qe
