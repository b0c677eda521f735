#include "notestore.h"

#include "sqltransaction.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QRegularExpression>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

namespace {

const QString dateFormat = QStringLiteral("yyyy-MM-ddTHH:mm:ss");

// The notes in scope with the start of their question's stem; a note whose
// question has left the bank is not listed.
const QString listedNotes = QStringLiteral(
    "select n.questionId, q.title, n.note, n.changedAt from question_note n "
    "join exam_question q on q.id = n.questionId where 1=1");

QVector<NoteEntry> entriesOf(QSqlQuery &query)
{
    QVector<NoteEntry> entries;
    while (query.next()) {
        NoteEntry entry;
        entry.questionId = query.value(0).toString();
        entry.stemStart = NoteStore::plainStart(query.value(1).toString());
        entry.noteStart = query.value(2).toString().simplified().left(NoteStore::startLength);
        entry.changedAt = QDateTime::fromString(query.value(3).toString(), dateFormat);
        entries << entry;
    }
    return entries;
}

} // namespace

QString NoteStore::note(QSqlDatabase db, const SubjectScope &scope, const QString &questionId)
{
    QSqlQuery query(db);
    if (!query.prepare(QStringLiteral("select note from question_note where questionId=:id")
                       + scope.andClause(QStringLiteral("subjectid"))
                       + QStringLiteral(" order by subjectid<>'' desc, changedAt desc limit 1")))
        return QString();
    query.bindValue(QStringLiteral(":id"), questionId);
    scope.bind(query);
    return query.exec() && query.next() ? query.value(0).toString() : QString();
}

QHash<QString, QString> NoteStore::notesOf(QSqlDatabase db, const SubjectScope &scope, const QStringList &questionIds)
{
    QHash<QString, QString> notes;
    QSqlQuery query(db);
    // A note for every subject comes first: the subject's own replaces it.
    if (questionIds.isEmpty()
        || !query.prepare(QStringLiteral("select questionId, note from question_note "
                                         "where questionId in (select value from json_each(:ids))")
                          + scope.andClause(QStringLiteral("subjectid"))
                          + QStringLiteral(" order by subjectid<>'', changedAt")))
        return notes;
    query.bindValue(QStringLiteral(":ids"),
                    QString::fromUtf8(QJsonDocument(QJsonArray::fromStringList(questionIds)).toJson(QJsonDocument::Compact)));
    scope.bind(query);
    if (query.exec()) {
        while (query.next())
            notes.insert(query.value(0).toString(), query.value(1).toString());
    }
    return notes;
}

WriteOutcome NoteStore::save(QSqlDatabase db, const SubjectScope &scope, const QString &questionId,
                             const QString &text, const QDateTime &changedAt)
{
    SqlTransaction group(db);
    QSqlQuery *known = group.run(QStringLiteral("select count(*) from exam_question where id=:id"),
                                 {{QStringLiteral(":id"), questionId}});
    const bool exists = known && known->next() && known->value(0).toInt() > 0;
    if (known)
        known->finish();
    if (known && !exists)
        return WriteOutcome::failed(QStringLiteral("题目已不在题库中"));
    // The note the scope showed goes, also one written for every subject:
    // after the edit the scope shows its own.
    QVariantMap values{{QStringLiteral(":id"), questionId}};
    if (scope.filters())
        values.insert(QStringLiteral(":subject"), scope.subjectId());
    group.exec(QStringLiteral("delete from question_note where questionId=:id")
                   + scope.andClause(QStringLiteral("subjectid")),
               values);
    // '' rather than NULL: the column is part of the key.
    const QString subject = scope.filters() ? scope.subjectId() : QStringLiteral("");
    if (!text.trimmed().isEmpty())
        group.exec(QStringLiteral("insert or replace into question_note(questionId,subjectid,note,changedAt) "
                                  "values(:id,:subject,:note,:changedAt)"),
                   {{QStringLiteral(":id"), questionId}, {QStringLiteral(":subject"), subject},
                    {QStringLiteral(":note"), text}, {QStringLiteral(":changedAt"), changedAt.toString(dateFormat)}});
    return group.finish();
}

QVector<NoteEntry> NoteStore::list(QSqlDatabase db, const SubjectScope &scope)
{
    return search(db, scope, QString());
}

QVector<NoteEntry> NoteStore::search(QSqlDatabase db, const SubjectScope &scope, const QString &words)
{
    const QStringList parts = words.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
    QString sql = listedNotes + scope.andClause(QStringLiteral("n.subjectid"));
    for (int i = 0; i < parts.size(); ++i)
        sql += QStringLiteral(" and n.note LIKE :w%1 ESCAPE '\\'").arg(i);
    sql += QStringLiteral(" order by n.changedAt desc, n.questionId");
    QSqlQuery query(db);
    if (!query.prepare(sql))
        return {};
    for (int i = 0; i < parts.size(); ++i)
        query.bindValue(QStringLiteral(":w%1").arg(i), containsPattern(parts.at(i)));
    scope.bind(query);
    if (!query.exec())
        return {};
    return entriesOf(query);
}

int NoteStore::count(QSqlDatabase db, const SubjectScope &scope)
{
    QSqlQuery query(db);
    if (!query.prepare(QStringLiteral("select count(*) from question_note n join exam_question q on q.id = n.questionId")
                       + scope.whereClause(QStringLiteral("n.subjectid"))))
        return -1;
    scope.bind(query);
    return query.exec() && query.next() ? query.value(0).toInt() : -1;
}

QString NoteStore::containsPattern(const QString &word)
{
    QString pattern = QStringLiteral("%");
    for (const QChar c : word) {
        if (c == QLatin1Char('%') || c == QLatin1Char('_') || c == QLatin1Char('\\'))
            pattern += QLatin1Char('\\');
        pattern += c;
    }
    return pattern + QLatin1Char('%');
}

QString NoteStore::plainStart(const QString &html)
{
    static const QRegularExpression tag(QStringLiteral("<[^>]*>"));
    QString text = QString(html).remove(tag);
    text.replace(QLatin1String("&nbsp;"), QLatin1String(" "))
        .replace(QLatin1String("&lt;"), QLatin1String("<"))
        .replace(QLatin1String("&gt;"), QLatin1String(">"))
        .replace(QLatin1String("&quot;"), QLatin1String("\""))
        .replace(QLatin1String("&amp;"), QLatin1String("&"));
    return text.simplified().left(startLength);
}
