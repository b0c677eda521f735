#include "datafilecheck.h"

#include "writeoutcome.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStorageInfo>
#include <QTemporaryFile>
#include <QUuid>
#include <QVariant>

#include <algorithm>

namespace {

using State = DataFileCheck::State;

DataFileCheck::Result found(State state, const QString &problem)
{
    return {state, problem, QString()};
}

// Writes the header's user_version as it is and rolls back: changes nothing,
// fails on a file that is open read-only. The reason of a failure in error.
bool takesAWrite(QSqlDatabase db, QString *error)
{
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("PRAGMA user_version")) || !query.next()) {
        *error = query.lastError().databaseText();
        return false;
    }
    const int version = query.value(0).toInt();
    const bool written = query.exec(QStringLiteral("BEGIN IMMEDIATE"))
        && query.exec(QStringLiteral("PRAGMA user_version = %1").arg(version));
    *error = query.lastError().databaseText();
    query.exec(QStringLiteral("ROLLBACK"));
    return written;
}

// The checks to run: for the whole file a quick_check of every page; then an
// integrity_check of each table but the question bank's bulk (the questions
// and their title index, which is larger still and can be built again),
// which also finds an index that no longer matches its table.
QStringList checkTargets(QSqlDatabase db, DataFileCheck::Depth depth, QSqlError *error)
{
    QStringList checks;
    if (depth != DataFileCheck::Depth::RecordTables)
        checks << QStringLiteral("PRAGMA quick_check");
    if (depth == DataFileCheck::Depth::Pages)
        return checks;
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("select name from sqlite_master where type='table' and name<>'exam_question' "
                                      "and name not like 'question\\_title\\_index%' escape '\\'"))) {
        *error = query.lastError();
        return {};
    }
    while (query.next()) {
        // A table name from the file's own schema, as a quoted identifier.
        QString table = query.value(0).toString();
        checks << QStringLiteral("PRAGMA integrity_check(\"%1\")").arg(table.replace(QLatin1Char('"'), QStringLiteral("\"\"")));
    }
    return checks;
}

// A check that could not run, by the database's error.
DataFileCheck::Result failedCheck(const QSqlError &error)
{
    const QString text = error.databaseText();
    if (text.contains(QLatin1String("not a database")))
        return {State::NotADatabase, QStringLiteral("不是数据库文件，或文件开头已损坏"), text};
    if (WriteOutcome::causeOf(error) == WriteOutcome::Cause::Damaged)
        return {State::Damaged, QStringLiteral("文件已损坏：数据库读不出它的结构"), text};
    // A read that the disk or the system refuses is no sign of damage.
    return {State::Unreadable, QStringLiteral("无法读取（%1）").arg(WriteOutcome::reasonOf(error)), text};
}

// Runs the checks; on a finding or a failure fills result with the state, the
// problem in one sentence and the database's own lines as details.
bool runChecks(QSqlDatabase db, DataFileCheck::Depth depth, DataFileCheck::Result *result)
{
    QSqlError error;
    const QStringList targets = checkTargets(db, depth, &error);
    if (error.type() != QSqlError::NoError) {
        *result = failedCheck(error);
        return false;
    }
    QSqlQuery query(db);
    for (const QString &check : targets) {
        QStringList findings;
        if (query.exec(check)) {
            // A row may hold several findings, one a line, under a heading.
            while (query.next()) {
                for (const QString &line : query.value(0).toString().split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
                    if (line != QLatin1String("ok") && !line.startsWith(QLatin1String("***")))
                        findings << line;
                }
            }
        }
        if (query.lastError().type() != QSqlError::NoError) {
            *result = failedCheck(query.lastError());
            return false;
        }
        if (!findings.isEmpty()) {
            *result = {State::Damaged, QStringLiteral("文件已损坏：完整性检查发现 %1 处问题").arg(findings.size()),
                       findings.join(QLatin1Char('\n'))};
            return false;
        }
    }
    return true;
}

