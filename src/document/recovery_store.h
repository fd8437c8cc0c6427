#pragma once

#include <QString>
#include <QStringList>
#include <memory>
#include <vector>

namespace qe {

class RecoveryEntry;

// The folder of recovery files in the user's application data: one entry per document with
// unsaved changes in a running editor, and what editors that did not end cleanly left
// behind. An entry is locked while its editor runs, so that two editors at once never offer
// each other's; the lock of an editor that was killed is stale and taken over.
class RecoveryStore {
public:
    // What a start finds: the entries left behind, each now locked by this process and the
    // newest first, and the damaged ones, by name, moved out of the way into
    // damagedFolder().
    struct Leftovers {
        std::vector<std::unique_ptr<RecoveryEntry>> entries;
        QStringList damaged;
    };

    explicit RecoveryStore(QString folder);
    // "recovery" in the application's data folder.
    static QString defaultFolder();

    const QString& folder() const { return folder_; }
    // Where damaged entries are kept, so that they are reported once and nothing is deleted.
    QString damagedFolder() const;

    // A new, empty entry locked by this process; null when the folder cannot be made or
    // written, with the reason in `error`.
    std::unique_ptr<RecoveryEntry> createEntry(QString* error = nullptr) const;
    // The entries no running editor holds.
    Leftovers takeLeftovers() const;

private:
    QString folder_;
};

}  // namespace qe
