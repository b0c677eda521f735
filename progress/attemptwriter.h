#pragma once

#include "attemptsnapshot.h"

#include <QMutex>
#include <QObject>
#include <QString>
#include <QThread>
#include <optional>

// Writes snapshots of unfinished runs on a thread of its own, over a
// connection of its own to the same file, so that the window never waits for
// the disk. When writes come faster than the disk takes them, only the newest
// snapshot is written.
class AttemptWriter : public QObject
{
    Q_OBJECT
public:
    explicit AttemptWriter(const QString &dbPath, QObject *parent = nullptr);
    // Finishes the queued write, then closes the connection and the thread.
    ~AttemptWriter() override;

    // Queues the write of snapshot; returns at once.
    void write(const AttemptSnapshot &snapshot, const QDateTime &savedAt);
    // Returns once every queued write is done.
    void waitIdle();

signals:
    // A write ended; reason, in the user's words, when it failed.
    void written(bool saved, const QString &reason);

private:
    void writeNext();
    bool openConnection();

    QString m_dbPath;
    QString m_connectionName;
    QThread m_thread;
    QObject *m_worker = nullptr;
    QMutex m_mutex;
    std::optional<QPair<AttemptSnapshot, QDateTime>> m_next;
};
