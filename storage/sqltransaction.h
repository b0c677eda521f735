#pragma once

#include <QSqlDatabase>

// One group of writes that belongs together: rolled back unless committed, so a
// failure part-way leaves the user's previous data as it was.
class SqlTransaction
{
public:
    explicit SqlTransaction(QSqlDatabase db);
    ~SqlTransaction();
    bool started() const { return m_started; }
    // Commits; false (and rolled back) when the transaction never started or the
    // commit fails.
    bool commit();

private:
    QSqlDatabase m_db;
    bool m_started = false;
    bool m_finished = false;
};
