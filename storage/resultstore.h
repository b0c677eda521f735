#pragma once

#include "writeoutcome.h"

#include <QDate>
#include <QString>

class ExamPaper;
class SqlTransaction;

// The stored result of a formal paper (exam_answer): at most one row per paper,
// the last hand-in replacing the previous one.
class ResultStore
{
public:
    // Replaces the paper's row with the marked paper's counts, score, time used
    // and answer sheet, as part of a hand-in's group of writes.
    static bool replace(SqlTransaction &group, const ExamPaper &paper, const QString &paperId,
                        const QDate &date);

    // The same in a transaction of its own. On failure the previous row stays.
    static WriteOutcome store(const ExamPaper &paper, const QString &paperId, const QDate &date);

    // Deletes the paper's row, in the group.
    static bool remove(SqlTransaction &group, const QString &paperId);
};
