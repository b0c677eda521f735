#include "backgroundbackup.h"

#include "backupstore.h"

#include <QMetaObject>
#include <QSqlDatabase>
#include <QSqlError>
#include <QThread>

namespace {

WriteOutcome copyOver(const QString &dbPath, const QString &reason, const QString &connectionName)
{
    WriteOutcome outcome;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), connectionName);
        db.setDatabaseName(dbPath);
        outcome = db.open() ? BackupStore::backup(db, dbPath, reason) : WriteOutcome::failed(db.lastError());
        db.close();
    }
    QSqlDatabase::removeDatabase(connectionName);
    return outcome;
}

} // namespace

BackgroundBackup::BackgroundBackup(const QString &dbPath, const QString &reason, QObject *receiver,
                                   std::function<void(const WriteOutcome &)> done)
{
    const QString connectionName = QStringLiteral("background-backup-%1").arg(quintptr(this));
    m_thread.reset(QThread::create([dbPath, reason, connectionName, receiver, done] {
        const WriteOutcome outcome = copyOver(dbPath, reason, connectionName);
        QMetaObject::invokeMethod(receiver, [outcome, done] { done(outcome); }, Qt::QueuedConnection);
    }));
    m_thread->start(QThread::LowPriority);
}

BackgroundBackup::~BackgroundBackup()
{
    m_thread->wait();
}
