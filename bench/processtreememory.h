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

// The parent's pid in the text of /proc/<pid>/stat (0 when unknown). The
// name in parentheses may hold spaces and parentheses, so the fields are read
// after its last ")".
inline qint64 parentFromStat(const QByteArray &stat)
{
    const int nameEnd = stat.lastIndexOf(')');
    if (nameEnd < 0)
        return 0;
    const QList<QByteArray> fields = stat.mid(nameEnd + 1).simplified().split(' ');
    return fields.size() > 1 ? fields.at(1).toLongLong() : 0;
}

// The Pss line of the text of /proc/<pid>/smaps_rollup (0 when it has none).
inline long pssFromRollup(const QByteArray &rollup)
{
    for (const QByteArray &line : rollup.split('\n'))
        if (line.startsWith("Pss:"))
            return line.mid(4).simplified().split(' ').value(0).toLong();
    return 0;
}

inline QByteArray procFile(qint64 pid, const char *name)
{
    QFile file(QStringLiteral("/proc/%1/%2").arg(pid).arg(QLatin1String(name)));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The process root and every descendant of it, root first.
inline QList<qint64> treePids(qint64 root = getpid())
{
    QHash<qint64, QList<qint64>> children;
    const QStringList entries = QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot);
    for (const QString &entry : entries) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        if (number)
            children[parentFromStat(procFile(pid, "stat"))] << pid;
    }
    QList<qint64> tree;
    QList<qint64> pending{root};
    while (!pending.isEmpty()) {
        const qint64 pid = pending.takeLast();
        tree << pid;
        pending += children.value(pid);
    }
    return tree;
}

inline long treePssKb(qint64 root = getpid())
{
    long total = 0;
    for (const qint64 pid : treePids(root))
        total += pssFromRollup(procFile(pid, "smaps_rollup"));
    return total;
}

} // namespace ProcessTreeMemory
