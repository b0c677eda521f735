#pragma once

#include <QByteArray>
#include <QFile>

// The peak resident memory of this program image. getrusage would also count
// the copy of the parent that the process was before it started this program.
// Header-only: the bare floor program links nothing of ours.
inline long ownPeakRssKb()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmHWM:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return 0;
}
