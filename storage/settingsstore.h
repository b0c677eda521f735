#pragma once

#include <QSqlDatabase>
#include <QString>

// The program's own settings, kept in data.db (app_setting) so that they travel
// with the user's records: the current subject, and what later features need.
class SettingsStore
{
public:
    // The stored value, or fallback when the key has none or cannot be read.
    static QString value(const QString &key, const QString &fallback = QString());
    // Stores the value; false (nothing changed) when the write fails.
    static bool setValue(const QString &key, const QString &value);
    // Removes the key; false when the write fails.
    static bool remove(const QString &key);

    // The same on a given connection, for tools that open their own.
    static QString value(QSqlDatabase db, const QString &key, const QString &fallback = QString());
    static bool setValue(QSqlDatabase db, const QString &key, const QString &value);
};
