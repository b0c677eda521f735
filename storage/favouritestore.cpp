#include "favouritestore.h"

#include "boundstatement.h"
#include "dbconnection.h"
#include "sqltransaction.h"


bool FavouriteStore::setFavourite(const QString &questionId, const QString &category, bool favourite)
{
    QSqlDatabase db = DbConnection::instance(QStringLiteral("data.db"), true)->database();
    SqlTransaction transaction(db);
    if (!transaction.started())
        return false;
    const QVariantMap id{{QStringLiteral(":id"), questionId}};
    bool ok = execBound(db, QStringLiteral("delete from exam_Collect where questionid=:id"), id)
        && execBound(db, QStringLiteral("update exam_question set isCollect=:flag where id=:id"),
               {{QStringLiteral(":id"), questionId}, {QStringLiteral(":flag"), favourite ? 1 : 0}});
    if (ok && favourite)
        ok = execBound(db, QStringLiteral("insert into  exam_Collect(questionid,fuleixingid)values(:questionid,:fuleixingid)"),
                 {{QStringLiteral(":questionid"), questionId}, {QStringLiteral(":fuleixingid"), category}});
    return ok && transaction.commit();
}
