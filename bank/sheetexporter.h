#pragma once

#include "bankquestion.h"

#include <QByteArray>
#include <QStringList>
#include <QVector>

// The spreadsheet template, one question per row under the header of
// SheetParser::templateHeader(): from questions (export) or with an example
// of every type (the blank template), as CSV or XLSX.
class SheetExporter
{
public:
    static QVector<QStringList> rows(const QVector<BankQuestion> &questions);
    // The header and one example row of every type, a case study with two parts.
    static QVector<QStringList> templateRows();
    // XLSX through libxlsxwriter: the header bold and frozen; false when the
    // file cannot be written.
    static bool writeXlsx(const QString &path, const QVector<QStringList> &rows);
    static bool writeCsv(const QString &path, const QVector<QStringList> &rows);
};
