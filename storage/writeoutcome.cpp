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

QString WriteOutcome::reasonOf(const QSqlError &error)
{
    bool numeric = false;
    const int code = error.nativeErrorCode().toInt(&numeric) & 0xff;
    if (numeric) {
        switch (code) {
        case Full: return QStringLiteral("磁盘空间不足");
        case ReadOnly: return QStringLiteral("数据文件是只读的");
        case Perm: return QStringLiteral("没有写入数据文件的权限");
        case Corrupt:
        case NotADatabase: return QStringLiteral("数据文件已损坏");
        case Busy:
        case Locked: return QStringLiteral("数据文件正被其他程序占用");
        case CantOpen: return QStringLiteral("无法打开数据文件或其日志文件");
        case IoError: return QStringLiteral("读写数据文件时出错");
        case NoMemory: return QStringLiteral("内存不足");
        default: break;
        }
    }
    const QString text = error.databaseText().isEmpty() ? error.text() : error.databaseText();
    return text.trimmed().isEmpty() ? QStringLiteral("数据库写入失败")
                                    : QStringLiteral("数据库写入失败（%1）").arg(text.trimmed());
}
