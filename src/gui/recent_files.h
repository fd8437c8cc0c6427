#pragma once

#include <QStringList>

namespace qe {

// The files opened or saved most recently, newest first, kept in the user's settings of the
// organisation "OrmindoSoftware" so that the list outlives the session.
class RecentFiles {
public:
    static constexpr int kMostFiles = 4;

    QStringList files() const;
    // Puts a file first; the oldest beyond the fourth drops off.
    void add(const QString& path);
    void remove(const QString& path);
};

}  // namespace qe
