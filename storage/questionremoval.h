#pragma once

#include <QSqlDatabase>
#include <QString>

// Takes a question out of the bank with everything the user's records hold
// about it, so that no list shows a row whose question is gone. Runs inside
// the caller's transaction.
class QuestionRemoval
{
public:
    // Whether a paper other than exceptPaperId lists the question (a drawn
    // paper may hold an imported question): such a question stays.
    static bool usedByAnotherPaper(QSqlDatabase db, const QString &questionId, const QString &exceptPaperId,
                                   bool *used);
    // Deletes the question, its book and mastered rows, its favourite, its
    // review card and log, and its import key.
    static bool remove(QSqlDatabase db, const QString &questionId);
};
