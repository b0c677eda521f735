#pragma once

#include <QDate>
#include <QString>

class ExamPaper;

// The stored result of a formal paper (exam_answer): at most one row per paper,
// the last hand-in replacing the previous one.
class ResultStore
{
public:
    // Replaces the paper's row with the marked paper's counts, score, time used
    // and answer sheet, in one transaction. On failure returns false and the
    // previous row stays.
    static bool store(const ExamPaper &paper, const QString &paperId, const QDate &date);

    // Removes the paper's stored result (the paper is being answered again).
    static bool remove(const QString &paperId);
};
