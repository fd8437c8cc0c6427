#include <QString>

#include "base/exception.h"
#include "cli/cli.h"
#include "cli/cli_actions.h"
#include "cli/headless_host.h"
#include "cli/left_out.h"
#include "document/score_file.h"
#include "edit/score_editor.h"

namespace qe {

namespace {

constexpr char32_t kLeftArrow = 0x110000;  // beyond every character: the arrow keys
constexpr char32_t kRightArrow = 0x110001;
constexpr char32_t kUndo = 0x110002;  // and the undo and redo commands
constexpr char32_t kRedo = 0x110003;

}  // namespace

bool decodeKeys(const QString& keys, std::u32string& out, QString& error) {
    const std::u32string text = keys.toStdU32String();
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != U'\\') {
            out.push_back(text[i]);
            continue;
        }
        if (++i == text.size()) {
            error = QStringLiteral(
                "a backslash must be followed by n, b, <, >, z, y or another backslash");
            return false;
        }
        switch (text[i]) {
            case U'n':
                out.push_back(13);
                break;
            case U'b':
                out.push_back(8);
                break;
            case U'<':
                out.push_back(kLeftArrow);
                break;
            case U'>':
                out.push_back(kRightArrow);
                break;
            case U'z':
                out.push_back(kUndo);
                break;
            case U'y':
                out.push_back(kRedo);
                break;
            case U'\\':
                out.push_back(U'\\');
                break;
            default:
                error = QStringLiteral("unknown escape \\%1 in the keys")
                            .arg(QString::fromStdU32String(std::u32string(1, text[i])));
                return false;
        }
    }
    return true;
}

int actionType(FontBook& fonts, const QString& keys, const QString& path, const QString& out) {
    std::u32string typed;
    QString error;
    if (!decodeKeys(keys, typed, error)) {
        printError(QStringLiteral("qanoredit: ") + error);
        return kExitUsage;
    }
    ScoreSession session;
    int status = kExitOk;
    if (!openScore(path, session, true, status))
        return status;

    // Opened as the editor opens a document: page mode, the caret at the start of the score.
    HeadlessHost host(fonts);
    ScoreEditor view(&host);
    view.attach(&session);
    try {
        view.relayout();
        if (view.layout().overwideAppeared())
            host.warn(ScoreEditor::kOverflowWarning, ScoreEditor::kWarningCaption);
    } catch (const Exception& e) {
        if (e.code == kLayoutOverflow)
            host.warn(ScoreEditor::kOverflowWarning, ScoreEditor::kWarningCaption);
    }
    for (char32_t key : typed) {
        if (key == kLeftArrow) {
            view.caretLeft();
            view.placeSystemCaret();
        } else if (key == kRightArrow) {
            view.caretRight();
            view.placeSystemCaret();
        } else if (key == kUndo) {
            view.undo();
        } else if (key == kRedo) {
            view.redo();
        } else {
            view.onChar(key);
        }
    }
    QeDocument doc = session.records();
    const FileResult saved = saveScore(out.isEmpty() ? path : out, doc);
    if (!saved.ok())
        return reportFileFailure(saved);
    return kExitOk;
}

}  // namespace qe
