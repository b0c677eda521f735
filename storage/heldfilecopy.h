#pragma once

#include "writeoutcome.h"

#include <QSqlDatabase>
#include <QString>

// A copy of a data file taken byte for byte while its connection holds the
// write lock, once every page is in the file itself (the write-ahead journal
// folded in and empty). Copying the file is a fraction of what rebuilding it
// page by page costs, so the backups an upgrade or an import waits for are
// taken this way; they are compressed later (BackupStore::packPlainCopies).
class HeldFileCopy
{
public:
    // Copies the file at dbPath, open as db (no transaction of its own
    // running), to target. The copy is marked as a file without a journal
    // of its own, so that it opens alone. Fails, leaving no target, when the
    // journal cannot be folded in now (another connection reading or
    // writing) or the copy cannot be written; the caller then takes a backup
    // the slower way.
    static WriteOutcome take(QSqlDatabase db, const QString &dbPath, const QString &target);
};
