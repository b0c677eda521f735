#include "boundstatement.h"

#include <QSqlQuery>

bool execBound(QSqlDatabase db, const QString &sql, const QVariantMap &values)
{
    QSqlQuery query(db);
    if (!query.prepare(sql))
        return false;
    for (auto it = values.cbegin(); it != values.cend(); ++it)
        query.bindValue(it.key(), it.value());
    return query.exec();
}
