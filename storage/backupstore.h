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
    // The size of the backup file on the disk.
    qint64 bytes = 0;
    // A zip of the copy; backups of earlier versions are plain copies.
    bool compressed = false;
    bool readable() const { return results >= 0; }
};

// Consistent copies of data.db (VACUUM INTO), compressed, the bank's pages
// kept once for all (BackupArchive), in the folder "backups" beside it, named
// "data-yyyyMMdd-HHmmss-<reason>.zip";
// plain copies (".db") list and restore alike: those of earlier versions, and
// the quick ones an upgrade, an import, a deletion or a restore waits for,
// until they are compressed in the background. The newest seven are kept.
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
    // As backup, for a caller that waits: a plain copy of the file
    // (HeldFileCopy) when nothing else uses it, compressed later by
    // packPlainCopies; otherwise the compressed backup at once. db has no
    // transaction running.
    static WriteOutcome quickBackup(QSqlDatabase db, const QString &dbPath, const QString &reason,
                                    const QDateTime &now = QDateTime::currentDateTime());
    // Whether plain copies wait to be compressed.
    static bool hasPlainCopies(const QString &dbPath);
    // Compresses every plain copy among the backups of dbPath into a backup
    // of the same time and reason; a copy goes only once its zip is whole,
    // so a program ended half-way leaves the plain copy. Names the first
    // copy that could not be compressed (it stays as it is).
    static WriteOutcome packPlainCopies(const QString &dbPath);
    // Whether a backup of dbPath was taken on day.
    static bool backedUpOn(const QString &dbPath, const QDate &day);

    // The bytes of the bank copies the compressed backups of dbPath share.
    static qint64 bankBytes(const QString &dbPath);
    // The backups of dbPath, newest first, with the records each holds.
    static QList<BackupEntry> list(const QString &dbPath);
    // The newest backup that expands whole and passes the integrity check;
    // empty when there is none.
    static QString newestSound(const QString &dbPath);

    // Puts a copy of the backup in place of the program's data.db: the copy
    // is expanded beside it and must pass an integrity check and have the
    // program's tables; then the current file is backed up, the connection
    // closed, the file replaced in one rename, and the connection opened
    // again. On any failure the current file stays as it was, in use.
    static WriteOutcome restore(const QString &backupPath);
    // Puts a copy of the backup in place of the file at dbPath, which no
    // connection holds, keeping that file beside it as
    // "data.db.damaged-yyyyMMdd-HHmmss".
    static WriteOutcome replaceDamaged(const QString &dbPath, const QString &backupPath,
                                       const QDateTime &now = QDateTime::currentDateTime());
};
