#include "papertitle.h"

#include <QSqlQuery>
#include <QVariant>

namespace PaperTitle {

QString of(QSqlDatabase db, const QString &paperId)
{
    QSqlQuery query(db);
    query.prepare(QStringLiteral("select name from exam_paper where id=:id"));
    query.bindValue(QStringLiteral(":id"), paperId);
    return query.exec() && query.next() ? query.value(0).toString() : QString();
}

} // namespace PaperTitle
