#include "sqltransaction.h"

SqlTransaction::SqlTransaction(QSqlDatabase db)
    : m_db(db)
    , m_started(db.isOpen() && db.transaction())
{
}

SqlTransaction::~SqlTransaction()
{
    if (m_started && !m_finished)
        m_db.rollback();
}

bool SqlTransaction::commit()
{
    if (!m_started || m_finished)
        return false;
    m_finished = true;
    if (m_db.commit())
        return true;
    m_db.rollback();
    return false;
}
