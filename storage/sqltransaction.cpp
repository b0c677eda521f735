#include "sqltransaction.h"

#include "boundstatement.h"

#include <QSqlQuery>

SqlTransaction::SqlTransaction(QSqlDatabase db)
    : m_db(db)
    , m_started(db.isOpen() && db.transaction())
{
    if (!m_started) {
        m_failed = true;
        m_error = db.isOpen() ? db.lastError()
                              : QSqlError(QString(), QStringLiteral("数据文件没有打开"), QSqlError::ConnectionError);
    }
}

SqlTransaction::~SqlTransaction()
{
    closeStatements();
    if (m_started && !m_finished)
        m_db.rollback();
}

bool SqlTransaction::exec(const QString &sql, const QVariantMap &values)
{
    QSqlQuery *query = run(sql, values);
    if (query)
        query->finish();
    return query != nullptr;
}

QSqlQuery *SqlTransaction::run(const QString &sql, const QVariantMap &values)
{
    if (m_failed || m_finished)
        return nullptr;
    auto found = m_statements.find(sql);
    bool ok = true;
    if (found == m_statements.end()) {
        found = m_statements.insert(sql, QSqlQuery(m_db));
        found->setForwardOnly(true);
        ok = found->prepare(sql);
    }
    if (ok) {
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            found->bindValue(it.key(), it.value());
        ok = found->exec();
    }
    if (!ok) {
        m_failed = true;
        m_error = found->lastError();
        m_statements.erase(found);
        return nullptr;
    }
    return &*found;
}

void SqlTransaction::closeStatements()
{
    // A statement left open could hold the commit back.
    m_statements.clear();
}

bool SqlTransaction::require(bool ok)
{
    if (!ok && !m_failed) {
        m_failed = true;
        m_error = lastBoundError();
    }
    return ok && !m_failed;
}

bool SqlTransaction::commit()
{
    if (!m_started || m_finished)
        return false;
    closeStatements();
    m_finished = true;
    if (m_db.commit())
        return true;
    m_failed = true;
    m_error = m_db.lastError();
    m_db.rollback();
    return false;
}

WriteOutcome SqlTransaction::finish()
{
    if (!m_failed && commit())
        return WriteOutcome();
    if (m_started && !m_finished) {
        closeStatements();
        m_finished = true;
        m_db.rollback();
    }
    return WriteOutcome::failed(m_error);
}
