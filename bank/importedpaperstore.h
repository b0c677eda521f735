#pragma once

#include "writeoutcome.h"

#include <QSqlDatabase>
#include <QString>

// The papers brought in from question files (import_paper), and taking one
// out again: a file imported by mistake must not stay in the lists for good.
class ImportedPaperStore
{
public:
    // The imported papers of a subject; of every subject when subjectId is empty.
    static int count(QSqlDatabase db, const QString &subjectId);

    // What a confirmation names: the paper's name and how many questions it
    // brought in (an empty name when there is no such paper).
    struct Summary
    {
        QString name;
        int questions = 0;
    };
    static Summary summary(QSqlDatabase db, const QString &paperId);

    // Deletes an imported paper after a backup ("delete"), in one
    // transaction: its sections, result, unfinished run and record of
    // attempts, its import keys, and its questions with their book,
    // favourite and review rows. A question that another paper (a drawn one)
    // also lists stays, and its book rows move to that paper. Refuses a paper
    // that was not imported; on failure nothing changed.
    static WriteOutcome remove(QSqlDatabase db, const QString &paperId);
};
