#include "backupstore.h"

#include "schemamigration.h"

#include "dbconnection.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSqlError>
#include <QSqlQuery>
#include <QUuid>

#include <algorithm>
#include <cstdio>

namespace {

const QString stampFormat = QStringLiteral("yyyyMMdd-HHmmss");

const QRegularExpression &backupName()
{
    static const QRegularExpression pattern(QStringLiteral("^data-(\\d{8}-\\d{6})-([a-z-]+)(-\\d+)?\\.db$"));
    return pattern;
}

// The backup files of a folder, newest first (the names sort by time).
QStringList backupFiles(const QString &folder)
{
    QStringList names;
    const QStringList all = QDir(folder).entryList({QStringLiteral("data-*.db")}, QDir::Files, QDir::Name | QDir::Reversed);
    for (const QString &name : all) {
        if (backupName().match(name).hasMatch())
            names << name;
    }
    return names;
}

// Runs work on a connection of its own to the file at path, then closes it.
template <class Work>
void withConnection(const QString &path, bool readOnly, Work work)
{
    const QString name = QStringLiteral("backup_") + QUuid::createUuid().toString();
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (readOnly)
            db.setConnectOptions(QStringLiteral("QSQLITE_OPEN_READONLY"));
        if (db.open())
            work(db);
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
}

int count(QSqlDatabase db, const QString &table)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("select count(*) from ") + table) || !query.next())
        return -1;
    return query.value(0).toInt();
}

// A copy of source beside target, ready to take its place.
QString stagedCopy(const QString &target)
{
    return target + QStringLiteral(".restoring");
}

WriteOutcome stage(const QString &source, const QString &target)
{
    QFile::remove(stagedCopy(target));
    QFile from(source);
    if (!from.copy(stagedCopy(target)))
        return WriteOutcome::failed(QStringLiteral("无法复制备份文件（%1）").arg(from.errorString()));
    return WriteOutcome();
}

// Replaces target by its staged copy in one rename, so that target is always
// either the old file or the whole copy.
WriteOutcome swapIn(const QString &target)
{
    for (const char *suffix : {"-wal", "-shm", "-journal"})
        QFile::remove(target + QLatin1String(suffix));
    if (std::rename(QFile::encodeName(stagedCopy(target)).constData(), QFile::encodeName(target).constData()) != 0) {
        QFile::remove(stagedCopy(target));
        return WriteOutcome::failed(QStringLiteral("无法替换数据文件"));
    }
    return WriteOutcome();
}

} // namespace

QString BackupStore::folderFor(const QString &dbPath)
{
    return QFileInfo(dbPath).absolutePath() + QStringLiteral("/backups");
}

void BackupStore::guardMigrations(std::function<void()> starting)
{
    SchemaMigration::setBeforeMigrating([starting](QSqlDatabase db, QString *reason) {
        if (starting)
            starting();
        const WriteOutcome outcome = backup(db, db.databaseName(), QStringLiteral("migration"));
        *reason = outcome.reason();
        return outcome.saved();
    });
}

WriteOutcome BackupStore::backupNow(const QString &reason)
{
    DbConnection *connection = DbConnection::instance(QStringLiteral("data.db"), true);
    return backup(connection->database(), connection->dbPath, reason);
}

WriteOutcome BackupStore::backup(QSqlDatabase db, const QString &dbPath, const QString &reason,
                                 const QDateTime &now)
{
    const QString folder = folderFor(dbPath);
    if (!QDir().mkpath(folder))
        return WriteOutcome::failed(QStringLiteral("无法建立备份文件夹 %1").arg(QDir::toNativeSeparators(folder)));
    const QString stem = folder + QStringLiteral("/data-") + now.toString(stampFormat) + QLatin1Char('-') + reason;
    QString target = stem + QStringLiteral(".db");
    for (int n = 2; QFileInfo::exists(target); ++n)
        target = stem + QStringLiteral("-%1.db").arg(n);

    QSqlQuery query(db);
    if (!query.prepare(QStringLiteral("VACUUM INTO :file")))
        return WriteOutcome::failed(query.lastError());
    query.bindValue(QStringLiteral(":file"), target);
    if (!query.exec()) {
        const WriteOutcome failed = WriteOutcome::failed(query.lastError());
        QFile::remove(target);
        return failed;
    }
    const QStringList files = backupFiles(folder);
    for (int i = kept; i < files.size(); ++i)
        QFile::remove(folder + QLatin1Char('/') + files.at(i));
    return WriteOutcome();
}

bool BackupStore::backedUpOn(const QString &dbPath, const QDate &day)
{
    const QString prefix = QStringLiteral("data-") + day.toString(QStringLiteral("yyyyMMdd")) + QLatin1Char('-');
    const QStringList files = backupFiles(folderFor(dbPath));
    return std::any_of(files.cbegin(), files.cend(), [&prefix](const QString &name) { return name.startsWith(prefix); });
}

QList<BackupEntry> BackupStore::list(const QString &dbPath)
{
    QList<BackupEntry> entries;
    const QString folder = folderFor(dbPath);
    for (const QString &name : backupFiles(folder)) {
        const QRegularExpressionMatch match = backupName().match(name);
        BackupEntry entry;
        entry.path = folder + QLatin1Char('/') + name;
        entry.taken = QDateTime::fromString(match.captured(1), stampFormat);
        entry.reason = match.captured(2);
        withConnection(entry.path, true, [&entry](QSqlDatabase db) {
            entry.results = count(db, QStringLiteral("exam_answer"));
            entry.bookRows = count(db, QStringLiteral("error_answer"));
            entry.favourites = count(db, QStringLiteral("exam_Collect"));
            entry.notes = count(db, QStringLiteral("question_note"));
        });
        entries << entry;
    }
    return entries;
}

QString BackupStore::newestSound(const QString &dbPath)
{
    const QString folder = folderFor(dbPath);
    for (const QString &name : backupFiles(folder)) {
        bool sound = false;
        withConnection(folder + QLatin1Char('/') + name, true, [&sound](QSqlDatabase db) {
            QSqlQuery query(db);
            sound = query.exec(QStringLiteral("PRAGMA quick_check")) && query.next()
                && query.value(0).toString() == QLatin1String("ok");
        });
        if (sound)
            return folder + QLatin1Char('/') + name;
    }
    return QString();
}

WriteOutcome BackupStore::restore(const QString &backupPath)
{
    DbConnection *connection = DbConnection::instance(QStringLiteral("data.db"), true);
    // Staged first: the backup of the current file may retire the chosen one.
    const WriteOutcome staged = stage(backupPath, connection->dbPath);
    if (!staged)
        return staged;
    const WriteOutcome before = backup(connection->database(), connection->dbPath, QStringLiteral("restore"));
    if (!before) {
        QFile::remove(stagedCopy(connection->dbPath));
        return WriteOutcome::failed(QStringLiteral("恢复前未能备份当前的数据文件：") + before.reason());
    }
    connection->database().close();
    const WriteOutcome replaced = swapIn(connection->dbPath);
    connection->reopen();
    return replaced;
}

WriteOutcome BackupStore::replaceDamaged(const QString &dbPath, const QString &backupPath, const QDateTime &now)
{
    const QString aside = dbPath + QStringLiteral(".damaged-") + now.toString(stampFormat);
    if (QFileInfo::exists(dbPath) && !QFile::copy(dbPath, aside))
        return WriteOutcome::failed(QStringLiteral("无法把损坏的文件另存为 %1").arg(QDir::toNativeSeparators(aside)));
    const WriteOutcome staged = stage(backupPath, dbPath);
    return staged ? swapIn(dbPath) : staged;
}
