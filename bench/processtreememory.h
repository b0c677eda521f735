#pragma once

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QList>
#include <QStringList>
#include <unistd.h>

// The proportional memory (PSS) of a process and all its descendants, in kB:
// a program of Qt WebEngine draws its pages in helper processes, which count
// as much as the program itself, and memory they share is counted once.
// Header-only: the bare floor program links nothing of ours.
namespace ProcessTreeMemory {

// The process's parent, from /proc/<pid>/stat (0 when unknown). The name in
// parentheses may hold spaces, so the fields are read after its last ")".
inline qint64 parentOf(qint64 pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 1).simplified().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() : 0;
}

// The Pss line of /proc/<pid>/smaps_rollup (0 when it cannot be read).
inline long pssKb(qint64 pid)
{
    QFile rollup(QStringLiteral("/proc/%1/smaps_rollup").arg(pid));
    if (!rollup.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : rollup.readAll().split('\n'))
        if (line.startsWith("Pss:"))
            return line.mid(4).trimmed().split(' ').value(0).toLong();
    return 0;
}

inline long treePssKb(qint64 root = getpid())
{
    QHash<qint64, QList<qint64>> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (number)
            children[parentOf(pid)] << pid;
    }
    long total = 0;
    QList<qint64> pending{root};
    while (!pending.isEmpty()) {
        const qint64 pid = pending.takeLast();
        total += pssKb(pid);
        pending += children.value(pid);
    }
    return total;
}

} // namespace ProcessTreeMemory
