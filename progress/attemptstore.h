#pragma once

#include "attemptsnapshot.h"

#include <QSet>
#include <QSqlDatabase>
#include <QString>

// The unfinished runs (table exam_attempt): at most one per paper and mode,
// written while the candidate works and closed by the hand-in.
//
//   exam_attempt(paperId TEXT, mode INTEGER, subjectid TEXT, startedAt TEXT,
//                savedAt TEXT, snapshot TEXT, PRIMARY KEY(paperId, mode))
//
// mode is the run's status (0 formal paper, 3 wrong-question practice,
// 5 favourites practice), snapshot the JSON of AttemptSnapshot, the times
// local ISO dates ("2026-03-01T09:30:00").
class AttemptStore
{
public:
    // Replaces the run's row with snapshot in one statement; false (the
    // previous row kept) when the write fails, the reason in lastBoundError.
    static bool save(QSqlDatabase db, const AttemptSnapshot &snapshot, const QDateTime &savedAt);

    // The unfinished run of paperId in mode; false when there is none or its
    // row cannot be read back as a snapshot.
    static bool load(QSqlDatabase db, const QString &paperId, int mode, AttemptSnapshot *out);

    // Removes the run's row (the candidate discarded it, or handed it in: then
    // as part of the hand-in's transaction). False when the statement fails.
    static bool remove(QSqlDatabase db, const QString &paperId, int mode);

    // The papers with an unfinished formal run.
    static QSet<QString> unfinishedPapers(QSqlDatabase db);
};
