#include "boundstatement.h"

#include <QSqlQuery>

namespace {
thread_local QSqlError lastError;
}

bool execBound(QSqlDatabase db, const QString &sql, const QVariantMap &values)
{
    QSqlQuery query(db);
    bool ok = query.prepare(sql);
    if (ok) {
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            query.bindValue(it.key(), it.value());
        ok = query.exec();
    }
    if (!ok)
        lastError = query.lastError();
    return ok;
}

QSqlError lastBoundError()
{
    return lastError;
}
