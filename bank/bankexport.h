#pragma once

#include "bankquestion.h"

#include <QString>
#include <QVector>

// Writes questions to a file in the format its name's suffix names: .gift or
// .txt (GIFT), .xml (Moodle XML), .csv or .xlsx (the spreadsheet template).
class BankExport
{
public:
    // "" when the suffix names no format the bank writes.
    static QString formatOfPath(const QString &path);
    // imgDir: where the pictures the questions show are (for Moodle XML).
    static bool write(const QString &path, const QVector<BankQuestion> &questions, const QString &imgDir);
    // The blank spreadsheet template with an example of every type.
    static bool writeTemplate(const QString &path);
};
