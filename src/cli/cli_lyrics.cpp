#include <QString>

#include "base/exception.h"
#include "cli/cli.h"
#include "cli/cli_actions.h"
#include "cli/headless_host.h"
#include "cli/left_out.h"
#include "document/score_file.h"
#include "edit/lyrics_text.h"
#include "edit/score_editor.h"
#include "music/measure_numbers.h"

namespace qe {

int actionLyrics(FontBook& fonts, const LyricsRequest& request) {
    if (request.track < 1 || request.verse < 1) {
        printError(QStringLiteral("qanoredit: --track and --verse count from 1"));
        return kExitUsage;
    }
    ScoreSession session;
    int status = kExitOk;
    if (!openScore(request.document, session, true, status))
        return status;
    if (request.track > session.score.trackCount()) {
        printError(QStringLiteral("qanoredit: the score has %1 note track(s), not %2")
                       .arg(session.score.trackCount())
                       .arg(request.track));
        return kExitFailure;
    }
    const std::optional<int> from =
        request.measure ? music::measureIndex(session.score, *request.measure) : 0;
    if (!from) {
        printError(QStringLiteral("qanoredit: the score has no measure %1 (measures are numbered "
                                  "as printed: a pickup is 0, the first full measure 1)")
                       .arg(*request.measure));
        return kExitFailure;
    }
    HeadlessHost host(fonts);
    ScoreEditor view(&host);
    view.attach(&session);
    const std::vector<std::u16string> syllables = splitSyllables(request.text.toStdU16String());
    try {
        view.relayout();
    } catch (const Exception&) {
        // A score too wide for its lines still takes its lyrics.
    }
    const int left =
        view.layLyrics(request.track - 1, request.verse - 1, *from, syllables);
    if (left > 0) {
        QString rest;
        for (std::size_t i = syllables.size() - static_cast<std::size_t>(left);
             i < syllables.size(); ++i)
            rest += (rest.isEmpty() ? QString() : QStringLiteral(" ")) +
                    QString::fromStdU16String(syllables[i]);
        printError(
            QStringLiteral("qanoredit: %1 syllable(s) found no note: %2").arg(left).arg(rest));
        status = kExitFailure;
    }
    QeDocument doc = session.records();
    const FileResult saved = saveScore(request.out.isEmpty() ? request.document : request.out, doc);
    if (!saved.ok())
        return reportFileFailure(saved);
    return status;
}

}  // namespace qe
