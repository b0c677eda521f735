#include "favouritestore.h"

#include "dbconnection.h"
#include "sqltransaction.h"

WriteOutcome FavouriteStore::setFavourite(const QString &questionId, const QString &category, bool favourite)
{
    SqlTransaction group(DbConnection::instance(QStringLiteral("data.db"), true)->database());
    const QVariantMap id{{QStringLiteral(":id"), questionId}};
    group.exec(QStringLiteral("delete from exam_Collect where questionid=:id"), id);
    group.exec(QStringLiteral("update exam_question set isCollect=:flag where id=:id"),
               {{QStringLiteral(":id"), questionId}, {QStringLiteral(":flag"), favourite ? 1 : 0}});
    if (favourite)
        group.exec(QStringLiteral("insert into  exam_Collect(questionid,fuleixingid)values(:questionid,:fuleixingid)"),
                   {{QStringLiteral(":questionid"), questionId}, {QStringLiteral(":fuleixingid"), category}});
    return group.finish();
}
