#include "subjectscope.h"

#include "subjectstore.h"

#include <QSqlQuery>
#include <QVariant>

SubjectScope SubjectScope::current()
{
    if (SubjectStore::subjectCount() <= 1)
        return SubjectScope();
    return SubjectScope(SubjectStore::currentSubjectId());
}

SubjectScope::SubjectScope(const QString &subjectId)
    : m_subjectId(subjectId)
{
}

QString SubjectScope::condition(const QString &column) const
{
    if (!filters())
        return QString();
    return QStringLiteral("(%1=:subject or ifnull(%1,'')='')").arg(column);
}

QString SubjectScope::whereClause(const QString &column) const
{
    return filters() ? QStringLiteral(" where ") + condition(column) : QString();
}

QString SubjectScope::andClause(const QString &column) const
{
    return filters() ? QStringLiteral(" and ") + condition(column) : QString();
}

void SubjectScope::bind(QSqlQuery &query) const
{
    if (filters())
        query.bindValue(QStringLiteral(":subject"), m_subjectId);
}
