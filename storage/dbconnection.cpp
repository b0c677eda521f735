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
    connection->opened = connection->db.open();
    if (connection->opened) {
        // Write-ahead journal: the saves of an unfinished run, made over a
        // connection of their own, never wait for this one's reads.
        QSqlQuery(connection->db).exec(QStringLiteral("PRAGMA journal_mode=WAL"));
        connection->migration = SchemaMigration::migrate(connection->db);
        if (connection->migration.outcome == SchemaMigration::Outcome::Failed)
            connection->opened = false;
    }
    theInstance.storeRelease(connection);
    return connection;
}

QSqlDatabase DbConnection::database() const
{
    return db;
}
