#pragma once

#include "writeoutcome.h"

#include <QDate>
#include <QString>

class ExamPaper;

// The one place where a hand-in's writes happen: the result of a formal paper
// and the wrong-question book, in one transaction. Whatever else a hand-in
// records joins the same group here, so that a failure or a killed program
// leaves all of it as it was before the hand-in, never a part.
class HandInStore
{
public:
    // Stores a marked paper handed in from a run of the given status (0 formal
    // paper, 3 wrong-question practice, 5 favourites practice) on date; the
    // review cards count towards the exam on examDate (none when invalid).
    static WriteOutcome save(const ExamPaper &paper, int examStatus, const QString &paperId,
                             const QDate &date, const QDate &examDate = QDate());
};
