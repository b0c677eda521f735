#include "datafilelog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace DataFileLog {

QString pathFor(const QString &dbPath)
{
    return QFileInfo(dbPath).absolutePath() + QStringLiteral("/tessera.log");
}

bool append(const QString &dbPath, const QString &headline, const QString &lines, const QDateTime &now)
{
    const QString path = pathFor(dbPath);
    if (QFileInfo(path).size() > maxBytes) {
        QFile::remove(path + QStringLiteral(".1"));
        QFile::rename(path, path + QStringLiteral(".1"));
    }
    QFile log(path);
    if (!log.open(QIODevice::WriteOnly | QIODevice::Append | QIODevice::Text))
        return false;
    const QString entry = now.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")) + QLatin1Char(' ')
        + QDir::toNativeSeparators(dbPath) + QStringLiteral("：") + headline + QLatin1Char('\n') + lines
        + QStringLiteral("\n\n");
    const QByteArray bytes = entry.toUtf8();
    return log.write(bytes) == bytes.size() && log.flush();
}

} // namespace DataFileLog
