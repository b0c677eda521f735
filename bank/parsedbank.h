#pragma once

#include "bankquestion.h"

#include <QByteArray>

// Something wrong or worth saying about a file, at a line (or row).
struct BankProblem
{
    // Error: a fault of the file, which stops its import (unless skipped).
    // Refused: a sound question the bank cannot hold, left out of the import.
    enum Severity { Error, Note, Refused };
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
    int refusedCount() const;
    void addError(int line, const QString &reason);
    void addNote(int line, const QString &reason);
    void addRefusal(int line, const QString &reason);
    // Questions of each type, a case study's parts counted under their own type.
    QVector<int> countsByType() const;
    // Takes out every question with a control character (NUL ...) in one of
    // its texts, each an error at its line: such bytes are never stored.
    void refuseControlCharacters();

    // The refusal of a choice question with more options than the bank holds,
    // named by its opening: its title, else the first line of its text.
    static QString tooManyOptions(const QString &opening, int options);
    static QString openingOf(const QString &text);
};
