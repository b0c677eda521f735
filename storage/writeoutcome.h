#pragma once

#include <QString>

class QSqlError;

// The end of a group of writes: saved, or not saved for a reason put in the
// user's words ("磁盘空间不足", ...), so that no failure goes unsaid.
class WriteOutcome
{
public:
    // Saved.
    WriteOutcome() = default;
    static WriteOutcome failed(const QSqlError &error);
    static WriteOutcome failed(const QString &reason);

    bool saved() const { return m_saved; }
    explicit operator bool() const { return m_saved; }
    // Empty when saved.
    QString reason() const { return m_reason; }

    // What stopped a write, by SQLite's result code.
    enum class Cause { DiskFull, ReadOnly, Permission, Damaged, Busy, CannotOpen, ReadWrite, NoMemory, Other };
    static Cause causeOf(const QSqlError &error);

    // The user's words for a database error, by its cause: full disk,
    // read-only file, missing permission, damaged file, busy file, other read
    // or write errors; anything else names the driver's own text.
    static QString reasonOf(const QSqlError &error);

private:
    bool m_saved = true;
    QString m_reason;
};
