#pragma once

#include "writeoutcome.h"

#include <QHash>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QString>
#include <QVariantMap>

// One group of writes that belongs together: rolled back unless committed, so a
// failure part-way leaves the user's previous data as it was.
class SqlTransaction
{
public:
    explicit SqlTransaction(QSqlDatabase db);
    ~SqlTransaction();
    bool started() const { return m_started; }
    QSqlDatabase database() const { return m_db; }

    // Runs one statement of the group with its values bound by placeholder
    // name. After the first failure the group is lost: later statements are
    // not run and return false.
    bool exec(const QString &sql, const QVariantMap &values = QVariantMap());
    // Runs one statement like exec and gives its result rows; nothing after a
    // failure. The query is the group's: read it before the next run of the
    // same text.
    QSqlQuery *run(const QString &sql, const QVariantMap &values = QVariantMap());

    // Takes the result of a step written with execBound: false loses the
    // group, naming execBound's last error.
    bool require(bool ok);

    // Commits; false (and rolled back) when the transaction never started or the
    // commit fails.
    bool commit();
    // Commits when the group started and every statement succeeded, rolls back
    // otherwise; the outcome names the first failure.
    WriteOutcome finish();

private:
    void closeStatements();

    QSqlDatabase m_db;
    // Prepared once per group: a hand-in runs the same few statements for
    // every question, and preparing them each time took most of its writes.
    QHash<QString, QSqlQuery> m_statements;
    bool m_started = false;
    bool m_finished = false;
    bool m_failed = false;
    QSqlError m_error;
};
