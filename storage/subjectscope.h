#pragma once

#include <QString>

class QSqlQuery;

// Which rows the screens show: with several subjects in the bank and one
// chosen, the rows of that subject (and rows that name no subject, which
// belong to all); otherwise every row, exactly as a one-subject bank always
// showed them.
class SubjectScope
{
public:
    // The scope of the current subject.
    static SubjectScope current();
    // A scope that keeps to subjectId; an empty id keeps nothing out.
    explicit SubjectScope(const QString &subjectId = QString());

    bool filters() const { return !m_subjectId.isEmpty(); }
    QString subjectId() const { return m_subjectId; }

    // The condition on a subject column, "(col=:subject or ifnull(col,'')='')",
    // to join with "where"/"and"; empty when the scope keeps nothing out.
    QString condition(const QString &column) const;
    // " where <condition>" or " and <condition>"; empty when nothing is kept out.
    QString whereClause(const QString &column) const;
    QString andClause(const QString &column) const;
    // Binds :subject when the scope filters.
    void bind(QSqlQuery &query) const;

private:
    QString m_subjectId;
};
