#pragma once

#include <QString>

class ExamQuestion;

// The answer sheet stored with a result: a JSON array with one object per
// entry, members "qid", "cent", "status", "answer" in that order, no spaces.
class AnswerSheet
{
public:
    // One object of the sheet for a marked (or never marked) entry.
    static QString entry(const ExamQuestion &question);

    // The stored text: the comma-separated objects between brackets.
    static QString stored(const QString &entries);

    // A mark as the sheet and the results page write it: the shorter of fixed
    // and exponent notation, 6 significant digits (2 -> "2", 0.5 -> "0.5").
    static QString number(double value);

    // A JSON string literal, quotes included.
    static QString jsonString(const QString &text);
};
