#pragma once

#include "writeoutcome.h"

#include <QDateTime>
#include <QJsonObject>
#include <QString>

// A backup in one zip file, with its record counts as "summary.json" so that
// a list of backups need not expand them. A whole backup holds the
// consistent copy of data.db as the member "data.db", deflated. A daily one
// holds only the pages in which the copy differs from a copy of the bank
// kept once beside the backups ("bank-yyyyMMdd-HHmmss.zip", a whole backup),
// as "pages.bin"; its summary names that copy and the size and SHA-1 of the
// data file the two make together. Both ways stream in chunks: a copy of
// hundreds of megabytes is never held in memory.
class BackupArchive
{
public:
    static QString suffix() { return QStringLiteral(".zip"); }

    // Writes the file at dbCopy and summary into a new whole backup at
    // zipPath; the zip appears only whole (written beside it, then renamed).
    static WriteOutcome pack(const QString &dbCopy, const QJsonObject &summary, const QString &zipPath);
    // Writes the backup of the file at dbCopy to zipPath as the pages in
    // which it differs from the newest bank copy of its folder. When there is
    // none, or it has a different page size, is damaged, or differs in more
    // than a quarter of the pages (a bank imported or removed), dbCopy first
    // becomes the new bank copy, stamped now.
    static WriteOutcome packAgainstBank(const QString &dbCopy, QJsonObject summary, const QString &zipPath,
                                        const QDateTime &now);
    // Removes the bank copies of folder that no backup there names, once an
    // hour old.
    static void removeUnusedBanks(const QString &folder);
    // The bytes the bank copies of folder take.
    static qint64 bankBytes(const QString &folder);

    // The summary of the zip at zipPath; empty with problem set when the file
    // is not a whole backup.
    static QJsonObject summary(const QString &zipPath, QString *problem);
    // Expands the data file of the zip at zipPath into target (replaced),
    // from its bank copy and pages for a daily one. A damaged or cut-off zip,
    // or a missing or unfitting bank copy, leaves no target and says what is
    // wrong.
    static WriteOutcome unpack(const QString &zipPath, const QString &target);
};
