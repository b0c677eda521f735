#include "markedpapers.h"

#include <QSqlQuery>
#include <QVariant>

// The table names are the program's own constants, never user text.

int MarkedPapers::count(QSqlDatabase db, const QString &markerTable, const QString &subjectId)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("select count(*) from %1 m join exam_paper p on p.id=m.paperId "
                                 "where ifnull(:all,'')='' or p.subjectId=:subject").arg(markerTable));
    query.bindValue(QStringLiteral(":all"), subjectId);
    query.bindValue(QStringLiteral(":subject"), subjectId);
    return query.exec() && query.next() ? query.value(0).toInt() : 0;
}

bool MarkedPapers::marks(QSqlDatabase db, const QString &markerTable, const QString &paperId)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("select count(*) from %1 where paperId=:id").arg(markerTable));
    query.bindValue(QStringLiteral(":id"), paperId);
    return query.exec() && query.next() && query.value(0).toInt() == 1;
}
