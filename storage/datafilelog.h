#pragma once

#include <QDateTime>
#include <QString>

// The program's log beside data.db, tessera.log: what a check of the file
// found, line by line, for the user or whoever helps them. A log grown beyond
// maxBytes is kept as tessera.log.1 and a new one begun.
namespace DataFileLog {

const qint64 maxBytes = 1024 * 1024;

QString pathFor(const QString &dbPath);

// Appends an entry: the time, the file, the headline and the lines. False
// when the log cannot be written.
bool append(const QString &dbPath, const QString &headline, const QString &lines,
            const QDateTime &now = QDateTime::currentDateTime());

} // namespace DataFileLog
