#pragma once

#include <QSqlDatabase>
#include <QSqlError>
#include <QString>
#include <QVariantMap>

// Runs one statement with its values bound by placeholder name (":id" ...).
// Returns false when it cannot be prepared or executed.
bool execBound(QSqlDatabase db, const QString &sql, const QVariantMap &values = QVariantMap());

// The error of the last execBound call of this thread that failed.
QSqlError lastBoundError();
