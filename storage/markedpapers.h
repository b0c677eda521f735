#pragma once

#include <QSqlDatabase>
#include <QString>

// Papers marked by a table of their own (generated_paper for drawn papers,
// import_paper for imported ones), each row naming one by its paperId.
class MarkedPapers
{
public:
    // How many the subject has (every subject's for an empty id).
    static int count(QSqlDatabase db, const QString &markerTable, const QString &subjectId);
    // Whether the table marks the paper.
    static bool marks(QSqlDatabase db, const QString &markerTable, const QString &paperId);
};
