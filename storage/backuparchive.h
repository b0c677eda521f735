#pragma once

#include "writeoutcome.h"

#include <QJsonObject>
#include <QString>

// A backup in one zip file: the consistent copy of data.db as the member
// "data.db", deflated, and its record counts as "summary.json", so that a
// list of backups need not expand them. Both ways stream in chunks: a copy of
// hundreds of megabytes is never held in memory.
class BackupArchive
{
public:
    static QString suffix() { return QStringLiteral(".zip"); }

    // Writes the file at dbCopy and summary into a new zip at zipPath; the zip
    // appears only whole (written beside it, then renamed).
    static WriteOutcome pack(const QString &dbCopy, const QJsonObject &summary, const QString &zipPath);
    // The summary of the zip at zipPath; empty with problem set when the file
    // is not a whole backup.
    static QJsonObject summary(const QString &zipPath, QString *problem);
    // Expands the data file of the zip at zipPath into target (replaced). A
    // damaged or cut-off zip leaves no target and says what is wrong.
    static WriteOutcome unpack(const QString &zipPath, const QString &target);
};
