#include "favouritestore.h"

#include "dbconnection.h"
#include "sqltransaction.h"

#include <QSqlQuery>

namespace {
bool run(QSqlDatabase db, const QString &sql, const QVariantMap &values)
{
    QSqlQuery query(db);
    if (!query.prepare(sql))
        return false;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        query.bindValue(it.key(), it.value());
    return query.exec();
}
}

bool FavouriteStore::setFavourite(const QString &questionId, const QString &category, bool favourite)
{
    QSqlDatabase db = DbConnection::instance(QStringLiteral("data.db"), true)->database();
    SqlTransaction transaction(db);
    if (!transaction.started())
        return false;
    const QVariantMap id{{QStringLiteral(":id"), questionId}};
    bool ok = run(db, QStringLiteral("delete from exam_Collect where questionid=:id"), id)
        && run(db, QStringLiteral("update exam_question set isCollect=:flag where id=:id"),
               {{QStringLiteral(":id"), questionId}, {QStringLiteral(":flag"), favourite ? 1 : 0}});
    if (ok && favourite)
        ok = run(db, QStringLiteral("insert into  exam_Collect(questionid,fuleixingid)values(:questionid,:fuleixingid)"),
                 {{QStringLiteral(":questionid"), questionId}, {QStringLiteral(":fuleixingid"), category}});
    return ok && transaction.commit();
}
