#include "heldfilecopy.h"

#include <QFile>
#include <QFileInfo>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <filesystem>
#include <system_error>

namespace {

// Bytes 18 and 19 of an SQLite header: the file format versions for writing
// and reading, 2 for a file in write-ahead mode, 1 for a rollback journal.
const qint64 formatVersionsAt = 18;

// Folds the write-ahead journal (if any) into the file and empties it;
// false when another connection keeps it from being folded in whole. It
// does not wait for them: a reader may take seconds, and the slower backup
// costs less than that.
bool journalFoldedIn(QSqlDatabase db)
{
    QSqlQuery pragma(db);
    const int waitMs = pragma.exec(QStringLiteral("PRAGMA busy_timeout")) && pragma.next() ? pragma.value(0).toInt() : 0;
    pragma.finish();
    pragma.exec(QStringLiteral("PRAGMA busy_timeout=0"));
    QSqlQuery checkpoint(db);
    // A file in rollback mode answers 0, -1, -1.
    const bool folded = checkpoint.exec(QStringLiteral("PRAGMA wal_checkpoint(TRUNCATE)")) && checkpoint.next()
        && checkpoint.value(0).toInt() == 0;
    checkpoint.finish();
    pragma.exec(QStringLiteral("PRAGMA busy_timeout=%1").arg(waitMs));
    return folded;
}

bool journalEmpty(const QString &dbPath)
{
    const QFileInfo journal(dbPath + QStringLiteral("-wal"));
    return !journal.exists() || journal.size() == 0;
}

// The copy opens as a file of its own: no write-ahead journal beside it to
// look for. Its journal was empty, so the pages are all there.
bool markWithoutJournal(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite) || !file.seek(formatVersionsAt))
        return false;
    const QByteArray versions = file.read(2);
    if (versions == QByteArray("\x01\x01", 2))
        return true;
    return versions == QByteArray("\x02\x02", 2) && file.seek(formatVersionsAt)
        && file.write(QByteArray("\x01\x01", 2)) == 2 && file.flush();
}

} // namespace

WriteOutcome HeldFileCopy::take(QSqlDatabase db, const QString &dbPath, const QString &target)
{
    if (!journalFoldedIn(db))
        return WriteOutcome::failed(QStringLiteral("数据文件正在被读写，无法直接复制"));
    QSqlQuery lock(db);
    // Nobody writes while the lock is held; readers change nothing in the file.
    if (!lock.exec(QStringLiteral("BEGIN IMMEDIATE")))
        return WriteOutcome::failed(lock.lastError());
    WriteOutcome outcome;
    if (!journalEmpty(dbPath)) {
        // Written to between the fold and the lock.
        outcome = WriteOutcome::failed(QStringLiteral("数据文件正在被读写，无法直接复制"));
    } else {
        std::error_code error;
        std::filesystem::copy_file(QFile::encodeName(dbPath).toStdString(), QFile::encodeName(target).toStdString(),
                                   std::filesystem::copy_options::overwrite_existing, error);
        if (error)
            outcome = WriteOutcome::failed(QStringLiteral("无法复制数据文件（%1）").arg(QString::fromStdString(error.message())));
        else if (!markWithoutJournal(target))
            outcome = WriteOutcome::failed(QStringLiteral("无法写入数据文件的副本 %1").arg(target));
    }
    QSqlQuery(db).exec(QStringLiteral("ROLLBACK"));
    if (!outcome)
        QFile::remove(target);
    return outcome;
}
