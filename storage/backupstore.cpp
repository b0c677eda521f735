#include "backupstore.h"

#include "backuparchive.h"
#include "dbconnection.h"
#include "heldfilecopy.h"
#include "plaincopypacker.h"
#include "schemamigration.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonObject>
#include <QMutex>
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
    // Compressed backups end in ".zip"; those of earlier versions, plain
    // copies, in ".db".
    static const QRegularExpression pattern(QStringLiteral("^data-(\\d{8}-\\d{6})-([a-z-]+)(-\\d+)?\\.(db|zip)$"));
    return pattern;
}

bool isCompressed(const QString &path)
{
    return path.endsWith(BackupArchive::suffix());
}

// The backup files of a folder, newest first (the names sort by time).
QStringList backupFiles(const QString &folder)
{
    QStringList names;
    const QStringList all = QDir(folder).entryList({QStringLiteral("data-*.db"), QStringLiteral("data-*.zip")},
                                                   QDir::Files, QDir::Name | QDir::Reversed);
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

// The tables every data file has had since the first version; a file
// without them is no backup of the program's, whatever else it holds.
const char *const requiredTables[] = {"exam_question", "exam_paper", "exam_answer", "error_answer", "exam_Collect"};

// Whether the file at path is a whole, sound data file: every page and index
// checked, and the program's tables there.
WriteOutcome checkCopy(const QString &path)
{
    QString problem = QStringLiteral("备份中的数据文件无法打开");
    withConnection(path, true, [&problem](QSqlDatabase db) {
        QSqlQuery query(db);
        if (!query.exec(QStringLiteral("PRAGMA integrity_check")) || !query.next()
            || query.value(0).toString() != QLatin1String("ok")) {
            problem = QStringLiteral("备份中的数据文件未通过完整性检查");
            return;
        }
        const QStringList tables = db.tables();
        for (const char *table : requiredTables) {
            if (!tables.contains(QLatin1String(table))) {
                problem = QStringLiteral("备份中缺少数据表 %1").arg(QLatin1String(table));
                return;
            }
        }
        problem.clear();
    });
    return problem.isEmpty() ? WriteOutcome() : WriteOutcome::failed(problem);
}

// Puts the data file of the backup at source beside target, expanded when it
// is compressed, and checks it; on any failure nothing is left there.
WriteOutcome stage(const QString &source, const QString &target)
{
    const QString staged = stagedCopy(target);
    QFile::remove(staged);
    if (isCompressed(source)) {
        const WriteOutcome expanded = BackupArchive::unpack(source, staged);
        if (!expanded)
            return expanded;
    } else {
        QFile from(source);
        if (!from.copy(staged))
            return WriteOutcome::failed(QStringLiteral("无法复制备份文件（%1）").arg(from.errorString()));
    }
    const WriteOutcome checked = checkCopy(staged);
    if (!checked)
        QFile::remove(staged);
    return checked;
}

// The records a data file holds, as the list shows them.
void countRecords(QSqlDatabase db, BackupEntry *entry)
{
    entry->results = count(db, QStringLiteral("exam_answer"));
    entry->bookRows = count(db, QStringLiteral("error_answer"));
    entry->favourites = count(db, QStringLiteral("exam_Collect"));
    entry->notes = count(db, QStringLiteral("question_note"));
}

QJsonObject summaryOf(const BackupEntry &entry)
{
    return QJsonObject{{QStringLiteral("results"), entry.results},
                       {QStringLiteral("bookRows"), entry.bookRows},
                       {QStringLiteral("favourites"), entry.favourites},
                       {QStringLiteral("notes"), entry.notes}};
}

void readSummary(const QJsonObject &summary, BackupEntry *entry)
{
    if (!summary.value(QStringLiteral("results")).isDouble())
        return;
    entry->results = summary.value(QStringLiteral("results")).toInt();
    entry->bookRows = summary.value(QStringLiteral("bookRows")).toInt(-1);
    entry->favourites = summary.value(QStringLiteral("favourites")).toInt(-1);
    entry->notes = summary.value(QStringLiteral("notes")).toInt(-1);
}

// Leftovers of a backup that was cut off (the program ended during it). A
// file written to within the hour may be the copy of a backup under way on
// another thread, and stays.
void removeLeftovers(const QString &folder, const QDateTime &now)
{
    QDir dir(folder);
    const QFileInfoList files = dir.entryInfoList({QStringLiteral("data-*.taking"), QStringLiteral("*.zip.part"),
                                                   QStringLiteral("data-*.zip.pages")},
                                                  QDir::Files);
    for (const QFileInfo &file : files) {
        if (file.lastModified().secsTo(now) > 3600)
            dir.remove(file.fileName());
    }
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

// Readies the backups folder of dbPath and names a new backup taken at now
// for reason (the name without its suffix).
WriteOutcome nameNewBackup(const QString &dbPath, const QString &reason, const QDateTime &now, QString *name)
{
    const QString folder = BackupStore::folderFor(dbPath);
    if (!QDir().mkpath(folder))
        return WriteOutcome::failed(QStringLiteral("无法建立备份文件夹 %1").arg(QDir::toNativeSeparators(folder)));
    removeLeftovers(folder, QDateTime::currentDateTime());
    const QString stem = folder + QStringLiteral("/data-") + now.toString(stampFormat) + QLatin1Char('-') + reason;
    *name = stem;
    for (int n = 2; QFileInfo::exists(*name + QStringLiteral(".db")) || QFileInfo::exists(*name + BackupArchive::suffix()); ++n)
        *name = stem + QStringLiteral("-%1").arg(n);
    return WriteOutcome();
}

// Backups and bank copies are written by one thread at a time: two at once
// would each renew the bank copy.
QMutex &packing()
{
    static QMutex lock;
    return lock;
}

// Writes the compressed backup of db to zipPath: the consistent copy first,
// then packed against the bank copy; the copy goes once the backup is whole.
WriteOutcome compress(QSqlDatabase db, const QString &zipPath, const QDateTime &now)
{
    const QMutexLocker one(&packing());
    const QString copy = zipPath.chopped(BackupArchive::suffix().size()) + QStringLiteral(".taking");
    QSqlQuery query(db);
    if (!query.prepare(QStringLiteral("VACUUM INTO :file")))
        return WriteOutcome::failed(query.lastError());
    query.bindValue(QStringLiteral(":file"), copy);
    if (!query.exec()) {
        const WriteOutcome failed = WriteOutcome::failed(query.lastError());
        QFile::remove(copy);
        return failed;
    }
    query.finish();
    BackupEntry counted;
    withConnection(copy, true, [&counted](QSqlDatabase copyDb) { countRecords(copyDb, &counted); });
    const WriteOutcome packed = BackupArchive::packAgainstBank(copy, summaryOf(counted), zipPath, now);
    QFile::remove(copy);
    return packed;
}

// Removes all but the newest backups, and the bank copies none of them names.
void retire(const QString &folder)
{
    const QStringList files = backupFiles(folder);
    for (int i = BackupStore::kept; i < files.size(); ++i)
        QFile::remove(folder + QLatin1Char('/') + files.at(i));
    BackupArchive::removeUnusedBanks(folder);
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
        const WriteOutcome outcome = quickBackup(db, db.databaseName(), QStringLiteral("migration"));
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
    QString name;
    WriteOutcome outcome = nameNewBackup(dbPath, reason, now, &name);
    if (outcome)
        outcome = compress(db, name + BackupArchive::suffix(), now);
    if (outcome)
        retire(folderFor(dbPath));
    return outcome;
}

WriteOutcome BackupStore::quickBackup(QSqlDatabase db, const QString &dbPath, const QString &reason,
                                      const QDateTime &now)
{
    QString name;
    const WriteOutcome named = nameNewBackup(dbPath, reason, now, &name);
    if (!named)
        return named;
    const QString copy = name + QStringLiteral(".taking");
    // Renamed whole: a plain copy in the folder is always a backup that restores.
    if (!HeldFileCopy::take(db, dbPath, copy)
        || std::rename(QFile::encodeName(copy).constData(), QFile::encodeName(name + QStringLiteral(".db")).constData()) != 0) {
        QFile::remove(copy);
        return backup(db, dbPath, reason, now);
    }
    retire(folderFor(dbPath));
    PlainCopyPacker::request();
    return WriteOutcome();
}

bool BackupStore::hasPlainCopies(const QString &dbPath)
{
    const QStringList files = backupFiles(folderFor(dbPath));
    return std::any_of(files.cbegin(), files.cend(), [](const QString &name) { return !isCompressed(name); });
}

WriteOutcome BackupStore::packPlainCopies(const QString &dbPath)
{
    const QString folder = folderFor(dbPath);
    const QStringList files = backupFiles(folder);
    WriteOutcome outcome;
    // Oldest first, so that a newer copy is packed against the bank copy an
    // older one may have renewed.
    for (auto name = files.crbegin(); name != files.crend(); ++name) {
        if (isCompressed(*name))
            continue;
        const QString plain = folder + QLatin1Char('/') + *name;
        const QString zip = plain.chopped(3) + BackupArchive::suffix();
        WriteOutcome packed;
        // A zip of the same name is whole already (only a whole one is
        // renamed in): the program ended before the copy went.
        if (!QFileInfo::exists(zip)) {
            const QDateTime taken = QDateTime::fromString(backupName().match(*name).captured(1), stampFormat);
            packed = WriteOutcome::failed(QStringLiteral("无法打开"));
            // Rebuilt as every compressed backup is, so that its pages line
            // up with the bank copy's and only the records differ.
            withConnection(plain, true, [&](QSqlDatabase copyDb) { packed = compress(copyDb, zip, taken); });
        }
        if (packed)
            QFile::remove(plain);
        else if (outcome)
            outcome = WriteOutcome::failed(QStringLiteral("备份 %1 未能压缩：%2").arg(*name, packed.reason()));
    }
    BackupArchive::removeUnusedBanks(folder);
    return outcome;
}

qint64 BackupStore::bankBytes(const QString &dbPath)
{
    return BackupArchive::bankBytes(folderFor(dbPath));
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
        entry.bytes = QFileInfo(entry.path).size();
        entry.compressed = isCompressed(name);
        if (entry.compressed) {
            QString problem;
            readSummary(BackupArchive::summary(entry.path, &problem), &entry);
        } else {
            withConnection(entry.path, true, [&entry](QSqlDatabase db) { countRecords(db, &entry); });
        }
        entries << entry;
    }
    return entries;
}

QString BackupStore::newestSound(const QString &dbPath)
{
    // Each is expanded and checked as a restore would; the first that passes
    // is the one.
    const QString folder = folderFor(dbPath);
    const QString trial = dbPath + QStringLiteral(".trying");
    for (const QString &name : backupFiles(folder)) {
        const bool sound = stage(folder + QLatin1Char('/') + name, trial).saved();
        QFile::remove(stagedCopy(trial));
        if (sound)
            return folder + QLatin1Char('/') + name;
    }
    return QString();
}

WriteOutcome BackupStore::restore(const QString &backupPath)
{
    DbConnection *connection = DbConnection::instance(QStringLiteral("data.db"), true);
    // Staged and checked first: the backup of the current file may retire the
    // chosen one, and a backup that fails its check changes nothing.
    const WriteOutcome staged = stage(backupPath, connection->dbPath);
    if (!staged)
        return staged;
    const WriteOutcome before = quickBackup(connection->database(), connection->dbPath, QStringLiteral("restore"));
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
