#include "attemptwriter.h"

#include "attemptstore.h"
#include "boundstatement.h"
#include "writeoutcome.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>

AttemptWriter::AttemptWriter(const QString &dbPath, QObject *parent)
    : QObject(parent)
    , m_dbPath(dbPath)
    , m_connectionName(QStringLiteral("attempt-writer-%1").arg(quintptr(this)))
{
    m_worker = new QObject;
    m_worker->moveToThread(&m_thread);
    connect(&m_thread, &QThread::finished, m_worker, &QObject::deleteLater);
    m_thread.start();
}

AttemptWriter::~AttemptWriter()
{
    QMetaObject::invokeMethod(
        m_worker,
        [this]() {
            QSqlDatabase::database(m_connectionName, false).close();
            QSqlDatabase::removeDatabase(m_connectionName);
        },
        Qt::BlockingQueuedConnection);
    m_thread.quit();
    m_thread.wait();
}

void AttemptWriter::write(const AttemptSnapshot &snapshot, const QDateTime &savedAt)
{
    QMutexLocker lock(&m_mutex);
    const bool queued = m_next.has_value();
    m_next = qMakePair(snapshot, savedAt);
    if (!queued)
        QMetaObject::invokeMethod(m_worker, [this]() { writeNext(); }, Qt::QueuedConnection);
}

void AttemptWriter::waitIdle()
{
    QMetaObject::invokeMethod(m_worker, []() {}, Qt::BlockingQueuedConnection);
}

// On the writer's thread.
void AttemptWriter::writeNext()
{
    QPair<AttemptSnapshot, QDateTime> next;
    {
        QMutexLocker lock(&m_mutex);
        if (!m_next)
            return;
        next = *m_next;
        m_next.reset();
    }
    if (!openConnection()) {
        emit written(false, WriteOutcome::reasonOf(QSqlDatabase::database(m_connectionName, false).lastError()));
        return;
    }
    QSqlDatabase db = QSqlDatabase::database(m_connectionName, false);
    const bool saved = AttemptStore::save(db, next.first, next.second);
    emit written(saved, saved ? QString() : WriteOutcome::reasonOf(lastBoundError()));
}

// On the writer's thread: the connection is made there and used only there.
bool AttemptWriter::openConnection()
{
    QSqlDatabase db;
    if (QSqlDatabase::contains(m_connectionName)) {
        db = QSqlDatabase::database(m_connectionName, false);
    } else {
        db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connectionName);
        db.setDatabaseName(m_dbPath);
        db.setConnectOptions(QStringLiteral("QSQLITE_BUSY_TIMEOUT=5000"));
    }
    if (db.isOpen())
        return true;
    if (!db.open())
        return false;
    // Write-ahead journal: a save never waits for the window's reads. A
    // synchronous commit survives a power cut.
    QSqlQuery pragma(db);
    pragma.exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    pragma.exec(QStringLiteral("PRAGMA synchronous=FULL"));
    return true;
}
