#pragma once

#include <QSqlDatabase>
#include <QString>

// Where the import's file dialog opens: the folder of the file chosen last,
// while that folder is still there, else the user's documents folder (the
// home folder where there is none). The folder is kept in the program's
// settings, so that it travels with the user's records.
class ImportFolder
{
public:
    static const QString settingKey;

    static QString start(QSqlDatabase db);
    // Keeps the folder of a chosen file; false when the setting could not be written.
    static bool remember(QSqlDatabase db, const QString &chosenFile);
};
