#pragma once

#include "schemamigration.h"

#include <QSqlDatabase>
#include <QString>

// The one connection to data.db, created on the first request and kept open
// for the rest of the run.
class DbConnection
{
public:
    // The first call creates and opens the connection to directory + "data.db";
    // later calls return the same object and ignore their arguments.
    static DbConnection *instance(const QString &directory, bool useCipher);

    // A handle to the same open connection.
    QSqlDatabase database() const;

    // Opens the connection on dbPath: write-ahead journal on, schema migrated.
    // The first call does it; a restore, after replacing the file, again.
    void reopen();

    QString dbPath;
    QString userName;
    QSqlDatabase db;
    bool opened = false;
    // What the schema migration on open did; a failed migration leaves the
    // file as it was and the connection closed to the program (opened false).
    SchemaMigration::Result migration;

private:
    DbConnection() = default;
    DbConnection(const DbConnection &) = delete;
    DbConnection &operator=(const DbConnection &) = delete;
};
