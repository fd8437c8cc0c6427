#pragma once

#include <QObject>
#include <chrono>
#include <functional>
#include <memory>

#include "document/recovery_store.h"

class QWidget;

namespace qe {

class ScoreDocument;
class Clock;
class RecoveryEntry;

// The editor's side of autosaving: every open document keeps a recovery file while it has
// unsaved changes, and at a start the documents a crashed editor left are offered back.
class AutosaveKeeper : public QObject {
    Q_OBJECT

public:
    // The setting for the interval, in seconds (30 when unset).
    static constexpr const char* kIntervalKey = "Settings/AutosaveSeconds";

    // The recovery folder in the user's application data, on the machine's clock.
    explicit AutosaveKeeper(QObject* parent = nullptr);
    AutosaveKeeper(RecoveryStore store, std::shared_ptr<const Clock> clock,
                   QObject* parent = nullptr);

    const RecoveryStore& store() const { return store_; }
    // The interval the settings ask for, kept within sense.
    static std::chrono::milliseconds interval();

    // Keeps `doc`'s recovery file from now on (once per document).
    void watch(ScoreDocument* doc);
    // Offers the documents left behind by editors that did not end cleanly, and reports the
    // damaged ones. Each recovered document goes to `show`, which takes it. Returns how many
    // were recovered.
    int offerLeftovers(QWidget* parent, const std::function<void(ScoreDocument*)>& show);

private:
    void attach(ScoreDocument* doc, std::unique_ptr<RecoveryEntry> entry);

    RecoveryStore store_;
    std::shared_ptr<const Clock> clock_;
};

}  // namespace qe
