#pragma once

#include "writeoutcome.h"

#include <QDate>
#include <QDateTime>
#include <QSqlDatabase>
#include <QString>

class ExamPaper;

// The one place where a hand-in's writes happen, in one transaction: the
// wrong-question book with the review cards, the result of a formal paper, the
// close of the unfinished run and the history row. A failure or a killed
// program leaves all of it as it was before the hand-in, never a part.
class HandInStore
{
public:
    // Stores a marked paper handed in at handedInAt from a run of the given
    // status (0 formal paper, 3 wrong-question practice, 5 favourites
    // practice); the review cards count towards the exam on examDate (none
    // when invalid).
    static WriteOutcome save(const ExamPaper &paper, int examStatus, const QString &paperId,
                             const QDateTime &handedInAt, const QDate &examDate = QDate());

    // The run's share of a hand-in, inside its transaction and after its
    // wrong-question book update: closes the run's row and adds a formal
    // paper's hand-in to the history. False when a statement fails.
    static bool recordRun(QSqlDatabase db, const ExamPaper &paper, const QString &paperId, int mode,
                          const QDateTime &handedInAt);
};
