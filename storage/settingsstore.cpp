#include "settingsstore.h"

#include "boundstatement.h"
#include "constants.h"
#include "dbconnection.h"

#include <QSqlQuery>
#include <QVariant>

namespace {

QSqlDatabase programDatabase()
{
    return DbConnection::instance(appDirPath, true)->database();
}

} // namespace

QString SettingsStore::value(const QString &key, const QString &fallback)
{
    return value(programDatabase(), key, fallback);
}

bool SettingsStore::setValue(const QString &key, const QString &value)
{
    return setValue(programDatabase(), key, value);
}

bool SettingsStore::remove(const QString &key)
{
    return execBound(programDatabase(), QStringLiteral("DELETE FROM app_setting WHERE key=:key"),
                     {{QStringLiteral(":key"), key}});
}

QString SettingsStore::value(QSqlDatabase db, const QString &key, const QString &fallback)
{
    QSqlQuery query(db);
    if (!query.prepare(QStringLiteral("SELECT value FROM app_setting WHERE key=:key")))
        return fallback;
    query.bindValue(QStringLiteral(":key"), key);
    if (!query.exec() || !query.next() || query.value(0).isNull())
        return fallback;
    return query.value(0).toString();
}

bool SettingsStore::setValue(QSqlDatabase db, const QString &key, const QString &value)
{
    return execBound(db, QStringLiteral("INSERT OR REPLACE INTO app_setting(key, value) VALUES(:key, :value)"),
                     {{QStringLiteral(":key"), key}, {QStringLiteral(":value"), value}});
}
