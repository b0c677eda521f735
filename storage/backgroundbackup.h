#pragma once

#include "writeoutcome.h"

#include <QString>
#include <functional>
#include <memory>

class QObject;
class QThread;

// Takes a backup of data.db on a thread and a connection of its own, so that
// the window need not wait for the copy (a second or more on a large bank);
// the write-ahead journal lets the program go on writing meanwhile.
class BackgroundBackup
{
public:
    // done runs on receiver's thread, through its event loop, once the copy
    // is made or has failed. receiver must outlive this object.
    BackgroundBackup(const QString &dbPath, const QString &reason, QObject *receiver,
                     std::function<void(const WriteOutcome &)> done);
    // Waits for the copy: the program does not end half-way through it.
    ~BackgroundBackup();

private:
    std::unique_ptr<QThread> m_thread;
};
