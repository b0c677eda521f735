#include "writeoutcome.h"

#include <QSqlError>

namespace {

// SQLite's primary result codes; an extended code keeps its primary code in
// the low byte.
enum SqliteCode {
    Perm = 3,
    Busy = 5,
    Locked = 6,
    NoMemory = 7,
    ReadOnly = 8,
    IoError = 10,
    Corrupt = 11,
    Full = 13,
    CantOpen = 14,
    NotADatabase = 26,
};

} // namespace

WriteOutcome WriteOutcome::failed(const QSqlError &error)
{
    return failed(reasonOf(error));
}

WriteOutcome WriteOutcome::failed(const QString &reason)
{
    WriteOutcome outcome;
    outcome.m_saved = false;
    outcome.m_reason = reason;
    return outcome;
}

WriteOutcome::Cause WriteOutcome::causeOf(const QSqlError &error)
{
    bool numeric = false;
    const int code = error.nativeErrorCode().toInt(&numeric) & 0xff;
    if (!numeric)
        return Cause::Other;
    switch (code) {
    case Full: return Cause::DiskFull;
    case ReadOnly: return Cause::ReadOnly;
    case Perm: return Cause::Permission;
    case Corrupt:
    case NotADatabase: return Cause::Damaged;
    case Busy:
    case Locked: return Cause::Busy;
    case CantOpen: return Cause::CannotOpen;
    case IoError: return Cause::ReadWrite;
    case NoMemory: return Cause::NoMemory;
    default: return Cause::Other;
    }
}

QString WriteOutcome::reasonOf(const QSqlError &error)
{
    switch (causeOf(error)) {
    case Cause::DiskFull: return QStringLiteral("磁盘空间不足");
    case Cause::ReadOnly: return QStringLiteral("数据文件是只读的");
    case Cause::Permission: return QStringLiteral("没有写入数据文件的权限");
    case Cause::Damaged: return QStringLiteral("数据文件已损坏");
    case Cause::Busy: return QStringLiteral("数据文件正被其他程序占用");
    case Cause::CannotOpen: return QStringLiteral("无法打开数据文件或其日志文件");
    case Cause::ReadWrite: return QStringLiteral("读写数据文件时出错");
    case Cause::NoMemory: return QStringLiteral("内存不足");
    case Cause::Other: break;
    }
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return text.trimmed().isEmpty() ? QStringLiteral("数据库写入失败")
                                    : QStringLiteral("数据库写入失败（%1）").arg(text.trimmed());
}
