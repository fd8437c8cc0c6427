#include "gui/autosave_keeper.h"

#include <QDir>
#include <QMainWindow>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>
#include <QStatusBar>
#include <cmath>

#include "base/clock.h"
#include "document/document_autosave.h"
#include "document/recovery_entry.h"
#include "document/score_document.h"
#include "gui/recovery_dialog.h"
#include "gui/ui_text.h"
#include "records/qe_document.h"

namespace qe {

namespace {

constexpr double kDefaultSeconds = 30.0;
// A tenth of a second at least, so that a mistyped setting cannot make the editor write
// without pause; an hour at most.
constexpr double kFewestSeconds = 0.1;
constexpr double kMostSeconds = 3600.0;

void reportDamaged(QWidget* parent, const QStringList& names, const QString& folder) {
    QMessageBox box(QMessageBox::Warning, ui("Qanor简谱编辑器"),
                    ui("下列恢复文件已损坏，无法恢复，已跳过："), QMessageBox::Ok, parent);
    box.setInformativeText(names.join(QLatin1Char('\n')) +
                           ui("\n\n这些文件已移到 %1。").arg(QDir::toNativeSeparators(folder)));
    box.button(QMessageBox::Ok)->setText(ui("确定"));
    box.exec();
}

}  // namespace

AutosaveKeeper::AutosaveKeeper(QObject* parent)
    : AutosaveKeeper(RecoveryStore(RecoveryStore::defaultFolder()), std::make_shared<SystemClock>(),
                     parent) {}

AutosaveKeeper::AutosaveKeeper(RecoveryStore store, std::shared_ptr<const Clock> clock,
                               QObject* parent)
    : QObject(parent), store_(std::move(store)), clock_(std::move(clock)) {}

std::chrono::milliseconds AutosaveKeeper::interval() {
    bool ok = false;
    double seconds = QSettings().value(QString::fromLatin1(kIntervalKey)).toDouble(&ok);
    if (!ok || !std::isfinite(seconds) || seconds <= 0)
        seconds = kDefaultSeconds;
    seconds = std::clamp(seconds, kFewestSeconds, kMostSeconds);
    return std::chrono::milliseconds(std::llround(seconds * 1000));
}

void AutosaveKeeper::watch(ScoreDocument* doc) {
    if (!doc->findChild<DocumentAutosave*>(QString(), Qt::FindDirectChildrenOnly))
        attach(doc, nullptr);
}

void AutosaveKeeper::attach(ScoreDocument* doc, std::unique_ptr<RecoveryEntry> entry) {
    auto* autosave = new DocumentAutosave(doc, store_, clock_, interval(), std::move(entry));
    // A failed autosave is not worth a dialog every interval, but the person must not think
    // the score is kept when it is not.
    connect(autosave, &DocumentAutosave::writeFailed, this, [this](const QString& error) {
        qWarning("qanoredit: autosave failed: %s", qUtf8Printable(error));
        if (auto* window = qobject_cast<QMainWindow*>(parent()))
            window->statusBar()->showMessage(ui("自动保存失败：%1").arg(error), 10000);
    });
}

int AutosaveKeeper::offerLeftovers(QWidget* parent,
                                   const std::function<void(ScoreDocument*)>& show) {
    RecoveryStore::Leftovers left = store_.takeLeftovers();
    QStringList damaged = left.damaged;
    int recovered = 0;
    if (!left.entries.empty()) {
        std::vector<RecoveryRecord> records;
        for (const auto& entry : left.entries)
            records.push_back(*entry->record());
        RecoveryDialog dialog(records, parent);
        dialog.exec();
        const QList<int> chosen = dialog.chosenRows();
        for (int i = 0; i < static_cast<int>(left.entries.size()); ++i) {
            // An entry let go keeps its files, to be offered at the next start.
            std::unique_ptr<RecoveryEntry> entry = std::move(left.entries[i]);
            if (!chosen.contains(i) || dialog.choice() == RecoveryDialog::Later)
                continue;
            if (dialog.choice() == RecoveryDialog::Discard) {
                entry->remove();
                continue;
            }
            const RecoveryRecord record = *entry->record();
            QeDocument loaded;
            if (!entry->load(loaded).ok()) {
                damaged << ui("%1（%2）")
                               .arg(record.displayName(),
                                    QDir::toNativeSeparators(entry->documentPath()));
                entry->moveTo(store_.damagedFolder());
                continue;
            }
            auto* doc = new ScoreDocument;
            doc->onRecoveredDocument(std::move(loaded), record.file);
            attach(doc, std::move(entry));
            show(doc);
            ++recovered;
        }
    }
    if (!damaged.isEmpty())
        reportDamaged(parent, damaged, store_.damagedFolder());
    return recovered;
}

}  // namespace qe
