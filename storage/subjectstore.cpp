#include "subjectstore.h"

#include "boundstatement.h"
#include "constants.h"
#include "dbconnection.h"
#include "sqltransaction.h"

#include <QSqlQuery>
#include <QVariant>

namespace {

QSqlDatabase database()
{
    return DbConnection::instance(appDirPath, true)->database();
}

} // namespace

QList<QPair<QString, QString>> SubjectStore::subjects()
{
    QList<QPair<QString, QString>> result;
    QSqlQuery query(database());
    query.setForwardOnly(true);
    if (!query.exec(QStringLiteral("select * from exam_subject")))
        return result;
    while (query.next())
        result.append({query.value(QStringLiteral("id")).toString(), query.value(QStringLiteral("name")).toString()});
    return result;
}

int SubjectStore::subjectCount()
{
    QSqlQuery query(database());
    if (!query.exec(QStringLiteral("select count(*) from exam_subject")) || !query.next())
        return 0;
    return query.value(0).toInt();
}

bool SubjectStore::keepOnly(const QString &subjectId)
{
    QSqlDatabase db = database();
    SqlTransaction transaction(db);
    if (!transaction.started())
        return false;
    const QVariantMap id{{QStringLiteral(":id"), subjectId}};
    return execBound(db, QStringLiteral("DELETE FROM exam_chapter where subjectid<> :id"), id)
        && execBound(db, QStringLiteral("DELETE FROM exam_paper where subjectid<> :id "), id)
        && execBound(db, QStringLiteral("DELETE FROM exam_paper_static where subjectid<> :id"), id)
        && execBound(db, QStringLiteral("DELETE FROM exam_subject where id <> :id"), id)
        && transaction.commit();
}
