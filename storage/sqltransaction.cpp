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
    if (m_started && !m_finished)
        m_db.rollback();
}

bool SqlTransaction::exec(const QString &sql, const QVariantMap &values)
{
    if (m_failed || m_finished)
        return false;
    QSqlQuery query(m_db);
    bool ok = query.prepare(sql);
    if (ok) {
        for (auto it = values.cbegin(); it != values.cend(); ++it)
            query.bindValue(it.key(), it.value());
        ok = query.exec();
    }
    if (!ok) {
        m_failed = true;
        m_error = query.lastError();
    }
    return ok;
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
        m_finished = true;
        m_db.rollback();
    }
    return WriteOutcome::failed(m_error);
}
