#include "sqlitecipherdriver.h"

#include <QCoreApplication>
#include <QDir>
#include <QJsonArray>
#include <QJsonObject>
#include <QPluginLoader>
#include <QSqlDatabase>
#include <QSqlDriver>
#include <QSqlDriverCreatorBase>
#include <QSqlDriverPlugin>

namespace {

const char sqliteDriverKey[] = "QSQLITE";

QSqlDriverPlugin *findSqlitePlugin()
{
    for (const QString &libraryPath : QCoreApplication::libraryPaths()) {
        QDir dir(libraryPath + QStringLiteral("/sqldrivers"));
        for (const QString &file : dir.entryList(QDir::Files)) {
            QPluginLoader loader(dir.absoluteFilePath(file));
            const QJsonArray keys = loader.metaData().value(QStringLiteral("MetaData"))
                                        .toObject().value(QStringLiteral("Keys")).toArray();
            if (!keys.contains(QLatin1String(sqliteDriverKey)))
                continue;
            if (auto *plugin = qobject_cast<QSqlDriverPlugin *>(loader.instance()))
                return plugin;
        }
    }
    return nullptr;
}

class SqliteDriverCreator : public QSqlDriverCreatorBase
{
public:
    QSqlDriver *createObject() const override
    {
        static QSqlDriverPlugin *plugin = findSqlitePlugin();
        return plugin ? plugin->create(QLatin1String(sqliteDriverKey)) : nullptr;
    }
};

} // namespace

void SqliteCipherDriver::registerDriver()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    QSqlDatabase::registerSqlDriver(QStringLiteral("SQLITECIPHER"), new SqliteDriverCreator);
}
