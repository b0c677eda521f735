#pragma once

#include "datafilecheck.h"
#include "writeoutcome.h"

#include <QDate>
#include <QString>
#include <functional>
#include <memory>

class BackgroundBackup;
class QObject;
class QThread;

// The whole-file check of the first start of a day (DataFileCheck, Depth
// Pages), run once the window is up, on a thread and a connection of its own;
// the tables of the user's records were checked before the window opened.
// The day's backup follows only a sound check, so that no backup is taken of
// a file with a finding and none of the kept ones is retired for it.
class DailyFileSweep
{
public:
    using Found = std::function<void(const DataFileCheck::Result &)>;
    using BackedUp = std::function<void(const WriteOutcome &)>;

    // Starts the check of the file at dbPath. found runs on the caller's
    // thread, through its event loop, when the check finds a problem;
    // backedUp once the day's backup is made or has failed.
    DailyFileSweep(const QString &dbPath, Found found, BackedUp backedUp);
    // Waits for the check and the backup: the program does not end half-way.
    ~DailyFileSweep();

    // Whether a start of the program on day today owes the check: no backup
    // was taken that day (the check and the backup go together).
    static bool due(const QString &dbPath, const QDate &today);

    // The check has ended and the backup, if it followed, too.
    bool finished() const { return m_finished; }

private:
    void checked(const DataFileCheck::Result &result);

    const QString m_dbPath;
    Found m_found;
    BackedUp m_backedUp;
    // Where the thread's outcome is delivered: gone with this object, so that
    // an outcome still queued is dropped.
    std::unique_ptr<QObject> m_receiver;
    std::unique_ptr<QThread> m_thread;
    std::unique_ptr<BackgroundBackup> m_backup;
    bool m_finished = false;
};
