#pragma once

#include "writeoutcome.h"

#include <QDate>
#include <QDateTime>
#include <QList>
#include <QSqlDatabase>
#include <QString>
#include <functional>

// One backup file and what it holds.
struct BackupEntry
{
    QString path;
    QDateTime taken;
    QString reason;             // "daily", "migration", "import", "restore"
    // Rows of the user's records; -1 when the file cannot be read.
    int results = -1;
    int bookRows = -1;
    int favourites = -1;
    // -1 also for a backup taken before notes were kept.
    int notes = -1;
    bool readable() const { return results >= 0; }
};

// Consistent copies of data.db (VACUUM INTO) in the folder "backups" beside
// it, named "data-yyyyMMdd-HHmmss-<reason>.db"; the newest seven are kept.
// They are taken before every schema migration and every import, once a day
// at start, and before a restore.
class BackupStore
{
public:
    static const int kept = 7;

    // The backups folder of the data file at dbPath.
    static QString folderFor(const QString &dbPath);

    // Backs up the program's data.db now.
    static WriteOutcome backupNow(const QString &reason);
    // From now on every schema migration that has a step to run backs the
    // file up first, and does not run when the backup fails. starting, when
    // given, is called before the backup, on the thread that migrates (a
    // worker's when the program opens the file: the notice follows the
    // migration's progress instead).
    static void guardMigrations(std::function<void()> starting = nullptr);
    // Backs up the open database db, whose file is dbPath, as taken at now;
    // then removes all but the newest backups.
    static WriteOutcome backup(QSqlDatabase db, const QString &dbPath, const QString &reason,
                               const QDateTime &now = QDateTime::currentDateTime());
    // Whether a backup of dbPath was taken on day.
    static bool backedUpOn(const QString &dbPath, const QDate &day);

    // The backups of dbPath, newest first, with the records each holds.
    static QList<BackupEntry> list(const QString &dbPath);
    // The newest backup that passes a quick check; empty when there is none.
    static QString newestSound(const QString &dbPath);

    // Puts a copy of the backup in place of the program's data.db: the
    // current file is backed up first, the connection closed, the file
    // replaced, and the connection opened again. On failure the current file
    // stays in use.
    static WriteOutcome restore(const QString &backupPath);
    // Puts a copy of the backup in place of the file at dbPath, which no
    // connection holds, keeping that file beside it as
    // "data.db.damaged-yyyyMMdd-HHmmss".
    static WriteOutcome replaceDamaged(const QString &dbPath, const QString &backupPath,
                                       const QDateTime &now = QDateTime::currentDateTime());
};
