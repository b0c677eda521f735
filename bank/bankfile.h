#pragma once

#include "parsedbank.h"

#include <QByteArray>
#include <QString>

// Reads a question file of any of the known formats: "gift", "aiken", "xml"
// (Moodle XML), "csv" and "xlsx" (the spreadsheet template), and question
// books (BookFile: "book" text, "docx", "doc", "wps", "pdf"). The format is
// recognised from the content when none is given.
class BankFile
{
public:
    static QStringList formats();
    // The format the content shows, "" when none fits; the file name's suffix
    // decides between formats the content leaves open.
    static QString detectFormat(const QByteArray &bytes, const QString &fileName = QString());
    // Reads the bytes of a file; baseDir is where pictures it names are looked for.
    static ParsedBank parse(const QByteArray &bytes, const QString &format, const QString &baseDir = QString());
    // Reads a file from disk; a file that cannot be read is one problem at line 0.
    static ParsedBank read(const QString &path, const QString &format = QString());
};
