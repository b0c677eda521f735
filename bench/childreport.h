#pragma once

#include <QByteArray>
#include <QList>

// What a process the benchmark starts reports on its standard output: lines
// of a word and "key=value" pairs, e.g. "painted peak_rss_kb=123". Header-only,
// so that a test reads it as the benchmark does.
namespace ChildReport {

// The first line that starts with word, or an empty one.
inline QByteArray line(const QByteArray &output, const QByteArray &word)
{
    for (const QByteArray &candidate : output.split('\n')) {
        const QList<QByteArray> fields = candidate.simplified().split(' ');
        if (fields.first() == word)
            return candidate.simplified();
    }
    return QByteArray();
}

// The value of key on the first line starting with word; -1 when there is no
// such line, key or number.
inline long value(const QByteArray &output, const QByteArray &word, const QByteArray &key)
{
    const QList<QByteArray> fields = line(output, word).split(' ');
    for (int at = 1; at < fields.size(); ++at) {
        if (!fields.at(at).startsWith(key + '='))
            continue;
        bool number = false;
        const long found = fields.at(at).mid(key.size() + 1).toLong(&number);
        return number && found >= 0 ? found : -1;
    }
    return -1;
}

} // namespace ChildReport
