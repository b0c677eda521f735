#pragma once

#include "schemamigration.h"

#include <QString>

// Runs the schema migration of a data file on a thread and a connection of its
// own, so that the calling thread's windows go on repainting through an
// upgrade that takes seconds on a large bank. SQLite connections are not
// shared between threads: the worker's is closed before run() returns.
class MigrationWorker
{
public:
    // Migrates the file at path with steps, on a connection of the SQL driver
    // driver, in one transaction as SchemaMigration::migrate does. While a
    // step is pending the calling thread's event loop turns without user
    // input: clicks, keys and close requests wait until the upgrade has ended,
    // which is never cut short. report, when given, is called on the calling
    // thread with the progress, for each new stage and within one at most
    // every reportInterval ms. A file that cannot be opened fails the
    // migration with the reason.
    static SchemaMigration::Result run(const QString &path, const QString &driver,
                                       const QVector<SchemaMigration::Step> &steps,
                                       const SchemaMigration::ProgressReport &report = nullptr);

    static const int reportInterval = 30;
    // How often the calling thread looks whether an upgrade has begun.
    static const int pollInterval = 5;
};
