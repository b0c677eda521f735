#pragma once

#include <QDate>
#include <QString>

class ExamPaper;

// The wrong-question book (error_answer) and the memory of every marked
// question (review_card). A question answered wrongly in a formal paper enters
// the book; it leaves when it is mastered (its next review falls after the
// exam date, or more than 30 days ahead without one), its book row kept in
// mastered_question; at its next lapse, in any run, it returns.
class WrongBook
{
public:
    // Applies a marked paper, all changes in one transaction: every answered
    // question is a review of its card on day today; examStatus 0 enters (or
    // moves) every wrongly answered question; a question answered right that
    // is now mastered leaves the book; a mastered question answered wrongly
    // returns to it. On failure returns false and nothing changed.
    static bool update(const ExamPaper &paper, int examStatus, const QString &paperId, const QDate &today,
                       const QDate &examDate = QDate());

    // Removes one question from the book.
    static bool remove(const QString &questionId);
};
