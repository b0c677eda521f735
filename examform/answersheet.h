#pragma once

#include <QString>
#include <QStringList>
#include <QVector>

class ExamQuestion;

// One entry of a stored answer sheet.
struct AnswerSheetEntry
{
    QString qid;
    double cent = 0;
    int status = 2;
    QString answer;
    QStringList essay;
};

// A stored answer sheet as read back: its entries, or what is wrong with it.
struct AnswerSheetReading
{
    QVector<AnswerSheetEntry> entries;
    QString error;              // empty when the sheet was read
    bool ok() const { return error.isEmpty(); }
};

// The answer sheet stored with a result: a JSON array with one object per
// entry, members "qid", "cent", "status", "answer" in that order, no spaces.
// An essay with typed text adds "essay", the texts of its boxes in order, as
// a last member that readers of the four members ignore.
class AnswerSheet
{
public:
    // One object of the sheet for a marked (or never marked) entry.
    static QString entry(const ExamQuestion &question);

    // The stored text: the comma-separated objects between brackets.
    static QString stored(const QString &entries);

    // Reads a stored sheet. Text that is not such an array gives no entries
    // and an error naming the fault (and the entry, counted from 1).
    static AnswerSheetReading read(const QString &stored);

    // A mark as the sheet and the results page write it: the shorter of fixed
    // and exponent notation, 6 significant digits (2 -> "2", 0.5 -> "0.5").
    static QString number(double value);

    // A JSON string literal, quotes included.
    static QString jsonString(const QString &text);
};
