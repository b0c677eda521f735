#pragma once

#include <QString>

class ExamPaper;

// The wrong-question book (error_answer): one row per question answered wrongly
// in a formal paper, removed when answered right in a wrong-question practice.
class WrongBook
{
public:
    // Applies a marked paper to the book, all changes in one transaction:
    // examStatus 0 enters (or moves) every wrongly answered question,
    // examStatus 3 removes every question answered right. On failure returns
    // false and the book stays as it was.
    static bool update(const ExamPaper &paper, int examStatus, const QString &paperId);

    // Removes one question from the book.
    static bool remove(const QString &questionId);
};
