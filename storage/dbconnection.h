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

    // Opens the connection on dbPath, its schema first migrated with steps on
    // a thread of its own (MigrationWorker), then the write-ahead journal on.
    // The first call does it; a restore, after replacing the file, again.
    void reopen(const QVector<SchemaMigration::Step> &steps = SchemaMigration::steps());

    // Where the progress of the migrations that opening runs goes, on the
    // opening thread: the program's notice. Set before the first call.
    static void setUpgradeReport(SchemaMigration::ProgressReport report);

    QString dbPath;
    QString userName;
    QSqlDatabase db;
    bool opened = false;
    // What the schema migration on open did; a failed migration leaves the
    // file as it was and the connection closed to the program (opened false),
    // and so does a file the migration could not open.
    SchemaMigration::Result migration;

private:
    DbConnection() = default;
    DbConnection(const DbConnection &) = delete;
    DbConnection &operator=(const DbConnection &) = delete;
};
