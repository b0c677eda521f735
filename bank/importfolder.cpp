#include "importfolder.h"

#include "settingsstore.h"

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

const QString ImportFolder::settingKey = QStringLiteral("importFolder");

QString ImportFolder::start(QSqlDatabase db)
{
    const QString last = SettingsStore::value(db, settingKey);
    if (!last.isEmpty() && QFileInfo(last).isDir())
        return last;
    const QString documents = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    return !documents.isEmpty() && QFileInfo(documents).isDir() ? documents : QDir::homePath();
}

bool ImportFolder::remember(QSqlDatabase db, const QString &chosenFile)
{
    const QString folder = QFileInfo(chosenFile).absolutePath();
    return SettingsStore::setValue(db, settingKey, folder);
}
