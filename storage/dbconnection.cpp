#include "dbconnection.h"

#include "migrationworker.h"
#include "sqlitecipherdriver.h"

#include <QAtomicPointer>
#include <QMutex>
#include <QMutexLocker>
#include <QSqlQuery>

namespace {
QAtomicPointer<DbConnection> theInstance;
QMutex creationMutex;

SchemaMigration::ProgressReport &upgradeReport()
{
    static SchemaMigration::ProgressReport report;
    return report;
}

} // namespace

DbConnection *DbConnection::instance(const QString &directory, bool useCipher)
{
    if (DbConnection *existing = theInstance.loadAcquire())
        return existing;
    QMutexLocker lock(&creationMutex);
    if (DbConnection *existing = theInstance.loadAcquire())
        return existing;

    auto *connection = new DbConnection;
    connection->dbPath = directory + QStringLiteral("data.db");
    SqliteCipherDriver::registerDriver();
    connection->db = QSqlDatabase::addDatabase(
        useCipher ? QStringLiteral("SQLITECIPHER") : QStringLiteral("QSQLITE"),
        QLatin1String(QSqlDatabase::defaultConnection));
    connection->db.setDatabaseName(connection->dbPath);
    connection->db.setUserName(connection->userName);
    connection->reopen();
    theInstance.storeRelease(connection);
    return connection;
}

void DbConnection::setUpgradeReport(SchemaMigration::ProgressReport report)
{
    upgradeReport() = std::move(report);
}

void DbConnection::reopen(const QVector<SchemaMigration::Step> &steps)
{
    db.close();
    db.setDatabaseName(dbPath);
    migration = MigrationWorker::run(dbPath, db.driverName(), steps, upgradeReport());
    opened = migration.outcome != SchemaMigration::Outcome::Failed && db.open();
    if (!opened)
        return;
    // Readers never block the writes of a hand-in or an autosave.
    QSqlQuery(db).exec(QStringLiteral("PRAGMA journal_mode=WAL"));
}

QSqlDatabase DbConnection::database() const
{
    return db;
}