// The checks, and whether the file takes a write.
DataFileCheck::Result examineDatabase(const QString &path, DataFileCheck::Depth depth)
{
    const QString name = QStringLiteral("data_file_check_") + QUuid::createUuid().toString();
    DataFileCheck::Result result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        if (!db.open()) {
            result = {State::Unreadable, QStringLiteral("无法打开（%1）").arg(WriteOutcome::reasonOf(db.lastError())),
                      db.lastError().databaseText()};
        } else if (runChecks(db, depth, &result) && depth != DataFileCheck::Depth::Pages) {
            QString error;
            if (!takesAWrite(db, &error))
                result = {State::ReadOnly, QStringLiteral("文件是只读的"), error};
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

// Bytes as the user reads them, rounded up: "12 KB", "35 MB".
QString sizeText(qint64 bytes)
{
    const qint64 kb = (bytes + 1023) / 1024;
    return kb < 1024 ? QStringLiteral("%1 KB").arg(kb) : QStringLiteral("%1 MB").arg((kb + 1023) / 1024);
}

} // namespace

qint64 DataFileCheck::roomWanted(qint64 fileSize)
{
    return std::max<qint64>(fileSize, 0) + minimumRoom;
}

DataFileCheck::Result DataFileCheck::writeRoom(const QString &path, qint64 needed)
{
    const QFileInfo info(path);
    const QStorageInfo disk(info.absolutePath());
    const qint64 available = disk.isValid() ? disk.bytesAvailable() : -1;
    if (available >= 0 && available < needed) {
        return found(State::DiskFull, QStringLiteral("所在的磁盘已满：只剩 %1 可用，至少还需要约 %2（与数据文件差不多大）")
                                          .arg(sizeText(available), sizeText(roomWanted(info.size()))));
    }
    // The journal and the backups are written beside the file.
    QTemporaryFile probe(info.absolutePath() + QStringLiteral("/.tessera-write-probe-XXXXXX"));
    if (!probe.open())
        return found(State::FolderReadOnly, QStringLiteral("所在的文件夹是只读的"));
    return Result();
}

DataFileCheck::Result DataFileCheck::examine(const QString &path, Depth depth)
{
    const QFileInfo info(path);
    if (!info.exists() && !info.isSymLink())
        return found(State::Missing, QStringLiteral("文件不存在"));
    if (!info.isFile())
        return found(State::NotAFile, QStringLiteral("这是一个文件夹，不是数据文件"));
    if (info.size() == 0)
        return found(State::Missing, QStringLiteral("文件是空的（0 字节）"));
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return found(State::Unreadable, QStringLiteral("无法读取（%1）").arg(file.errorString()));
    const QByteArray header = file.read(16);
    file.close();
    if (header != QByteArray("SQLite format 3", 16))
        return found(State::NotADatabase, QStringLiteral("不是数据库文件，或文件开头已损坏"));

    // Opening the file needs room and a folder that takes its shared-memory
    // file: without them SQLite fails with errors that read like damage and
    // leaves that file behind.
    const Result room = writeRoom(path);
    if (room.state != State::Usable)
        return room;
    return examineDatabase(path, depth);
}

QString DataFileCheck::message(const Result &result, const QString &path)
{
    const QString where = QDir::toNativeSeparators(path);
    switch (result.state) {
    case State::Usable:
        return QString();
    case State::Missing:
        return QStringLiteral("找不到可用的数据文件 %1：%2。\n可以用程序自带的示例题库新建它；"
                              "如果你的记录在别处，请先退出，把数据文件放到这里后重新启动。").arg(where, result.problem);
    case State::ReadOnly:
        return QStringLiteral("数据文件 %1 只能读，不能写：%2。\n成绩、错题和收藏都无法保存。"
                              "请取消文件的只读属性，或把它移到可以写入的文件夹后重新启动程序。").arg(where, result.problem);
    case State::FolderReadOnly:
        return QStringLiteral("数据文件 %1 %2，不能写入。\n程序要在数据文件旁边写日志和备份，"
                              "否则成绩、错题和收藏都无法保存。数据文件没有被改动。\n"
                              "请让这个文件夹可以写入（检查它的权限，或不要从光盘、只读的位置运行程序），然后重新启动程序。")
            .arg(where, result.problem);
    case State::DiskFull:
        return QStringLiteral("数据文件 %1 %2。\n程序没有打开也没有改动这个文件。\n"
                              "请删除不需要的文件，腾出空间后重新启动程序。").arg(where, result.problem);
    case State::Damaged:
    case State::NotADatabase:
        return QStringLiteral("数据文件 %1 不能使用：%2。\n可以用最近一份完好的备份恢复它（损坏的文件会改名保留）；"
                              "也可以退出，换上完好的数据文件后重新启动。").arg(where, result.problem);
    case State::NotAFile:
    case State::Unreadable:
        break;
    }
    return QStringLiteral("数据文件 %1 不能使用：%2。\n请检查文件和文件夹的权限，或换上完好的数据文件后重新启动程序。")
        .arg(where, result.problem);
}
