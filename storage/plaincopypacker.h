#pragma once

#include <QString>
#include <QThreadPool>
#include <atomic>

// Compresses the plain copies that quick backups leave among the backups
// (BackupStore::packPlainCopies), on a thread of its own and one run at a
// time, so that an upgrade or an import waits only for the copy. The program
// keeps one for its life and lets it begin once its window is up; until then,
// and in programs without one, the copies wait for the next start.
class PlainCopyPacker
{
public:
    explicit PlainCopyPacker(const QString &dbPath);
    // Waits for a run under way: the program does not end half-way through
    // one (a copy left half-packed stays a plain copy anyway).
    ~PlainCopyPacker();

    // From now on the copies are compressed: those waiting now, and each
    // one a quick backup makes later.
    void begin();
    // Tells the program's packer, if it has begun, that a copy waits.
    static void request();

private:
    void queueRun();

    const QString m_dbPath;
    QThreadPool m_pool;
    std::atomic<bool> m_begun{false};
    // A run is queued and has not started: another request adds nothing.
    std::atomic<bool> m_queued{false};
};
