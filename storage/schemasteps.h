#pragma once

#include "schemamigration.h"

// The schema's additions, one step per version, each additive. A new step goes
// at the end with the next version; what a released step makes never changes
// (how fast it gets there may).
namespace SchemaSteps {

const QVector<SchemaMigration::Step> &all();

// Helpers for steps: each runs inside the migration's transaction.
bool exec(QSqlDatabase db, const QString &sql);
bool hasColumn(QSqlDatabase db, const QString &table, const QString &column);
// Adds the column unless the table already has it.
bool addColumn(QSqlDatabase db, const QString &table, const QString &columnDefinition);

} // namespace SchemaSteps
