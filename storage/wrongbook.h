#pragma once

#include "writeoutcome.h"

#include <QDate>
#include <QString>
#include <QStringList>

class ExamPaper;
class SqlTransaction;

// The wrong-question book (error_answer) and the memory of every marked
// question (review_card). A question answered wrongly in a formal paper enters
// the book; it leaves when it is mastered (its next review falls after the
// exam date, or more than 30 days ahead without one), its book row kept in
// mastered_question; at its next lapse, in any run, it returns.
class WrongBook
{
public:
    // Applies a marked paper as part of a hand-in's group of writes: every
    // answered question is a review of its card on day today; examStatus 0
    // enters (or moves) every wrongly answered question; a question answered
    // right that is now mastered leaves the book; a mastered question answered
    // wrongly returns to it.
    static bool apply(SqlTransaction &group, const ExamPaper &paper, int examStatus, const QString &paperId,
                      const QDate &today, const QDate &examDate = QDate());

    // The same in a transaction of its own. On failure nothing changed.
    static WriteOutcome update(const ExamPaper &paper, int examStatus, const QString &paperId, const QDate &today,
                               const QDate &examDate = QDate());

    // Removes one question from the book.
    static WriteOutcome remove(const QString &questionId);

    // Removes the questions' rows from the book, in the group.
    static bool removeQuestions(SqlTransaction &group, const QStringList &questionIds);
    // Before a paper is deleted: its book rows and kept rows of mastered
    // questions move to another paper that lists the question (with
    // shippedOnly, not a drawn one); a question no such paper lists keeps its
    // row as it is.
    static bool moveRows(SqlTransaction &group, const QString &paperId, bool shippedOnly);
};
