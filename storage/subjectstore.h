#pragma once

#include <QList>
#include <QPair>
#include <QString>

// The subjects of the question bank and the pruning of the bank to one of them.
class SubjectStore
{
public:
    // Every subject as (id, name), in the table's order.
    static QList<QPair<QString, QString>> subjects();
    // Number of rows in exam_subject; 0 when it cannot be read.
    static int subjectCount();
    // Deletes the chapters, papers, paper sections and subject rows of every
    // other subject, all or nothing. Rows without a subject stay. Questions and
    // the user's records are not touched. False (bank unchanged) on failure.
    static bool keepOnly(const QString &subjectId);
};
