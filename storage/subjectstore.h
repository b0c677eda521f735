#pragma once

#include <QList>
#include <QPair>
#include <QSqlDatabase>
#include <QString>

// The subjects of the question bank and the one the candidate studies now.
// Subjects live side by side: choosing one never deletes anything.
class SubjectStore
{
public:
    // Every subject as (id, name), in the table's order.
    static QList<QPair<QString, QString>> subjects();
    static QList<QPair<QString, QString>> subjects(QSqlDatabase db);
    // Number of rows in exam_subject; 0 when it cannot be read.
    static int subjectCount();

    // The current subject: the one chosen last while it still exists, else
    // the only subject of a one-subject bank; empty when none is chosen.
    static QString currentSubjectId();
    // The same on a given connection, for tools that open their own.
    static QString currentSubjectId(QSqlDatabase db);
    // The current subject's name; empty when none is chosen.
    static QString currentSubjectName();
    // Remembers the choice; false (previous choice kept) when the write fails
    // or the id names no subject.
    static bool choose(const QString &subjectId);
    // The bank holds several subjects and none is chosen yet.
    static bool choiceNeeded();
};
