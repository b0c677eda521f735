#include "dbconnection.h"

#include "sqlitecipherdriver.h"

#include <QAtomicPointer>
#include <QMutex>
#include <QMutexLocker>
#include <QSqlQuery>

namespace {
QAtomicPointer<DbConnection> theInstance;
QMutex creationMutex;
}

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

void DbConnection::reopen()
{
    db.close();
    db.setDatabaseName(dbPath);
    opened = db.open();
    if (!opened)
        return;
    // Readers never block the writes of a hand-in or an autosave.
    QSqlQuery(db).exec(QStringLiteral("PRAGMA journal_mode=WAL"));
    migration = SchemaMigration::migrate(db);
    if (migration.outcome == SchemaMigration::Outcome::Failed)
        opened = false;
}

QSqlDatabase DbConnection::database() const
{
    return db;
}
