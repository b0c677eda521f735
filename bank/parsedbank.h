#pragma once

#include "bankquestion.h"

#include <QByteArray>

// Something wrong or worth saying about a file, at a line (or row).
struct BankProblem
{
    enum Severity { Error, Note };
    int line = 0;
    QString reason;
    Severity severity = Error;
};

// A picture a file carries (embedded, or beside it) under the name the
// question refers to it by: "<img src=\"/NAME\"" as the bank's pages expect.
struct BankImage
{
    QString name;
    QByteArray bytes;
};

// Everything read from one file.
struct ParsedBank
{
    QString format;                // "gift", "aiken", "xml", "csv", "xlsx"
    QVector<BankQuestion> questions;
    QVector<BankProblem> problems;
    QVector<BankImage> images;

    int errorCount() const;
    void addError(int line, const QString &reason);
    void addNote(int line, const QString &reason);
    // Questions of each type, a case study's parts counted under their own type.
    QVector<int> countsByType() const;
};
