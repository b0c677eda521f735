#include "datafilecheck.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryFile>
#include <QUuid>
#include <QVariant>

namespace {

using State = DataFileCheck::State;

DataFileCheck::Result found(State state, const QString &problem)
{
    return {state, problem};
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
QStringList checkTargets(QSqlDatabase db, DataFileCheck::Depth depth, QString *problem)
{
    QStringList checks;
    if (depth == DataFileCheck::Depth::WholeFile)
        checks << QStringLiteral("PRAGMA quick_check");
    QSqlQuery query(db);
    if (!query.exec(QStringLiteral("select name from sqlite_master where type='table' and name<>'exam_question' "
                                      "and name not like 'question\\_title\\_index%' escape '\\'"))) {
        *problem = query.lastError().databaseText();
        return {};
    }
    while (query.next()) {
        // A table name from the file's own schema, as a quoted identifier.
        QString table = query.value(0).toString();
        checks << QStringLiteral("PRAGMA integrity_check(\"%1\")").arg(table.replace(QLatin1Char('"'), QStringLiteral("\"\"")));
    }
    return checks;
}

bool runChecks(QSqlDatabase db, DataFileCheck::Depth depth, QString *problem)
{
    const QStringList targets = checkTargets(db, depth, problem);
    if (!problem->isEmpty())
        return false;
    QSqlQuery query(db);
    for (const QString &check : targets) {
        if (!query.exec(check)) {
            *problem = query.lastError().databaseText();
            return false;
        }
        if (!query.next() || query.value(0).toString() != QLatin1String("ok")) {
            *problem = query.value(0).toString();
            return false;
        }
    }
    return true;
}

// The quick check, and whether the file takes a write.
DataFileCheck::Result examineDatabase(const QString &path, DataFileCheck::Depth depth)
{
    const QString name = QStringLiteral("data_file_check_") + QUuid::createUuid().toString();
    DataFileCheck::Result result;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QString problem;
        if (!db.open()) {
            result = found(State::Unreadable, db.lastError().text());
        } else if (!runChecks(db, depth, &problem)) {
            result = found(problem.contains(QLatin1String("not a database")) ? State::NotADatabase : State::Damaged, problem);
        } else {
            QString error;
            if (!takesAWrite(db, &error))
                result = found(State::ReadOnly, error);
        }
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return result;
}

} // namespace

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

    // The journal is written beside the file: its folder must take writes too.
    QTemporaryFile probe(info.absolutePath() + QStringLiteral("/.tessera-write-probe-XXXXXX"));
    const bool folderWritable = probe.open();
    const Result result = examineDatabase(path, depth);
    switch (result.state) {
    case State::Usable:
    case State::ReadOnly:
        if (!folderWritable)
            return found(State::ReadOnly, QStringLiteral("所在的文件夹是只读的"));
        if (result.state == State::ReadOnly)
            return found(State::ReadOnly, QStringLiteral("文件是只读的（%1）").arg(result.problem));
        return result;
    case State::NotADatabase:
    case State::Damaged:
        return found(State::Damaged, QStringLiteral("文件已损坏（%1）").arg(result.problem));
    default:
        return found(result.state, QStringLiteral("无法读取（%1）").arg(result.problem));
    }
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
